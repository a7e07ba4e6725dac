#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "_2GL.h"
#include "_5FormFM.h"
#include "_8RIFF.h"
#include "errors.h"
#include "freshglobals.h"
#include "recordingchart.h"
#include "workfolder.h"

namespace zk {
namespace {

using testing::ReadFile;
using testing::RecordingChart;
using testing::WorkFolder;
using testing::WriteFile;

int Le(const std::string& bytes, std::size_t at, int width) {
    int value = 0;
    for (int k = width - 1; k >= 0; --k) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(k)]);
    }
    return value;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

class Files : public testing::FreshGlobals {
  protected:
    void SetUp() override {
        FreshGlobals::SetUp();
        TransferArray[0] = 0x7F;
    }

    std::string Message(void (*action)(ChartSink&)) {
        try {
            action(chart);
        } catch (const Fault& fault) {
            return fault.what();
        }
        return "no fault";
    }

    WorkFolder folder;
    RecordingChart chart;
};

TEST_F(Files, WaveFileHasTheFixedHeaderAndEverySample) {
    WriteWaveFile(chart);
    const std::string wav = ReadFile("_qq.wav");
    ASSERT_EQ(wav.size(), 97580u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(Le(wav, 4, 4), 97572);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le(wav, 16, 4), 16);
    EXPECT_EQ(Le(wav, 20, 2), 1);
    EXPECT_EQ(Le(wav, 22, 2), 1);
    EXPECT_EQ(Le(wav, 24, 4), 16000);
    EXPECT_EQ(Le(wav, 28, 4), 32000);
    EXPECT_EQ(Le(wav, 32, 2), 2);
    EXPECT_EQ(Le(wav, 34, 2), 16);
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(Le(wav, 40, 4), 97536);
    EXPECT_EQ(wav.substr(44, 4), std::string("\x00\x00\x57\x2E", 4));
    for (int i = 0; i < kSignalSamples; ++i) {
        ASSERT_EQ(static_cast<std::int16_t>(Le(wav, 44 + 2 * static_cast<std::size_t>(i), 2)),
                  SampleBuffer[i])
            << i;
    }
    EXPECT_EQ(chart.points.size(), 48768u);
}

TEST_F(Files, RewritingTruncatesALongerFileAndIsRepeatable) {
    WriteFile("_qq.wav", std::string(200000, 'x'));
    WriteFile("9_fmsig.h", std::string(60000, 'y'));
    WriteWaveFile(chart);
    const std::string wav = ReadFile("_qq.wav");
    const std::string table = ReadFile("9_fmsig.h");
    EXPECT_EQ(wav.size(), 97580u);
    EXPECT_EQ(table.size(), 42020u);
    WriteWaveFile(chart);
    EXPECT_EQ(ReadFile("_qq.wav"), wav);
    EXPECT_EQ(ReadFile("9_fmsig.h"), table);
}

TEST_F(Files, TableLayout) {
    WriteWaveFile(chart);
    const std::string table = ReadFile("9_fmsig.h");
    ASSERT_EQ(table.size(), 42020u);
    const std::vector<std::string> lines = Lines(table);
    ASSERT_EQ(lines.size(), 514u);  // 513 line breaks, then "};" with none after it
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 513);
    EXPECT_EQ(std::count(table.begin(), table.end(), '\r'), 513);
    EXPECT_EQ(lines.front(), "const signed char FM[8*64*16] = {");
    EXPECT_EQ(lines.back(), "};");

    const std::string leadIn =
        "   0,  46,  85, 111, 121, 111,  85,  46,   0, -46, -85,-111,-121,-111, -85, -46,";
    const std::string one =
        "   0,  44,  82, 108, 117, 108,  82,  44,   0, -44, -82,-108,-117,-108, -82, -44,";
    const std::string zero =
        "   0, -44, -82,-108,-117,-108, -82, -44,   0,  44,  82, 108, 117, 108,  82,  44,";
    for (int r = 0; r < 512; ++r) {
        const std::string& row = lines[static_cast<std::size_t>(r) + 1];
        const std::string expected = r < 4 ? leadIn : r < 8 ? zero : r < 36 ? one : row;
        ASSERT_EQ(row, r == 511 ? row : expected) << "row " << r;
        ASSERT_EQ(row.size(), r == 511 ? 79u : 80u) << "row " << r;
        ASSERT_EQ(row.back() == ',', r != 511) << "row " << r;
    }
    // Every value, 8192 of them, in four characters.
    std::size_t values = 0;
    for (std::size_t r = 1; r <= 512; ++r) {
        values += static_cast<std::size_t>(std::count(lines[r].begin(), lines[r].end(), ',')) +
                  (r == 512 ? 1 : 0);
    }
    EXPECT_EQ(values, 8192u);
}

