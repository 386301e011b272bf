// The match agent: the player that the entry point builds. Agent::Run drives the cycle; this
// class supplies the decision step. Each cycle, after every model update, Think lets the role
// strategy hear its team mates, runs the behaviour state machine over AgentState's behaviour
// and acts in the chosen state:
//
//   BEH_READY     holds the ready pose with a sweeping head while the game allows a beam;
//   BEH_MOVE      the strategy steers the shared walk engine and may ask for a motion by
//                 writing its word into the strategy's command string;
//   BEH_KICK,
//   BEH_JUMP      plays the requested keyframe motion to its end;
//   BEH_STAND_UP  plays the stand-up that fits the direction of a fall.
//
// ControlEffector then fills the say text and switches the beam piece: at each opportunity
// the beam goes out for at most 11 cycles (0.22 s). SettingBeam stores the kick-off position
// by uniform number (team frame, metres and degrees) once after the first perception.
//
// Reads WorldState (beam permission, server time and cycle, side) and AgentState (fall
// direction and time, uniform number, robot type); writes AgentState's behaviour and move
// state, the beam pose and, through the motions and the walk, the JointController. The
// motion files under xml/MotionXML/ are read relative to the working directory.
#pragma once

#include <memory>
#include <string>

#include "agent/Agent.h"

namespace zamp {

class MotionSequence;
class Strategy;
class Walk;

class AgentZAMP : public Agent {
 public:
  AgentZAMP(int argc, char** argv);
  ~AgentZAMP() override;

  void Think() override;
  void SettingBeam() override;
  void ControlEffector(EffectorAgent& effector) override;

  virtual void BehaveReady();
  virtual void BehaveMove();
  virtual void BehaveStandUp();
  virtual void BehaveKick();
  virtual void BehaveJump();
  virtual void CreateMotion();
  virtual void ResetMotion();
  virtual void UpdateState();

  // True (after the stand-up for the fall's direction became the current motion) when the
  // robot has lain for at least 0.3 s of server time.
  bool CheckFall();

  // The role strategy for a --mode word and uniform number: "game" plays the keeper for
  // number 1 and a fielder otherwise, "dropin", "kick" and "kicker" their own strategies;
  // any other word is announced on standard output and plays the game strategy.
  static std::unique_ptr<Strategy> CreateStrategy(const std::string& mode, int uniform_number);

 private:
  // Test seam: replaces the strategy and reads the motion being played.
  friend class AgentZAMPTestAccess;

  // The longest stretch of one beam opportunity during which the beam is sent.
  static constexpr double MAX_USING_BEAM_TIME = 0.2;  // s
  // How long the robot must have been down before a stand-up starts.
  static constexpr double FALL_CONFIRM_TIME = 0.3;  // s

  std::unique_ptr<Strategy> strategy_;
  std::shared_ptr<Walk> walk_;
  MotionSequence* motion_;  // one of the motions below, played in the motion states
  std::unique_ptr<MotionSequence> stand_up_back_;
  std::unique_ptr<MotionSequence> stand_up_prone_;
  std::unique_ptr<MotionSequence> kick_off_shoot_;
  std::unique_ptr<MotionSequence> old_kick_;
  std::unique_ptr<MotionSequence> quick_kick_;
  std::unique_ptr<MotionSequence> quick_kick2_;
  std::unique_ptr<MotionSequence> long_kick_;
  std::unique_ptr<MotionSequence> right_jump_;
  std::unique_ptr<MotionSequence> left_jump_;
  std::unique_ptr<MotionSequence> open_foot_;
  double using_beam_time_;  // s the beam has been sent at this opportunity
  std::string say_text_;    // this cycle's say text, kept so that saying allocates nothing
};

}  // namespace zamp
