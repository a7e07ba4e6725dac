// How zk77q3 speaks: bad input as UsageError (exit status 2), and every text that reaches the
// terminal made safe first. Values come from the operator, from profiles and from file names;
// an escape sequence or a newline in one must not reach the terminal raw, and a huge value must
// not flood it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "quoting.h"
#include "wording.h"

namespace zk {

// Bad input: the message names the option (or the profile's file, line and key) and what it
// accepts. Nothing has been written when it is thrown. The profiles' and the station file's
// faults also carry the window's Russian wording.
class UsageError : public std::runtime_error, public RussianWording {
  public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
    explicit UsageError(const Wording& message)
        : std::runtime_error(message.english), RussianWording(message.russian) {}
};

// "zk77q3: <message>" on standard error, escaped, with a line break.
void SayError(std::string_view message);
// "zk77q3: warning: <message>" on standard error.
void SayWarning(std::string_view message);

}  // namespace zk
