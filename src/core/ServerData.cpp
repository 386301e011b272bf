#include "core/ServerData.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace zamp {

namespace {

// The characters strtol and strtod skip in the "C" locale.
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Skips leading white space and an optional '+', which std::from_chars does not accept.
// Returns null when a '+' is followed by another sign, which no number may carry.
const char* SkipToNumber(const char* p, const char* end) {
  while (p < end && IsSpace(*p)) ++p;
  if (p < end && *p == '+') {
    ++p;
    if (p < end && (*p == '+' || *p == '-')) return nullptr;
  }
  return p;
}

int ReadInt(const std::string& word) {
  const char* end = word.data() + word.size();
  const char* p = SkipToNumber(word.data(), end);
  if (p == nullptr) return 0;
  int value = 0;
  if (std::from_chars(p, end, value, 10).ec != std::errc()) return 0;
  return value;
}

double ReadDouble(const std::string& word) {
  const char* end = word.data() + word.size();
  const char* p = SkipToNumber(word.data(), end);
  if (p == nullptr) return 0.0;
  double value = 0.0;
  if (std::from_chars(p, end, value, std::chars_format::general).ec != std::errc()) return 0.0;
  // One NaN or infinity would spread through every filter that reads this value.
  return std::isfinite(value) ? value : 0.0;
}

}  // namespace

ServerData* const ServerData::npos = new ServerData("THIS IS NOT SERVER DATA");

ServerData::ServerData(const char* id) : id_(id), update_num_(0) { ++constructed_num_; }

ServerData::~ServerData() {
  for (ServerData* child : child_) delete child;
}

const ServerData* ServerData::GetChild(int i) const {
  if (i < 0 || i >= update_num_) return npos;
  return child_[i];
}

// The tag's length is taken once, and a child whose tag differs in length is passed over
// without comparing characters: the store looks up several children of every element.
const ServerData* ServerData::GetChild(const char* id) const {
  const std::size_t length = std::strlen(id);
  for (int i = 0; i < update_num_; ++i) {
    const std::string& tag = child_[i]->id_;
    if (tag.size() == length && std::memcmp(tag.data(), id, length) == 0) return child_[i];
  }
  return npos;
}

const std::string& ServerData::GetDataStr(int i) const {
  static const std::string empty;
  if (i < 0 || i >= data_num_) return empty;
  return data_[i];
}

int ServerData::GetDataInt(int i) const { return ReadInt(GetDataStr(i)); }

double ServerData::GetDataDouble(int i) const { return ReadDouble(GetDataStr(i)); }

Eigen::Vector3d ServerData::GetDataVector() const {
  if (data_num_ != 3) return Eigen::Vector3d::Zero();
  return Eigen::Vector3d(ReadDouble(data_[0]), ReadDouble(data_[1]), ReadDouble(data_[2]));
}

}  // namespace zamp
