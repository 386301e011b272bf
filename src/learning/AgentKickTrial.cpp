#include "learning/AgentKickTrial.h"

#include <cmath>

#include "core/JointController.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "core/Tool.h"
#include "learning/EffectorTrainer.h"
#include "model/AgentState.h"
#include "model/WorldState.h"
#include "motion/MotionSequenceXML.h"

namespace zamp {

namespace {

const int LEFT_PLAYER_10 = 9;          // trainer table entry
const double START_DIRECTION = -90.0;  // degrees: the left team faces +x
const Eigen::Vector3d BALL_START(0.0, 0.0, 0.042);
const char FIRE[] = "fire";

}  // namespace

AgentKickTrial::AgentKickTrial(int argc, char** argv, const Placement& placement)
    : AgentWithTrainer(argc, argv),
      state_(STATE_UPDATE_MOTION),
      long_kick_(std::make_unique<MotionSequenceXML>()),
      max_speed_(0.0),
      placement_(placement),
      before_ball_coord_(Eigen::Vector3d::Zero()),
      before_ball_time_(-1.0),
      ready_time_(0) {
  // Every later score would be measured without the trainer's placement.
  stop_on_trainer_loss_ = true;
}

AgentKickTrial::~AgentKickTrial() {}

void AgentKickTrial::Think() {
  switch (state_) {
    case STATE_READY:
      Ready();
      break;
    case STATE_MOVE:
      Move();
      break;
    case STATE_WAIT_FOR_RESULT:
      WaitForResult();
      break;
    case STATE_EVALUATE:
      Evaluate();
      break;
    case STATE_STAND_UP:
      StandUp();
      break;
    case STATE_UPDATE_MOTION:
      break;
  }
  UpdateState();
}

void AgentKickTrial::SettingBeam() {
  Singleton<AgentState>::GetInstance()->SettingBeam(
      Eigen::Vector3d(placement_.start.x(), placement_.start.y(), 0.0));
}

void AgentKickTrial::ControlEffector(EffectorAgent&) {}

void AgentKickTrial::ControlEffectorTrainer(EffectorTrainer& effector) {
  effector.SetEffectorUse(EffectorTrainer::MOVE_AGENT, true);
  EffectorTrainer::AgentSet& self = effector.agent_set_[LEFT_PLAYER_10];
  switch (state_) {
    case STATE_UPDATE_MOTION:
      // Robot and ball go back in one trainer message, and the next kick is loaded.
      PlaceAtStart(effector);
      UpdateMotion();
      state_ = STATE_READY;
      break;
    case STATE_STAND_UP:
      self.can_move = true;
      self.coord = Eigen::Vector4d(placement_.stand_up.x(), placement_.stand_up.y(),
                                   placement_.start.z(), START_DIRECTION);
      break;
    default:
      LeaveInPlace(effector);
      break;
  }
}

void AgentKickTrial::PlaceAtStart(EffectorTrainer& effector) const {
  EffectorTrainer::AgentSet& self = effector.agent_set_[LEFT_PLAYER_10];
  self.can_move = true;
  self.coord = Eigen::Vector4d(placement_.start.x(), placement_.start.y(), placement_.start.z(),
                               START_DIRECTION);
  effector.SetEffectorUse(EffectorTrainer::BEAM_BALL, true);
  effector.ball_coord_ = BALL_START;
  effector.ball_speed_ = Eigen::Vector3d::Zero();
}

void AgentKickTrial::LeaveInPlace(EffectorTrainer& effector) const {
  effector.agent_set_[LEFT_PLAYER_10].can_move = false;
  effector.SetEffectorUse(EffectorTrainer::BEAM_BALL, false);
}

double AgentKickTrial::TrackBall() {
  const RawStorage& raw = *Singleton<RawStorage>::GetInstance();
  if (!raw.HasNewSeeData()) return -1.0;
  const Eigen::Vector3d& ball = raw.GetHiddenData().ball_pos;
  const double now = Singleton<WorldState>::GetInstance()->GetServerTime();
  const double cycles = (now - before_ball_time_) / UPDATE_INTERVAL_TIME;
  double moved = -1.0;
  if (before_ball_time_ >= 0.0 && cycles > 0.5) {
    moved =
        Tool::CulcDistance(Tool::RemoveVectZ(before_ball_coord_), Tool::RemoveVectZ(ball)) / cycles;
    const double dx = (ball.x() - before_ball_coord_.x()) / cycles;
    if (dx > max_speed_) max_speed_ = dx;
  }
  before_ball_coord_ = ball;
  before_ball_time_ = now;
  return moved;
}

void AgentKickTrial::UpdateState() {
  const double moved = TrackBall();
  switch (state_) {
    case STATE_READY:
      if (++ready_time_ >= READY_CYCLE_LIMIT ||
          Singleton<JointController>::GetInstance()->CheckAllArrived()) {
        state_ = STATE_MOVE;
        ready_time_ = 0;
      }
      break;
    case STATE_MOVE:
      if (CheckFall() || long_kick_->IsEnd()) state_ = STATE_STAND_UP;
      break;
    case STATE_STAND_UP:
      if (++ready_time_ >= READY_CYCLE_LIMIT ||
          Singleton<JointController>::GetInstance()->CheckAllArrived()) {
        state_ = STATE_WAIT_FOR_RESULT;
        ready_time_ = 0;
      }
      break;
    case STATE_WAIT_FOR_RESULT:
      if (moved >= 0.0 && moved < STILL_DISTANCE) state_ = STATE_EVALUATE;
      // A fall wins over a still ball.
      if (CheckFall()) state_ = STATE_STAND_UP;
      break;
    case STATE_EVALUATE:
      state_ = STATE_UPDATE_MOTION;
      break;
    case STATE_UPDATE_MOTION:
      break;
  }
}

void AgentKickTrial::Ready() { SettingReadyPose(placement_.ready_gain); }

void AgentKickTrial::Move() { long_kick_->Run(); }

void AgentKickTrial::WaitForResult() { Ready(); }

void AgentKickTrial::StandUp() { Ready(); }

bool AgentKickTrial::CheckFall() {
  const Eigen::Vector3d& rotation = Singleton<AgentState>::GetInstance()->GetRotation();
  return std::fabs(rotation.x()) >= FALL_TILT || std::fabs(rotation.y()) >= FALL_TILT;
}

double AgentKickTrial::TrialScore() const {
  const double x = Singleton<RawStorage>::GetInstance()->GetHiddenData().ball_pos.x();
  return (long_kick_->GetCurrentMotionName() != FIRE || !(x > 0.0)) ? -1.0 : x;
}

}  // namespace zamp
