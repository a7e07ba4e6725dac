#include "_8RIFF.h"

#include <fcntl.h>

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
#include "stagedfile.h"
#include "terminationhold.h"

namespace zk {

namespace {

constexpr std::uint32_t kDataBytes = kSignalSamples * 2;  // 97536

void PutLe(std::uint8_t* out, std::uint32_t value, int width) {
    for (int k = 0; k < width; ++k) {
        out[k] = static_cast<std::uint8_t>((value >> (8 * k)) & 0xFFu);
    }
}

// The working folder, locked for the whole replacement of the pair, cleared of what a run killed
// outright left there. Any fault is the file-creation error of "_qq.wav", the first file an
// output action creates.
void LockFolder(OutputFolder& folder) {
    const FileProblem problem = folder.OpenAndLock();
    if (problem.error == EWOULDBLOCK) {
        throw FileCreateError(FullPath(kWaveFileName),
                              "Another run of the programmer is writing the files in this folder");
    }
    if (problem) {
        throw FileCreateError(FullPath(kWaveFileName), problem.error);
    }
    RemoveStaleStagedFiles(folder.Descriptor(), kWaveFileName);
    RemoveStaleStagedFiles(folder.Descriptor(), kWaveTableFileName);
}

// Checks the "_qq.wav" in place, if any, and locks it without waiting, so that a file another
// program holds locked (a player, an editor) is never replaced under it.
void ClaimWaveFile(int folder, PresentFile& present) {
    const FileProblem problem = present.Claim(folder, kWaveFileName, O_RDWR, true);
    if (!problem.refusal.english.empty()) {
        throw FileCreateError(FullPath(kWaveFileName), problem.refusal.english);
    }
    if (problem.error == EWOULDBLOCK) {
        throw FileCreateError(FullPath(kWaveFileName),
                              "Another program holds it locked; close that program and try again");
    }
    if (problem) {
        throw FileCreateError(FullPath(kWaveFileName), problem.error);
    }
}

void ClaimTableFile(int folder, PresentFile& present) {
    const FileProblem problem = present.Claim(folder, kWaveTableFileName, O_WRONLY, false);
    if (!problem.refusal.english.empty()) {
        throw InOutError(kInOutAccessDenied,
                         "\"" + FullPath(kWaveTableFileName) + "\". " + problem.refusal.english);
    }
    if (problem) {
        throw InOutError::FromFileCall(problem.error, "write", FullPath(kWaveTableFileName));
    }
}

void WriteTo(StagedFile& staged, const char* name, const void* data, unsigned long size) {
    if (!staged.File().WriteAll(data, size)) {
        throw InOutError::FromFileCall(errno, "write", FullPath(name));
    }
}

void CloseStaged(StagedFile& staged, const char* name) {
    if (!staged.File().Close()) {
        throw InOutError::FromFileCall(errno, "write", FullPath(name));
    }
}

// Renaming is the programmer's own step, with no short text of the window's to keep: its fault
// names the file in the window too.
void Commit(StagedFile& staged, const char* name) {
    if (const FileProblem problem = staged.Commit()) {
        throw Fault("Cannot replace file \"" + FullPath(name) + "\". " +
                    SystemErrorText(problem.error));
    }
}

// Text output through a 128-byte buffer into a staged file, written out when full and at
// closing; every operation is checked and the first failure raises InOutError.
class BufferedTextFile {
  public:
    BufferedTextFile(StagedFile& staged, const char* name) : staged_(staged), name_(name) {}

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
        CloseStaged(staged_, name_);
    }

  private:
    void Flush() {
        WriteTo(staged_, name_, buffer_.data(), used_);
        used_ = 0;
    }

    StagedFile& staged_;
    const char* name_;
    std::array<char, 128> buffer_{};
    std::size_t used_ = 0;
};

// Writes "9_fmsig.h" under its temporary name; the caller puts it in place.
void StageWaveTable(int folder, StagedFile& staged) {
    PresentFile present;
    ClaimTableFile(folder, present);
    if (const FileProblem problem = staged.Create(folder, kWaveTableFileName, present)) {
        throw InOutError::FromFileCall(problem.error, "create", FullPath(kWaveTableFileName));
    }
    BufferedTextFile table(staged, kWaveTableFileName);
    table.Write(WaveTableText());
    table.Close();
}

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
    const TerminationHold hold;
    OutputFolder folder;
    LockFolder(folder);
    StagedFile table;
    StageWaveTable(folder.Descriptor(), table);
    Commit(table, kWaveTableFileName);
}

void WriteWaveFile(ChartSink& chart) {
    const TerminationHold hold;
    OutputFolder folder;
    LockFolder(folder);
    PresentFile present;
    ClaimWaveFile(folder.Descriptor(), present);
    StagedFile wave;
    if (const FileProblem problem = wave.Create(folder.Descriptor(), kWaveFileName, present)) {
        throw FileCreateError(FullPath(kWaveFileName), problem.error);
    }
    const std::array<std::uint8_t, 44> header = WaveHeader();
    WriteTo(wave, kWaveFileName, header.data(), header.size());

    SynthesizeSignal(chart);

    std::vector<std::uint8_t> data(kDataBytes);
    const std::int16_t* samples = SampleBuffer.From(0, kSignalSamples);
    for (int i = 0; i < kSignalSamples; ++i) {
        PutLe(&data[2 * static_cast<std::size_t>(i)], static_cast<std::uint16_t>(samples[i]), 2);
    }
    WriteTo(wave, kWaveFileName, data.data(), data.size());
    CloseStaged(wave, kWaveFileName);

    StagedFile table;
    StageWaveTable(folder.Descriptor(), table);
    Commit(wave, kWaveFileName);
    Commit(table, kWaveTableFileName);
}

}  // namespace zk
