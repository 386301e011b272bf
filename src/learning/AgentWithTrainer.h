// Base of every learning agent. Beside the player's link to the agent port it keeps a second
// link to the server's trainer port (agent port + 100, always on the local host), through
// which it places the ball and the robots between trials. The link is only written: the
// server's monitor stream on it is never read, which stalls nothing on the real server.
//
// Cycle, in this order: receive, Parser, RawStorage, WorldState, AgentState, field state
// (SimpleFieldState), StrategyInformation, Think, ControlEffector, ControlEffectorTrainer,
// the agent message (sent first), then the trainer message (sent only when not empty).
//
// The scene file sent at start-up is a setting of the learning agents: --scene-path=PATH,
// else the environment variable ZAMP_SCENE_PATH, else the model path the real server
// resolves in its own data directory.
#pragma once

#include <Eigen/Core>
#include <fstream>
#include <set>
#include <string>

#include "agent/Agent.h"
#include "learning/customCMAStrategy.h"

namespace zamp {

class EffectorTrainer;

class AgentWithTrainer : public Agent {
 public:
  static constexpr const char* DEFAULT_SCENE_PATH = "rsg/agent/nao/nao_hetero.rsg";
  static constexpr int TRAINER_PORT_OFFSET = 100;
  static constexpr int HIGHEST_PORT = 65535;

  AgentWithTrainer(int argc, char** argv);
  ~AgentWithTrainer() override;

  void Init(int argc, char** argv) override;
  void Run() override;
  void Done() override;
  virtual void ControlEffectorTrainer(EffectorTrainer& effector);

  // One cycle without sockets: the agent message is returned, the trainer message is left in
  // trainer_message.
  std::string Step(const std::string& message, EffectorAgent& effector, EffectorTrainer& trainer,
                   std::string& trainer_message);

  const std::string& GetScenePath() const { return scene_path_; }
  int GetTrainerPort() const;
  const std::string& GetTrainerHost() const;

  // Tells the field model when this cycle's trainer commands stand this robot up somewhere:
  // a move the gyroscope does not see.
  static void NotePlacement(const EffectorTrainer& trainer);

  // The scene path from the command line, the environment or the default, in that order.
  static std::string ReadScenePath(int argc, char** argv);

 protected:
  // The common standing pose every learning agent takes between trials; gain as
  // JointController::SettingRelativeSpeed takes it.
  static void SettingReadyPose(double gain);
  // Sends on the trainer link. The first failure prints one warning; an agent that set
  // stop_on_trainer_loss_ then ends its run after this cycle with status 1, since every
  // later score would be measured without the trainer's placement.
  void SendTrainerMessage(const std::string& message);
  bool HasLostTrainer() const { return trainer_lost_; }

  // Reads up to n numbers (at most the vector's size) from a text file into the front of
  // values. Values it cannot read become 0, with one warning naming the file.
  static void ReadNumbers(const std::string& path, int n, Eigen::VectorXd& values);
  // Appends one line to path: each value in the stream's default format followed by a tab.
  // A file that cannot be opened gets one warning naming it, the first time.
  void AppendVector(const std::string& path, const Eigen::VectorXd& values);
  // Appends the optimiser's resume block to path, with one warning naming it the first
  // time that fails.
  void WriteResume(const libcmaes::customOptimizer& optimizer, const std::string& path);
  // Opens a record file for writing from the start, creating its folder; one warning naming
  // it when that fails (the stream then writes nothing).
  static void OpenRecord(const std::string& path, std::ofstream& stream);

  RcssserverSocket* trainer_socket_;
  bool stop_on_trainer_loss_ = false;

 private:
  // Whether agent port + 100 is a port at all.
  bool HasTrainerPort() const;
  // One warning per output file that cannot be written.
  void WarnUnwritable(const std::string& path);

  std::string scene_path_;
  bool trainer_lost_ = false;
  std::set<std::string> unwritable_;  // output files already warned about
};

}  // namespace zamp
