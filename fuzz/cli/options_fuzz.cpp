// The zk77q3 option parser on arbitrary argument lists (NUL-separated in the input), and the
// profile reader on the same bytes: bad input may only ever end as a UsageError, and whatever is
// accepted lies inside the controls' ranges with valid access codes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "accesscode.h"
#include "commandline.h"
#include "commands.h"
#include "configoption.h"
#include "messages.h"

namespace {

void CheckPanel(zk::PanelState& panel) {
    for (const auto& info : zk::kSpinFields) {
        const std::int32_t value = panel.Spin(info.field);
        if (value < info.minimum || value > info.maximum) {
            std::abort();
        }
    }
    if (panel.sqlPage != zk::kSqlPageAudio && panel.sqlPage != zk::kSqlPageInput) {
        std::abort();
    }
    for (const auto& info : zk::kCodeFields) {
        std::string code = panel.Code(info.field);
        if (!zk::ValidateAccessCode(code).empty() || code.size() != panel.Code(info.field).size()) {
            std::abort();  // accepted codes are valid and stored trimmed
        }
    }
}

}  // namespace

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
        zk::cli::CommandLine line(zk::cli::kCommands);
        if (line.Parse(args).outcome == zk::cli::Outcome::Run) {
            line.options().config.clear();  // never read files named by the input
            zk::PanelState panel = zk::cli::LoadSettings(line.options());
            CheckPanel(panel);
        }
    } catch (const zk::UsageError&) {
    }
    try {
        const std::string text(reinterpret_cast<const char*>(data), size);
        zk::PanelState panel = zk::ResolveSettings(zk::ReadProfile(text, "fuzz.toml"));
        CheckPanel(panel);
    } catch (const zk::UsageError&) {
    }
    return 0;
}
