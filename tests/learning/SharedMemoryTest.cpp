#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>

#include "learning/SharedMemory.h"
#include "support/ChildProcess.h"
#include "support/ScratchDirectory.h"

namespace zamp {
namespace {

using test::ChildProcess;
using test::ScratchDirectory;

const char PAGE[] = "tmp/shared_memory/MapFile3101";
const double NaN = std::numeric_limits<double>::quiet_NaN();

long PageBytes() { return std::max(::sysconf(_SC_PAGESIZE), 4096L); }

// The 32 bytes of record k as they lie in the file.
struct RawRecord {
  std::string name;  // the 23 name bytes, zeros included
  double value;
};

RawRecord ReadRecord(const std::string& text, int k) {
  RawRecord record{text.substr(32 * k, 23), 0.0};
  std::memcpy(&record.value, text.data() + 32 * k + 24, sizeof(double));
  return record;
}

std::string Padded(const std::string& name) { return name + std::string(23 - name.size(), '\0'); }

TEST(SharedMemoryTest, TheCreatorMakesTheFolderAndLaysOutTheNamedRecords) {
  ScratchDirectory dir;
  SharedMemory page(dir.PathOf(PAGE), true);
  page.SetSharedValue(5, 3.25);
  page.SetSemaphore(SharedMemory::SHARED_SEMAPHRE_TWO_OK);

  // What the other process maps is the file itself.
  const std::string text = dir.Read(PAGE);
  ASSERT_EQ(static_cast<long>(text.size()), PageBytes());
  const struct {
    int index;
    std::string name;
    double value;
  } cases[] = {{0, "Semaphore", 1.0}, {1, "no_name", 0.0},  {2, "no_name", 0.0},
               {5, "no_name", 3.25},  {64, "no_name", 0.0}, {127, "no_name", 0.0}};
  for (const auto& c : cases) {
    const RawRecord record = ReadRecord(text, c.index);
    EXPECT_EQ(record.name, Padded(c.name)) << c.index;
    EXPECT_EQ(record.value, c.value) << c.index;
    EXPECT_EQ(page.GetSharedName(c.index), c.name) << c.index;
  }
  EXPECT_EQ(text.substr(32 * 128), std::string(PageBytes() - 4096, '\0')) << "rest of the page";
}

TEST(SharedMemoryTest, RecordsOutsideThePageReadZeroAndAreNeverWritten) {
  ScratchDirectory dir;
  SharedMemory page(dir.PathOf(PAGE), true);
  const struct {
    int index;
    bool inside;
  } cases[] = {{-1, false}, {0, true}, {4, true}, {127, true}, {128, false}, {1000, false}};
  for (const auto& c : cases) {
    page.SetSharedValue(c.index, 7.5);
    EXPECT_EQ(page.Check(c.index), c.inside) << c.index;
    EXPECT_EQ(page.GetSharedValue(c.index), c.inside ? 7.5 : 0.0) << c.index;
    page.SetSharedName(c.index, "x");
    EXPECT_EQ(page.GetSharedName(c.index), c.inside ? "x" : "") << c.index;
  }
  EXPECT_EQ(dir.Read(PAGE).substr(32 * 128), std::string(PageBytes() - 4096, '\0'));

  // A name fills at most its 23 bytes.
  page.SetSharedName(3, std::string(30, 'n'));
  EXPECT_EQ(page.GetSharedName(3), std::string(23, 'n'));
  EXPECT_EQ(page.GetSharedValue(3), 0.0) << "the name does not run into the value";
}

TEST(SharedMemoryTest, SemaphoreAndCountsReadAsIntByTruncation) {
  ScratchDirectory dir;
  SharedMemory page(dir.PathOf(PAGE), true);
  const struct {
    double value;
    int semaphore;
  } cases[] = {{0.99, 0},
               {1.0, 1},
               {-0.5, 0},
               {-1.0, -1},
               {NaN, SharedMemory::NOT_AN_INT},
               {1e300, SharedMemory::NOT_AN_INT},
               {-std::numeric_limits<double>::infinity(), SharedMemory::NOT_AN_INT}};
  for (const auto& c : cases) {
    page.SetSharedValue(SharedMemory::SHARED_SEMAPHRE_ID, c.value);
    EXPECT_EQ(page.GetSemaphore(), c.semaphore) << c.value;
    EXPECT_EQ(SharedMemory::TruncatedInt(c.value), c.semaphore) << c.value;
  }
}

TEST(SharedMemoryTest, CountsAndIdsReadAsWholeNumbersAndNegativesStayNegative) {
  const struct {
    double value;
    int whole;
  } cases[] = {{61.0, 61},
               {60.95, 61},
               {2.8, 2},
               {0.0, 0},
               {-0.05, 0},
               {-0.5, -1},
               {-1.0, -1},
               {NaN, SharedMemory::NOT_AN_INT},
               {3e9, SharedMemory::NOT_AN_INT}};
  for (const auto& c : cases) EXPECT_EQ(SharedMemory::WholeNumber(c.value), c.whole) << c.value;
}

TEST(SharedMemoryTest, BothSidesSeeOneAnotherAndASecondCreatorStartsAfresh) {
  ScratchDirectory dir;
  SharedMemory creator(dir.PathOf(PAGE), true);
  SharedMemory other(dir.PathOf(PAGE), false);
  other.SetSharedValue(SharedMemory::MEMORY_DATA_START, 12.0);
  other.SetSemaphore(SharedMemory::SHARED_SEMAPHRE_TWO_OK);
  EXPECT_EQ(creator.GetSharedValue(SharedMemory::MEMORY_DATA_START), 12.0);
  EXPECT_EQ(creator.GetSemaphore(), SharedMemory::SHARED_SEMAPHRE_TWO_OK);

  SharedMemory again(dir.PathOf(PAGE), true);
  EXPECT_EQ(other.GetSharedValue(SharedMemory::MEMORY_DATA_START), 0.0);
  EXPECT_EQ(other.GetSemaphore(), SharedMemory::SHARED_SEMAPHRE_ONE_OK);
  EXPECT_EQ(other.GetSharedName(0), "Semaphore");
}

TEST(SharedMemoryTest, APageThatCannotBeHadEndsTheProcessNamingTheFile) {
  ScratchDirectory dir;
  dir.Write("short/MapFile1", std::string(100, '\0'));
  dir.Write("long/MapFile1", std::string(PageBytes() + 1, '\0'));
  dir.Write("a_file", "not a folder");
  const struct {
    std::string name;
    bool creator;
    std::string message;
  } cases[] = {
      {"tmp/shared_memory/MapFile1", false, "cannot open it: No such file or directory"},
      {"short/MapFile1", false, "holds 100 bytes, not the page's " + std::to_string(PageBytes())},
      {"long/MapFile1", false, "holds " + std::to_string(PageBytes() + 1) + " bytes"},
      {"a_file/MapFile1", true, "cannot create its folder"},
  };
  for (const auto& c : cases) {
    const std::string path = dir.PathOf(c.name);
    ChildProcess child = ChildProcess::Run([&c, &path]() {
      SharedMemory page(path, c.creator);
      page.SetSharedValue(4, 1.0);
    });
    EXPECT_EQ(child.ExitStatus(), 1) << c.name;
    EXPECT_EQ(child.TermSignal(), 0) << c.name;
    EXPECT_NE(child.Err().find("shared memory page " + path + ": " + c.message), std::string::npos)
        << child.Err();
  }
  EXPECT_EQ(dir.Read("short/MapFile1").size(), 100u) << "an opener never resizes";
}

}  // namespace
}  // namespace zamp
