#include "profileoutput.h"

#include "stagedfile.h"
#include "stdoutput.h"

namespace zk::cli {

void AddProfileOutputOption(CLI::App& command, std::string& path) {
    command
        .add_option("-o,--output", path,
                    "write the profile to FILE (owner-only) instead of standard output")
        ->type_name("FILE")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

void PrintOrWriteProfile(const std::string& path, const std::string& text) {
    if (path.empty()) {
        Print(text);
    } else {
        ReplaceFileWhole(path, text);
    }
}

}  // namespace zk::cli
