#include "messages.h"

#include <cstdio>

namespace zk {

namespace {

void Say(std::string_view prefix, std::string_view message) {
    std::string line = "zk77q3: ";
    line += prefix;
    line += EscapeControls(message);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace

void SayError(std::string_view message) {
    Say("", message);
}

void SayWarning(std::string_view message) {
    Say("warning: ", message);
}

}  // namespace zk
