// The subcommands of zk77q3, each in its own file, registered by CommandLine in this order.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

#include "commandline.h"

namespace zk::cli {

// An option that takes a value, shown as `valueName` in the help; given twice, the last counts.
template <typename Value>
CLI::Option* AddValueOption(CLI::App& command, const std::string& name, Value& value,
                            const std::string& description, const std::string& valueName) {
    return command.add_option(name, value, description)
        ->type_name(valueName)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

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

}  // namespace zk::cli
