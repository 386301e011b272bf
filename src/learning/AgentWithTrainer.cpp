#include "learning/AgentWithTrainer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "core/Drawing.h"
#include "core/EffectorAgent.h"
#include "core/JointController.h"
#include "core/Parser.h"
#include "core/RawStorage.h"
#include "core/RcssserverSocket.h"
#include "core/Singleton.h"
#include "core/Tool.h"
#include "learning/EffectorTrainer.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/SimpleFieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"
#include "motion/ReadyPose.h"

namespace zamp {

namespace {

const char SCENE_PATH_OPTION[] = "--scene-path=";
const char SCENE_PATH_VARIABLE[] = "ZAMP_SCENE_PATH";

}  // namespace

AgentWithTrainer::AgentWithTrainer(int argc, char** argv)
    : Agent(DeferInit{}), trainer_socket_(new RcssserverSocket()) {
  AgentWithTrainer::Init(argc, argv);
  // An agent port near the top leaves no trainer port; Run then ends at once.
  if (!HasTrainerPort()) return;
  // The trainer link gets only its port: host and every other setting keep the defaults,
  // so it always goes to the local host whatever --host says.
  std::string port = "--port=" + std::to_string(agent_socket_->GetPort() + TRAINER_PORT_OFFSET);
  std::vector<char> text(port.begin(), port.end());
  text.push_back('\0');
  char* trainer_argv[] = {text.data(), nullptr};
  trainer_socket_->ReadOptions(1, trainer_argv);
}

AgentWithTrainer::~AgentWithTrainer() { delete trainer_socket_; }

void AgentWithTrainer::Init(int argc, char** argv) {
  agent_socket_->ReadOptions(argc, argv);
  scene_path_ = ReadScenePath(argc, argv);

  // The unfiltered field model, and drawings for the visualiser.
  CreateSharedInstances([] { Singleton<FieldState>::Create<SimpleFieldState>(); },
                        [] { Singleton<Drawing>::Create<Drawing>(true); });
}

std::string AgentWithTrainer::ReadScenePath(int argc, char** argv) {
  const std::string option = SCENE_PATH_OPTION;
  std::string path;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i] != nullptr ? argv[i] : "";
    if (arg.compare(0, option.size(), option) == 0) path = arg.substr(option.size());
  }
  if (path.empty()) {
    const char* variable = std::getenv(SCENE_PATH_VARIABLE);
    if (variable != nullptr) path = variable;
  }
  return path.empty() ? DEFAULT_SCENE_PATH : path;
}

int AgentWithTrainer::GetTrainerPort() const { return trainer_socket_->GetPort(); }

const std::string& AgentWithTrainer::GetTrainerHost() const { return trainer_socket_->GetHost(); }

std::string AgentWithTrainer::Step(const std::string& message, EffectorAgent& effector,
                                   EffectorTrainer& trainer, std::string& trainer_message) {
  Decide(message, effector);
  ControlEffectorTrainer(trainer);
  NotePlacement(trainer);
  std::string agent_message = effector.Make();
  trainer_message = trainer.Make();
  return agent_message;
}

void AgentWithTrainer::Run() {
  EffectorAgent effector;
  EffectorTrainer trainer;
  if (!HasTrainerPort()) {
    std::cerr << "the trainer port is the agent port + " << TRAINER_PORT_OFFSET << ", and "
              << agent_socket_->GetPort() + TRAINER_PORT_OFFSET << " is above " << HIGHEST_PORT
              << ": choose an agent port of at most " << HIGHEST_PORT - TRAINER_PORT_OFFSET
              << std::endl;
    SetFailed();
    return;
  }
  if (!agent_socket_->Init() || !trainer_socket_->Init()) {
    SetFailed();
    return;
  }
  effector.SetNaoPath(scene_path_);

  // A learning agent always beams: its trials start from a known place.
  StartUp(effector, true);
  std::string trainer_message;
  while (agent_socket_->ReceiveMessage() && !agent_socket_->HasEndSignal()) {
    agent_socket_->SendMessage(
        Step(agent_socket_->GetServerMessage(), effector, trainer, trainer_message));
    SendTrainerMessage(trainer_message);
    if (trainer_lost_ && stop_on_trainer_loss_) {
      SetFailed();
      break;
    }
  }
  Done();
}

