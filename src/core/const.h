// The vocabulary every subsystem shares: field and ball dimensions, server timing and
// noise figures, population limits, and the enumerations whose values index the
// per-joint, per-part and per-object arrays of the whole program.
//
// Frames and units: lengths in metres, angles in degrees (joint speeds in radians per
// second), time in seconds. The field frame has its origin at the centre spot, x along the
// long axis, y across, z up. "WIDTH" is an extent along x, "LENGTH" an extent along y.
#pragma once

namespace zamp {

const double FIELD_WIDTH_SIZE = 30.0;          // m, along x
const double FIELD_LENGTH_SIZE = 20.0;         // m, along y
const double GOAL_WIDTH_SIZE = 0.6;            // m, goal depth along x
const double GOAL_LENGTH_SIZE = 2.1;           // m, goal mouth along y
const double GOAL_HEIGHT_SIZE = 0.8;           // m
const double FIELD_WIDTH_HALF_SIZE = 15.0;     // m
const double FIELD_LENGTH_HALF_SIZE = 10.0;    // m
const double GOAL_WIDTH_HALF_SIZE = 0.3;       // m
const double GOAL_LENGTH_HALF_SIZE = 1.05;     // m, goal posts at y = +-1.05
const double CENTER_CIRCLE_RADIUS = 2.0;       // m
const double PENALTY_AREA_WIDTH_SIZE = 1.8;    // m, along x
const double PENALTY_AREA_LENGTH_SIZE = 3.9;   // m, along y
const double BALL_RADIUS = 0.04;               // m
const double BALL_MASS = 0.026;                // kg
const double UPDATE_INTERVAL_TIME = 0.02;      // s, one server cycle
const double SEE_UPDATE_INTERVAL_TIME = 0.06;  // s, vision comes every third cycle
const double SERVER_DISTANCE_ERROR = 0.0965;   // percent of the distance
const double SERVER_HORIZONTAL_ERROR = 0.1225; // degrees
const double SERVER_VERTICAL_ERROR = 0.148;    // degrees

const int MAX_HEAR_MESSAGE_NUM = 3;
const int MAX_SAY_MESSAGE_BYTE = 20;
const int MAX_TEAM_AGENT_NUM = 11;
const int MAX_AGENT_NUM = 22;
const int BALL_NUM = 1;
const int MAX_DYNAMIC_OBJECT_NUM = 23;
const int MAX_STATIC_OBJECT_NUM = 8;
const int MAX_ALL_OBJECT_NUM = 31;

// The 24 hinge joints in the order of every per-joint array and effector message.
enum HingeJointID {
  HJ_HJ1 = 0,
  HJ_HJ2,
  HJ_RAJ1,
  HJ_RAJ2,
  HJ_RAJ3,
  HJ_RAJ4,
  HJ_LAJ1,
  HJ_LAJ2,
  HJ_LAJ3,
  HJ_LAJ4,
  HJ_RLJ1,
  HJ_RLJ2,
  HJ_RLJ3,
  HJ_RLJ4,
  HJ_RLJ5,  // right ankle pitch
  HJ_RLJ6,  // right ankle roll
  HJ_RLJ7,  // right toe (robot type 4)
  HJ_LLJ1,
  HJ_LLJ2,
  HJ_LLJ3,
  HJ_LLJ4,
  HJ_LLJ5,  // left ankle pitch
  HJ_LLJ6,  // left ankle roll
  HJ_LLJ7,  // left toe (robot type 4)
  HINGE_JOINT_NUM = 24,
  HJ_UNKNOWN = 25  // the torso's "joint"; no per-joint array has a slot for it
};

enum BodyPartID {
  BP_TORSO = 0,
  BP_NECK,
  BP_HEAD,
  BP_SHOULDER_RIGHT,
  BP_UPPERARM_RIGHT,
  BP_ELBOW_RIGHT,
  BP_LOWERARM_RIGHT,
  BP_SHOULDER_LEFT,
  BP_UPPERARM_LEFT,
  BP_ELBOW_LEFT,
  BP_LOWERARM_LEFT,
  BP_HIP1_RIGHT,
  BP_HIP2_RIGHT,
  BP_THIGH_RIGHT,
  BP_SHANK_RIGHT,
  BP_ANKLE_RIGHT,
  BP_FOOT_RIGHT,
  BP_TOENAIL_RIGHT,
  BP_HIP1_LEFT,
  BP_HIP2_LEFT,
  BP_THIGH_LEFT,
  BP_SHANK_LEFT,
  BP_ANKLE_LEFT,
  BP_FOOT_LEFT,
  BP_TOENAIL_LEFT,
  BODY_PART_NUM = 25
};

enum AgentTypeID {
  AGENT_TYPE_STANDARD = 0,
  AGENT_TYPE_LONG_ARM_AND_FOOT = 1,
  AGENT_TYPE_FAST_ANKLE_PITCH_SLOW_ANKLE_ROLL = 2,
  AGENT_TYPE_LONG_ARM_AND_FOOT_WIDER_HIP = 3,
  AGENT_TYPE_TOENAIL = 4,
  AGENT_TYPE_NUM = 5
};

enum SideID { SIDE_LEFT = 0, SIDE_RIGHT = 1, SIDE_UNKNOWN = 2 };

enum ObjectID {
  OBJ_FRIEND_AGENT = 0,
  OBJ_ENEMY_AGENT = 1,
  OBJ_VISIBLE_PART = 2,
  OBJ_BALL = 3,
  OBJ_FLAG = 4
};

// Landmarks named from the own team's point of view (the team always attacks towards +x).
enum FlagID {
  FLAG_FIELD_ENEMY_LEFT = 0,
  FLAG_FIELD_ENEMY_RIGHT = 1,
  FLAG_FIELD_US_LEFT = 2,
  FLAG_FIELD_US_RIGHT = 3,
  FLAG_GOAL_ENEMY_LEFT = 4,
  FLAG_GOAL_ENEMY_RIGHT = 5,
  FLAG_GOAL_US_LEFT = 6,
  FLAG_GOAL_US_RIGHT = 7,
  FLAG_NUM = 8
};

enum VisiblePartID {
  VISIBLE_PART_HEAD = 0,
  VISIBLE_PART_RIGHT_LOWER_ARM = 1,
  VISIBLE_PART_LEFT_LOWER_ARM = 2,
  VISIBLE_PART_RIGHT_FOOT = 3,
  VISIBLE_PART_LEFT_FOOT = 4,
  VISIBLE_PART_NUM = 5
};

enum ForceResistanceID {
  FORCE_RESISTANCE_RIGHT = 0,
  FORCE_RESISTANCE_LEFT = 1,
  FORCE_RESISTANCE_RIGHT_TYPE4 = 2,  // toe sensor of robot type 4
  FORCE_RESISTANCE_LEFT_TYPE4 = 3,   // toe sensor of robot type 4
  FORCE_RESISTANCE_NUM = 4
};

enum HearID { HEAR_FRIEND = 0, HEAR_ENEMY = 1, HEAR_SELF = 2 };

// Single bits, so a set of play modes is a mask. PM_UNKNOWN is the sign bit, not a
// further mode: no mask of modes contains it.
enum PlayModeID : int {
  PM_BEFORE_KICK_OFF = 1,
  PM_KICK_OFF_LEFT = 2,
  PM_KICK_OFF_RIGHT = 4,
  PM_PLAY_ON = 8,
  PM_KICK_IN_LEFT = 16,
  PM_KICK_IN_RIGHT = 32,
  PM_CORNER_KICK_LEFT = 64,
  PM_CORNER_KICK_RIGHT = 128,
  PM_GOAL_KICK_LEFT = 256,
  PM_GOAL_KICK_RIGHT = 512,
  PM_FREE_KICK_LEFT = 1024,
  PM_FREE_KICK_RIGHT = 2048,
  PM_GOAL_LEFT = 4096,
  PM_GOAL_RIGHT = 8192,
  PM_GAME_OVER = 16384,
  PM_UNKNOWN = -2147483647 - 1
};

// A play mode seen from the own team.
enum KickModeID {
  KM_KICK_OFF_US = 0,
  KM_KICK_OFF_ENEMY,
  KM_KICK_IN_US,
  KM_KICK_IN_ENEMY,
  KM_CORNER_KICK_US,
  KM_CORNER_KICK_ENEMY,
  KM_GOAL_KICK_US,
  KM_GOAL_KICK_ENEMY,
  KM_FREE_KICK_US,
  KM_FREE_KICK_ENEMY,
  KM_GOAL_US,
  KM_GOAL_ENEMY,
  KM_NO_KICK_MODE
};

}  // namespace zamp
