#include "learning/AgentDemo.h"

#include <cmath>
#include <iostream>

#include "core/Singleton.h"
#include "learning/EffectorTrainer.h"
#include "model/AgentState.h"
#include "model/WorldState.h"
#include "motion/DovrelikWalk.h"
#include "motion/NewTabeWalk.h"
#include "motion/TabeWalk.h"

namespace zamp {

namespace {

const char WALK_OPTION[] = "--walk=";
const int LOCUS_WALKER = 10;          // uniform number that walks with the locus walk
const double READY_GAIN = 0.1;
const double READY_COUNT_TIME = 45.0;  // s of game time after which the ready count stops
const double PHASE_TIME = 4.0;         // s of game time per phase
const double PHASE_LAST_CYCLE = 3.97;  // s into a phase: its last cycle
const double PAUSE_TIME = 3.0;         // s into a phase from which the robot stands
const double HEADING_GAIN = 45.0;      // degrees off heading for a full-speed turn back
const double START_DIRECTION = -90.0;  // degrees: the left team faces +x

std::unique_ptr<Walk> MakeWalk(const std::string& name, int unum) {
  if (name == "locus") return std::make_unique<TabeWalk>();
  if (name == "sine") return std::make_unique<DovrelikWalk>();
  if (name == "pendulum") return std::make_unique<NewTabeWalk>();
  if (!name.empty()) {
    std::cout << "I use the default walk because \"" << name << "\" walk doesn't exist."
              << std::endl;
  }
  if (unum == LOCUS_WALKER) return std::make_unique<TabeWalk>();
  return std::make_unique<DovrelikWalk>();
}

}  // namespace

AgentDemo::AgentDemo(int argc, char** argv)
    : AgentWithTrainer(argc, argv), state_(STATE_READY), ready_time_(0), phase_(0) {
  const int unum = Singleton<AgentState>::GetInstance()->GetUniformNumber();
  walk_ = MakeWalk(ReadWalkName(argc, argv), unum);
  init_agent_coord_ =
      unum == LOCUS_WALKER ? Eigen::Vector3d(-13.0, 1.0, 0.375) : Eigen::Vector3d(-13.0, -1.0, 0.375);
}

AgentDemo::~AgentDemo() {}

std::string AgentDemo::ReadWalkName(int argc, char** argv) {
  const std::string option = WALK_OPTION;
  std::string name;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i] != nullptr ? argv[i] : "";
    if (arg.compare(0, option.size(), option) == 0) name = arg.substr(option.size());
  }
  return name;
}

void AgentDemo::Think() {
  UpdateState();
  if (state_ == STATE_READY) Ready();
  if (state_ == STATE_WALK) Walking();
}

void AgentDemo::UpdateState() {
  const WorldState& world = *Singleton<WorldState>::GetInstance();
  const AgentState& agent = *Singleton<AgentState>::GetInstance();
  switch (state_) {
    case STATE_READY:
      if (world.GetGameTime() < READY_COUNT_TIME) ++ready_time_;
      if (world.GetPlayMode() == PM_BEFORE_KICK_OFF) break;
      if (ready_time_ >= MAX_READY_TIME) {
        state_ = STATE_WALK;
        ready_time_ = 0;
      }
      break;
    case STATE_WALK:
    case STATE_RESET:
      if (agent.GetFallDirection() != AgentState::FALL_NOT) state_ = STATE_RESET;
      break;
  }
}

void AgentDemo::Ready() { SettingReadyPose(READY_GAIN); }

void AgentDemo::Walking() {
  const double heading = Singleton<AgentState>::GetInstance()->GetRotation().z();
  const double a = -heading / HEADING_GAIN;
  const double t = std::fmod(Singleton<WorldState>::GetInstance()->GetGameTime(), PHASE_TIME);
  if (t >= PHASE_LAST_CYCLE) ++phase_;
  switch (phase_) {
    case 0:
      walk_->SettingSpeed(1.0, 0.0, a);
      break;
    case 1:
      walk_->SettingSpeed(-1.0, 0.0, a);
      break;
    case 2:
      walk_->SettingSpeed(0.1, 1.0, a);
      break;
    case 3:
      walk_->SettingSpeed(0.1, -1.0, a);
      break;
    case 4:
      walk_->SettingSpeed(0.1, 0.0, 1.0);
      break;
    case 5:
      walk_->SettingSpeed(0.1, 0.0, -1.0);
      break;
    default:
      walk_->SettingSpeed(0.0, 0.0, 0.0);
      break;
  }
  if (t >= PAUSE_TIME) walk_->SettingSpeed(0.0, 0.0, 0.0);
  walk_->Run();
}

void AgentDemo::ControlEffectorTrainer(EffectorTrainer& effector) {
  effector.SetEffectorUse(EffectorTrainer::MOVE_AGENT, true);
  const int unum = Singleton<AgentState>::GetInstance()->GetUniformNumber();
  if (unum < 1 || unum > MAX_TEAM_AGENT_NUM) return;
  EffectorTrainer::AgentSet& self = effector.agent_set_[unum - 1];
  if (state_ == STATE_RESET) {
    // One move per fall: the next cycle is already in the ready state.
    self.can_move = true;
    self.coord = Eigen::Vector4d(init_agent_coord_.x(), init_agent_coord_.y(),
                                 init_agent_coord_.z(), START_DIRECTION);
    walk_->ResetCurrentSpeed();
    state_ = STATE_READY;
  } else {
    self.can_move = false;
    effector.SetEffectorUse(EffectorTrainer::BEAM_BALL, false);
  }
}

}  // namespace zamp
