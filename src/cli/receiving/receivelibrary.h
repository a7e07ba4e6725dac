// verify and listen, the receiving side's commands, as zk77q3 runs them. Their work is in a
// library of its own, libzk77q3-receive.so (receiveentry.h), opened on their first use: the
// decoding libraries it holds (libsndfile with all its codecs, libsoxr, liquid-dsp with FFTW)
// would slow every other command's start by milliseconds. zk77q3 parses the arguments as for
// any command (so --help, the messages and the exit status of bad input are its own), reads and
// checks the settings given as the expectation, and then calls the library in this process.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commandline.h"

namespace zk::cli {

struct VerifyArguments {
    std::vector<std::string> files;
    std::string channel;      // --channel, as given
    std::string expectWav;    // --expect-wav, as given
    bool expectLast = false;  // --expect-last
};

struct ListenArguments {
    std::string rate = "48000";
    std::string count;
    std::string timeout;
    bool expectLast = false;  // --expect-last
};

int RunVerifyCommand(const VerifyArguments& arguments, CommonOptions& common);
int RunListenCommand(const ListenArguments& arguments, CommonOptions& common);

// An argument before the command, for the listener that play --check-with starts (zk77q3
// itself): the expected settings wait on a pipe, its descriptor after the "=". The access codes
// among them would stand in the process list for every local user to read.
inline constexpr std::string_view kSettingsFdOption = "--settings-fd=";

// The same listener's argument before the command: it is to say on a pipe that its capture
// runs (one byte, then the pipe is closed); play --check-with starts sending only then.
inline constexpr std::string_view kReadyFdOption = "--ready-fd=";

// A pipe that already holds `text` and has no writer left; its reading end, numbered 3 or higher
// and inherited across exec, for kSettingsFdOption.
int PipeHoldingSettings(const std::string& text);

// The arguments after the program's name, for main: before listen, a kSettingsFdOption and a
// kReadyFdOption are taken off the front and their descriptors kept for it.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace zk::cli
