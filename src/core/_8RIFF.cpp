#include "_8RIFF.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "_2GL.h"
#include "_5FormFM.h"
#include "errors.h"
#include "filehandle.h"
#include "numtext.h"

namespace zk {

namespace {

constexpr std::uint32_t kDataBytes = kSignalSamples * 2;  // 97536

void PutLe(std::uint8_t* out, std::uint32_t value, int width) {
    for (int k = 0; k < width; ++k) {
        out[k] = static_cast<std::uint8_t>((value >> (8 * k)) & 0xFFu);
    }
}

// Opens "_qq.wav" read-write without truncating and takes an exclusive lock without waiting, so
// a file that another program holds locked is never touched. The old contents are then
// overwritten in place and cut to the new length once the samples are in: cutting a file to zero
// before rewriting it makes the file system flush it at closing, milliseconds on every press.
FileHandle CreateLockedWaveFile() {
    OutputFile opened = OpenOutputFile(kWaveFileName, O_RDWR | O_CREAT);
    if (!opened.refusal.empty()) {
        throw FileCreateError(FullPath(kWaveFileName), opened.refusal);
    }
    if (!opened.file.IsOpen() || ::flock(opened.file.Descriptor(), LOCK_EX | LOCK_NB) != 0) {
        throw FileCreateError(FullPath(kWaveFileName), errno);
    }
    return std::move(opened.file);
}

// Raises the input/output error of a failed call on `file` (errno still holds its value) after
// cutting the file to zero length: a file that stopped part-way must not pass for a whole one.
// The lock, if any, is still held meanwhile.
[[noreturn]] void DiscardAndThrow(FileHandle& file) {
    const int error = errno;
    file.TrimRegularFile(0);
    throw InOutError::FromErrno(error);
}

void WriteOrDiscard(FileHandle& file, const void* data, unsigned long size) {
    if (!file.WriteAll(data, size)) {
        DiscardAndThrow(file);
    }
}

// Text output through a 128-byte buffer, written out when full and at closing; every operation
// is checked and the first failure raises InOutError. Like the WAV file, an existing file is
// overwritten in place and cut to the written length at closing.
class BufferedTextFile {
  public:
    explicit BufferedTextFile(const char* name) {
        OutputFile opened = OpenOutputFile(name, O_WRONLY | O_CREAT);
        if (!opened.refusal.empty()) {
            throw InOutError(kInOutAccessDenied, "\"" + FullPath(name) + "\". " + opened.refusal);
        }
        if (!opened.file.IsOpen()) {
            throw InOutError::FromErrno(opened.error);
        }
        file_ = std::move(opened.file);
    }

    void Write(std::string_view text) {
        while (!text.empty()) {
            if (used_ == buffer_.size()) {
                Flush();
            }
            const std::size_t part = std::min(text.size(), buffer_.size() - used_);
            std::memcpy(buffer_.data() + used_, text.data(), part);
            used_ += part;
            text.remove_prefix(part);
        }
    }

    void Close() {
        Flush();
        if (!file_.TrimRegularFile(written_)) {
            DiscardAndThrow(file_);
        }
        if (!file_.Close()) {
            throw InOutError::FromErrno(errno);
        }
    }

  private:
    void Flush() {
        WriteOrDiscard(file_, buffer_.data(), used_);
        written_ += static_cast<long long>(used_);
        used_ = 0;
    }

    FileHandle file_;
    std::array<char, 128> buffer_{};
    std::size_t used_ = 0;
    long long written_ = 0;
};

}  // namespace

std::array<std::uint8_t, 44> WaveHeader() {
    std::array<std::uint8_t, 44> h{};
    const auto tag = [&h](int at, std::string_view four) {
        for (int k = 0; k < 4; ++k) {
            h[static_cast<std::size_t>(at + k)] = static_cast<std::uint8_t>(four[k]);
        }
    };
    tag(0, "RIFF");
    PutLe(&h[4], kDataBytes + 36, 4);
    tag(8, "WAVE");
    tag(12, "fmt ");
    PutLe(&h[16], 16, 4);  // format chunk size
    PutLe(&h[20], 1, 2);   // PCM
    PutLe(&h[22], 1, 2);   // mono
    PutLe(&h[24], kSampleRate, 4);
    PutLe(&h[28], kSampleRate * 2, 4);
    PutLe(&h[32], 2, 2);   // bytes per frame
    PutLe(&h[34], 16, 2);  // bits per sample
    tag(36, "data");
    PutLe(&h[40], kDataBytes, 4);
    return h;
}

std::string WaveTableText() {
    std::string text = "const signed char FM[8*64*16] = {\r\n";
    text.reserve(kWaveTableBytes);
    for (int r = 0; r < kWaveTableRows; ++r) {
        const std::int16_t* samples = SampleBuffer.From(kWaveTableFirstSample + 16 * r, 16);
        for (int j = 0; j < 16; ++j) {
            AppendIntPadded(text, samples[j] / 256, 4);  // C++ division truncates toward zero
            if (r != kWaveTableRows - 1 || j != 15) {
                text += ',';
            }
        }
        text += "\r\n";
    }
    text += "};";
    return text;
}

void WriteWaveTable() {
    BufferedTextFile table(kWaveTableFileName);
    table.Write(WaveTableText());
    table.Close();
}

void WriteWaveFile(ChartSink& chart) {
    // A file-size limit (ulimit -f) would otherwise end the process with SIGXFSZ part-way through
    // a write; ignored, the write fails with EFBIG and is reported like any other.
    std::signal(SIGXFSZ, SIG_IGN);

    FileHandle wave = CreateLockedWaveFile();
    const std::array<std::uint8_t, 44> header = WaveHeader();
    WriteOrDiscard(wave, header.data(), header.size());

    SynthesizeSignal(chart);

    std::vector<std::uint8_t> data(kDataBytes);
    const std::int16_t* samples = SampleBuffer.From(0, kSignalSamples);
    for (int i = 0; i < kSignalSamples; ++i) {
        PutLe(&data[2 * static_cast<std::size_t>(i)], static_cast<std::uint16_t>(samples[i]), 2);
    }
    WriteOrDiscard(wave, data.data(), data.size());
    if (!wave.TrimRegularFile(kWaveFileBytes)) {  // complete before the table is attempted
        DiscardAndThrow(wave);
    }

    WriteWaveTable();
    if (!wave.Close()) {
        throw InOutError::FromErrno(errno);
    }
}

}  // namespace zk
