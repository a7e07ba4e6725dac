// Malformed sound files: libsndfile's reading of whatever bytes a "recording" holds, through the
// same reader that `zk77q3 verify` uses. Every fault must come back as a SoundFileError with
// libsndfile's reason; nothing may crash or read without end.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "soundfilereader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The bytes as a file with a path, without touching the disk.
    const int fd = memfd_create("recording", MFD_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    if (write(fd, data, size) != static_cast<ssize_t>(size)) {
        close(fd);
        return 0;
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    try {
        zk::SoundFileReader reader(path);
        if (reader.Channels() < 1 || reader.Rate() < 1) {
            std::abort();  // the reader promises a usable layout
        }
        std::vector<float> block;
        // A header may claim hours; a few blocks show whether reading works at all.
        for (int k = 0; k < 16; ++k) {
            reader.Read(4096, block);
            if (block.empty()) {
                break;
            }
            if (block.size() % static_cast<std::size_t>(reader.Channels()) != 0) {
                std::abort();
            }
        }
    } catch (const zk::SoundFileError&) {
        // reported to the operator with libsndfile's reason
    }
    close(fd);
    return 0;
}
