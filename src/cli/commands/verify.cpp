// zk77q3 verify: recordings decoded back to the array, the check word and the settings.
#include <CLI/CLI.hpp>

#include "commands.h"
#include "receivelibrary.h"

namespace zk::cli {

void AddVerifyCommand(CLI::App& app, CommonOptions& common) {
    CLI::App& verify = AddCommand(
        app, "verify",
        "Decodes recordings of the programming signal (any rate 8000..96000 Hz, any format "
        "libsndfile reads, any channel count), printing each file's report as soon as it is "
        "decoded: per packet the 64-line listing, whether the header and the check word are "
        "right, the settings as options and as labelled lines (and any that generate could not "
        "have sent), Eb/N0 and the margin in dB. A file without a packet says why. The verdict "
        "is valid, settings-bad (right check word, impossible settings), crc-bad, header-bad, "
        "truncated, too-noisy or no-signal. An expectation may be given, one kind at a time: "
        "settings as options (only those are compared), --config with or without options (the "
        "whole array), --expect-wav or --expect-last (the whole array; no settings or --config "
        "beside them). The report names what was checked and every difference.",
        "zk77q3 verify --user-open 1590 recording.flac",
        "0 every file holds a valid packet with possible settings, as expected; 1 a file holds "
        "none, or one that differs from the expectation; 2 bad input (bad options, an "
        "expectation that cannot be read, or a recording that cannot be read: its message on "
        "standard error, the other files still decoded). Of several files the highest counts.");
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
    verify.add_flag("--expect-last", arguments->expectLast,
                    "expect the array of the programming log's last entry (what play sent last)");
    AddSettingsOptions(verify, common);
    AddDirectoryOptionTelling(verify, common,
                              "relative recordings, --expect-wav and --config are read from "
                              "there");
    AddJsonOption(verify, common,
                  "one JSON object per file, each on one line, written as the file is decoded: "
                  "file, verdict, level, channel, expectation, packets (with the settings, "
                  "their problems and the differences), findings");
    SetRun(verify, common,
           [arguments](CommonOptions& c) { return RunVerifyCommand(*arguments, c); });
}

}  // namespace zk::cli
