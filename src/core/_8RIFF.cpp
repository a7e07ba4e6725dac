#include "_8RIFF.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <string_view>
#include <vector>

#include "_2GL.h"
#include "_5FormFM.h"
#include "errors.h"
#include "filehandle.h"
#include "numtext.h"
#include "output.h"

namespace zk {

namespace {

constexpr std::uint32_t kDataBytes = kSignalSamples * 2;  // 97536

void PutLe(std::uint8_t* out, std::uint32_t value, int width) {
    for (int k = 0; k < width; ++k) {
        out[k] = static_cast<std::uint8_t>((value >> (8 * k)) & 0xFFu);
    }
}

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

// Opens "_qq.wav" read-write without truncating, takes an exclusive lock without waiting, and
// only then truncates: a file that another program holds locked is never damaged. Only a
// regular file can be truncated; a device in its place is written as it is.
FileHandle CreateLockedWaveFile() {
    FileHandle file(::open(kWaveFileName, O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    struct stat status {};
    if (!file.is_open() || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0 ||
        ::fstat(file.get(), &status) != 0 ||
        (S_ISREG(status.st_mode) && ::ftruncate(file.get(), 0) != 0)) {
        throw FileCreateError(FullPath(kWaveFileName), errno);
    }
    return file;
}

void WriteOrThrow(FileHandle& file, const void* data, unsigned long size) {
    if (!file.WriteAll(data, size)) {
        throw InOutError(InOutCodeFromErrno(errno));
    }
}

// Text output through a 128-byte buffer, written out when full and at closing; every operation
// is checked and the first failure raises InOutError.
class BufferedTextFile {
  public:
    explicit BufferedTextFile(const char* name)
        : file_(::open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)) {
        if (!file_.is_open()) {
            throw InOutError(InOutCodeFromErrno(errno));
        }
    }

    void Write(std::string_view text) {
        for (const char c : text) {
            if (used_ == buffer_.size()) {
                Flush();
            }
            buffer_[used_++] = c;
        }
    }

    void Close() {
        Flush();
        if (!file_.Close()) {
            throw InOutError(InOutCodeFromErrno(errno));
        }
    }

  private:
    void Flush() {
        WriteOrThrow(file_, buffer_.data(), used_);
        used_ = 0;
    }

    FileHandle file_;
    std::array<char, 128> buffer_{};
    std::size_t used_ = 0;
};

}  // namespace

void WriteWaveTable() {
    BufferedTextFile table(kWaveTableFileName);
    table.Write("const signed char FM[8*64*16] = {\r\n");
    for (int r = 0; r < kWaveTableRows; ++r) {
        for (int j = 0; j < 16; ++j) {
            const int n = kWaveTableFirstSample + 16 * r + j;
            table.Write(IntToPadded(SampleBuffer[n] / 256, 4));  // C++ division truncates toward 0
            if (r != kWaveTableRows - 1 || j != 15) {
                table.Write(",");
            }
        }
        table.Write("\r\n");
    }
    table.Write("};");
    table.Close();
}

void WriteWaveFile(ChartSink& chart) {
    FileHandle wave = CreateLockedWaveFile();
    const std::array<std::uint8_t, 44> header = WaveHeader();
    WriteOrThrow(wave, header.data(), header.size());

    SynthesizeSignal(chart);

    std::vector<std::uint8_t> data(kDataBytes);
    const std::int16_t* samples = SampleBuffer.From(0, kSignalSamples);
    for (int i = 0; i < kSignalSamples; ++i) {
        PutLe(&data[2 * static_cast<std::size_t>(i)], static_cast<std::uint16_t>(samples[i]), 2);
    }
    WriteOrThrow(wave, data.data(), data.size());

    WriteWaveTable();
    if (!wave.Close()) {
        throw InOutError(InOutCodeFromErrno(errno));
    }
}

}  // namespace zk
