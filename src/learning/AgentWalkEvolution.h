// The walk optimisation agent: tunes the forward foot locus of the locus walk with the
// active, box-bounded CMA-ES. A candidate is eight foot points (x forward, y height, in
// millimetres, as the walk's point generator holds them); each is scored by three walking
// trials of at most 5 s on the training server (forward, sideways, turning), measured with
// the server's true position and heading, and the trainer puts the robot back on its start
// point before every trial. It plays the left team's player 10, since its trainer moves
// address that player. The search runs until the process is stopped.
//
// Per cycle (Think): the trial state's action, then UpdateState. Files, relative to the
// working directory: data/walk_evolution_data/InitParam.txt (start point, read once),
// record.dat ("Max,Average" per generation, rewritten at start), best_record.dat and
// evoresume.dat (appended once per generation).
#pragma once

#include <Eigen/Core>
#include <fstream>
#include <memory>
#include <string>

#include "learning/AgentWithTrainer.h"
#include "learning/customCMAStrategy.h"

namespace zamp {

class TabeWalk;

class AgentWalkEvolution : public AgentWithTrainer {
 public:
  using GenoPhenoType = libcmaes::GenoPheno<libcmaes::pwqBoundStrategy, libcmaes::NoScalingStrategy>;
  using Parameters = libcmaes::customCMAStrategy::Parameters;
  using Optimizer = libcmaes::customOptimizer;

  enum State {
    STATE_UPDATE_MOTION = 0,
    STATE_READY = 1,
    STATE_MOVE = 2,
    STATE_EVALUATE = 3,
    STATE_INIT_POSITION = 4
  };
  enum EvaluationType {
    EVTYPE_FORWARD = 0,
    EVTYPE_SIDE = 1,
    EVTYPE_ROTATION = 2,
    EVTYPE_NO_EVALUATE = 3
  };

  static constexpr int PARAM_NUM = 16;
  static constexpr int LAMBDA = 100;  // candidates per generation
  static constexpr const char* INIT_PARAM_PATH = "./data/walk_evolution_data/InitParam.txt";
  static constexpr const char* RECORD_PATH = "./data/walk_evolution_data/record.dat";
  static constexpr const char* BEST_RECORD_PATH = "./data/walk_evolution_data/best_record.dat";
  static constexpr const char* RESUME_PATH = "./data/walk_evolution_data/evoresume.dat";

  // lambda: candidates per generation; tests use fewer so that a generation runs in seconds.
  AgentWalkEvolution(int argc, char** argv, int lambda = LAMBDA);
  ~AgentWalkEvolution() override;

  void Think() override;
  void SettingBeam() override;
  void ControlEffector(EffectorAgent& effector) override;
  void ControlEffectorTrainer(EffectorTrainer& effector) override;
  virtual void UpdateState();
  virtual void UpdateMotion();
  virtual void Ready();
  virtual void Move();
  virtual void Evaluate();
  virtual bool CheckFall();

  void ReadParam(const std::string& path, int n);
  void WriteVector(const std::string& path, const Eigen::VectorXd& v);
  void MakeNewMotion(const std::string& text);

  State GetState() const { return state_; }
  EvaluationType GetEvaluationType() const { return evtype_; }
  const Eigen::VectorXd& GetMotionParam() const { return motion_param_; }
  const TabeWalk& GetWalk() const { return *walk_; }

 private:
  const int STOP_MOVE_TIME = 5;      // s, longest walking trial
  const int READY_CYCLE_LIMIT = 29;  // the ready phase ends after at most this + 1 cycles

  State state_;
  EvaluationType evtype_;
  std::unique_ptr<Optimizer> evolution_;
  std::unique_ptr<Parameters> parameters_;
  std::unique_ptr<TabeWalk> walk_;
  Eigen::MatrixXd population_;  // one candidate per column, in the bounded parameter space
  Eigen::VectorXd motion_param_;
  Eigen::VectorXd fitness_;           // minimised: minus each candidate's value
  Eigen::Vector3d init_agent_coord_;  // m, start point and height
  int generation_num_;
  int current_param_;
  bool can_pop_update_;
  double start_time_;  // s, server time at the start of the trial
  double move_time_;   // s, length of the last trial
  double current_value_;
  double forward_value_;   // m
  double side_value_;      // m
  double rotation_value_;  // degrees turned
  double max_value_;
  double sum_;
  double before_direction_;  // degrees
  int ready_count_;          // cycles in the ready state
  std::ofstream recorder_;
};

}  // namespace zamp
