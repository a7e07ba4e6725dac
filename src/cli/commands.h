// The subcommands of zk77q3, each in its own file, registered by CommandLine in this order.
#pragma once

#include "commandline.h"

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

}  // namespace zk::cli
