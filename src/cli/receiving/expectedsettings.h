// verify's and listen's expectation when it is given as settings: as options, as a profile, or
// both. zk77q3 reads and checks it, then hands it to the receiving side's library as the text
// below, and to play --check-with's listener on a pipe in the same form: never in a process's
// arguments, which every local user can read in the process list for as long as it decodes
// (listen runs for hours).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commandline.h"
#include "panelstate.h"

namespace zk::cli {

struct ExpectedSettings {
    PanelState panel;               // the settings, resolved and checked
    std::vector<std::string> keys;  // the settings given as options, in kSettings' order; empty
                                    // with a profile, which stands for the whole array
};

// One expectation at a time: a recording or the log stands for a whole array, and settings
// beside it would be silently ignored or silently mixed in. Throws UsageError naming two of
// them when more than one is given.
void RefuseTwoExpectations(const CommonOptions& common, const std::string& expectWav,
                           bool expectLast);

// The settings and --config of the arguments, read and checked (UsageError); none when neither
// was given.
std::optional<ExpectedSettings> ExpectedSettingsOf(const CommonOptions& common);

// {"keys": [...], "settings": {every key: its text}}: the form on the pipe.
std::string HandedSettingsText(const ExpectedSettings& settings);
// Throws UsageError when `text` is not that form or a value is not one the settings take.
ExpectedSettings ReadHandedSettings(std::string_view text);

}  // namespace zk::cli
