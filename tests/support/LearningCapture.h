// Replays what a learning agent exchanged with a real server (ground truth switched on)
// through the learning agents' models, and scores their fall reading against the truth.
//
// A capture holds one line per message, in the order the agent handled them:
//   S <perception>        a perception, as received (length prefix removed)
//   T <trainer commands>  what the agent sent on the trainer link after the perception before
// A capture may start anywhere in a run; the models start as a learning agent's do.
#pragma once

#include <string>
#include <vector>

namespace zamp::test {

// Counts over the vision cycles of a replay (the truth comes with vision only): the true
// head height ("mypos" z) tells upright from down, the true heading ("myorien") is the
// heading's truth.
struct FallReading {
  int upright = 0;                             // true head height at least 0.47 m
  int upright_read_fallen = 0;                 // ... of which the model read fallen
  int down = 0;                                // head below 0.25 m for at least 0.3 s
  int down_read_fallen = 0;                    // ... of which the model read fallen
  std::vector<double> upright_heading_errors;  // degrees, absolute, on upright cycles

  double UprightFallenShare() const;
  double DownFallenShare() const;
  double MedianHeadingError() const;
  void Add(const FallReading& other);
};

// The learning agents' fall test: roll or pitch of the field model's orientation at least
// this far from upright, degrees.
constexpr double kFallTilt = 40.0;

// Runs the lines of a capture through a learning agent's models (player 10 of "Left"); every
// trainer line goes through the agents' own placement hook.
FallReading ReplayLearningCapture(const std::vector<std::string>& lines);

}  // namespace zamp::test
