#include "learning/MultiAgentKickEvolutionParent.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>

#include "core/RcssserverSocket.h"
#include "core/const.h"
#include "learning/SharedMemory.h"
#include "motion/MotionSequenceXML.h"

namespace zamp {

MultiAgentKickEvolutionParent::MultiAgentKickEvolutionParent(int argc, char** argv, int process_num,
                                                             int lambda, double time_out)
    : AgentKickEvolution2(argc, argv, lambda),
      agent_num_(std::max(process_num - 1, 0)),
      get_fitness_count_(0),
      param_id_(0),
      time_out_(time_out) {
  for (int i = 0; i < agent_num_; ++i) {
    shared_memory_.push_back(std::make_unique<SharedMemory>(PageName(ChildPort(i)), true));
    SharedMemory& page = *shared_memory_.back();
    page.SetSharedValue(SharedMemory::MEMORY_DATA_TYPE, SharedMemory::MDTYPE_EMPTY);
    page.SetSemaphore(SharedMemory::SHARED_SEMAPHRE_TWO_OK);
    time_maneger_.push_back(TimeManeger{});
  }
}

MultiAgentKickEvolutionParent::~MultiAgentKickEvolutionParent() {}

std::string MultiAgentKickEvolutionParent::PageName(int port) {
  return PAGE_PREFIX + std::to_string(port);
}

int MultiAgentKickEvolutionParent::ReadProcessNum(int argc, char** argv) {
  const std::string option = PROCS_OPTION;
  int process_num = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i] != nullptr ? argv[i] : "";
    if (arg.compare(0, option.size(), option) != 0) continue;
    const std::string value = arg.substr(option.size());
    char* end = nullptr;
    const long n = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || n < 1 || n > MAX_PROCESS_NUM) {
      std::cerr << "--procs needs the number of processes, a whole number from 1 to "
                << MAX_PROCESS_NUM << ", not '" << value << "'" << std::endl;
      return -1;
    }
    process_num = static_cast<int>(n);
  }
  return process_num;
}

int MultiAgentKickEvolutionParent::ChildPort(int i) const {
  return agent_socket_->GetPort() + 1 + i;
}

void MultiAgentKickEvolutionParent::Think() {
  Communicate();
  AgentKickEvolution2::Think();
}

void MultiAgentKickEvolutionParent::ManageTime(TimeManeger& t) {
  if (t.param_id == TimeManeger::NO_PARAM_ID) return;
  t.time += UPDATE_INTERVAL_TIME;
  if (t.time < time_out_) return;
  t.has_disconected = true;
  fitness_[t.param_id] = FAILED_FITNESS;
  ++get_fitness_count_;
  const auto i = &t - time_maneger_.data();
  std::cerr << "the child on port " << ChildPort(static_cast<int>(i)) << " did not answer within "
            << time_out_ << " s; its candidate " << t.param_id
            << " scores as a failed trial and it gets no more" << std::endl;
}

void MultiAgentKickEvolutionParent::Communicate() {
  for (int i = 0; i < agent_num_; ++i) {
    TimeManeger& t = time_maneger_[i];
    if (t.has_disconected) continue;
    ManageTime(t);
    if (t.has_disconected) continue;
    SharedMemory& page = *shared_memory_[i];
    if (page.GetSemaphore() != SharedMemory::SHARED_SEMAPHRE_TWO_OK) continue;
    const auto type = [&page]() {
      return SharedMemory::TruncatedInt(page.GetSharedValue(SharedMemory::MEMORY_DATA_TYPE));
    };
    if (get_fitness_count_ < Lambda() && type() == SharedMemory::MDTYPE_FITNESS) {
      Receive(i, t, page);
    }
    // A page whose child still holds a candidate gets no other one: that candidate would
    // never get a result and the generation would never end.
    if (!can_pop_update_ && type() == SharedMemory::MDTYPE_EMPTY &&
        t.param_id == TimeManeger::NO_PARAM_ID) {
      Post(t, page);
    }
  }
}

