// The subcommands of zk77q3, each in its own file, and their table, in the order --help lists
// them. A new subcommand is one row in kCommands and its Add...Command function, defined in a
// file of its own.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

#include "commandline.h"
#include "valueoption.h"

namespace zk::cli {

void AddGenerateCommand(CLI::App& app, CommonOptions& common);
void AddPlayCommand(CLI::App& app, CommonOptions& common);
void AddCheckCommand(CLI::App& app, CommonOptions& common);
void AddProfileCommand(CLI::App& app, CommonOptions& common);
void AddToneCommand(CLI::App& app, CommonOptions& common);
void AddDtmfCommand(CLI::App& app, CommonOptions& common);
void AddLogCommand(CLI::App& app, CommonOptions& common);
void AddVerifyCommand(CLI::App& app, CommonOptions& common);
void AddListenCommand(CLI::App& app, CommonOptions& common);
void AddDevicesCommand(CLI::App& app, CommonOptions& common);

inline constexpr CommandEntry kCommands[] = {
    {"generate", AddGenerateCommand}, {"play", AddPlayCommand},     {"check", AddCheckCommand},
    {"profile", AddProfileCommand},   {"tone", AddToneCommand},     {"dtmf", AddDtmfCommand},
    {"log", AddLogCommand},           {"verify", AddVerifyCommand}, {"listen", AddListenCommand},
    {"devices", AddDevicesCommand},
};

}  // namespace zk::cli
