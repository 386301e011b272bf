// The field model: the eight landmarks, the ball and the 22 other players in the team frame
// (own goal at x = -15, attack towards +x, z up; m, m/s), and the agent's global rotation
// from the torso frame (x right, y forward, z up) to the team frame.
//
// Abstract base of the match agent's KalmanFieldState and the learning agents'
// SimpleFieldState. One instance per process (Singleton<FieldState>), created by
// Agent::Init after AgentState; the cycle calls the virtual Update once per cycle after
// AgentState::Update and before StrategyInformation::Update.
//
// Reads (in the subclasses' Update): the perception store's seen objects, lines, server
// time and vision flag; AgentState's head pose, neck angles, gyroscope and walk speeds;
// WorldState's play mode and server time. Writes: its own objects, and AgentState's
// rotation_, coordnates_, speed_ and covariance_error_.
#pragma once

#include <Eigen/Core>
#include <Eigen/Geometry>
#include <utility>
#include <vector>

#include "core/const.h"
#include "model/Ball.h"
#include "model/FieldObject.h"
#include "model/Flag.h"
#include "model/OtherPlayer.h"

namespace zamp {

class AgentState;
namespace raw {
struct VisibleObject;
}

class FieldState {
 public:
  // (first, second): the difference second - first is measured in the torso frame and
  // known in the team frame.
  typedef std::pair<Flag*, Flag*> FlagPair;

  struct FlagSlot {
    FlagSlot(const FlagPair& pair, double offset) : flag_pair(pair), degree_offset(offset) {}
    FlagPair flag_pair;
    double degree_offset;  // degrees
  };

  // Number of entries of the seen-object list: 8 flags, the ball, 22 players x 5 parts.
  static const int ALL_VISIBLE_OBJECT_NUM = FLAG_NUM + BALL_NUM + MAX_AGENT_NUM * VISIBLE_PART_NUM;

  FieldState();
  virtual ~FieldState();
  FieldState(const FieldState&) = delete;
  FieldState& operator=(const FieldState&) = delete;

  // Once per cycle.
  virtual void Update() = 0;

  // Discards the orientation estimate and faces the torso's forward axis towards the beam
  // direction held in AgentState. AgentState's rotation_ follows with the next Update.
  void ResetGrobalRotation();
  // The same for an upright torso facing direction (degrees, team frame; 0 faces +x).
  void ResetGrobalRotation(double direction);

  const Flag& GetFlag(FlagID id) const { return *flags_[id]; }
  const Ball& GetBall() const { return *ball_; }
  // 0-10 team mates, 11-21 opponents, each by uniform number minus 1.
  const OtherPlayer& GetAllPlayer(int index) const { return *players_[index]; }
  const OtherPlayer& GetFriendPlayer(int index) const { return *us_players_[index]; }
  const OtherPlayer& GetEnemyPlayer(int index) const { return *enemy_players_[index]; }
  // In the perception store's order (RawStorage::GetAllVisibleObjects).
  const std::vector<FieldObject*>& GetAllVisibleObjects() const { return all_visible_obj_; }
  const Eigen::Affine3d& GetGlobalRotation() const { return global_rotation_; }
  double GetObserveGlobalRotationUpdateTime() const { return obs_global_rotation_update_time_; }

 protected:
  // Measured axes shorter than this give no direction, such as the difference between two
  // flags that have never been seen (both sit at the head), m or unit-vector length.
  static constexpr double MIN_AXIS_LENGTH = 1e-6;

  // The nearest rotation to a matrix built from measured axes: U V^T of its singular
  // value decomposition.
  static Eigen::Matrix3d Orthonormalize(const Eigen::Matrix3d& m);
  // The rotation from the torso frame to the team frame measured from the team frame's
  // x (right), y (forward) and z (up) axes as seen in the torso frame.
  static Eigen::Matrix3d MeasuredRotation(const Eigen::Vector3d& right,
                                          const Eigen::Vector3d& forward,
                                          const Eigen::Vector3d& up);
  // A sighting's (distance m, horizontal degrees, vertical degrees) with both angles
  // wrapped into [-180, 180]: a direction is periodic, and an angle no sensor gives would
  // otherwise overflow into a NaN position when it is turned into radians.
  static Eigen::Vector3d WrapPolar(const Eigen::Vector3d& polar);
  // The rotation from the torso frame to the team frame measured from the landmark pairs
  // seen in this vision cycle: the forward axis averaged over the seen forward pairs, the
  // right axis over the seen right pairs, else over the seen right product pairs. False,
  // and measured untouched, when either axis had no seen pair. Landmarks not seen now are
  // never used: the perception store keeps their sightings from other poses.
  bool MeasureGlobalRotation(Eigen::Matrix3d& measured) const;
  // Turns global_rotation_ the given share (0 to 1) of the way towards measured, about the
  // axis of the rotation between them. False, and nothing changed, when the result is not
  // a usable number.
  bool CorrectGlobalRotation(const Eigen::Matrix3d& measured, double rate);
  // Turns global_rotation_ by what the gyroscope measured over the last cycle (the
  // trapezoid of this and the previous cycle's rates, applied in the body frame).
  void IntegrateGyroRate(const AgentState& agent);
  // Starts a vision cycle at server time t (s): every player counts as unseen until one of
  // its parts is taken.
  void BeginSightings(double t);
  // Takes one object's perception of this vision cycle: its time since the last sighting,
  // and whether it was seen with usable numbers. A seen object gets its wrapped polar
  // coordinates and sighting time, and a seen part marks its player seen. An unseen one
  // keeps everything else from its last sighting.
  bool TakeSighting(FieldObject& object, const raw::VisibleObject& seen, double t);
  // Places a sighting in the torso frame through the head's pose and turns its angles
  // into angles from the torso by adding the neck's. polar: (distance m, horizontal
  // degrees, vertical degrees) relative to the head.
  static void PlaceSighting(FieldObject& object, const Eigen::Vector3d& polar,
                            const AgentState& agent);

  Flag* flags_[FLAG_NUM];  // by FlagID
  Ball* ball_;
  OtherPlayer* players_[MAX_AGENT_NUM];        // 0-10 team mates, 11-21 opponents
  std::vector<FieldObject*> all_visible_obj_;  // 119 entries, perception store order
  std::vector<OtherPlayer*> us_players_;
  std::vector<OtherPlayer*> enemy_players_;
  Eigen::Affine3d global_rotation_;           // torso frame to team frame, no translation
  double obs_global_rotation_update_time_;    // s, last orientation measured from flags
  std::vector<FlagPair> flag_forward_pairs_;  // second - first points along +y
  std::vector<FlagPair> flag_right_pairs_;    // second - first points along +x
  // ((a, b), (c, d)) with cross(b - a, d - c) along +x.
  std::vector<std::pair<FlagPair, FlagPair>> flag_right_product_pairs_;

 private:
  friend struct FieldTestAccess;
};

}  // namespace zamp
