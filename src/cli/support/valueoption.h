// An option that takes a value, the way every option of zk77q3 that takes one is made.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace zk::cli {

// An option that takes a value, shown as `valueName` in the help; given twice, the last counts.
template <typename Value>
CLI::Option* AddValueOption(CLI::App& command, const std::string& name, Value& value,
                            const std::string& description, const std::string& valueName) {
    return command.add_option(name, value, description)
        ->type_name(valueName)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

}  // namespace zk::cli
