// -C DIR: the run continues as if started in DIR.
#pragma once

#include <string>

namespace zk::cli {

// Changes the working directory to `directory` (nothing when empty). Throws a Fault naming the
// folder's full path when it cannot.
void EnterWorkingFolder(const std::string& directory);

}  // namespace zk::cli
