// A steady cycle of the match agent takes nothing from the heap: after the first messages
// of a capture have shown the perception store, the filters, the strategy and the message
// builder what they keep storage for, Agent::Step must run without a single allocation. An
// allocation per cycle costs time on every cycle and, under a loaded allocator, now and then
// far more.
//
// The parser alone grows its tree whenever a message is larger than any before (more
// players in view, a team message where there was none), which in a match goes on for a
// while after the first few hundred messages. So each capture is replayed twice: once to
// show the parser every shape, then again by a fresh agent on fresh models that keeps only
// that parser; the second replay must not allocate after its warm-up.
//
// Every allocation of this test program is counted at the C library's malloc, which both
// operator new and Eigen's dynamic matrices use. This replaces malloc for the whole program,
// so the test is an executable of its own; under the sanitizers, which replace malloc
// themselves, it is skipped.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstddef>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/Drawing.h"
#include "core/EffectorAgent.h"
#include "core/JointController.h"
#include "core/Parser.h"
#include "core/RawStorage.h"
#include "model/AgentState.h"
#include "model/FieldState.h"
#include "model/StrategyInformation.h"
#include "model/WorldState.h"
#include "play/AgentZAMP.h"
#include "support/Fixtures.h"
#include "support/SharedInstances.h"

#if defined(__SANITIZE_ADDRESS__)
#define ZAMP_COUNTS_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZAMP_COUNTS_ALLOCATIONS 0
#endif
#endif
#ifndef ZAMP_COUNTS_ALLOCATIONS
#define ZAMP_COUNTS_ALLOCATIONS 1
#endif

namespace {
long allocation_count = 0;  // the test runs on one thread
}  // namespace

#if ZAMP_COUNTS_ALLOCATIONS
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);

void* malloc(std::size_t size) {
  ++allocation_count;
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
  ++allocation_count;
  return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size) {
  ++allocation_count;
  return __libc_realloc(block, size);
}
}
#endif

namespace zamp {
namespace {

// Messages a replay may take to fill its storage before every cycle must be free of
// allocations.
constexpr size_t WARM_UP_MESSAGES = 300;

struct ReplayCase {
  const char* name;
  const char* capture;  // under perception/
  const char* team;
  int uniform_number;  // 1 plays the keeper, others a fielder
};

void PrintTo(const ReplayCase& c, std::ostream* os) { *os << c.name; }

class CycleAllocationTest : public ::testing::TestWithParam<ReplayCase> {
 protected:
  // The motion files are read relative to the working directory.
  void SetUp() override {
    if (!ZAMP_COUNTS_ALLOCATIONS) GTEST_SKIP() << "the sanitizers replace malloc themselves";
    ASSERT_EQ(chdir(ZAMP_SOURCE_DIR), 0);
  }
};

// Replays the capture through a fresh agent on fresh models (the parser is kept when
// keep_parser) and returns the messages after the warm-up whose cycle allocated, with the
// number of allocations they made.
std::vector<size_t> Replay(const ReplayCase& c, bool keep_parser, long& total) {
  test::RenewAgentInstances(keep_parser);
  std::vector<std::string> args = {"agent", std::string("--team=") + c.team,
                                   "--unum=" + std::to_string(c.uniform_number)};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  AgentZAMP agent(static_cast<int>(argv.size()), argv.data());
  agent.SettingBeam();
  EffectorAgent effector;
  effector.SetEffectorAgentUse(false, false, false, true, true, false);

  const std::vector<std::string> messages =
      test::ReadFixtureLines(std::string("perception/") + c.capture);
  std::vector<size_t> allocating;
  allocating.reserve(messages.size());
  total = 0;
  for (size_t i = 0; i < messages.size(); ++i) {
    const long before = allocation_count;
    agent.Step(messages[i], effector);
    const long made = allocation_count - before;
    if (i >= WARM_UP_MESSAGES && made > 0) {
      allocating.push_back(i);
      total += made;
    }
  }
  return allocating;
}

std::string FirstMessages(const std::vector<size_t>& messages) {
  std::string text;
  for (size_t k = 0; k < messages.size() && k < 10; ++k) text += " " + std::to_string(messages[k]);
  return text;
}

TEST_P(CycleAllocationTest, SteadyCyclesAllocateNothing) {
  const ReplayCase& c = GetParam();
  ASSERT_GT(test::ReadFixtureLines(std::string("perception/") + c.capture).size(),
            WARM_UP_MESSAGES);
  long first_total = 0;
  const std::vector<size_t> first = Replay(c, false, first_total);
  long total = 0;
  const std::vector<size_t> again = Replay(c, true, total);
  EXPECT_EQ(total, 0) << again.size() << " steady cycles allocated, first at messages"
                      << FirstMessages(again) << " (first replay:" << FirstMessages(first) << ")";
}

// A cycle that allocated must be seen by the counter, or the test above proves nothing.
TEST_F(CycleAllocationTest, CounterSeesAllocations) {
  const long before = allocation_count;
  auto block = std::make_unique<std::vector<double>>(100);
  EXPECT_GE(allocation_count - before, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Captures, CycleAllocationTest,
    ::testing::Values(ReplayCase{"Match11v11Fielder", "match_11v11_left_unum5.txt", "TeamA", 5},
                      ReplayCase{"Match11v11Keeper", "match_11v11_left_unum5.txt", "TeamA", 1},
                      ReplayCase{"ThreePlayersLeft", "three_players_left_unum1.txt", "Alpha", 1},
                      ReplayCase{"ThreePlayersRight", "three_players_right_unum1.txt", "Beta", 6}),
    [](const ::testing::TestParamInfo<ReplayCase>& param_info) {
      return std::string(param_info.param.name);
    });

}  // namespace
}  // namespace zamp
