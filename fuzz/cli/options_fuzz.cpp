// The zk77q3 option parser on arbitrary argument lists (NUL-separated in the input): bad input
// may only ever end as a UsageError, and whatever is accepted lies inside the controls' ranges.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    try {
        zk::cli::Command command = zk::cli::ParseCommandLine(args);
        for (const auto& info : zk::kSpinFields) {
            const std::int32_t value = command.panel.Spin(info.field);
            if (value < info.minimum || value > info.maximum) {
                std::abort();
            }
        }
        if (command.panel.sqlPage != zk::kSqlPageAudio &&
            command.panel.sqlPage != zk::kSqlPageInput) {
            std::abort();
        }
        zk::cli::CheckAccessCodes(command.panel);
    } catch (const zk::cli::UsageError&) {
    }
    return 0;
}
