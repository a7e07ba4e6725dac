#include "stdoutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "commandline.h"
#include "messages.h"

namespace zk::cli {

namespace {
int firstErrno = 0;  // of the first failed write; later writes are not tried
}

void Print(std::string_view text) {
    if (firstErrno != 0 || text.empty()) {
        return;
    }
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
        firstErrno = errno != 0 ? errno : EIO;
    }
}

void PrintNow(std::string_view text) {
    Print(text);
    errno = 0;
    if (firstErrno == 0 && std::fflush(stdout) != 0) {
        firstErrno = errno != 0 ? errno : EIO;
    }
}

int FinishStandardOutput(int status) {
    errno = 0;
    if (firstErrno == 0 && std::fflush(stdout) != 0) {
        firstErrno = errno != 0 ? errno : EIO;
    }
    errno = 0;
    if (std::fclose(stdout) != 0 && firstErrno == 0) {
        firstErrno = errno != 0 ? errno : EIO;
    }
    if (firstErrno == 0) {
        return status;
    }
    SayError(std::string("cannot write to standard output: ") + std::strerror(firstErrno));
    return status == kExitDone ? kExitFault : status;
}

}  // namespace zk::cli
