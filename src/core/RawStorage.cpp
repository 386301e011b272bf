#include "core/RawStorage.h"

#include "core/Parser.h"
#include "core/ServerData.h"
#include "core/Singleton.h"
#include "model/WorldState.h"

namespace zamp {

namespace {

const char* const HINGE_JOINT_NAMES[HINGE_JOINT_NUM] = {
    "hj1",  "hj2",  "raj1", "raj2", "raj3", "raj4", "laj1", "laj2", "laj3", "laj4", "rlj1", "rlj2",
    "rlj3", "rlj4", "rlj5", "rlj6", "rlj7", "llj1", "llj2", "llj3", "llj4", "llj5", "llj6", "llj7"};

const char* const FORCE_RESISTANCE_NAMES[FORCE_RESISTANCE_NUM] = {"rf", "lf", "rf1", "lf1"};

const char* const VISIBLE_PART_NAMES[VISIBLE_PART_NUM] = {"head", "rlowerarm", "llowerarm", "rfoot",
                                                          "lfoot"};

// Server name of a landmark or the ball, and its index in the store on either side. On the
// right every name takes the index of the diagonally opposite landmark, so the own team
// always attacks towards +x.
struct VisibleObjectName {
  const char* name;
  int left_index;
  int right_index;
};

const VisibleObjectName VISIBLE_OBJECT_NAMES[RawStorage::VISIBLE_OBJECT_NUM] = {
    {"F1R", FLAG_FIELD_ENEMY_LEFT, FLAG_FIELD_US_RIGHT},
    {"F2R", FLAG_FIELD_ENEMY_RIGHT, FLAG_FIELD_US_LEFT},
    {"F1L", FLAG_FIELD_US_LEFT, FLAG_FIELD_ENEMY_RIGHT},
    {"F2L", FLAG_FIELD_US_RIGHT, FLAG_FIELD_ENEMY_LEFT},
    {"G1R", FLAG_GOAL_ENEMY_LEFT, FLAG_GOAL_US_RIGHT},
    {"G2R", FLAG_GOAL_ENEMY_RIGHT, FLAG_GOAL_US_LEFT},
    {"G1L", FLAG_GOAL_US_LEFT, FLAG_GOAL_ENEMY_RIGHT},
    {"G2L", FLAG_GOAL_US_RIGHT, FLAG_GOAL_ENEMY_LEFT},
    {"B", FLAG_NUM, FLAG_NUM}};

const char* const HIDDEN_DATA_NAMES[] = {"mypos", "ballpos", "myorien"};

// The index stored for name, or -1. Never inserts: a name from the message that is not in
// the table must not create an entry.
int Find(const std::map<std::string, int>& table, const std::string& name) {
  const auto found = table.find(name);
  return found == table.end() ? -1 : found->second;
}

}  // namespace

RawStorage::FuncGuid::~FuncGuid() {
  for (auto& guid : guids) delete guid.second;
  guids.clear();
}

RawStorage::RawStorage() : root_(new FuncGuid(nullptr)), has_see_(false), side_(SIDE_UNKNOWN) {
  root_->guids["time"] = new FuncGuid(&RawStorage::PutServerTime);
  root_->guids["GS"] = new FuncGuid(&RawStorage::PutGameState);
  root_->guids["hear"] = new FuncGuid(&RawStorage::PutHear);
  root_->guids["GYR"] = new FuncGuid(&RawStorage::PutGyroRate);
  root_->guids["ACC"] = new FuncGuid(&RawStorage::PutAccelerometer);
  root_->guids["HJ"] = new FuncGuid(&RawStorage::PutHingeJoint);
  root_->guids["FRP"] = new FuncGuid(&RawStorage::PutForceResistance);
  FuncGuid* see = new FuncGuid(nullptr);
  root_->guids["See"] = see;
  for (const VisibleObjectName& object : VISIBLE_OBJECT_NAMES) {
    see->guids[object.name] = new FuncGuid(&RawStorage::PutVisibleObject);
    visible_obj_left_id_[object.name] = object.left_index;
    visible_obj_right_id_[object.name] = object.right_index;
  }
  see->guids["P"] = new FuncGuid(&RawStorage::PutPlayer);
  see->guids["L"] = new FuncGuid(&RawStorage::PutLine);
  for (const char* name : HIDDEN_DATA_NAMES) {
    see->guids[name] = new FuncGuid(&RawStorage::PutHiddenData);
  }

  for (int i = 0; i < HINGE_JOINT_NUM; ++i) hinge_joint_id_[HINGE_JOINT_NAMES[i]] = i;
  for (int i = 0; i < FORCE_RESISTANCE_NUM; ++i) {
    force_resistance_id_[FORCE_RESISTANCE_NAMES[i]] = i;
  }
  for (int i = 0; i < VISIBLE_PART_NUM; ++i) visible_part_id_[VISIBLE_PART_NAMES[i]] = i;

  // The field state keeps its list of seen objects in exactly this order and walks the
  // two lists side by side.
  all_visible_obj_.reserve(VISIBLE_OBJECT_NUM + MAX_AGENT_NUM * VISIBLE_PART_NUM);
  for (raw::VisibleObject& object : visible_objs_) all_visible_obj_.push_back(&object);
  for (raw::Player& player : players_) {
    for (raw::VisibleObject& part : player.parts) all_visible_obj_.push_back(&part);
  }
}

RawStorage::~RawStorage() {
  delete root_;
  root_ = nullptr;
}

void RawStorage::Update() {
  Reset();
  // The game state still holds the previous message's side: it updates after the store.
  side_ = SIDE_UNKNOWN;
  team_name_.clear();
  if (const WorldState* world_state = Singleton<WorldState>::GetInstance()) {
    side_ = world_state->GetSide();
    team_name_ = world_state->GetTeamName();
  }

  const Parser* parser = Singleton<Parser>::GetInstance();
  if (parser == nullptr) {
    has_see_ = false;
    return;
  }
  const ServerData& root = *parser->GetCompositeData();
  Update(root, *root_);
  has_see_ = root.GetChild("See") != ServerData::npos;
}

void RawStorage::Update(const ServerData& data, FuncGuid& guid) {
  if (guid.PutData != nullptr) {
    (this->*guid.PutData)(data);
    return;
  }
  for (int i = 0; i < data.GetChildSize(); ++i) {
    const ServerData& child = *data.GetChild(i);
    const auto found = guid.guids.find(child.GetID());
    if (found != guid.guids.end()) Update(child, *found->second);
  }
}

void RawStorage::Reset() {
  for (raw::Hear& hear : hears_) hear.hearing = false;
  for (raw::ForceResistance& force : force_resistances_) force.landing = false;
  for (raw::VisibleObject& object : visible_objs_) object.visible = false;
  for (raw::Player& player : players_) {
    player.visible = false;
    for (raw::VisibleObject& part : player.parts) part.visible = false;
  }
  lines_.clear();
}

void RawStorage::PutServerTime(const ServerData& e) {
  server_time_.time = e.GetChild("now")->GetDataDouble(0);
}

// "unum" and "team" come only in the first message after init; the rest in every one.
void RawStorage::PutGameState(const ServerData& e) {
  const ServerData* unum = e.GetChild("unum");
  if (unum != ServerData::npos) game_state_.uniform_number = unum->GetDataInt(0);
  const ServerData* team = e.GetChild("team");
  if (team != ServerData::npos) game_state_.team = team->GetDataStr(0);
  game_state_.time = e.GetChild("t")->GetDataDouble(0);
  game_state_.play_mode = e.GetChild("pm")->GetDataStr(0);
  game_state_.score_left = e.GetChild("sl")->GetDataInt(0);
  game_state_.score_right = e.GetChild("sr")->GetDataInt(0);
}

// (hear TEAM TIME self TEXT) for the own echo, (hear TEAM TIME DIRECTION TEXT) otherwise.
void RawStorage::PutHear(const ServerData& e) {
  const std::string& team = e.GetDataStr(0);
  int kind = HEAR_ENEMY;
  if (team == team_name_) kind = e.GetDataStr(2) == "self" ? HEAR_SELF : HEAR_FRIEND;
  raw::Hear& hear = hears_[kind];
  hear.team_name = team;
  hear.time = e.GetDataDouble(1);
  hear.direction = kind == HEAR_SELF ? 0.0 : e.GetDataDouble(2);
  hear.message = e.GetDataStr(3);
  hear.hearing = true;
}

void RawStorage::PutGyroRate(const ServerData& e) {
  gyro_.body_name = e.GetChild("n")->GetDataStr(0);
  gyro_.degree_speed = e.GetChild("rt")->GetDataVector();
}

void RawStorage::PutAccelerometer(const ServerData& e) {
  accele_.body_name = e.GetChild("n")->GetDataStr(0);
  accele_.speed = e.GetChild("a")->GetDataVector();
}

void RawStorage::PutHingeJoint(const ServerData& e) {
  const std::string& name = e.GetChild("n")->GetDataStr(0);
  const int id = Find(hinge_joint_id_, name);
  if (id < 0) return;
  hinge_joints_[id].body_name = name;
  hinge_joints_[id].current_degree = e.GetChild("ax")->GetDataDouble(0);
}

void RawStorage::PutForceResistance(const ServerData& e) {
  const std::string& name = e.GetChild("n")->GetDataStr(0);
  const int id = Find(force_resistance_id_, name);
  if (id < 0) return;
  raw::ForceResistance& force = force_resistances_[id];
  force.name = name;
  force.local_coord = e.GetChild("c")->GetDataVector();
  force.force_vect = e.GetChild("f")->GetDataVector();
  force.landing = true;
}

// Landmarks and the ball are filed from the own team's point of view, so nothing can be
// filed before the side is known.
void RawStorage::PutVisibleObject(const ServerData& e) {
  if (side_ == SIDE_UNKNOWN) return;
  const int index =
      Find(side_ == SIDE_LEFT ? visible_obj_left_id_ : visible_obj_right_id_, e.GetID());
  if (index < 0) return;
  visible_objs_[index].visible = true;
  visible_objs_[index].polar_coord = e.GetChild("pol")->GetDataVector();
}

void RawStorage::PutPlayer(const ServerData& e) {
  const std::string& team = e.GetChild("team")->GetDataStr(0);
  const int id = e.GetChild("id")->GetDataInt(0);
  // Only uniform numbers 1 to 11 have a slot; anything else would land on another
  // player's record.
  if (id < 1 || id > MAX_TEAM_AGENT_NUM) return;
  const int slot = team == team_name_ ? id - 1 : MAX_TEAM_AGENT_NUM + id - 1;
  raw::Player& player = players_[slot];
  player.id = id;
  player.team_name = team;
  for (const char* part_name : VISIBLE_PART_NAMES) PutVisbleParts(e, part_name, player);
}

void RawStorage::PutVisbleParts(const ServerData& e, const char* part_name, raw::Player& player) {
  const ServerData* part = e.GetChild(part_name);
  if (part == ServerData::npos) return;
  const int k = Find(visible_part_id_, part_name);
  if (k < 0) return;
  player.visible = true;
  player.parts[k].polar_coord = part->GetChild("pol")->GetDataVector();
  player.parts[k].visible = true;
}

// The two end points are taken by position, whatever their tags.
void RawStorage::PutLine(const ServerData& e) {
  raw::VisibleObject end_point;
  end_point.visible = true;
  end_point.polar_coord = e.GetChild(0)->GetDataVector();
  lines_.push_back(end_point);
  end_point.polar_coord = e.GetChild(1)->GetDataVector();
  lines_.push_back(end_point);
}

void RawStorage::PutHiddenData(const ServerData& e) {
  const std::string& id = e.GetID();
  if (id == "mypos") {
    hidden_data_.my_pos = e.GetDataVector();
  } else if (id == "ballpos") {
    hidden_data_.ball_pos = e.GetDataVector();
  } else if (id == "myorien") {
    hidden_data_.my_orien = e.GetDataDouble(0);
  }
}

}  // namespace zamp