void MultiAgentKickEvolutionParent::Receive(int i, TimeManeger& t, SharedMemory& page) {
  const int count = SharedMemory::WholeNumber(page.GetSharedValue(SharedMemory::MEMORY_DATA_NUM));
  const int id = SharedMemory::WholeNumber(page.GetSharedValue(SharedMemory::MEMORY_DATA_START));
  const double score = page.GetSharedValue(SharedMemory::MEMORY_DATA_START + 1);
  page.SetSharedValue(SharedMemory::MEMORY_DATA_TYPE, SharedMemory::MDTYPE_EMPTY);
  if (count != 2 || t.param_id == TimeManeger::NO_PARAM_ID || id != t.param_id ||
      !std::isfinite(score)) {
    std::cerr << "ignoring a result on " << PageName(ChildPort(i)) << " (count "
              << page.GetSharedValue(SharedMemory::MEMORY_DATA_NUM) << ", candidate "
              << page.GetSharedValue(SharedMemory::MEMORY_DATA_START) << ", score " << score
              << "); the child holds candidate " << t.param_id << std::endl;
    return;
  }
  max_value_ = std::max(max_value_, score);
  fitness_[id] = -score;
  sum_ += std::max(score, 0.0);
  t.param_id = TimeManeger::NO_PARAM_ID;
  ++get_fitness_count_;
  std::cout << "ID: " << id << "\tIteration: " << get_fitness_count_ << "\tBDIST_X: " << score
            << std::endl;
}

void MultiAgentKickEvolutionParent::Post(TimeManeger& t, SharedMemory& page) {
  if (current_param_ >= Lambda()) {
    page.SetSharedValue(SharedMemory::MEMORY_DATA_TYPE, SharedMemory::MDTYPE_EMPTY);
    page.SetSemaphore(SharedMemory::SHARED_SEMAPHRE_ONE_OK);
    return;
  }
  const int rows = static_cast<int>(population_.rows());
  page.SetSharedValue(SharedMemory::MEMORY_DATA_TYPE, SharedMemory::MDTYPE_PARAM);
  page.SetSharedValue(SharedMemory::MEMORY_DATA_NUM, rows + 1);
  page.SetSharedValue(SharedMemory::MEMORY_DATA_START, current_param_);
  // A record beyond the page is skipped by the page itself.
  for (int k = 0; k < rows; ++k) {
    page.SetSharedValue(SharedMemory::MEMORY_DATA_START + 1 + k, population_(k, current_param_));
  }
  t.param_id = current_param_;
  t.time = 0.0;
  page.SetSemaphore(SharedMemory::SHARED_SEMAPHRE_ONE_OK);
  ++current_param_;
}

void MultiAgentKickEvolutionParent::UpdateMotion() {
  if (can_pop_update_) {
    population_ = evolution_->ask();
    can_pop_update_ = false;
    for (std::unique_ptr<SharedMemory>& page : shared_memory_) {
      page->SetSemaphore(SharedMemory::SHARED_SEMAPHRE_TWO_OK);
    }
    std::cout << std::endl << "[Generation " << generation_num_ << "]" << std::endl;
    ++generation_num_;
  }
  if (current_param_ < Lambda()) {
    motion_param_ = population_.col(current_param_);
    param_id_ = current_param_;
    ++current_param_;
    MakeNewMotion("");
  } else {
    // Every candidate is handed out: the last kick is played again and not scored.
    param_id_ = Lambda();
  }
  long_kick_->Reset();
}

void MultiAgentKickEvolutionParent::Evaluate() {
  if (get_fitness_count_ < Lambda()) {
    if (param_id_ >= Lambda()) return;
    const double score = TrialScore();
    max_value_ = std::max(max_value_, score);
    fitness_[param_id_] = -score;
    sum_ += std::max(score, 0.0);
    ++get_fitness_count_;
    std::cout << "ID: " << param_id_ << "\tIteration: " << get_fitness_count_
              << "\tBDIST_X: " << score << std::endl;
    max_speed_ = 0.0;
    return;
  }
  EndGeneration();
  get_fitness_count_ = 0;
}

}  // namespace zamp
