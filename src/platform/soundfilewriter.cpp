#include "soundfilewriter.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "errors.h"
#include "stagedfile.h"

namespace zk {

namespace {

// libsndfile's virtual file over a growing buffer: the WAV is made in memory and then put in
// place by the core's whole-file replacement, which owns the file's mode, the refusal of links
// and the rename. A minute at 48 kHz is under 6 MB.
struct MemoryFile {
    std::string bytes;
    sf_count_t position = 0;
};

sf_count_t Length(void* user) {
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes.size());
}

sf_count_t Seek(sf_count_t offset, int whence, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    const sf_count_t base = whence == SEEK_SET   ? 0
                            : whence == SEEK_CUR ? file->position
                                                 : static_cast<sf_count_t>(file->bytes.size());
    file->position = std::max<sf_count_t>(0, base + offset);
    return file->position;
}

sf_count_t Read(void* destination, sf_count_t count, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    const auto size = static_cast<sf_count_t>(file->bytes.size());
    const sf_count_t available = std::clamp<sf_count_t>(size - file->position, 0, count);
    std::memcpy(destination, file->bytes.data() + file->position, static_cast<size_t>(available));
    file->position += available;
    return available;
}

sf_count_t Write(const void* source, sf_count_t count, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    const auto end = static_cast<size_t>(file->position + count);
    if (file->bytes.size() < end) {
        file->bytes.resize(end);
    }
    std::memcpy(file->bytes.data() + file->position, source, static_cast<size_t>(count));
    file->position += count;
    return count;
}

sf_count_t Tell(void* user) {
    return static_cast<MemoryFile*>(user)->position;
}

std::string EncodeWave(const std::string& path, std::span<const std::int16_t> samples,
                       int sampleRate) {
    SF_VIRTUAL_IO io{Length, Seek, Read, Write, Tell};
    MemoryFile memory;
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &memory);
    if (file == nullptr) {
        ThrowCannotWriteFile(path, Verbatim(sf_strerror(nullptr)));
    }
    const auto count = static_cast<sf_count_t>(samples.size());
    const sf_count_t written = sf_write_short(file, samples.data(), count);
    const std::string writeReason = written == count ? "" : sf_strerror(file);
    const int closed = sf_close(file);
    if (written != count || closed != 0) {
        ThrowCannotWriteFile(path,
                             Verbatim(writeReason.empty() ? sf_error_number(closed) : writeReason));
    }
    return std::move(memory.bytes);
}

}  // namespace

void WriteWaveRecording(const std::string& path, std::span<const std::int16_t> samples,
                        int sampleRate) {
    ReplaceFileWhole(path, EncodeWave(path, samples, sampleRate));
}

}  // namespace zk
