// Reads back one cycle message of an agent (say piece, 24 joint pieces, optional "(syn)") so
// that tests can check it is well formed without restating the effector's formatting.
#pragma once

#include <string>
#include <vector>

namespace zamp::test {

struct AgentReply {
  bool well_formed = false;      // exactly the pieces below and nothing else
  std::string say;               // text of "(say ...)", empty when there is none
  std::vector<double> speeds;    // rad/s, in joint order he1 ... lle7
  bool all_finite = false;       // every speed is a finite number
  bool syn = false;              // ends with "(syn)"
};

// The effector names of the 24 joints in message order.
const std::vector<std::string>& JointEffectorNames();

AgentReply ParseAgentReply(const std::string& message);

}  // namespace zamp::test
