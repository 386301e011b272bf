// The single-process kick optimisation agent: tunes the 59 parameters of its generated long
// kick (five leg degrees of the wind-up keyframe "left_fix", the joint speeds and the right
// ankle roll of its six "fire" keyframes) with the built-in CMA-ES, one kick trial per
// candidate and 200 candidates a generation, each scored by how far along x the true ball
// lies once it is still. The trial machine is AgentKickTrial's: the robot starts at
// (-0.2, -0.025) m behind the ball at the centre spot and is placed standing at
// (-0.6, -0.025) m after the kick. It plays the left team's player 10 (its trainer moves
// address that player) and runs until stopped.
//
// Files, relative to the working directory: data/InitParam.txt (start point, read once),
// data/record.dat ("Max,Average", then one line per generation; rewritten at start),
// data/resumeevo.dat (the optimiser's resume block, appended once per generation),
// data/best_value.dat (the best candidate of each generation, appended; one more line when
// the run ends). A file the optimiser cannot write ends the run with status 1.
#pragma once

#include <Eigen/Core>
#include <fstream>
#include <string>

#include "learning/AgentKickTrial.h"
#include "learning/CMAES.h"
#include "learning/Parameters.h"

namespace zamp {

class AgentKickEvolution1 : public AgentKickTrial {
 public:
  static constexpr int PARAM_NUM = 59;
  static constexpr int LAMBDA = 200;  // candidates per generation
  static constexpr double INITIAL_STD = 2.0;
  static constexpr const char* INIT_PARAM_PATH = "./data/InitParam.txt";
  static constexpr const char* RECORD_PATH = "./data/record.dat";
  static constexpr const char* RESUME_PATH = "./data/resumeevo.dat";
  static constexpr const char* BEST_VALUE_PATH = "./data/best_value.dat";

  // lambda: candidates per generation; tests use fewer so that a generation runs in seconds.
  AgentKickEvolution1(int argc, char** argv, int lambda = LAMBDA);
  ~AgentKickEvolution1() override;

  // The trial cycle of AgentWithTrainer. A file the optimiser cannot write ends it: the
  // message is printed, both links are closed and the exit status becomes 1.
  void Run() override;
  // Appends the best candidate of the last evaluated generation to data/best_value.dat
  // (nothing when no generation has ended), then closes both links.
  void Done() override;
  void UpdateMotion() override;
  void Evaluate() override;

  void ReadParam(const std::string& file, int n);
  // Builds the kick of motion_param_ into long_kick_ (not reset) and, when path is not
  // empty, saves it there.
  void MakeNewMotion(const std::string& path);

  const Eigen::VectorXd& GetMotionParam() const { return motion_param_; }
  const CMAES<double>& GetOptimizer() const { return evolution_; }

 private:
  // Ends the generation once every candidate has a fitness: updates the optimiser, appends
  // its resume block and best candidate, prints and records the generation's result.
  void EndGeneration();

  CMAES<double> evolution_;
  Parameters<double> parameters_;
  Eigen::VectorXd motion_param_;    // the candidate under trial
  double* fitvals_;                 // the optimiser's fitness array, lambda values (minimised)
  const double* const* poplation_;  // the generation under trial, lambda candidates
  int generation_num_;
  int current_param_;
  std::ofstream recorder_;
  double max_value_;  // m, best ball x of the generation
  double sum_;        // m, of the positive ball x values of the generation
  // The best candidate of the last evaluated generation as one data/best_value.dat line; the
  // optimiser's ranking points at a fresh, unevaluated sample once the next generation is
  // drawn.
  std::string best_line_;
};

}  // namespace zamp
