// The perception store. Once per cycle, right after Parser::Update and before
// WorldState::Update, it walks the parse tree and copies every element it understands
// into the fixed raw records. It decides nothing and converts no units.
//
// Reads: the parser's tree; WorldState's team name and side (the side as the game state
// left it in the previous cycle, so landmarks are filed one message late).
// Writes: only its own records.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/RawStruct.h"
#include "core/const.h"

namespace zamp {

class ServerData;

class RawStorage {
 public:
  // Eight landmarks and the ball.
  static constexpr int VISIBLE_OBJECT_NUM = 9;

  RawStorage();
  virtual ~RawStorage();

  // Refreshes the store from the parser's current tree.
  void Update();

  const raw::ServerTime& GetServerTime() const { return server_time_; }
  const raw::GameState& GetGameState() const { return game_state_; }
  const raw::Hear& GetHear(int hear_id) const { return hears_[hear_id]; }
  const raw::GyroRate& GetGyroRate() const { return gyro_; }
  const raw::Accelerometer& GetAccelerometer() const { return accele_; }
  const raw::HingeJoint& GetHingeJoint(int joint_id) const { return hinge_joints_[joint_id]; }
  const raw::ForceResistance& GetForceResistance(int id) const { return force_resistances_[id]; }
  const raw::VisibleObject& GetFlag(int flag_id) const { return visible_objs_[flag_id]; }
  const raw::VisibleObject& GetBall() const { return visible_objs_[FLAG_NUM]; }
  const raw::Player& GetPlayer(int slot) const { return players_[slot]; }
  const std::vector<raw::VisibleObject>& GetLines() const { return lines_; }
  // 119 entries: the eight flags by FlagID, the ball, then 22 player slots x 5 parts.
  const std::vector<raw::VisibleObject*>& GetAllVisibleObjects() const { return all_visible_obj_; }
  const raw::HiddenData& GetHiddenData() const { return hidden_data_; }
  bool HasNewSeeData() const { return has_see_; }

 private:
  typedef void (RawStorage::*Func)(const ServerData&);

  // One node of the keyword tree: either an inner node with children by tag, or a leaf
  // with the handler of that tag.
  struct FuncGuid {
    typedef std::map<std::string, FuncGuid*> GuidList;
    explicit FuncGuid(Func func) : PutData(func) {}
    ~FuncGuid();
    FuncGuid(const FuncGuid&) = delete;
    FuncGuid& operator=(const FuncGuid&) = delete;

    GuidList guids;
    Func PutData;
  };

  RawStorage(const RawStorage&);
  RawStorage& operator=(const RawStorage&);

  void Update(const ServerData& data, FuncGuid& guid);
  void Reset();

  void PutServerTime(const ServerData& e);
  void PutGameState(const ServerData& e);
  void PutHear(const ServerData& e);
  void PutGyroRate(const ServerData& e);
  void PutAccelerometer(const ServerData& e);
  void PutHingeJoint(const ServerData& e);
  void PutForceResistance(const ServerData& e);
  void PutVisibleObject(const ServerData& e);
  void PutPlayer(const ServerData& e);
  void PutVisbleParts(const ServerData& e, const char* part_name, raw::Player& player);
  void PutLine(const ServerData& e);
  void PutHiddenData(const ServerData& e);

  FuncGuid* root_;
  std::map<std::string, int> hinge_joint_id_;
  std::map<std::string, int> visible_obj_left_id_;
  std::map<std::string, int> visible_obj_right_id_;
  std::map<std::string, int> visible_part_id_;
  std::map<std::string, int> force_resistance_id_;
  std::vector<raw::VisibleObject*> all_visible_obj_;
  std::vector<raw::VisibleObject> lines_;
  raw::ServerTime server_time_;
  raw::GameState game_state_;
  raw::Hear hears_[MAX_HEAR_MESSAGE_NUM];
  raw::GyroRate gyro_;
  raw::Accelerometer accele_;
  raw::HingeJoint hinge_joints_[HINGE_JOINT_NUM];
  raw::ForceResistance force_resistances_[FORCE_RESISTANCE_NUM];
  raw::VisibleObject visible_objs_[VISIBLE_OBJECT_NUM];
  raw::Player players_[MAX_AGENT_NUM];
  raw::HiddenData hidden_data_;
  bool has_see_;
  // The game state's side and own team name, read once at the top of Update.
  SideID side_;
  std::string team_name_;
};

}  // namespace zamp
