#include "xdgfolders.h"

#include <cstdlib>

namespace zk {

namespace {

constexpr const char* kProgramFolder = "zk77q3";

// `variable` when it holds an absolute path, else `homeDefault` under HOME, with the program's
// own folder below; empty when neither is set.
std::filesystem::path BaseFolder(const char* variable, const std::filesystem::path& homeDefault) {
    const char* base = std::getenv(variable);
    if (base != nullptr && base[0] == '/') {
        return std::filesystem::path(base) / kProgramFolder;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') {
        return std::filesystem::path(home) / homeDefault / kProgramFolder;
    }
    return {};
}

}  // namespace

std::filesystem::path ConfigFolder() {
    return BaseFolder("XDG_CONFIG_HOME", ".config");
}

std::filesystem::path StateFolder() {
    return BaseFolder("XDG_STATE_HOME", std::filesystem::path(".local") / "state");
}

}  // namespace zk
