#include "workfolder.h"

#include <unistd.h>

#include <cerrno>

#include "errors.h"

namespace zk::cli {

void EnterWorkingFolder(const std::string& directory) {
    if (!directory.empty() && ::chdir(directory.c_str()) != 0) {
        throw Fault("Cannot enter folder \"" + FullPath(directory) + "\". " +
                    SystemErrorText(errno));
    }
}

}  // namespace zk::cli
