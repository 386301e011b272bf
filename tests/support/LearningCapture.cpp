#include "support/LearningCapture.h"

#include <algorithm>
#include <cmath>
#include <regex>
#include <stdexcept>

#include "core/RawStorage.h"
#include "core/Tool.h"
#include "learning/AgentWithTrainer.h"
#include "learning/EffectorTrainer.h"
#include "support/ModelCycle.h"

namespace zamp::test {

namespace {

const double UPRIGHT_HEAD_HEIGHT = 0.47;  // m
const double DOWN_HEAD_HEIGHT = 0.25;     // m
const double DOWN_TIME = 0.3;             // s
const char TEAM[] = "Left";
const int UNIFORM_NUMBER = 10;

// The moves of a trainer message, as the agent's trainer effector held them when it was made.
void ReadMoves(const std::string& text, EffectorTrainer& trainer) {
  static const std::regex move(
      R"(\(agent \(unum (\d+)\) \(team (Left|Right)\) \(move (\S+) (\S+) (\S+) (\S+)\)\))");
  for (EffectorTrainer::AgentSet& set : trainer.agent_set_) set.can_move = false;
  bool any = false;
  for (std::sregex_iterator m(text.begin(), text.end(), move), end; m != end; ++m) {
    const int unum = std::stoi((*m)[1]);
    if (unum < 1 || unum > MAX_TEAM_AGENT_NUM) continue;
    EffectorTrainer::AgentSet& set =
        trainer.agent_set_[((*m)[2] == "Right" ? MAX_TEAM_AGENT_NUM : 0) + unum - 1];
    set.can_move = true;
    for (int i = 0; i < 4; ++i) set.coord[i] = std::stod((*m)[3 + i]);
    any = true;
  }
  trainer.SetEffectorUse(EffectorTrainer::MOVE_AGENT, any);
}

}  // namespace

double FallReading::UprightFallenShare() const {
  return upright == 0 ? 0.0 : static_cast<double>(upright_read_fallen) / upright;
}

double FallReading::DownFallenShare() const {
  return down == 0 ? 1.0 : static_cast<double>(down_read_fallen) / down;
}

double FallReading::MedianHeadingError() const {
  if (upright_heading_errors.empty()) return 0.0;
  std::vector<double> sorted = upright_heading_errors;
  std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
  return sorted[sorted.size() / 2];
}

void FallReading::Add(const FallReading& other) {
  upright += other.upright;
  upright_read_fallen += other.upright_read_fallen;
  down += other.down;
  down_read_fallen += other.down_read_fallen;
  upright_heading_errors.insert(upright_heading_errors.end(), other.upright_heading_errors.begin(),
                                other.upright_heading_errors.end());
}

FallReading ReplayLearningCapture(const std::vector<std::string>& lines) {
  ModelCycle cycle(TEAM, UNIFORM_NUMBER, ModelCycle::SIMPLE);
  EffectorTrainer trainer;
  FallReading reading;
  bool started = false;
  double down_since = -1.0;
  for (const std::string& line : lines) {
    if (line.size() < 2 || (line[0] != 'S' && line[0] != 'T') || line[1] != ' ') {
      throw std::runtime_error("not a capture line: " + line.substr(0, 40));
    }
    const std::string text = line.substr(2);
    if (line[0] == 'T') {
      ReadMoves(text, trainer);
      AgentWithTrainer::NotePlacement(trainer);
      continue;
    }
    if (!started) {
      // A learning agent's start-up: the first perception fills the body and game models only.
      cycle.Start(text, Eigen::Vector3d::Zero());
      started = true;
      continue;
    }
    cycle.Perceive(text);
    cycle.field().Update();
    if (!cycle.raw().HasNewSeeData()) continue;

    // The learning agents' own fall test, on what the field model wrote this cycle.
    const Eigen::Vector3d& rotation = cycle.agent().GetRotation();
    const bool read_fallen =
        std::fabs(rotation.x()) >= kFallTilt || std::fabs(rotation.y()) >= kFallTilt;
    const raw::HiddenData& truth = cycle.raw().GetHiddenData();
    const double head = truth.my_pos.z();
    if (head >= UPRIGHT_HEAD_HEIGHT) {
      ++reading.upright;
      if (read_fallen) ++reading.upright_read_fallen;
      reading.upright_heading_errors.push_back(
          std::fabs(Tool::LimitDegree180(rotation.z() - truth.my_orien)));
    }
    const double t = cycle.raw().GetServerTime().time;
    if (head < DOWN_HEAD_HEIGHT) {
      if (down_since < 0.0) down_since = t;
      // Times are sent to the hundredth of a second.
      if (t - down_since >= DOWN_TIME - 0.005) {
        ++reading.down;
        if (read_fallen) ++reading.down_read_fallen;
      }
    } else {
      down_since = -1.0;
    }
  }
  return reading;
}

}  // namespace zamp::test
