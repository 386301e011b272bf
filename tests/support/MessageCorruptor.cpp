#include "support/MessageCorruptor.h"

#include <cctype>
#include <utility>
#include <vector>

namespace zamp::test {

MessageCorruptor::MessageCorruptor(unsigned seed) : random_(seed) {}

int MessageCorruptor::Pick(int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random_);
}

std::string MessageCorruptor::Corrupt(const std::string& message) {
  if (Pick(0, 4) == 0) return message;
  switch (Pick(0, KIND_NUM - 1)) {
    case FLIP_BYTES:
      return FlipBytes(message);
    case CUT_SHORT:
      return CutShort(message);
    case REMOVE_ELEMENTS:
      return RemoveElements(message);
    default:
      return ReplaceNumbers(message);
  }
}

std::string MessageCorruptor::FlipBytes(const std::string& message) {
  static const std::string VOCABULARY = "() .-+e0123456789naif\t\n";
  std::string damaged = message;
  if (damaged.empty()) return damaged;
  const int count = Pick(1, 8);
  for (int i = 0; i < count; ++i) {
    const int at = Pick(0, static_cast<int>(damaged.size()) - 1);
    damaged[at] = (Pick(0, 3) > 0) ? VOCABULARY[Pick(0, static_cast<int>(VOCABULARY.size()) - 1)]
                                   : static_cast<char>(Pick(0, 255));
  }
  return damaged;
}

std::string MessageCorruptor::CutShort(const std::string& message) {
  return message.substr(0, Pick(0, static_cast<int>(message.size())));
}

std::string MessageCorruptor::RemoveElements(const std::string& message) {
  std::string damaged = message;
  const int count = Pick(1, 3);
  for (int i = 0; i < count; ++i) {
    std::vector<std::size_t> opens;
    for (std::size_t p = 0; p < damaged.size(); ++p) {
      if (damaged[p] == '(') opens.push_back(p);
    }
    if (opens.empty()) break;
    const std::size_t begin = opens[Pick(0, static_cast<int>(opens.size()) - 1)];
    int depth = 0;
    std::size_t end = begin;
    for (; end < damaged.size(); ++end) {
      if (damaged[end] == '(') ++depth;
      if (damaged[end] == ')' && --depth == 0) break;
    }
    // An element left open by earlier damage goes to the end of the text.
    damaged.erase(begin, end - begin + 1);
  }
  return damaged;
}

std::string MessageCorruptor::ReplaceNumbers(const std::string& message) {
  static const char* const VALUES[] = {"nan", "inf", "-inf", "1e999", "-0", ""};
  // Start and length of every number: a digit run with its sign, point and exponent.
  std::vector<std::pair<std::size_t, std::size_t>> numbers;
  for (std::size_t p = 0; p < message.size();) {
    const bool starts = std::isdigit(static_cast<unsigned char>(message[p])) ||
                        (message[p] == '-' && p + 1 < message.size() &&
                         std::isdigit(static_cast<unsigned char>(message[p + 1])));
    if (!starts || (p > 0 && std::isalnum(static_cast<unsigned char>(message[p - 1])))) {
      ++p;
      continue;
    }
    std::size_t end = p + 1;
    while (end < message.size() &&
           (std::isdigit(static_cast<unsigned char>(message[end])) || message[end] == '.' ||
            message[end] == 'e' || message[end] == '-')) {
      ++end;
    }
    numbers.emplace_back(p, end - p);
    p = end;
  }
  if (numbers.empty()) return message;

  std::vector<bool> replace(numbers.size(), false);
  const int count = Pick(1, 4);
  for (int i = 0; i < count; ++i) replace[Pick(0, static_cast<int>(numbers.size()) - 1)] = true;
  std::string damaged;
  std::size_t copied = 0;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (!replace[i]) continue;
    damaged += message.substr(copied, numbers[i].first - copied);
    damaged += VALUES[Pick(0, 5)];
    copied = numbers[i].first + numbers[i].second;
  }
  damaged += message.substr(copied);
  return damaged;
}

}  // namespace zamp::test
