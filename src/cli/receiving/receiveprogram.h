// verify and listen, the receiving side's commands. Their work runs in a program of its own,
// zk77q3-receive, the only one that links the receiving side's libraries (libsndfile with all
// its codecs, libsoxr, liquid-dsp with FFTW): loading those would slow every other command of
// zk77q3 by milliseconds. zk77q3 parses the arguments as for any command (so --help, the
// messages and the exit status of bad input are its own), reads and checks the settings given
// as the expectation, and then hands the work on to zk77q3-receive, which parses its arguments
// again and does the work. The settings go on a pipe, never in zk77q3-receive's arguments: the
// access codes among them would stand in the process list for every local user to read.
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

// zk77q3-receive's first argument when the expected settings wait on a pipe, with its descriptor
// after the "=".
inline constexpr std::string_view kSettingsFdOption = "--settings-fd=";

// zk77q3-receive's argument, before the command, when it is to say on a pipe that its capture
// runs (one byte, then the pipe is closed): play --check-with starts sending only then.
inline constexpr std::string_view kReadyFdOption = "--ready-fd=";

// zk77q3-receive: beside this program (the build tree), or where the package puts it. Throws a
// Fault naming both places when it is in neither.
std::string ReceiveProgramPath();

// A pipe that already holds `text` and has no writer left; its reading end, numbered 3 or higher
// and inherited across exec, for kSettingsFdOption.
int PipeHoldingSettings(const std::string& text);

// The arguments zk77q3 hands on to zk77q3-receive (after its name and the kSettingsFdOption):
// every option as parsed, less the settings and --config; values after "=", so that none is
// ever read as an option; the working folder is already entered and is not repeated.
std::vector<std::string> ArgumentsHandedOn(const VerifyArguments& arguments,
                                           const CommonOptions& common);
std::vector<std::string> ArgumentsHandedOn(const ListenArguments& arguments,
                                           const CommonOptions& common);

// The arguments after the program's name, for main. zk77q3-receive takes a kSettingsFdOption and
// a kReadyFdOption off the front and keeps their descriptors.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace zk::cli
