// Real numbers as the server and its trainer port read them: fixed point with six decimals,
// the text printf's "%f" gives, written without printf's cost. Neither reads "nan" or "inf",
// so a non-finite value is written as 0: the callers' messages stay readable, and a joint
// speed or a placement written as 0 is harmless.
#pragma once

#include <string>

namespace zamp {

void AppendFixed(std::string& text, double value);
std::string FixedText(double value);

}  // namespace zamp
