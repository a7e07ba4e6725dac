#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
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
    // Rows 4.. are four cycles per bit of the array, most significant bit first: 0x7F, then
    // zeros up to byte 15 in this fixture.
    for (int r = 0; r < 512; ++r) {
        const std::string& row = lines[static_cast<std::size_t>(r) + 1];
        std::string expected = leadIn;
        if (r >= 4) {
            const int bit = (r - 4) / 4;
            expected = (TransferArray[bit / 8] >> (7 - bit % 8)) & 1 ? one : zero;
        }
        if (r == 511) {
            expected.pop_back();  // no comma after the last value
        }
        ASSERT_EQ(row, expected) << "row " << r;
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

// A named pipe without a reader, a socket or a terminal in a file's place would hold the
// programmer for ever; each is refused at once, with the error of that file.
TEST_F(Files, PipesSocketsAndTerminalsAreRefusedAtOnce) {
    ::alarm(20);  // a hang fails the test instead of the whole run
    const std::string wave = (folder.path() / "_qq.wav").string();
    const std::string table = (folder.path() / "9_fmsig.h").string();
    const std::string pipe = "It is a named pipe (FIFO), not a regular file: writing to it would "
                             "wait for a reader";

    ASSERT_EQ(::mkfifo("_qq.wav", 0666), 0);
    EXPECT_EQ(Message(WriteWaveFile), "Cannot create file \"" + wave + "\". " + pipe);
    EXPECT_FALSE(std::filesystem::exists("9_fmsig.h"));
    std::filesystem::remove("_qq.wav");

    ASSERT_EQ(::mkfifo("9_fmsig.h", 0666), 0);
    EXPECT_EQ(Message(WriteWaveFile), "File access denied: \"" + table + "\". " + pipe);
    EXPECT_EQ(ReadFile("_qq.wav").size(), 97580u);
    // With a reader present the pipe would open; it is refused all the same.
    const int reader = ::open("9_fmsig.h", O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(Message(WriteWaveFile), "File access denied: \"" + table + "\". " + pipe);
    ::close(reader);
    std::filesystem::remove("9_fmsig.h");

    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, "9_fmsig.h");
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(Message(WriteWaveFile),
              "File access denied: \"" + table + "\". It is a socket, not a regular file");
    ::close(sock);
    std::filesystem::remove("9_fmsig.h");

    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::grantpt(terminal), 0);
    ASSERT_EQ(::unlockpt(terminal), 0);
    std::filesystem::remove("_qq.wav");
    std::filesystem::create_symlink(::ptsname(terminal), "_qq.wav");
    EXPECT_EQ(Message(WriteWaveFile),
              "Cannot create file \"" + wave + "\". It is a terminal, not a regular file");
    ::close(terminal);
    ::alarm(0);
}

// A file system that fills part-way: the file that could not be finished is left empty, never
// cut off with a header that promises more.
TEST_F(Files, AFileThatFillsTheDiskPartWayIsLeftEmpty) {
    const std::filesystem::path disk = folder.path() / "disk";
    std::filesystem::create_directory(disk);
    const auto mountTmpfs = [&](const char* size) {
        return ::mount("tmpfs", disk.c_str(), "tmpfs", 0, size) == 0;
    };
    if (!mountTmpfs("size=64k")) {
        GTEST_SKIP() << "no tmpfs can be mounted here: " << std::strerror(errno);
    }
    std::filesystem::current_path(disk);
    EXPECT_EQ(Message(WriteWaveFile), "Disk full");
    EXPECT_EQ(std::filesystem::file_size("_qq.wav"), 0u);
    EXPECT_FALSE(std::filesystem::exists("9_fmsig.h"));
    std::filesystem::current_path(folder.path());
    ASSERT_EQ(::umount(disk.c_str()), 0);

    // Room for the wave (24 pages) but not for the table after it.
    ASSERT_TRUE(mountTmpfs("size=112k"));
    std::filesystem::current_path(disk);
    WriteFile("9_fmsig.h", "");
    EXPECT_EQ(Message(WriteWaveFile), "Disk full");
    EXPECT_EQ(std::filesystem::file_size("_qq.wav"), 97580u);
    EXPECT_EQ(std::filesystem::file_size("9_fmsig.h"), 0u);
    std::filesystem::current_path(folder.path());
    ASSERT_EQ(::umount(disk.c_str()), 0);
}

}  // namespace
}  // namespace zk
