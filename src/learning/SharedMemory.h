// One page of a file mapped shared and read-write, through which the parent and one child of
// the multi-process kick optimisation hand candidates and scores to each other. The page is
// 128 records of 32 bytes: a name of up to 23 bytes (NUL-padded), one byte of padding and one
// double in the host's byte order at offset 24.
//
// There are no locks. Record 0 is the semaphore and says whose turn it is (1: the parent's,
// 0: the child's); a side touches the other records only on its turn and hands the turn over
// by writing the semaphore last. The semaphore is written with release and read with acquire
// ordering and every other record is accessed atomically, so a side that sees the turn
// change also sees every record written before it.
//
// The process that creates the page (the creator) sizes the file and initialises the records;
// the other opens the existing file and checks its size. Any failure to create, open, size or
// map the page prints one message naming the file and ends the process with status 1, since
// every later hand-over would go through an invalid mapping.
#pragma once

#include <cstddef>
#include <string>

namespace zamp {

class SharedMemory {
 public:
  enum SharedInformationName { SHARED_X = 0, SHARED_Y = 1, SHARED_INFORMATION_SIZE = 128 };
  // Values of record 0; a fixed underlying type, since a page may hold any number there.
  enum SharedSemaphore : int {
    SHARED_SEMAPHRE_ID = 0,
    SHARED_SEMAPHRE_ONE_OK = 0,
    SHARED_SEMAPHRE_TWO_NO = 0,
    SHARED_SEMAPHRE_ONE_NO = 1,
    SHARED_SEMAPHRE_TWO_OK = 1
  };
  enum DefineSetMemoryID {
    MEMORY_LOCK = 1,
    MEMORY_DATA_TYPE = 2,
    MEMORY_DATA_NUM = 3,
    MEMORY_DATA_START = 4
  };
  enum MemoryDataTypeID { MDTYPE_EMPTY = -1, MDTYPE_PARAM = 0, MDTYPE_FITNESS = 1 };

  static constexpr int NAME_SIZE = 23;
  struct SharedInformation {
    char name[NAME_SIZE];
    double value;
  };

  // What TruncatedInt gives for a value that is not a number or outside the range of int:
  // never a valid semaphore, data type, count or candidate id.
  static constexpr int NOT_AN_INT = -2147483647 - 1;

  // name: the file, relative to the working directory. The creator creates its folder and
  // the file when missing and initialises the records.
  SharedMemory(const std::string& name, bool is_memory_creator);
  ~SharedMemory();
  SharedMemory(const SharedMemory&) = delete;
  SharedMemory& operator=(const SharedMemory&) = delete;

  // Every record to "no_name" and 0.0, record 0 to "Semaphore" and 0.0, the semaphore last.
  void InitShared();
  bool Check(int index) const;
  SharedSemaphore GetSemaphore() const;
  void SetSemaphore(SharedSemaphore s);
  // 0.0 for an index outside the page.
  double GetSharedValue(int index) const;
  // Does nothing for an index outside the page.
  void SetSharedValue(int index, double value);
  std::string GetSharedName(int index) const;
  void SetSharedName(int index, const std::string& name);

  // value truncated toward zero, or NOT_AN_INT.
  static int TruncatedInt(double value);
  // A count or a candidate id: value + 0.1 rounded down, so that a whole number written as
  // 2.9999... reads 3 while -1 stays negative; NOT_AN_INT as above.
  static int WholeNumber(double value);

 private:
  SharedInformation* shared_information_;
  long page_size_;  // bytes mapped
  bool is_memory_creator_;
  int file_handle_;
};

static_assert(sizeof(SharedMemory::SharedInformation) == 32, "records are 32 bytes");
static_assert(offsetof(SharedMemory::SharedInformation, value) == 24, "the value is at 24");

}  // namespace zamp
