// zk77q3 generate: the two files and the array listing, nothing sent.
#include <CLI/CLI.hpp>

#include "commands.h"
#include "programming.h"

namespace zk::cli {

void AddGenerateCommand(CLI::App& app, CommonOptions& common) {
    CLI::App& generate = AddCommand(
        app, "generate",
        "Writes _qq.wav (the programming signal) and 9_fmsig.h into the working folder and "
        "prints the 64-line listing of the array, one byte a line (index, hex). Nothing is "
        "sent. What `zk77q3 check` would list is printed on standard error as warnings first.",
        "zk77q3 generate --user-open 1590 --period 1:0:0");
    AddSettingsOptions(generate, common);
    AddDirectoryOption(generate, common);
    AddJsonOption(generate, common);
    AddStrictOption(generate, common);
    SetRun(generate, common, [](CommonOptions& c) { return RunProgramming(c, SendOptions{}); });
}

}  // namespace zk::cli
