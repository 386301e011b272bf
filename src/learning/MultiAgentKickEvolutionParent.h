// The parent process of the multi-process kick optimisation. It owns the optimiser of the
// kick optimisation agent and spreads the 200 trials of a generation over itself and its
// children, each of which plays on its own simulation: candidates are handed out in column
// order to whichever process asks first, and the generation ends in the parent's first
// evaluation after every candidate has a result. It alone writes the files.
//
// Each child has one shared memory page (created here) named after the child's agent port:
// child i of a parent on port P runs on port P + 1 + i and talks through
// tmp/shared_memory/MapFile<P + 1 + i> in the working directory. Once per cycle, before the
// trial step, the parent serves every page whose turn is its own: it takes the result of the
// candidate that child holds and posts the next candidate. A child that holds a candidate for
// longer than the time-out (counted in parent cycles of 0.02 s) is given up for good and its
// candidate scores as a failed trial.
//
// Prints "[Generation n]" at each new generation, "ID: id\tIteration: n\tBDIST_X: score" for
// each result in the order they arrive (its own and its children's), and the generation's
// "Max: ...\tAverage: ...".
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "learning/AgentKickEvolution2.h"

namespace zamp {

class SharedMemory;

class MultiAgentKickEvolutionParent : public AgentKickEvolution2 {
 public:
  // The watch on one child.
  struct TimeManeger {
    static constexpr int NO_PARAM_ID = -1;
    static constexpr double TIME_OUT = 100.0;  // s

    int param_id = NO_PARAM_ID;  // the candidate the child holds
    double time = 0.0;           // s since it was handed over
    bool has_disconected = false;
  };

  static constexpr const char* PAGE_PREFIX = "tmp/shared_memory/MapFile";
  static constexpr const char* PROCS_OPTION = "--procs=";
  static constexpr int MAX_PROCESS_NUM = 64;
  // What a timed-out candidate scores: a failed trial (score -1).
  static constexpr double FAILED_FITNESS = 1.0;

  // process_num: the parent and its children. lambda and time_out (s): tests use a smaller
  // generation and a shorter wait.
  MultiAgentKickEvolutionParent(int argc, char** argv, int process_num, int lambda = LAMBDA,
                                double time_out = TimeManeger::TIME_OUT);
  ~MultiAgentKickEvolutionParent() override;

  void Think() override;
  void UpdateMotion() override;
  void Evaluate() override;
  virtual void Communicate();
  virtual void ManageTime(TimeManeger& t);

  // The page of the child on the given agent port.
  static std::string PageName(int port);
  // The process count of --procs=N, 1 without it; -1 after one message when N is not a whole
  // number from 1 to MAX_PROCESS_NUM.
  static int ReadProcessNum(int argc, char** argv);

 protected:
  std::vector<std::unique_ptr<SharedMemory>> shared_memory_;  // one per child
  std::vector<TimeManeger> time_maneger_;                     // one per child
  int agent_num_;
  int get_fitness_count_;  // results of this generation received or given up
  int param_id_;           // the candidate the parent plays; lambda when it plays none

 private:
  // The result on page i, when it is the one for the candidate that child holds.
  void Receive(int i, TimeManeger& t, SharedMemory& page);
  // The next candidate, or the turn back with nothing when every one is handed out.
  void Post(TimeManeger& t, SharedMemory& page);
  int ChildPort(int i) const;
  int Lambda() const { return static_cast<int>(fitness_.size()); }

  double time_out_;  // s
};

}  // namespace zamp
