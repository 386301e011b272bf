#include "learning/SharedMemory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

namespace zamp {

namespace {

const long PAGE_BYTES = static_cast<long>(sizeof(SharedMemory::SharedInformation)) *
                        SharedMemory::SHARED_INFORMATION_SIZE;
const char DEFAULT_NAME[] = "no_name";
const char SEMAPHORE_NAME[] = "Semaphore";

[[noreturn]] void Fail(const std::string& name, const std::string& what) {
  std::cerr << "shared memory page " << name << ": " << what << std::endl;
  std::exit(1);
}

std::string SystemError() { return std::strerror(errno); }

}  // namespace

SharedMemory::SharedMemory(const std::string& name, bool is_memory_creator)
    : shared_information_(nullptr),
      page_size_(std::max(::sysconf(_SC_PAGESIZE), PAGE_BYTES)),
      is_memory_creator_(is_memory_creator),
      file_handle_(-1) {
  if (is_memory_creator_) {
    const std::filesystem::path folder = std::filesystem::path(name).parent_path();
    std::error_code error;
    if (!folder.empty()) std::filesystem::create_directories(folder, error);
    if (error) Fail(name, "cannot create its folder: " + error.message());
    file_handle_ = ::open(name.c_str(), O_RDWR | O_CREAT, 0666);
    if (file_handle_ < 0) Fail(name, "cannot create it: " + SystemError());
    if (::ftruncate(file_handle_, page_size_) != 0) {
      Fail(name, "cannot size it to " + std::to_string(page_size_) + " bytes: " + SystemError());
    }
  } else {
    file_handle_ = ::open(name.c_str(), O_RDWR);
    if (file_handle_ < 0) {
      Fail(name, "cannot open it: " + SystemError() + " (its creator starts first)");
    }
    // A shorter file would fault on the first access beyond its end.
    struct stat status {};
    if (::fstat(file_handle_, &status) != 0) Fail(name, "cannot read its size: " + SystemError());
    if (status.st_size != page_size_) {
      Fail(name, "holds " + std::to_string(status.st_size) + " bytes, not the page's " +
                     std::to_string(page_size_));
    }
  }
  void* page = ::mmap(nullptr, static_cast<size_t>(page_size_), PROT_READ | PROT_WRITE, MAP_SHARED,
                      file_handle_, 0);
  if (page == MAP_FAILED) Fail(name, "cannot map it: " + SystemError());
  shared_information_ = static_cast<SharedInformation*>(page);
  if (is_memory_creator_) InitShared();
}

SharedMemory::~SharedMemory() {
  // Nothing uses the page after its object is gone, on either side.
  if (shared_information_ != nullptr) {
    ::munmap(shared_information_, static_cast<size_t>(page_size_));
  }
  if (file_handle_ >= 0) ::close(file_handle_);
}

void SharedMemory::InitShared() {
  for (int i = SHARED_INFORMATION_SIZE - 1; i > SHARED_SEMAPHRE_ID; --i) {
    SetSharedName(i, DEFAULT_NAME);
    SetSharedValue(i, 0.0);
  }
  // The semaphore last: the other side acts on nothing before it.
  SetSharedName(SHARED_SEMAPHRE_ID, SEMAPHORE_NAME);
  SetSemaphore(SHARED_SEMAPHRE_ONE_OK);
}

bool SharedMemory::Check(int index) const {
  return shared_information_ != nullptr && index >= 0 && index < SHARED_INFORMATION_SIZE;
}

SharedMemory::SharedSemaphore SharedMemory::GetSemaphore() const {
  return static_cast<SharedSemaphore>(TruncatedInt(GetSharedValue(SHARED_SEMAPHRE_ID)));
}

void SharedMemory::SetSemaphore(SharedSemaphore s) {
  SetSharedValue(SHARED_SEMAPHRE_ID, static_cast<double>(s));
}

double SharedMemory::GetSharedValue(int index) const {
  if (!Check(index)) return 0.0;
  double value = 0.0;
  // Acquire on the semaphore: the records the other side wrote before it are seen after it.
  __atomic_load(&shared_information_[index].value, &value,
                index == SHARED_SEMAPHRE_ID ? __ATOMIC_ACQUIRE : __ATOMIC_RELAXED);
  return value;
}

void SharedMemory::SetSharedValue(int index, double value) {
  if (!Check(index)) return;
  // Release on the semaphore: every record written before it is seen with it.
  __atomic_store(&shared_information_[index].value, &value,
                 index == SHARED_SEMAPHRE_ID ? __ATOMIC_RELEASE : __ATOMIC_RELAXED);
}

std::string SharedMemory::GetSharedName(int index) const {
  if (!Check(index)) return "";
  const char* name = shared_information_[index].name;
  return std::string(name, ::strnlen(name, NAME_SIZE));
}

void SharedMemory::SetSharedName(int index, const std::string& name) {
  if (!Check(index)) return;
  char* field = shared_information_[index].name;
  const size_t length = std::min(name.size(), static_cast<size_t>(NAME_SIZE));
  std::memcpy(field, name.data(), length);
  std::memset(field + length, 0, NAME_SIZE - length);
}

int SharedMemory::TruncatedInt(double value) {
  // Only values whose truncation fits in an int convert; anything else would be undefined.
  if (!std::isfinite(value) || value <= -2147483649.0 || value >= 2147483648.0) {
    return NOT_AN_INT;
  }
  return static_cast<int>(value);
}

int SharedMemory::WholeNumber(double value) { return TruncatedInt(std::floor(value + 0.1)); }

}  // namespace zamp
