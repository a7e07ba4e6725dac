// Where a profile goes: standard output, or with -o,--output a file that only its owner can read.
// A profile holds all five access codes, and a file made by the shell's > is as open as the umask
// leaves it (usually readable by every local user), so every command that prints one offers this.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace zk::cli {

void AddProfileOutputOption(CLI::App& command, std::string& path);

// `text` on standard output when `path` is empty; otherwise put in place whole at `path`,
// owner-only when new, an existing file's mode kept, a symbolic link refused (ReplaceFileWhole).
void PrintOrWriteProfile(const std::string& path, const std::string& text);

}  // namespace zk::cli
