#include "support/FakeTrainingServer.h"

#include <Eigen/Geometry>
#include <array>
#include <cmath>
#include <regex>
#include <stdexcept>

#include "core/const.h"
#include "support/PerceptionText.h"
#include "support/SyntheticScene.h"

namespace zamp::test {

namespace {

// Tries this many agent ports before giving up on finding a free trainer port 100 above one.
const int PORT_ATTEMPTS = 50;
const int TRAINER_PORT_OFFSET = 100;
// The agent sends its trainer message right after its agent message; waiting this long for it
// applies it in the same cycle on an idle machine without slowing cycles that send none.
const std::chrono::milliseconds TRAINER_WAIT{1};
const std::chrono::seconds ACCEPT_TIMEOUT{10};
// Vision comes with every third perception, as on the real server.
const int VISION_PERIOD = 3;
const double START_TIME = 100.0;  // s, server clock of the first perception
const double GRAVITY = 9.81;      // m/s^2

double Wrap180(double degree) {
  double wrapped = std::fmod(degree, 360.0);
  if (wrapped > 180.0) wrapped -= 360.0;
  if (wrapped < -180.0) wrapped += 360.0;
  return wrapped;
}

}  // namespace

FakeTrainingServer::Script FakeTrainingServer::Walker(double forward, double side, double turn,
                                                      double fall_after) {
  return [=](World& world) {
    if (world.moved) return;
    world.free_time += CYCLE;
    if (world.free_time >= fall_after) {
      world.tilt = 90.0;
      return;
    }
    world.robot.x() += forward * CYCLE;
    world.robot.y() += side * CYCLE;
    world.heading = Wrap180(world.heading + turn * CYCLE);
  };
}

FakeTrainingServer::Script FakeTrainingServer::Kicker(const std::vector<KickTrial>& trials) {
  return [trials, kicked = -1](World& world) mutable {
    const int trial = world.ball_placements - 1;
    if (trial < 0 || trials.empty()) return;
    const KickTrial& script = trials[trial % trials.size()];
    if (!world.moved) {
      world.free_time += CYCLE;
      if (world.free_time >= script.fall_after) world.tilt = 90.0;
    }
    if (kicked != trial && world.tilt == 0.0 && world.free_time >= script.kick_after) {
      kicked = trial;
      world.ball_speed = Eigen::Vector3d(script.speed, 0.0, 0.0);
    }
    if (world.ball_speed.x() == 0.0) return;
    world.ball.x() += world.ball_speed.x() * CYCLE;
    if ((world.ball_speed.x() > 0.0) == (world.ball.x() >= script.stop_x)) {
      world.ball.x() = script.stop_x;
      world.ball_speed.setZero();
    }
  };
}

FakeTrainingServer::FakeTrainingServer() {
  for (int attempt = 0; attempt < PORT_ATTEMPTS && !trainer_server_; ++attempt) {
    agent_server_ = std::make_unique<FakeServer>();
    try {
      trainer_server_ = std::make_unique<FakeServer>(agent_server_->Port() + TRAINER_PORT_OFFSET);
    } catch (const std::runtime_error&) {
      agent_server_.reset();
    }
  }
  if (!trainer_server_) throw std::runtime_error("fake training server: no free port pair");
}

FakeTrainingServer::FakeTrainingServer(int agent_port)
    : agent_server_(std::make_unique<FakeServer>(agent_port)),
      trainer_server_(std::make_unique<FakeServer>(agent_port + TRAINER_PORT_OFFSET)) {}

std::vector<std::unique_ptr<FakeTrainingServer>> FakeTrainingServer::OnConsecutivePorts(int count) {
  for (int attempt = 0; attempt < PORT_ATTEMPTS; ++attempt) {
    std::vector<std::unique_ptr<FakeTrainingServer>> servers;
    servers.push_back(std::make_unique<FakeTrainingServer>());
    const int first = servers.front()->AgentPort();
    try {
      for (int i = 1; i < count; ++i) {
        servers.push_back(std::make_unique<FakeTrainingServer>(first + i));
      }
      return servers;
    } catch (const std::runtime_error&) {
      // One of the ports above the first is taken: start again from another.
    }
  }
  throw std::runtime_error("fake training server: no run of free ports");
}

FakeTrainingServer::~FakeTrainingServer() {}

std::string FakeTrainingServer::Perception(const World& world, const std::string& play_mode) {
  const double now = START_TIME + world.cycle * CYCLE;
  PerceptionText text;
  text.Time(now);
  if (world.cycle == 0) {
    text.GameStateWithTeam(UNUM, "left", world.cycle * CYCLE, play_mode);
  } else {
    text.GameState(world.cycle * CYCLE, play_mode);
  }
  // The accelerometer measures the reaction to gravity: the field's up in the torso frame.
  const double tilt = world.tilt * M_PI / 180.0;
  text.Gyro(world.gyro)
      .Accelerometer(GRAVITY * Eigen::Vector3d(0.0, -std::sin(tilt), std::cos(tilt)));
  std::array<double, HINGE_JOINT_NUM> joints{};
  text.Joints(joints);
  if (world.cycle % VISION_PERIOD == 0) {
    // The head's offset in the torso cancels in every direction between two landmarks,
    // which is all the learning agents' field model takes its orientation from.
    const Eigen::Affine3d head(Eigen::Translation3d(0.0, 0.0, 0.2));
    const SyntheticScene scene(world.robot, world.heading, head, world.tilt);
    scene.AddLandmarks(text, true);
    text.Ball(scene.See(world.ball));
    text.GroundTruth(world.robot, world.heading, world.ball);
  }
  return text.Str();
}

void FakeTrainingServer::Apply(const std::string& text, bool& moved) {
  static const std::regex move(
      R"(\(agent \(unum (\d+)\) \(team (\w+)\) \(move (\S+) (\S+) (\S+) (\S+)\)\))");
  static const std::regex ball(R"(\(ball \(pos (\S+) (\S+) (\S+)\) \(vel (\S+) (\S+) (\S+)\)\))");
  for (std::sregex_iterator it(text.begin(), text.end(), move), end; it != end; ++it) {
    const std::smatch& m = *it;
    // Team words are case-sensitive on the real server, and only player 10 exists here.
    if (std::stoi(m[1]) != UNUM || m[2] != "Left") continue;
    world_.robot = Eigen::Vector3d(std::stod(m[3]), std::stod(m[4]), std::stod(m[5]));
    world_.heading = Wrap180(std::stod(m[6]) + 90.0);
    world_.tilt = 0.0;
    world_.free_time = 0.0;
    moved = true;
  }
  for (std::sregex_iterator it(text.begin(), text.end(), ball), end; it != end; ++it) {
    const std::smatch& m = *it;
    world_.ball = Eigen::Vector3d(std::stod(m[1]), std::stod(m[2]), std::stod(m[3]));
    world_.ball_speed = Eigen::Vector3d(std::stod(m[4]), std::stod(m[5]), std::stod(m[6]));
    ++world_.ball_placements;
  }
}

void FakeTrainingServer::DrainTrainer(FakeConnection& trainer, bool& moved) {
  std::chrono::milliseconds wait = TRAINER_WAIT;
  while (const std::optional<std::string> text = trainer.ReceiveFrame(wait)) {
    commands_.push_back(Command{world_.cycle, *text});
    Apply(*text, moved);
    wait = std::chrono::milliseconds(0);
  }
}

bool FakeTrainingServer::Run(int cycles, std::chrono::milliseconds timeout,
                             const std::function<bool(const World&)>& until) {
  std::unique_ptr<FakeConnection> agent = agent_server_->Accept(ACCEPT_TIMEOUT);
  std::unique_ptr<FakeConnection> trainer = trainer_server_->Accept(ACCEPT_TIMEOUT);
  if (!agent || !trainer) return false;

  // Start-up: the scene, one perception, then init with the beam.
  for (int i = 0; i < 2; ++i) {
    if (i == 1 && !agent->SendFrame(Perception(world_, play_mode_))) return true;
    const std::optional<std::string> text = agent->ReceiveFrame(timeout);
    if (!text) {
      agent_closed_ = true;
      return true;
    }
    start_up_.push_back(*text);
  }

  for (int i = 0; i < cycles; ++i) {
    ++world_.cycle;
    if (!agent->SendFrame(Perception(world_, play_mode_), timeout)) break;
    const std::optional<std::string> answer = agent->ReceiveFrame(timeout);
    if (!answer) {
      agent_closed_ = true;
      break;
    }
    last_agent_message_ = *answer;
    bool moved = false;
    if (close_trainer_after_ < 0 || world_.cycle <= close_trainer_after_) {
      DrainTrainer(*trainer, moved);
    }
    if (world_.cycle == close_trainer_after_) trainer->Close();
    moved_.push_back(moved);
    world_.moved = moved;
    // The gyroscope sees what the script turns the robot by, never a trainer move.
    const double tilt = world_.tilt;
    const double heading = world_.heading;
    if (script_) script_(world_);
    world_.gyro =
        Eigen::Vector3d(-(world_.tilt - tilt), 0.0, Wrap180(world_.heading - heading)) / CYCLE;
    if (until && until(world_)) break;
  }
  agent->Close();
  trainer->Close();
  return true;
}

}  // namespace zamp::test
