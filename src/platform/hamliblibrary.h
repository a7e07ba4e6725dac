// Hamlib's functions, loaded from the shared library the first time a transmitter is opened
// rather than when a program starts. Loading Hamlib starts an INDI client that opens a socket and
// brings libusb, libudev and libnova in: a program that never keys (the window until its first
// keyed send, `zk77q3 generate`) pays none of it, and its standard streams keep their numbers.
#pragma once

#include <hamlib/rig.h>

#include "sharedlibrary.h"

namespace zk::hamlib {

struct Functions {
    decltype(&rig_set_debug) set_debug;
    decltype(&rig_set_debug_callback) set_debug_callback;
    decltype(&rig_init) init;
    decltype(&rig_cleanup) cleanup;
    decltype(&rig_open) open;
    decltype(&rig_close) close;
    decltype(&rig_token_lookup) token_lookup;
    decltype(&rig_set_conf) set_conf;
    decltype(&rig_set_ptt) set_ptt;
    decltype(&rig_get_ptt) get_ptt;
    decltype(&rig_set_cache_timeout_ms) set_cache_timeout_ms;
    decltype(&rigerror2) error_text;
};

// Hamlib's functions (libhamlib.so.4), loaded once for the whole process. Throws
// LibraryLoadError with the dynamic loader's own text when the library or one of the functions
// cannot be found; a library that is missing stays missing for the life of the process.
const Functions& Library();

}  // namespace zk::hamlib
