#include "learning/AgentKickEvolution1.h"

#include <tinyxml2.h>

#include <algorithm>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "learning/KickMotionText.h"
#include "motion/MotionSequenceXML.h"

namespace zamp {

namespace {

const double READY_GAIN = 0.5;
const AgentKickTrial::Placement PLACEMENT{Eigen::Vector3d(-0.2, -0.025, 0.375),
                                          Eigen::Vector2d(-0.6, -0.025), READY_GAIN};
const double STOP_TOL_X = 1e-11;
const double EIGEN_MAX_TIME_SHARE = 1.0;

}  // namespace

AgentKickEvolution1::AgentKickEvolution1(int argc, char** argv, int lambda)
    : AgentKickTrial(argc, argv, PLACEMENT),
      motion_param_(Eigen::VectorXd::Zero(PARAM_NUM)),
      fitvals_(nullptr),
      poplation_(nullptr),
      generation_num_(0),
      current_param_(0),
      max_value_(0.0),
      sum_(0.0) {
  ReadParam(INIT_PARAM_PATH, PARAM_NUM);

  const std::vector<double> stds(PARAM_NUM, INITIAL_STD);
  parameters_.stopTolX = STOP_TOL_X;
  parameters_.updateCmode.maxtime = EIGEN_MAX_TIME_SHARE;
  parameters_.lambda = lambda;
  parameters_.init(PARAM_NUM, motion_param_.data(), stds.data());
  fitvals_ = evolution_.init(parameters_);

  OpenRecord(RECORD_PATH, recorder_);
  recorder_ << "Max,Average" << std::endl;
}

AgentKickEvolution1::~AgentKickEvolution1() {}

void AgentKickEvolution1::Run() {
  try {
    AgentKickTrial::Run();
  } catch (const std::runtime_error& error) {
    // The optimiser's output is the run's only result: without it the run is worthless.
    std::cerr << error.what() << std::endl;
    SetFailed();
    AgentWithTrainer::Done();
  }
}

void AgentKickEvolution1::Done() {
  if (!best_line_.empty()) {
    std::ofstream file(BEST_VALUE_PATH, std::ios::app);
    file << best_line_;
    file.close();
    if (file.fail()) {
      throw std::runtime_error(std::string("Done(): could not write '") + BEST_VALUE_PATH + "'");
    }
  }
  AgentWithTrainer::Done();
}

void AgentKickEvolution1::UpdateMotion() {
  if (current_param_ == 0) {
    poplation_ = evolution_.samplePopulation();
    std::cout << std::endl << "[Generation " << generation_num_ << "]" << std::endl;
    ++generation_num_;
  }
  motion_param_ = Eigen::Map<const Eigen::VectorXd>(poplation_[current_param_], PARAM_NUM);
  MakeNewMotion("");
  long_kick_->Reset();
}

void AgentKickEvolution1::Evaluate() {
  // A failed trial scores -1, so its fitness is 1, worse than every kick that moved the ball.
  const double value = TrialScore();
  fitvals_[current_param_] = -value;
  ++current_param_;
  max_value_ = std::max(max_value_, value);
  sum_ += std::max(value, 0.0);
  std::cout << "Iteration: " << current_param_ << "\tBall_X: " << value << std::endl;
  max_speed_ = 0.0;
  if (current_param_ < parameters_.lambda) return;
  EndGeneration();
}

void AgentKickEvolution1::EndGeneration() {
  const double average = sum_ / parameters_.lambda;
  evolution_.updateDistribution(fitvals_);
  std::ostringstream best;
  evolution_.writeToStream(CMAES<double>::WKXBest, best);
  best_line_ = best.str();
  evolution_.writeToFile(CMAES<double>::WKResume, RESUME_PATH);
  evolution_.writeToFile(CMAES<double>::WKXBest, BEST_VALUE_PATH);
  std::cout << "Max: " << max_value_ << "\tAverage: " << average << std::endl;
  recorder_ << max_value_ << "," << average << std::endl;
  sum_ = 0.0;
  max_value_ = 0.0;
  current_param_ = 0;
}

void AgentKickEvolution1::ReadParam(const std::string& file, int n) {
  ReadNumbers(file, n, motion_param_);
}

void AgentKickEvolution1::MakeNewMotion(const std::string& path) {
  const std::string text =
      KickMotionText::Build(KickMotionText::SingleProcessLongKick(), motion_param_);
  long_kick_->ReadDirect(text);
  if (path.empty()) return;
  tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
  document.Parse(text.c_str());
  if (document.SaveFile(path.c_str(), false) != tinyxml2::XML_SUCCESS) {
    std::cerr << "cannot write " << path << "; the kick is not saved" << std::endl;
  }
}

}  // namespace zamp
