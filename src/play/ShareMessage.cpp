#include "play/ShareMessage.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/RawStorage.h"
#include "core/Singleton.h"
#include "core/const.h"

namespace zamp {

const std::string ShareMessage::int_to_char_64_ =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz*#";
std::map<char, int> ShareMessage::char_to_int_64_;

namespace {

// Truncation toward zero that saturates instead of overflowing, so a wide field with a huge
// range cannot turn a large value into undefined behaviour.
int64_t TruncateToInt64(double v) {
  const double limit = 9223372036854775807.0;  // 2^63, the first value out of range
  if (std::isnan(v)) return 0;
  if (v >= limit) return std::numeric_limits<int64_t>::max();
  if (v <= -limit) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(v);
}

}  // namespace

ShareMessage::ShareMessage() {
  if (char_to_int_64_.empty()) {
    for (int i = 0; i < static_cast<int>(int_to_char_64_.size()); ++i) {
      char_to_int_64_[int_to_char_64_[i]] = i;
    }
  }
}

ShareMessage::~ShareMessage() {}

ShareMessage::ConvertConfigure ShareMessage::CreateConvertConfigure(double min, double max,
                                                                    int bit_num, bool use_sign,
                                                                    double offset) {
  ConvertConfigure c;
  c.param = 0.0;
  c.min = min;
  c.max = max;
  c.bit_num = bit_num;
  if (bit_num < 1) {
    c.max_bit = 0;
  } else if (bit_num >= 64) {
    c.max_bit = std::numeric_limits<uint64_t>::max();
  } else {
    c.max_bit = (uint64_t{1} << bit_num) - 1;
  }
  c.use_sign = use_sign;
  c.offset = offset;
  return c;
}

std::string ShareMessage::Make() {
  std::string text;
  MakeInto(text);
  return text;
}

void ShareMessage::MakeInto(std::string& text) {
  Bits bits;
  DataToBits(bits);
  BitsToString(bits, text);
}

bool ShareMessage::Receive(std::vector<double>& values, int hear_id) {
  values.clear();
  if (hear_id < 0 || hear_id >= MAX_HEAR_MESSAGE_NUM) return false;
  const RawStorage* store = Singleton<RawStorage>::GetInstance();
  if (store == nullptr) return false;
  const raw::Hear& hear = store->GetHear(hear_id);
  if (!hear.hearing) return false;
  return Decode(hear.message, values);
}

bool ShareMessage::Decode(const std::string& text, std::vector<double>& values) const {
  values.clear();
  if (static_cast<int>(text.size()) != GetMessageLength()) return false;
  for (char c : text) {
    if (char_to_int_64_.find(c) == char_to_int_64_.end()) return false;
  }
  Bits bits;
  StringToBits(text, bits);
  BitsToData(bits, values);
  return true;
}

int ShareMessage::GetMessageLength() const {
  int total = 0;
  for (const ConvertConfigure& c : configures_) {
    if (c.bit_num > 0) total = std::min(total + c.bit_num, MAX_MESSAGE_BIT_NUM);
  }
  return (total + USE_CHAR_BIT_NUM - 1) / USE_CHAR_BIT_NUM;
}

void ShareMessage::DataToBits(Bits& bits) {
  bits.reset();
  int p = 0;
  for (ConvertConfigure& c : configures_) {
    // A value that is not finite would make the clamp and the truncation meaningless; the
    // field's minimum is the one value every receiver decodes without surprise.
    double v = std::isfinite(c.param) ? c.param : c.min;
    v = std::min(std::max(v, c.min), c.max);
    if (c.use_sign) {
      c.param = v;
      v = c.max > c.min ? (v - c.min) * static_cast<double>(c.max_bit) / (c.max - c.min) : 0.0;
    }
    v += c.offset;
    const int64_t n = TruncateToInt64(v);
    if (c.bit_num <= 0) continue;
    if (p >= MAX_MESSAGE_BIT_NUM) return;
    const uint64_t u = static_cast<uint64_t>(n);
    for (int b = 0; b < c.bit_num; ++b) {
      const bool bit = b < 64 ? ((u >> b) & 1u) != 0 : n < 0;
      bits[p] = bit;
      ++p;
      if (p >= MAX_MESSAGE_BIT_NUM) return;
    }
  }
}

void ShareMessage::BitsToString(const Bits& bits, std::string& text) const {
  const int length = GetMessageLength();
  text.assign(length, int_to_char_64_[0]);
  for (int k = 0; k < length; ++k) {
    int w = 0;
    for (int b = 0; b < USE_CHAR_BIT_NUM; ++b) {
      if (bits[k * USE_CHAR_BIT_NUM + b]) w |= 1 << b;
    }
    text[k] = int_to_char_64_[w];
  }
}

void ShareMessage::StringToBits(const std::string& text, Bits& bits) {
  bits.reset();
  const int length = std::min<int>(text.size(), MAX_MESSAGE_BIT_NUM / USE_CHAR_BIT_NUM);
  for (int k = 0; k < length; ++k) {
    const auto it = char_to_int_64_.find(text[k]);
    if (it == char_to_int_64_.end()) continue;
    for (int b = 0; b < USE_CHAR_BIT_NUM; ++b) {
      bits[k * USE_CHAR_BIT_NUM + b] = ((it->second >> b) & 1) != 0;
    }
  }
}

void ShareMessage::BitsToData(const Bits& bits, std::vector<double>& values) const {
  int p = 0;
  for (const ConvertConfigure& c : configures_) {
    uint64_t w = 0;
    if (c.bit_num > 0) {
      if (p >= MAX_MESSAGE_BIT_NUM) return;
      for (int b = 0; b < c.bit_num; ++b) {
        if (p >= MAX_MESSAGE_BIT_NUM) return;
        if (bits[p] && b < 64) w |= uint64_t{1} << b;
        ++p;
      }
    }
    double value = static_cast<double>(w);
    if (c.use_sign) {
      value =
          c.max_bit > 0
              ? static_cast<double>(w) / static_cast<double>(c.max_bit) * (c.max - c.min) + c.min
              : c.min;
    }
    values.push_back(value);
  }
}

}  // namespace zamp
