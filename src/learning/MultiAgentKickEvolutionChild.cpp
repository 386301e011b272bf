#include "learning/MultiAgentKickEvolutionChild.h"

#include <cmath>
#include <iostream>

#include "core/RcssserverSocket.h"
#include "learning/EffectorTrainer.h"
#include "learning/MultiAgentKickEvolutionParent.h"
#include "learning/SharedMemory.h"
#include "motion/MotionSequenceXML.h"

namespace zamp {

namespace {

// A little off the single-process stand-up point.
const Eigen::Vector2d STAND_UP(-0.6, -0.025);

}  // namespace

MultiAgentKickEvolutionChild::MultiAgentKickEvolutionChild(int argc, char** argv, int lambda)
    : AgentKickEvolution2(argc, argv, lambda, false, STAND_UP),
      param_id_(0),
      has_motion_update_(false),
      is_waiting_(false) {
  shared_memory_ = std::make_unique<SharedMemory>(
      MultiAgentKickEvolutionParent::PageName(agent_socket_->GetPort()), false);
}

MultiAgentKickEvolutionChild::~MultiAgentKickEvolutionChild() {}

void MultiAgentKickEvolutionChild::Think() {
  Communicate();
  AgentKickEvolution2::Think();
}

void MultiAgentKickEvolutionChild::Communicate() {
  SharedMemory& page = *shared_memory_;
  if (page.GetSemaphore() != SharedMemory::SHARED_SEMAPHRE_ONE_OK) return;
  const auto type = [&page]() {
    return SharedMemory::TruncatedInt(page.GetSharedValue(SharedMemory::MEMORY_DATA_TYPE));
  };
  if (!has_motion_update_ && type() == SharedMemory::MDTYPE_PARAM) Take(page);
  if (!send_fitness_.empty() && type() == SharedMemory::MDTYPE_EMPTY) Send(page);
}

void MultiAgentKickEvolutionChild::Take(SharedMemory& page) {
  const double count_record = page.GetSharedValue(SharedMemory::MEMORY_DATA_NUM);
  const double id_record = page.GetSharedValue(SharedMemory::MEMORY_DATA_START);
  const int count = SharedMemory::WholeNumber(count_record);
  const int id = SharedMemory::WholeNumber(id_record);
  Eigen::VectorXd values = Eigen::VectorXd::Zero(PARAM_NUM);
  bool finite = true;
  for (int k = 0; k < PARAM_NUM; ++k) {
    values[k] = page.GetSharedValue(SharedMemory::MEMORY_DATA_START + 1 + k);
    finite = finite && std::isfinite(values[k]);
  }
  page.SetSharedValue(SharedMemory::MEMORY_DATA_TYPE, SharedMemory::MDTYPE_EMPTY);
  // Only a whole candidate of this generation can be played and scored.
  if (count != PARAM_NUM + 1 || id < 0 || id >= fitness_.size() || !finite) {
    std::cerr << "ignoring a candidate on "
              << MultiAgentKickEvolutionParent::PageName(agent_socket_->GetPort()) << " (count "
              << count_record << ", expected " << PARAM_NUM + 1 << "; candidate " << id_record
              << ", expected 0 to " << fitness_.size() - 1
              << (finite ? "" : "; a parameter is not a number") << ")" << std::endl;
    return;
  }
  param_id_ = id;
  motion_param_ = values;
  has_motion_update_ = true;
}

void MultiAgentKickEvolutionChild::Send(SharedMemory& page) {
  const std::pair<int, double> result = send_fitness_.front();
  page.SetSharedValue(SharedMemory::MEMORY_DATA_TYPE, SharedMemory::MDTYPE_FITNESS);
  page.SetSharedValue(SharedMemory::MEMORY_DATA_NUM, 2);
  page.SetSharedValue(SharedMemory::MEMORY_DATA_START, result.first);
  page.SetSharedValue(SharedMemory::MEMORY_DATA_START + 1, result.second);
  page.SetSemaphore(SharedMemory::SHARED_SEMAPHRE_TWO_OK);
  send_fitness_.pop();
}

void MultiAgentKickEvolutionChild::ControlEffectorTrainer(EffectorTrainer& effector) {
  if (state_ == STATE_UPDATE_MOTION && !has_motion_update_) {
    // No candidate yet: robot and ball go to the start once and wait there. Moving the robot
    // in every cycle of a long wait ends in a physics fault of the real server, which then
    // stops answering; the trial's own placement comes with the candidate.
    effector.SetEffectorUse(EffectorTrainer::MOVE_AGENT, true);
    if (is_waiting_) {
      LeaveInPlace(effector);
    } else {
      PlaceAtStart(effector);
    }
    is_waiting_ = true;
    return;
  }
  is_waiting_ = false;
  AgentKickEvolution2::ControlEffectorTrainer(effector);
}

void MultiAgentKickEvolutionChild::UpdateMotion() {
  MakeNewMotion("");
  long_kick_->Reset();
}

void MultiAgentKickEvolutionChild::Evaluate() {
  send_fitness_.emplace(param_id_, TrialScore());
  has_motion_update_ = false;
}

}  // namespace zamp
