// A stand-in for the instrumented training server that the learning agents run against: an
// agent port and a trainer port 100 above it, both on 127.0.0.1 (the agent port chosen by the
// system). It plays one robot, the left team's player 10, and the ball in a scripted world,
// runs in lock step with the agent (one perception, one answer), applies the trainer's
// player moves and ball placements, and records every trainer command with the cycle it
// arrived in.
//
// Each perception holds time, game state, joints (all at 0), gyroscope (the script's turns
// and falls, never a trainer move, as on the real server) and accelerometer (gravity as the
// torso lies); every third one also vision: the eight landmarks as the robot sees them (tilted when
// it has fallen) and the ground truth mypos, myorien and ballpos. Frames: the left team's, which is
// the server's field frame; metres, degrees, seconds.
#pragma once

#include <Eigen/Core>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/FakeServer.h"

namespace zamp::test {

class FakeTrainingServer {
 public:
  static constexpr double CYCLE = 0.02;  // s
  static constexpr int UNUM = 10;        // the robot played, of team "Left"

  struct World {
    Eigen::Vector3d robot{0.0, 0.0, 0.375};  // m
    double heading = 0.0;                    // degrees, 0 facing +x
    double tilt = 0.0;                       // degrees; 90 lies on the ground
    // degrees/s about the torso's axes: how the robot turned since the last perception
    // (leaning forward turns it about -x).
    Eigen::Vector3d gyro = Eigen::Vector3d::Zero();
    Eigen::Vector3d ball{0.0, 0.0, 0.042};                 // m
    Eigen::Vector3d ball_speed = Eigen::Vector3d::Zero();  // m/s
    double free_time = 0.0;   // s since the trainer last moved the robot
    int cycle = 0;            // perceptions sent so far
    bool moved = false;       // the trainer placed the robot in this cycle
    int ball_placements = 0;  // trainer ball placements so far
  };
  // Runs once per cycle, after that cycle's trainer commands.
  using Script = std::function<void(World&)>;

  // One kick trial as the world plays it, counted from the moment the trainer lets the robot
  // go: the robot tips over at fall_after (s), the ball, if the robot still stands, is kicked
  // at kick_after (s) and rolls along x at speed (m/s) until it reaches stop_x (m).
  struct KickTrial {
    double fall_after;
    double kick_after;
    double speed;
    double stop_x;
  };

  struct Command {
    int cycle;  // the perception it answered
    std::string text;
  };

  // A robot that, while free, slides along +x and +y at fixed speeds (m/s) whatever its
  // heading, turns at a fixed rate (degrees/s), and tips over once it has been free for
  // fall_after seconds.
  static Script Walker(double forward, double side, double turn, double fall_after);
  // The ball placements of the trainer start the trials in turn, round the table.
  static Script Kicker(const std::vector<KickTrial>& trials);

  // Throws std::runtime_error when no pair of free ports 100 apart is found.
  FakeTrainingServer();
  // The same on a given agent port; throws std::runtime_error when it or the port 100 above
  // it is taken.
  explicit FakeTrainingServer(int agent_port);
  // count servers on consecutive agent ports from a free one, as the processes of the
  // multi-process kick optimisation pair with their pages by port; throws
  // std::runtime_error when no such run of ports is found.
  static std::vector<std::unique_ptr<FakeTrainingServer>> OnConsecutivePorts(int count);
  ~FakeTrainingServer();
  FakeTrainingServer(const FakeTrainingServer&) = delete;
  FakeTrainingServer& operator=(const FakeTrainingServer&) = delete;

  int AgentPort() const { return agent_server_->Port(); }
  int TrainerPort() const { return trainer_server_->Port(); }

  void SetScript(Script script) { script_ = std::move(script); }
  void SetPlayMode(const std::string& play_mode) { play_mode_ = play_mode; }
  // Closes the trainer link after that many cycles, as a server that dropped it would.
  void CloseTrainerAfter(int cycles) { close_trainer_after_ = cycles; }
  World& GetWorld() { return world_; }

  // Accepts the agent's two links, answers its start-up and runs up to cycles perceptions,
  // each answered within the time-out, then closes both links. Stops early when the agent
  // closes its link or stops answering, or when until returns true after a cycle. False
  // when the agent never connected both links.
  bool Run(int cycles, std::chrono::milliseconds timeout = std::chrono::seconds(60),
           const std::function<bool(const World&)>& until = nullptr);

  // The perception the server sends for a world: in the first cycle (cycle 0) with the
  // uniform number and side, vision every third cycle.
  static std::string Perception(const World& world, const std::string& play_mode);

  int Cycles() const { return world_.cycle; }
  bool AgentClosed() const { return agent_closed_; }
  const std::vector<std::string>& StartUpMessages() const { return start_up_; }
  const std::string& LastAgentMessage() const { return last_agent_message_; }
  const std::vector<Command>& Commands() const { return commands_; }
  // Per cycle: whether a trainer move put the robot somewhere.
  const std::vector<bool>& MovedInCycle() const { return moved_; }

 private:
  void Apply(const std::string& text, bool& moved);
  void DrainTrainer(FakeConnection& trainer, bool& moved);

  std::unique_ptr<FakeServer> agent_server_;
  std::unique_ptr<FakeServer> trainer_server_;
  World world_;
  Script script_;
  std::string play_mode_ = "PlayOn";
  int close_trainer_after_ = -1;
  bool agent_closed_ = false;
  std::vector<std::string> start_up_;
  std::string last_agent_message_;
  std::vector<Command> commands_;
  std::vector<bool> moved_;
};

}  // namespace zamp::test
