// Test driver for the model stages of the agent cycle: feeds one message text at a time
// through Parser, RawStorage, WorldState, AgentState, the field state and
// StrategyInformation in the cycle's order, on fresh shared instances, and then does what
// the match agent's effector control does with the beam (the field rotation is reset while
// a beam is being sent). No sockets, no threads: the message is the clock.
#pragma once

#include <Eigen/Core>
#include <cmath>
#include <string>
#include <vector>

#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/KalmanFieldState.h"
#include "model/SimpleFieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"
#include "support/SharedInstances.h"

namespace zamp {
namespace test {

class ModelCycle {
 public:
  enum FieldModel { KALMAN, SIMPLE };

  ModelCycle(const std::string& team_name, int uniform_number, FieldModel model = KALMAN) {
    Renew<FieldState>();
    Renew<StrategyInformation>();
    RenewAndCreate<Parser, RawStorage, WorldState, AgentState>();
    Singleton<WorldState>::GetInstance()->SetTeamName(team_name);
    Singleton<AgentState>::GetInstance()->SetUniformNumber(uniform_number);
    if (model == KALMAN) {
      Singleton<FieldState>::Create<KalmanFieldState>();
    } else {
      Singleton<FieldState>::Create<SimpleFieldState>();
    }
    Singleton<StrategyInformation>::Create();
  }

  // The perception, game and body models of one cycle, without the field state and the play
  // information.
  void Perceive(const std::string& message) {
    Singleton<Parser>::GetInstance()->Update(message);
    Singleton<RawStorage>::GetInstance()->Update();
    Singleton<WorldState>::GetInstance()->Update();
    Singleton<AgentState>::GetInstance()->Update();
  }

  // The start-up step: the first message updates the perception, game and body models
  // only; then the beam pose (x m, y m, direction degrees) is stored.
  void Start(const std::string& first_message, const Eigen::Vector3d& beam) {
    Perceive(first_message);
    Singleton<AgentState>::GetInstance()->SettingBeam(beam);
  }

  // One cycle of model updates, then the beam handling of the match agent.
  void Step(const std::string& message) {
    Perceive(message);
    Singleton<FieldState>::GetInstance()->Update();
    Singleton<StrategyInformation>::GetInstance()->Update();

    const WorldState& world = *Singleton<WorldState>::GetInstance();
    if (world.CanBeam() && using_beam_time_ <= 0.2) {
      Singleton<FieldState>::GetInstance()->ResetGrobalRotation();
      using_beam_time_ += 0.02;
    } else if (!world.CanBeam()) {
      using_beam_time_ = 0.0;
    }
  }

  // True while every value the body model, the field model and the play information
  // publish is finite.
  bool AllFinite() const {
    const AgentState& a = agent();
    bool finite =
        a.GetGyroRate().allFinite() && a.GetAcceleration().allFinite() &&
        a.GetCenterOfGravity().allFinite() && a.GetZMP().allFinite() &&
        std::isfinite(a.GetNotFallTime()) && a.GetRotation().allFinite() &&
        a.GetCoordinates().allFinite() && a.GetSpeed().allFinite() &&
        a.GetCovarianceError().allFinite() && field().GetGlobalRotation().matrix().allFinite() &&
        info().GetKickTargetCoord().allFinite() && std::isfinite(info().GetMeAndBallDegree()) &&
        std::isfinite(info().GetBallDirectionDiff()) &&
        std::isfinite(info().GetBallNearestEnemyDistance());
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
    for (const FieldObject* object : field().GetAllVisibleObjects()) {
      finite = finite && object->GetRelativeCoordinates().allFinite() &&
               object->GetMeasureCovarianceError().allFinite() &&
               std::isfinite(object->GetFootDistance());
    }
    std::vector<const DynamicFieldObject*> dynamic = {&field().GetBall()};
    for (int i = 0; i < MAX_AGENT_NUM; ++i) {
      dynamic.push_back(&field().GetAllPlayer(i));
      for (int k = 0; k < VISIBLE_PART_NUM; ++k) {
        dynamic.push_back(&field().GetAllPlayer(i).GetVisiblePart(VisiblePartID(k)));
      }
    }
    for (const DynamicFieldObject* object : dynamic) {
      finite = finite && object->GetAbsoluteCoordinates().allFinite() &&
               object->GetSpeed().allFinite() && object->GetCovarianceError().allFinite();
    }
    return finite;
  }

  const RawStorage& raw() const { return *Singleton<RawStorage>::GetInstance(); }
  const WorldState& world() const { return *Singleton<WorldState>::GetInstance(); }
  AgentState& agent() const { return *Singleton<AgentState>::GetInstance(); }
  FieldState& field() const { return *Singleton<FieldState>::GetInstance(); }
  const StrategyInformation& info() const { return *Singleton<StrategyInformation>::GetInstance(); }

 private:
  double using_beam_time_ = 0.0;  // s the beam has been sent at this opportunity
};

}  // namespace test
}  // namespace zamp
