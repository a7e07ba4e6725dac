// The XDG base folders the operator's files live under.
#pragma once

#include <filesystem>

namespace zk {

// $XDG_CONFIG_HOME/zk77q3 and $XDG_STATE_HOME/zk77q3, or their defaults under $HOME (.config,
// .local/state). A variable that is not an absolute path is ignored, as the XDG base-directory
// rules ask. Empty when neither the variable nor HOME gives a folder.
std::filesystem::path ConfigFolder();
std::filesystem::path StateFolder();

}  // namespace zk
