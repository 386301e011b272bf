#include "support/AgentReply.h"

#include <cmath>
#include <cstdlib>

namespace zamp::test {

const std::vector<std::string>& JointEffectorNames() {
  static const std::vector<std::string> names = {
      "he1",  "he2",  "rae1", "rae2", "rae3", "rae4", "lae1", "lae2",
      "lae3", "lae4", "rle1", "rle2", "rle3", "rle4", "rle5", "rle6",
      "rle7", "lle1", "lle2", "lle3", "lle4", "lle5", "lle6", "lle7"};
  return names;
}

namespace {

// Reads "(NAME " at pos and the number up to the closing bracket; false when the piece
// does not stand there.
bool ReadJointPiece(const std::string& message, std::size_t& pos, const std::string& name,
                    double& value) {
  const std::string head = "(" + name + " ";
  if (message.compare(pos, head.size(), head) != 0) return false;
  const std::size_t close = message.find(')', pos);
  if (close == std::string::npos) return false;
  const std::string number = message.substr(pos + head.size(), close - pos - head.size());
  char* end = nullptr;
  value = std::strtod(number.c_str(), &end);
  if (number.empty() || *end != '\0') return false;
  pos = close + 1;
  return true;
}

}  // namespace

AgentReply ParseAgentReply(const std::string& message) {
  AgentReply reply;
  std::size_t pos = 0;
  if (message.compare(0, 5, "(say ") == 0) {
    const std::size_t close = message.find(')');
    if (close == std::string::npos) return reply;
    reply.say = message.substr(5, close - 5);
    pos = close + 1;
  }
  reply.all_finite = true;
  for (const std::string& name : JointEffectorNames()) {
    double value = 0.0;
    if (!ReadJointPiece(message, pos, name, value)) return reply;
    reply.speeds.push_back(value);
    reply.all_finite = reply.all_finite && std::isfinite(value);
  }
  if (message.compare(pos, std::string::npos, "(syn)") == 0) {
    reply.syn = true;
    pos += 5;
  }
  reply.well_formed = pos == message.size();
  return reply;
}

}  // namespace zamp::test
