// The array of the programming log's last entry, exactly as it was sent: what a receiver
// listening after a send expects to hear, whether the window or the command line sent it.
#pragma once

#include "receivedsettings.h"

namespace zk {

// Throws UsageError when the log holds no entry or its last entry holds no array of 128 hex
// digits, naming the log's file or the entry's number.
Array LastSentArray();

}  // namespace zk
