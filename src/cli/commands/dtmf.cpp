// zk77q3 dtmf: a DTMF sequence, to try the repeater's new codes right after programming.
#include <CLI/CLI.hpp>

#include "accesscode.h"
#include "accesscodetext.h"
#include "commands.h"
#include "configoption.h"
#include "keying.h"
#include "messages.h"
#include "testsignals.h"
#include "testsound.h"

namespace zk::cli {

namespace {

struct DtmfOptions {
    std::string code;      // CODE: the symbols to play
    std::string codeName;  // --code NAME: one of the five codes of the settings
};

// The symbols of an access code as the repeater hears them (":" stands for A, and so on).
std::string CodeSymbols(std::string code) {
    ValidateAccessCode(code);
    for (char& c : code) {
        c = kCodeSymbols[(static_cast<unsigned char>(c) - 0x30) & 0x0F];
    }
    return code;
}

// The symbols as the keypad names them; a-d are taken as A-D, as in access codes.
std::string SymbolsToPlay(PanelState& panel, const DtmfOptions& options) {
    if (options.code.empty() == options.codeName.empty()) {
        throw UsageError("give the symbols to play or --code NAME, one of them (see --help)");
    }
    if (!options.code.empty()) {
        if (options.code.size() > 64) {
            throw UsageError("CODE: " + Quoted(options.code) + " is longer than 64 symbols");
        }
        const std::string symbols = CapitalCodeLetters(options.code);
        for (const char symbol : symbols) {
            if (!DtmfFrequencies(symbol)) {
                throw UsageError("CODE: " + Quoted(options.code) +
                                 " must be DTMF symbols: 0-9 A B C D * #");
            }
        }
        return symbols;
    }
    const Setting* setting = FindSetting(options.codeName);
    if (setting == nullptr || setting->kind != SettingKind::Code) {
        throw UsageError("--code: " + Quoted(options.codeName) +
                         " must be user-open, user-close, admin-open, admin-close or user-mode");
    }
    return CodeSymbols(panel.Code(static_cast<CodeField>(setting->field)));
}

}  // namespace

void AddDtmfCommand(CLI::App& app, CommonOptions& common) {
    CLI::App& dtmf = AddCommand(
        app, "dtmf",
        "Plays DTMF symbols (standard frequency pairs, 100 ms of tone and 100 ms of silence "
        "each): CODE as given, or with --code one of the five access codes taken from the "
        "settings (options or --config), to try the repeater's new codes right after "
        "programming.",
        "zk77q3 dtmf --code user-open --config north.toml");
    auto options = std::make_shared<DtmfOptions>();
    dtmf.add_option("CODE", options->code,
                    "symbols to play: 0-9 A B C D (or a b c d) * #, up to 64")
        ->type_name("");
    AddValueOption(dtmf, "--code", options->codeName,
                   "play this code of the settings: user-open, user-close, admin-open, "
                   "admin-close or user-mode",
                   "NAME");
    AddSettingsOptions(dtmf, common);
    AddDirectoryOption(dtmf, common, false);
    AddDeviceOption(dtmf, common);
    AddKeyingOptions(dtmf, common, std::to_string(kDefaultPttLimit.count()));
    SetRun(dtmf, common, [options](CommonOptions& c) {
        // Read once (--config - is standard input): the code to play and the profile's keying.
        const bool readsSettings = !c.config.empty() || !options->codeName.empty();
        NamedSettings settings = readsSettings ? LoadNamedSettings(c) : NamedSettings{};
        const std::string symbols = SymbolsToPlay(settings.panel, *options);
        const Keying keying = KeyingForRun(c, settings.keying, kDefaultPttLimit);
        const std::string which = options->codeName.empty() ? "" : " (" + options->codeName + ")";
        PlayTestSound(c.device, "the DTMF symbols", DtmfSignal(symbols), keying,
                      "playing DTMF " + symbols + which + " on " + c.device);
        return kExitDone;
    });
}

}  // namespace zk::cli
