// The repeater's settings as the command line and profiles give them: each row of kSettings
// (settingstable.h) read from text into the control panel the window would fill, and written
// back as text for profiles, JSON and the programming log.
#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "panelstate.h"
#include "settingstable.h"
#include "wording.h"

namespace zk {

// A value as given, and where it came from: "--beep-level" on the command line, or
// "north.toml:3: beep-level" in a profile. Messages about the value begin with `subject`.
struct GivenValue {
    std::string text;
    std::string subject;
};

// Values by key; a later source replaces an earlier one key by key.
using GivenSettings = std::map<std::string, GivenValue>;

// The panel at its start values with `given` applied: every value checked as the window's
// controls would take it, the threshold by the range of the squelch mode in force, the access
// codes by the window's rules. Codes are stored trimmed (generate trims them the same way, so no
// byte changes). Throws UsageError naming the value's subject.
PanelState ResolveSettings(const GivenSettings& given);

// The setting's value as a profile, JSON and the log write it: codes, on|off, H:M:S and the
// squelch mode as text; numbers as decimal digits.
std::string SettingText(const PanelState& panel, const Setting& setting);
bool IsNumberSetting(const Setting& setting);

// A whole number of plain decimal digits (no sign, no blanks) in minimum..maximum; throws
// UsageError "<subject>: "<text>" is not a whole number in <minimum>..<maximum>", worded in
// Russian too.
int WholeNumberIn(const Wording& subject, std::string_view text, int minimum, int maximum);
int WholeNumberIn(const std::string& subject, std::string_view text, int minimum, int maximum);

}  // namespace zk