TEST_F(Files, TableShowsOnlyTheSevenHighBitsOfByteFifteen) {
    WriteWaveFile(chart);
    const std::string base = ReadFile("9_fmsig.h");
    TransferArray[15] ^= 0x01;
    WriteWaveFile(chart);
    EXPECT_EQ(ReadFile("9_fmsig.h"), base);
    TransferArray[15] ^= 0x02;
    WriteWaveFile(chart);
    EXPECT_NE(ReadFile("9_fmsig.h"), base);

    TransferArray[15] ^= 0x02;
    TransferArray[0] ^= 0x80;
    WriteWaveFile(chart);
    const std::vector<std::string> before = Lines(base);
    const std::vector<std::string> after = Lines(ReadFile("9_fmsig.h"));
    for (std::size_t line = 0; line < before.size(); ++line) {
        const bool inFirstBit = line >= 5 && line <= 8;  // rows 4..7
        EXPECT_EQ(before[line] != after[line], inFirstBit) << "line " << line;
    }
}

TEST_F(Files, FolderInPlaceOfTheWaveFileStopsBeforeAnythingIsWritten) {
    std::filesystem::create_directory("_qq.wav");
    WriteFile("9_fmsig.h", "old");
    EXPECT_EQ(
        Message(WriteWaveFile),
        "Cannot create file \"" + (folder.path() / "_qq.wav").string() + "\". Is a directory");
    EXPECT_EQ(ReadFile("9_fmsig.h"), "old");
    EXPECT_EQ(chart.clears, 0);  // no synthesis either
}

TEST_F(Files, LockedWaveFileIsNeitherTruncatedNorOverwritten) {
    WriteFile("_qq.wav", "held by another program");
    const int other = ::open("_qq.wav", O_RDWR);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    const std::string message = Message(WriteWaveFile);
    ::close(other);
    EXPECT_EQ(message, "Cannot create file \"" + (folder.path() / "_qq.wav").string() +
                           "\". Resource temporarily unavailable");
    EXPECT_EQ(ReadFile("_qq.wav"), "held by another program");
    EXPECT_FALSE(std::filesystem::exists("9_fmsig.h"));

    WriteWaveFile(chart);  // the lock is gone: the next output works
    EXPECT_EQ(ReadFile("_qq.wav").size(), 97580u);
}

TEST_F(Files, TableFaultsCarryTheInputOutputCodeAfterTheWaveIsComplete) {
    WriteFile("_qq.wav", std::string(200000, 'x'));  // no old tail may survive the fault
    std::filesystem::create_directory("9_fmsig.h");
    try {
        WriteWaveFile(chart);
        FAIL() << "no fault";
    } catch (const InOutError& error) {
        EXPECT_EQ(error.code(), 5);
        EXPECT_STREQ(error.what(), "File access denied");
    }
    EXPECT_EQ(ReadFile("_qq.wav").size(), 97580u);

    std::filesystem::remove("9_fmsig.h");
    std::filesystem::create_symlink("/dev/full", "9_fmsig.h");
    EXPECT_EQ(Message(WriteWaveFile), "Disk full");
}

TEST_F(Files, FailedWaveWriteIsReportedAndNoTableFollows) {
    std::filesystem::create_symlink("/dev/full", "_qq.wav");
    EXPECT_EQ(Message(WriteWaveFile), "Disk full");
    EXPECT_FALSE(std::filesystem::exists("9_fmsig.h"));
}

}  // namespace
}  // namespace zk