bool AgentWithTrainer::HasTrainerPort() const {
  return agent_socket_->GetPort() + TRAINER_PORT_OFFSET <= HIGHEST_PORT;
}

void AgentWithTrainer::NotePlacement(const EffectorTrainer& trainer) {
  if (!trainer.IsEffectorUse(EffectorTrainer::MOVE_AGENT)) return;
  // The learning agents play on the left, where the team frame is the server's field
  // frame and the moves' table entries are the left team's.
  if (Singleton<WorldState>::GetInstance()->GetSide() == SIDE_RIGHT) return;
  const int unum = Singleton<AgentState>::GetInstance()->GetUniformNumber();
  if (unum < 1 || unum > MAX_TEAM_AGENT_NUM) return;
  const EffectorTrainer::AgentSet& self = trainer.agent_set_[unum - 1];
  if (!self.can_move) return;
  // A move direction d faces the robot d + 90 degrees (a direction the server cannot read
  // goes out as 0).
  const double d = std::isfinite(self.coord[3]) ? self.coord[3] : 0.0;
  if (auto* field = dynamic_cast<SimpleFieldState*>(Singleton<FieldState>::GetInstance())) {
    field->Place(Tool::LimitDegree180(d + 90.0));
  }
}

void AgentWithTrainer::SendTrainerMessage(const std::string& message) {
  if (trainer_socket_->SendMessage(message) || trainer_lost_) return;
  trainer_lost_ = true;
  std::cerr << "the trainer link to " << trainer_socket_->GetHost() << ":"
            << trainer_socket_->GetPort() << " is lost; trainer commands no longer arrive"
            << std::endl;
}

void AgentWithTrainer::Done() {
  agent_socket_->Done();
  trainer_socket_->Done();
}

void AgentWithTrainer::ControlEffectorTrainer(EffectorTrainer&) {}

void AgentWithTrainer::SettingReadyPose(double gain) {
  // The match agent's ready pose with the head straight ahead; the toes hold still.
  JointController& joints = *Singleton<JointController>::GetInstance();
  joints.SettingRelativeSpeed(HJ_HJ1, 0.0, gain);
  joints.SettingRelativeSpeed(HJ_HJ2, 0.0, gain);
  SetReadyPose(joints, gain);
}

}  // namespace zamp

namespace zamp {

void AgentWithTrainer::ReadNumbers(const std::string& path, int n, Eigen::VectorXd& values) {
  const Eigen::Index count = std::min<Eigen::Index>(std::max(n, 0), values.size());
  std::ifstream file(path);
  Eigen::Index read = 0;
  for (; read < count; ++read) {
    double value = 0.0;
    if (!(file >> value) || !std::isfinite(value)) break;
    values[read] = value;
  }
  if (read == count) return;
  for (Eigen::Index i = read; i < count; ++i) values[i] = 0.0;
  std::cerr << "could read only " << read << " of " << count << " numbers from " << path
            << "; the rest start at 0" << std::endl;
}

void AgentWithTrainer::AppendVector(const std::string& path, const Eigen::VectorXd& values) {
  std::ofstream file(path, std::ios::app);
  if (!file) {
    WarnUnwritable(path);
    return;
  }
  for (Eigen::Index i = 0; i < values.size(); ++i) file << values[i] << "\t";
  file << "\n";
  file.flush();
}

void AgentWithTrainer::WriteResume(const libcmaes::customOptimizer& optimizer,
                                   const std::string& path) {
  if (!optimizer.write_resume(path.c_str())) WarnUnwritable(path);
}

void AgentWithTrainer::WarnUnwritable(const std::string& path) {
  if (unwritable_.insert(path).second) {
    std::cerr << "cannot write " << path << "; its records are lost" << std::endl;
  }
}

void AgentWithTrainer::OpenRecord(const std::string& path, std::ofstream& stream) {
  std::error_code ignored;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
  stream.open(path, std::ios::trunc);
  if (!stream) std::cerr << "cannot write " << path << "; its records are lost" << std::endl;
}

}  // namespace zamp
