// zk77q3 verify: recordings decoded back to the array, the check word and the settings.
#include <CLI/CLI.hpp>

#include "commands.h"
#include "receiveprogram.h"

namespace zk::cli {

void AddVerifyCommand(CLI::App& app, CommonOptions& common) {
    CLI::App& verify = AddCommand(
        app, "verify",
        "Decodes recordings of the programming signal (any rate 8000..96000 Hz, any format "
        "libsndfile reads, any channel count): per packet the 64-line listing, whether the "
        "check word is right, the settings as options and as labelled lines, Eb/N0 and the "
        "margin in dB. A file without a packet says why. Settings, --config or --expect-wav "
        "give an expectation: every setting that differs is named. Exit status: 0 every file "
        "holds a valid packet as expected, 1 one does not, 2 bad options or an unreadable file.",
        "zk77q3 verify --user-open 1590 recording.flac");
    auto arguments = std::make_shared<VerifyArguments>();
    verify.add_option("FILE", arguments->files, "recordings to decode")
        ->required()
        ->type_name("FILE...");
    AddValueOption(verify, "--channel", arguments->channel,
                   "decode only this channel, counted from 1 (default: the one that carries "
                   "the signal)",
                   "N");
    AddValueOption(verify, "--expect-wav", arguments->expectWav,
                   "expect the array that this WAV file (written by generate) carries", "FILE");
    AddSettingsOptions(verify, common);
    AddJsonOption(verify, common);
    SetRun(verify, common,
           [arguments](CommonOptions& c) { return RunVerifyCommand(*arguments, c); });
}

}  // namespace zk::cli
