#include "core/FixedText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace zamp {

namespace {

// Room for the fixed-point text of any finite double: 309 integer digits, sign, point and
// six decimals.
constexpr std::size_t MAX_FIXED_SIZE = 330;

}  // namespace

void AppendFixed(std::string& text, double value) {
  if (!std::isfinite(value)) value = 0.0;
  char digits[MAX_FIXED_SIZE];
  const std::to_chars_result result =
      std::to_chars(digits, digits + sizeof(digits), value, std::chars_format::fixed, 6);
  if (result.ec == std::errc()) {
    text.append(digits, result.ptr);
    return;
  }
  const int length = std::snprintf(nullptr, 0, "%f", value);
  if (length <= 0) {
    text += "0.000000";
    return;
  }
  const std::size_t start = text.size();
  text.resize(start + static_cast<std::size_t>(length) + 1);
  std::snprintf(&text[start], static_cast<std::size_t>(length) + 1, "%f", value);
  text.resize(start + static_cast<std::size_t>(length));
}

std::string FixedText(double value) {
  std::string text;
  AppendFixed(text, value);
  return text;
}

}  // namespace zamp
