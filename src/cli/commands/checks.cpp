#include "checks.h"

#include "accesscode.h"
#include "settings.h"

namespace zk::cli {

namespace {

struct CodeRole {
    const char* key;
    const char* action;  // what a person holding the code can do
};

constexpr CodeRole kRoles[] = {
    {"user-open", "open the repeater"},
    {"user-close", "close the repeater"},
    {"admin-open", "open the repeater as administrator"},
    {"admin-close", "close the repeater as administrator"},
    {"user-mode", "switch the repeater to user mode"},
};

// The code as the repeater receives it: A..D * # and their stand-ins : ; < = > ? are one symbol
// each, so compare the symbols, never the texts.
std::string Symbols(std::string code) {
    ValidateAccessCode(code);  // normalises to 0x30 + symbol value
    for (char& c : code) {
        c = kCodeSymbols[(static_cast<unsigned char>(c) - 0x30) & 0x0F];
    }
    return code;
}

}  // namespace

std::vector<std::string> SettingWarnings(const PanelState& panel) {
    PanelState& p = const_cast<PanelState&>(panel);
    std::vector<std::string> warnings;
    std::string symbols[5];
    for (int i = 0; i < 5; ++i) {
        symbols[i] = Symbols(p.Code(kCodeFields[static_cast<std::size_t>(i)].field));
    }
    for (int i = 0; i < 5; ++i) {
        bool first = true;
        std::string same = kRoles[i].key;
        for (int j = 0; j < 5; ++j) {
            if (j < i && symbols[j] == symbols[i]) {
                first = false;  // reported with the earlier code
            }
            if (j > i && symbols[j] == symbols[i]) {
                same += std::string(" and ") + kRoles[j].key;
            }
        }
        if (first && same != kRoles[i].key) {
            warnings.push_back(same + " are the same code: the repeater cannot tell them apart");
        }
    }
    for (int i = 0; i < 5; ++i) {
        const CodeFieldInfo& info = kCodeFields[static_cast<std::size_t>(i)];
        const std::string& code = symbols[i];
        if (code == Symbols(info.startText)) {
            warnings.push_back(std::string(kRoles[i].key) +
                               " is still the tool's start value: anyone who knows the "
                               "defaults can " +
                               kRoles[i].action);
        }
        if (code.size() == 1) {
            warnings.push_back(std::string(kRoles[i].key) +
                               " is one symbol: 16 possibilities, found by trying them all");
        } else if (code.find_first_not_of(code[0]) == std::string::npos) {
            warnings.push_back(std::string(kRoles[i].key) +
                               " repeats one symbol: one of the 16 codes tried first");
        }
    }
    return warnings;
}

}  // namespace zk::cli
