// verify and listen, the receiving side's commands. Their work runs in a program of its own,
// zk77q3-receive, the only one that links the receiving side's libraries (libsndfile with all
// its codecs, libsoxr, liquid-dsp with FFTW): loading those would slow every other command of
// zk77q3 by milliseconds. zk77q3 parses the arguments as for any command (so --help, the
// messages and the exit status of bad input are its own) and then hands the same arguments on to
// zk77q3-receive, which parses them again and does the work.
#pragma once

#include <string>
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

// Keeps the arguments the process was started with, for handing them on.
void KeepProcessArguments(char** argv);

}  // namespace zk::cli
