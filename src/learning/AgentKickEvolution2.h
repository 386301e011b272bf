// The kick optimisation agent: tunes the 60 parameters of the generated long kick (arm and
// leg degrees of its "left_fix" keyframe, joint speeds of its six "fire" keyframes) with the
// active, box-bounded CMA-ES, one kick trial per candidate and 200 candidates a generation,
// each scored by how far along x the true ball lies once it is still. It plays the left
// team's player 10 (its trainer moves address that player), runs until stopped, and is the
// base of the parent and child processes of the multi-process optimisation.
//
// Files, relative to the working directory: data/save19_part2/InitParam.txt (start point,
// read once), data/LongKick.xml (the start kick, written at construction),
// data/kick_evolution2_data/record.dat ("Max,Average" per generation, rewritten at start),
// best_record.dat and evoresume.dat beside it (appended once per generation).
#pragma once

#include <Eigen/Core>
#include <fstream>
#include <memory>
#include <string>

#include "learning/AgentKickTrial.h"
#include "learning/customCMAStrategy.h"

namespace zamp {

class AgentKickEvolution2 : public AgentKickTrial {
 public:
  using GenoPhenoType = libcmaes::GenoPheno<libcmaes::pwqBoundStrategy, libcmaes::NoScalingStrategy>;
  using Parameters = libcmaes::customCMAStrategy::Parameters;
  using Optimizer = libcmaes::customOptimizer;

  static constexpr int PARAM_NUM = 60;
  static constexpr int LAMBDA = 200;  // candidates per generation
  static constexpr const char* INIT_PARAM_PATH = "./data/save19_part2/InitParam.txt";
  static constexpr const char* KICK_PATH = "./data/LongKick.xml";
  static constexpr const char* RECORD_PATH = "./data/kick_evolution2_data/record.dat";
  static constexpr const char* BEST_RECORD_PATH = "./data/kick_evolution2_data/best_record.dat";
  static constexpr const char* RESUME_PATH = "./data/kick_evolution2_data/evoresume.dat";

  // The box each parameter is searched in.
  static const Eigen::VectorXd& LowerBounds();
  static const Eigen::VectorXd& UpperBounds();

  // lambda: candidates per generation; tests use fewer so that a generation runs in seconds.
  AgentKickEvolution2(int argc, char** argv, int lambda = LAMBDA);
  ~AgentKickEvolution2() override;

  void UpdateMotion() override;
  void Evaluate() override;

  void ReadParam(const std::string& file, int n);
  void WriteVector(const std::string& file, const Eigen::VectorXd& v);
  // Builds the kick of motion_param_ into long_kick_ (not reset) and, when path is not
  // empty, saves it there.
  void MakeNewMotion(const std::string& path);

  const Eigen::VectorXd& GetMotionParam() const { return motion_param_; }
  const Optimizer& GetOptimizer() const { return *evolution_; }

 protected:
  // Ends the generation once every candidate has a fitness: tells the optimiser, writes the
  // resume block, the best candidate and the record line, and starts a new generation.
  void EndGeneration();

  // For the processes of the multi-process optimisation. Only the process that owns the
  // optimiser writes files: with writes_files false neither the record file nor the saved
  // start kick is touched. stand_up (m) is where the robot is placed standing after its kick.
  AgentKickEvolution2(int argc, char** argv, int lambda, bool writes_files,
                      const Eigen::Vector2d& stand_up);

  std::unique_ptr<Parameters> parameters_;
  std::unique_ptr<Optimizer> evolution_;
  Eigen::MatrixXd population_;  // one candidate per column, inside the bounds
  Eigen::VectorXd motion_param_;
  Eigen::VectorXd fitness_;  // minimised: minus each candidate's score
  int generation_num_;
  int current_param_;
  bool can_pop_update_;
  std::ofstream recorder_;
  double max_value_;
  double sum_;  // of the positive scores of the generation
};

}  // namespace zamp
