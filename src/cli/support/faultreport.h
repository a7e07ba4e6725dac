// What a command throws, as zk77q3 reports it: the message on standard error and the exit
// status. Shared by main and by the receiving side's library, whose faults must read the same.
#pragma once

#include <functional>

namespace zk::cli {

// Runs `work` and returns its exit status; bad input (UsageError) says its message and gives
// kExitBadInput, any other fault says its full text and gives kExitFault.
int RunReportingFaults(const std::function<int()>& work);

}  // namespace zk::cli
