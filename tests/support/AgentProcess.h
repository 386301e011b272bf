// Starts one of the agent executables in a child process, in the repository root (where the
// run-time files are), with its standard streams captured. The wait for its end is bounded.
#pragma once

#include <string>
#include <vector>

#include "support/ChildProcess.h"

namespace zamp::test {

// name: the executable under apps/ ("zamp_agent"); args: its options.
ChildProcess StartAgent(const std::string& name, const std::vector<std::string>& args);
// The same in another working directory, for agents that write files there.
ChildProcess StartAgentIn(const std::string& directory, const std::string& name,
                          const std::vector<std::string>& args);

}  // namespace zamp::test
