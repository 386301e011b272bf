#include "support/ModelCycle.h"

#include <cmath>
#include <vector>

#include "core/Singleton.h"
#include "model/KalmanFieldState.h"
#include "model/SimpleFieldState.h"

namespace zamp {
namespace test {

namespace {

// Creates a fresh T (or U) as the shared instance and returns it.
template <typename T, typename U = T>
T* CreateShared() {
  Singleton<T>::ExchangeForTest(nullptr);
  Singleton<T>::template Create<U>();
  return Singleton<T>::GetInstance();
}

// Forgets the shared instance when it is this one, then frees it.
template <typename T>
void Free(T* instance) {
  if (Singleton<T>::GetInstance() == instance) Singleton<T>::ResetForTest();
  delete instance;
}

}  // namespace

int ModelCycle::live_ = 0;

ModelCycle::ModelCycle(const std::string& team_name, int uniform_number, FieldModel model,
                       AgentTypeID agent_type) {
  if (live_++ == 0) {
    // Nobody owns what is shared now: production never frees a shared instance.
    Free(Singleton<JointController>::GetInstance());
    Free(Singleton<StrategyInformation>::GetInstance());
    Free(Singleton<FieldState>::GetInstance());
    Free(Singleton<AgentState>::GetInstance());
    Free(Singleton<WorldState>::GetInstance());
    Free(Singleton<RawStorage>::GetInstance());
    Free(Singleton<Parser>::GetInstance());
  }
  // In the order of Agent::Init: the joint controller reads the robot type when created.
  parser_ = CreateShared<Parser>();
  raw_ = CreateShared<RawStorage>();
  world_ = CreateShared<WorldState>();
  agent_ = CreateShared<AgentState>();
  world_->SetTeamName(team_name);
  agent_->SetUniformNumber(uniform_number);
  agent_->SetAgentType(agent_type);
  field_ = model == KALMAN ? CreateShared<FieldState, KalmanFieldState>()
                           : CreateShared<FieldState, SimpleFieldState>();
  info_ = CreateShared<StrategyInformation>();
  joints_ = CreateShared<JointController>();
}

ModelCycle::~ModelCycle() {
  --live_;
  Free(joints_);
  Free(info_);
  Free(field_);
  Free(agent_);
  Free(world_);
  Free(raw_);
  Free(parser_);
}

void ModelCycle::Install() {
  Singleton<Parser>::ExchangeForTest(parser_);
  Singleton<RawStorage>::ExchangeForTest(raw_);
  Singleton<WorldState>::ExchangeForTest(world_);
  Singleton<AgentState>::ExchangeForTest(agent_);
  Singleton<FieldState>::ExchangeForTest(field_);
  Singleton<StrategyInformation>::ExchangeForTest(info_);
  Singleton<JointController>::ExchangeForTest(joints_);
}

void ModelCycle::Perceive(const std::string& message) {
  Install();
  parser_->Update(message);
  raw_->Update();
  world_->Update();
  agent_->Update();
}

void ModelCycle::Start(const std::string& first_message, const Eigen::Vector3d& beam) {
  Perceive(first_message);
  agent_->SettingBeam(beam);
}

void ModelCycle::Step(const std::string& message) {
  Perceive(message);
  field_->Update();
  info_->Update();
  if (world_->CanBeam() && using_beam_time_ <= 0.2) {
    field_->ResetGrobalRotation();
    using_beam_time_ += 0.02;
  } else if (!world_->CanBeam()) {
    using_beam_time_ = 0.0;
  }
}

bool ModelCycle::AllFinite() const {
  const AgentState& a = *agent_;
  bool finite = a.GetGyroRate().allFinite() && a.GetAcceleration().allFinite() &&
                a.GetCenterOfGravity().allFinite() && a.GetZMP().allFinite() &&
                std::isfinite(a.GetNotFallTime()) && a.GetRotation().allFinite() &&
                a.GetCoordinates().allFinite() && a.GetSpeed().allFinite() &&
                a.GetCovarianceError().allFinite() &&
                field_->GetGlobalRotation().matrix().allFinite() &&
                info_->GetKickTargetCoord().allFinite() &&
                std::isfinite(info_->GetMeAndBallDegree()) &&
                std::isfinite(info_->GetBallDirectionDiff()) &&
                std::isfinite(info_->GetBallNearestEnemyDistance());
  for (int i = 0; i < HINGE_JOINT_NUM; ++i) {
    finite = finite && std::isfinite(a.GetJointDegree(HingeJointID(i)));
  }
  for (int i = 0; i < FORCE_RESISTANCE_NUM; ++i) {
    finite = finite && a.GetForceCoordinates(ForceResistanceID(i)).allFinite() &&
             a.GetForceVector(ForceResistanceID(i)).allFinite();
  }
  for (int i = 0; i < BODY_PART_NUM; ++i) {
    finite = finite && a.GetBodyPart(BodyPartID(i)).global_transform.matrix().allFinite();
  }
  for (const FieldObject* object : field_->GetAllVisibleObjects()) {
    finite = finite && object->GetRelativeCoordinates().allFinite() &&
             object->GetMeasureCovarianceError().allFinite() &&
             std::isfinite(object->GetFootDistance());
  }
  std::vector<const DynamicFieldObject*> dynamic = {&field_->GetBall()};
  for (int i = 0; i < MAX_AGENT_NUM; ++i) {
    dynamic.push_back(&field_->GetAllPlayer(i));
    for (int k = 0; k < VISIBLE_PART_NUM; ++k) {
      dynamic.push_back(&field_->GetAllPlayer(i).GetVisiblePart(VisiblePartID(k)));
    }
  }
  for (const DynamicFieldObject* object : dynamic) {
    finite = finite && object->GetAbsoluteCoordinates().allFinite() &&
             object->GetSpeed().allFinite() && object->GetCovarianceError().allFinite();
  }
  return finite;
}

}  // namespace test
}  // namespace zamp
