// How many file descriptors the test process holds open, so a test can tell that a unit
// opened or closed a socket; -1 where /proc is not mounted.
#pragma once

#include <dirent.h>

namespace zamp {
namespace test {

inline int CountOpenDescriptors() {
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return -1;
  int count = 0;
  while (readdir(dir) != nullptr) ++count;
  closedir(dir);
  return count;
}

}  // namespace test
}  // namespace zamp
