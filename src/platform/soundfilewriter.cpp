#include "soundfilewriter.h"

#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "errors.h"

namespace zk {

namespace {

// Recordings hold no access codes as text; they are shared like any sound file.
constexpr mode_t kRecordingMode = 0644;

std::string TemporaryName(const std::string& path) {
    const std::filesystem::path target(path);
    return (target.parent_path() /
            ("." + target.filename().string() + "." + std::to_string(::getpid()) + ".part"))
        .string();
}

}  // namespace

void WriteWaveRecording(const std::string& path, std::span<const std::int16_t> samples,
                        int sampleRate) {
    const std::string temporary = TemporaryName(path);
    const int descriptor =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kRecordingMode);
    if (descriptor < 0) {
        throw FileCreateError(path, errno);
    }
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    // libsndfile closes the descriptor with the file.
    SNDFILE* file = sf_open_fd(descriptor, SFM_WRITE, &info, SF_TRUE);
    if (file == nullptr) {
        const std::string reason = sf_strerror(nullptr);
        ::close(descriptor);
        ::unlink(temporary.c_str());
        throw FileCreateError(path, reason);
    }
    const auto count = static_cast<sf_count_t>(samples.size());
    const sf_count_t written = sf_write_short(file, samples.data(), count);
    const std::string writeReason = written == count ? "" : sf_strerror(file);
    const int closed = sf_close(file);
    if (written != count || closed != 0) {
        ::unlink(temporary.c_str());
        throw FileCreateError(path, writeReason.empty() ? sf_error_number(closed) : writeReason);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw FileCreateError(path, error);
    }
}

}  // namespace zk
