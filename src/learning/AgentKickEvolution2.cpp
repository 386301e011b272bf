#include "learning/AgentKickEvolution2.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "learning/KickMotionText.h"
#include "motion/MotionSequenceXML.h"

namespace zamp {

namespace {

// The fitness the optimiser is built with; every score comes from the trials instead.
double NoFitness(const double*, const int&) { return 0.0; }

const double SIGMA = 5.0;
const double READY_GAIN = 0.1;
const Eigen::Vector3d START(-0.21, 0.0, 0.375);
const Eigen::Vector2d STAND_UP(-0.6, 0.0);

// p0 to p11: the degrees of "left_fix" (and the arms of "reset").
const double LOWER_DEGREES[12] = {-90, -90, -100, -10, -1, -1, -100, -55, -35, -145, -60, -25};
const double UPPER_DEGREES[12] = {-45, -45, 5, 10, 1, 1, 5, 25, 100, 5, 80, 45};
// p12 + 8k + j: the speeds of "fire" keyframe k, rad/s, by joint j (llj1, llj3, llj4, llj5,
// rlj1, rlj3, rlj4, rlj5): each joint may only swing the way the kick goes.
const double LOWER_SPEEDS[8] = {0, -6.5, -6.5, -6.5, -6.5, 0, 0, 0};
const double UPPER_SPEEDS[8] = {6.5, 0, 0, 0, 0, 6.5, 6.5, 6.5};

Eigen::VectorXd Bounds(const double (&degrees)[12], const double (&speeds)[8]) {
  Eigen::VectorXd bounds(AgentKickEvolution2::PARAM_NUM);
  for (int i = 0; i < 12; ++i) bounds[i] = degrees[i];
  for (int i = 12; i < AgentKickEvolution2::PARAM_NUM; ++i) bounds[i] = speeds[(i - 12) % 8];
  return bounds;
}

}  // namespace

const Eigen::VectorXd& AgentKickEvolution2::LowerBounds() {
  static const Eigen::VectorXd bounds = Bounds(LOWER_DEGREES, LOWER_SPEEDS);
  return bounds;
}

const Eigen::VectorXd& AgentKickEvolution2::UpperBounds() {
  static const Eigen::VectorXd bounds = Bounds(UPPER_DEGREES, UPPER_SPEEDS);
  return bounds;
}

AgentKickEvolution2::AgentKickEvolution2(int argc, char** argv, int lambda)
    : AgentKickEvolution2(argc, argv, lambda, true, STAND_UP) {}

AgentKickEvolution2::AgentKickEvolution2(int argc, char** argv, int lambda, bool writes_files,
                                         const Eigen::Vector2d& stand_up)
    : AgentKickTrial(argc, argv, Placement{START, stand_up, READY_GAIN}),
      motion_param_(Eigen::VectorXd::Zero(PARAM_NUM)),
      fitness_(Eigen::VectorXd::Zero(lambda)),
      generation_num_(0),
      current_param_(0),
      can_pop_update_(true),
      max_value_(0.0),
      sum_(0.0) {
  if (writes_files) OpenRecord(RECORD_PATH, recorder_);
  ReadParam(INIT_PARAM_PATH, PARAM_NUM);
  MakeNewMotion(writes_files ? KICK_PATH : "");

  // The optimiser starts inside the box; the saved kick keeps the values as read.
  const Eigen::VectorXd& lower = LowerBounds();
  const Eigen::VectorXd& upper = UpperBounds();
  Eigen::VectorXd x0(PARAM_NUM);
  for (int i = 0; i < PARAM_NUM; ++i) {
    x0[i] = lower[i] > motion_param_[i] ? lower[i] : std::min(upper[i], motion_param_[i]);
  }
  const GenoPhenoType gp(lower.data(), upper.data(), PARAM_NUM);
  parameters_ = std::make_unique<Parameters>(PARAM_NUM, x0.data(), SIGMA, lambda, 0, gp);
  parameters_->_algo = libcmaes::aCMAES;
  libcmaes::FitFunc fitness = NoFitness;
  evolution_ = std::make_unique<Optimizer>(fitness, *parameters_);
}

AgentKickEvolution2::~AgentKickEvolution2() {}

void AgentKickEvolution2::UpdateMotion() {
  if (can_pop_update_) {
    population_ = evolution_->ask();
    can_pop_update_ = false;
    std::cout << std::endl << "[Generation " << generation_num_ << "]" << std::endl;
    ++generation_num_;
  }
  motion_param_ = population_.col(current_param_);
  MakeNewMotion("");
  long_kick_->Reset();
}

void AgentKickEvolution2::Evaluate() {
  const double score = TrialScore();
  max_value_ = std::max(max_value_, score);
  const int i = current_param_;
  current_param_ = i + 1;
  fitness_[i] = -score;
  sum_ += std::max(score, 0.0);
  std::cout << "Iteration: " << i + 1 << "\tBDIST_X: " << score << "\tBSPEED_X: " << max_speed_
            << std::endl;
  max_speed_ = 0.0;
  if (current_param_ < population_.cols()) return;
  EndGeneration();
}

void AgentKickEvolution2::EndGeneration() {
  const double average = sum_ / static_cast<double>(population_.cols());
  const Eigen::VectorXd best = libcmaes::TellGeneration(*evolution_, population_, fitness_);
  WriteResume(*evolution_, RESUME_PATH);
  WriteVector(BEST_RECORD_PATH, best);
  std::cout << "Max: " << max_value_ << "\tAverage: " << average << std::endl;
  recorder_ << max_value_ << "," << average << std::endl;
  sum_ = 0.0;
  max_value_ = 0.0;
  current_param_ = 0;
  can_pop_update_ = true;
}

void AgentKickEvolution2::ReadParam(const std::string& file, int n) {
  ReadNumbers(file, n, motion_param_);
}

void AgentKickEvolution2::WriteVector(const std::string& file, const Eigen::VectorXd& v) {
  AppendVector(file, v);
}

void AgentKickEvolution2::MakeNewMotion(const std::string& path) {
  const std::vector<KickMotionText::Keyframe>& frames = KickMotionText::LongKick();
  const int needed = KickMotionText::ParamCount(frames);
  if (motion_param_.size() < needed) {
    std::cerr << "the kick needs " << needed << " parameters, but " << INIT_PARAM_PATH << " gave "
              << motion_param_.size() << std::endl;
    std::exit(1);
  }
  const std::string text = KickMotionText::Build(frames, motion_param_);
  long_kick_->ReadDirect(text);
  if (path.empty()) return;
  tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
  document.Parse(text.c_str());
  if (document.SaveFile(path.c_str(), false) != tinyxml2::XML_SUCCESS) {
    std::cerr << "cannot write " << path << "; the start kick is not saved" << std::endl;
  }
}

}  // namespace zamp
