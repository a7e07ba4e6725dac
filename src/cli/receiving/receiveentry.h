// The one way into libzk77q3-receive.so, the receiving side of zk77q3 (the decoding work of
// verify and listen). The library holds libsndfile with its codecs, libsoxr and liquid-dsp with
// FFTW; zk77q3 opens it only when verify or listen runs, so that no other command pays for
// loading them. Both sides include this header; anything that changes the request below gets a
// new entry point with a new number, so that a program never calls a library of another make.
#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

// The library's file, found beside zk77q3 in the build tree and through zk77q3's RUNPATH where
// the package puts it.
#define ZK77Q3_RECEIVE_LIBRARY "libzk77q3-receive.so"
// The entry point's symbol.
#define ZK77Q3_RECEIVE_ENTRY "zk77q3_receive_v1"

enum zk77q3_receive_command { ZK77Q3_RECEIVE_VERIFY = 1, ZK77Q3_RECEIVE_LISTEN = 2 };

// The options as given (checked by the library, so that its messages name them); texts never
// NULL, "" for an option not given.
struct zk77q3_receive_request_v1 {
    int command;                // enum zk77q3_receive_command
    const char* const* files;   // verify: the recordings
    size_t file_count;          //
    const char* channel;        // verify --channel
    const char* expect_wav;     // verify --expect-wav
    int expect_last;            // --expect-last, 0 or 1
    const char* settings_json;  // the settings expected (expectedsettings.h's form), or NULL
    int json;                   // --json, 0 or 1
    const char* device;         // listen --device
    const char* rate;           // listen --rate
    const char* count;          // listen --count
    const char* timeout;        // listen --timeout
    int ready_fd;               // listen: one byte here once the capture runs, then closed; -1
    void (*print)(const char* text, size_t size);  // standard output, the program's own
};

// Runs the command, says what went wrong on standard error as zk77q3 says it, and returns the
// exit status. Never throws.
int zk77q3_receive_v1(const struct zk77q3_receive_request_v1* request);

typedef int (*zk77q3_receive_v1_entry)(const struct zk77q3_receive_request_v1* request);

#ifdef __cplusplus
}
#endif
