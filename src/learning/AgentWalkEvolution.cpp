#include "learning/AgentWalkEvolution.h"

#include <cmath>
#include <iostream>
#include <sstream>
#include <vector>

#include "core/JointController.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "learning/EffectorTrainer.h"
#include "model/AgentState.h"
#include "model/WorldState.h"
#include "motion/TabeWalk.h"

namespace zamp {

namespace {

// The fitness the optimiser is built with; every score comes from the trials instead.
double NoFitness(const double*, const int&) { return 0.0; }

const double BOUND_HALF_WIDTH = 15.0;  // mm, how far a foot point may move from its start
const double SIGMA = 10.0;             // mm
const double READY_GAIN = 0.1;
const double FALL_TILT = 40.0;   // degrees about x or y
const double FALL_VALUE = -1.0;  // the measurement of a trial that did not run
const double FORWARD_WEIGHT = 1.5;
const double SIDE_WEIGHT = 2.0;
const double ROTATION_WEIGHT = 0.005;
const int LEFT_PLAYER_10 = 9;          // trainer table entry
const double START_DIRECTION = -90.0;  // degrees: the left team faces +x

}  // namespace

AgentWalkEvolution::AgentWalkEvolution(int argc, char** argv, int lambda)
    : AgentWithTrainer(argc, argv),
      state_(STATE_UPDATE_MOTION),
      evtype_(EVTYPE_FORWARD),
      motion_param_(Eigen::VectorXd::Zero(PARAM_NUM)),
      fitness_(Eigen::VectorXd::Zero(lambda)),
      init_agent_coord_(0.0, 5.0, 0.375),
      generation_num_(0),
      current_param_(0),
      can_pop_update_(true),
      start_time_(0.0),
      move_time_(0.0),
      current_value_(0.0),
      forward_value_(0.0),
      side_value_(0.0),
      rotation_value_(0.0),
      max_value_(0.0),
      sum_(0.0),
      before_direction_(0.0),
      ready_count_(0) {
  // Every later score would be measured without the trainer's placement.
  stop_on_trainer_loss_ = true;

  ReadParam(INIT_PARAM_PATH, PARAM_NUM);
  const Eigen::VectorXd x0 = motion_param_;
  const Eigen::VectorXd lower = x0.array() - BOUND_HALF_WIDTH;
  const Eigen::VectorXd upper = x0.array() + BOUND_HALF_WIDTH;
  const GenoPhenoType gp(lower.data(), upper.data(), PARAM_NUM);
  parameters_ = std::make_unique<Parameters>(PARAM_NUM, x0.data(), SIGMA, lambda, 0, gp);
  parameters_->_algo = libcmaes::aCMAES;
  libcmaes::FitFunc fitness = NoFitness;
  evolution_ = std::make_unique<Optimizer>(fitness, *parameters_);
  walk_ = std::make_unique<TabeWalk>();

  OpenRecord(RECORD_PATH, recorder_);
  recorder_ << "Max,Average" << std::endl;
}

AgentWalkEvolution::~AgentWalkEvolution() {}

void AgentWalkEvolution::Think() {
  switch (state_) {
    case STATE_UPDATE_MOTION:
      UpdateMotion();
      break;
    case STATE_READY:
      Ready();
      break;
    case STATE_MOVE:
      Move();
      break;
    case STATE_EVALUATE:
      Evaluate();
      break;
    case STATE_INIT_POSITION:
      break;
  }
  UpdateState();
}

void AgentWalkEvolution::SettingBeam() {
  Singleton<AgentState>::GetInstance()->SettingBeam(
      Eigen::Vector3d(init_agent_coord_.x(), init_agent_coord_.y(), 0.0));
}

void AgentWalkEvolution::ControlEffector(EffectorAgent&) {}

void AgentWalkEvolution::ControlEffectorTrainer(EffectorTrainer& effector) {
  effector.SetEffectorUse(EffectorTrainer::MOVE_AGENT, true);
  EffectorTrainer::AgentSet& self = effector.agent_set_[LEFT_PLAYER_10];
  // Held on the start point except while a trial runs and is scored.
  self.can_move = state_ != STATE_MOVE && state_ != STATE_EVALUATE;
  if (self.can_move) {
    self.coord = Eigen::Vector4d(init_agent_coord_.x(), init_agent_coord_.y(),
                                 init_agent_coord_.z(), START_DIRECTION);
  }
}

void AgentWalkEvolution::UpdateState() {
  switch (state_) {
    case STATE_UPDATE_MOTION:
      state_ = STATE_READY;
      break;
    case STATE_READY:
      ++ready_count_;
      if (Singleton<JointController>::GetInstance()->CheckAllArrived() ||
          ready_count_ > READY_CYCLE_LIMIT) {
        state_ = STATE_MOVE;
        start_time_ = Singleton<WorldState>::GetInstance()->GetServerTime();
        ready_count_ = 0;
        walk_->ResetCurrentSpeed();
      }
      break;
    case STATE_MOVE: {
      const double t = Singleton<WorldState>::GetInstance()->GetServerTime() - start_time_;
      if (CheckFall() || t >= STOP_MOVE_TIME) {
        move_time_ = t;
        state_ = STATE_EVALUATE;
      }
      break;
    }
    case STATE_EVALUATE:
      if (evtype_ == EVTYPE_NO_EVALUATE) {
        state_ = STATE_UPDATE_MOTION;
        evtype_ = EVTYPE_FORWARD;
      } else {
        state_ = STATE_READY;
      }
      break;
    case STATE_INIT_POSITION:
      break;
  }
}

void AgentWalkEvolution::UpdateMotion() {
  if (can_pop_update_) {
    population_ = evolution_->ask();
    can_pop_update_ = false;
    std::cout << std::endl << "[Generation " << generation_num_ << "]" << std::endl;
    ++generation_num_;
  }
  motion_param_ = population_.col(current_param_);
  MakeNewMotion("");
  current_value_ = 0.0;
}

void AgentWalkEvolution::MakeNewMotion(const std::string&) {
  std::ostringstream text;
  text.setf(std::ios::fixed);
  text.precision(6);
  for (int k = 0; k < PARAM_NUM / 2; ++k) {
    text << motion_param_[2 * k] << "," << motion_param_[2 * k + 1] << ",0\n";
  }
  LocusPoint& points = walk_->GetLocusPoint();
  points.InputDirectCSV(text.str(), points.GetLocuses()[LocusPoint::LOCUS_FORWORD]);
}

void AgentWalkEvolution::Ready() { SettingReadyPose(READY_GAIN); }

void AgentWalkEvolution::Move() {
  switch (evtype_) {
    case EVTYPE_FORWARD:
      walk_->SettingSpeed(1.0, 0.0, 0.0);
      break;
    case EVTYPE_SIDE:
      walk_->SettingSpeed(0.5, 1.0, 0.0);
      break;
    case EVTYPE_ROTATION: {
      const double orientation = Singleton<RawStorage>::GetInstance()->GetHiddenData().my_orien;
      double d = std::fabs(orientation - before_direction_);
      if (d > 180.0) d = 360.0 - d;
      rotation_value_ += d;
      before_direction_ = orientation;
      walk_->SettingSpeed(0.3, 0.0, 0.75);
      break;
    }
    case EVTYPE_NO_EVALUATE:
      break;
  }
  walk_->Run();
}

void AgentWalkEvolution::Evaluate() {
  const Eigen::Vector3d& position = Singleton<RawStorage>::GetInstance()->GetHiddenData().my_pos;
  if (move_time_ >= STOP_MOVE_TIME) {
    switch (evtype_) {
      case EVTYPE_FORWARD:
        forward_value_ = position.x() - init_agent_coord_.x();
        evtype_ = EVTYPE_SIDE;
        return;
      case EVTYPE_SIDE:
        side_value_ = position.y() - init_agent_coord_.y();
        evtype_ = EVTYPE_ROTATION;
        return;
      default:
        break;
    }
  } else {
    // A fall ends the candidate: this trial and every later one count as not walked.
    if (evtype_ <= EVTYPE_FORWARD) forward_value_ = FALL_VALUE;
    if (evtype_ <= EVTYPE_SIDE) side_value_ = FALL_VALUE;
    rotation_value_ = FALL_VALUE;
  }

  const double forward = FORWARD_WEIGHT * forward_value_;
  const double side = SIDE_WEIGHT * side_value_;
  const double rotation = ROTATION_WEIGHT * rotation_value_;
  const double value = forward + side + rotation;
  current_value_ = value;
  if (value > max_value_) max_value_ = value;
  const int i = current_param_;
  fitness_[i] = -value;
  current_param_ = i + 1;
  sum_ += value;
  std::cout << "Iteration: " << i + 1 << "\tVALUE: " << forward << "\t + " << side << "\t + "
            << rotation << "\t = " << value << std::endl;

  current_value_ = 0.0;
  before_direction_ = 0.0;
  forward_value_ = 0.0;
  side_value_ = 0.0;
  rotation_value_ = 0.0;
  evtype_ = EVTYPE_NO_EVALUATE;

  if (current_param_ < population_.cols()) return;

  const Eigen::VectorXd best = libcmaes::TellGeneration(*evolution_, population_, fitness_);
  WriteResume(*evolution_, RESUME_PATH);
  WriteVector(BEST_RECORD_PATH, best);

  const double average = sum_ / static_cast<double>(population_.cols());
  std::cout << "Max: " << max_value_ << "\tAverage: " << average << std::endl;
  recorder_ << max_value_ << "," << average << std::endl;

  sum_ = 0.0;
  max_value_ = 0.0;
  current_param_ = 0;
  can_pop_update_ = true;
}

bool AgentWalkEvolution::CheckFall() {
  const Eigen::Vector3d& rotation = Singleton<AgentState>::GetInstance()->GetRotation();
  return std::fabs(rotation.x()) >= FALL_TILT || std::fabs(rotation.y()) >= FALL_TILT;
}

void AgentWalkEvolution::ReadParam(const std::string& path, int n) {
  ReadNumbers(path, n, motion_param_);
}

void AgentWalkEvolution::WriteVector(const std::string& path, const Eigen::VectorXd& v) {
  AppendVector(path, v);
}

}  // namespace zamp
