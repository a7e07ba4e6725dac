// zk77q3 check: the warnings of generate and play, alone, with an exit status for scripts.
#include <CLI/CLI.hpp>

#include "checks.h"
#include "commands.h"
#include "configoption.h"
#include "generate.h"
#include "report.h"
#include "stdoutput.h"

namespace zk::cli {

namespace {

int RunCheck(CommonOptions& common) {
    PanelState panel = LoadSettings(common);
    const std::vector<std::string> warnings = SettingWarnings(panel);
    if (common.json) {
        GenerateTransferArray(panel);  // the array in memory only: no file is written
        Print(JsonText(RunReport(panel, false, warnings)));
    } else {
        std::string lines;
        for (const std::string& warning : warnings) {
            lines += warning + "\n";
        }
        Print(lines);
    }
    return warnings.empty() ? kExitDone : kExitFault;
}

}  // namespace

void AddCheckCommand(CLI::App& app, CommonOptions& common) {
    CLI::App& check = AddCommand(
        app, "check",
        "Lists, one line each, what to know before sending these settings: codes that are the "
        "same, codes still at the tool's start values (7204, *, 8135, #, 6914: anyone who knows "
        "the defaults can use them), one-symbol codes (16 possibilities), four-symbol codes of "
        "one repeated symbol. A line names the codes by their settings' names, never their "
        "symbols. Nothing is written. generate and play print the same lines as warnings.",
        "zk77q3 check --config north.toml",
        "0 nothing to say, 1 something listed, 2 bad input (a profile that cannot be read among "
        "it).");
    AddSettingsOptions(check, common);
    AddDirectoryOption(check, common, false);
    AddJsonOption(check, common,
                  "one JSON object on standard output: settings, array, check word, files "
                  "(null: nothing is written), warnings");
    SetRun(check, common, RunCheck);
}

}  // namespace zk::cli
