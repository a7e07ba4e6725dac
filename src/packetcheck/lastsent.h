// The programming log's last entry, exactly as it was sent: what a receiver listening after a
// send expects to hear, whether the window or the command line sent it, and which send that was.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "receivedsettings.h"

namespace zk {

struct LastSend {
    Array array{};
    std::size_t entry = 0;            // its number in the log, counted from 1
    std::string time;                 // as logged (ISO 8601 UTC); empty when the entry has none
    std::optional<std::string> name;  // the repeater's, when the entry names one
};

// Throws UsageError when the log holds no entry or its last entry holds no array of 128 hex
// digits, naming the log's file or the entry's number.
LastSend ReadLastSend();
Array LastSentArray();

}  // namespace zk
