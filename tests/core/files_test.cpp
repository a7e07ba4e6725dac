#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>

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
                           "\". Another program holds it locked; close that program and try "
                           "again");
    EXPECT_EQ(ReadFile("_qq.wav"), "held by another program");
    EXPECT_FALSE(std::filesystem::exists("9_fmsig.h"));

    WriteWaveFile(chart);  // the lock is gone: the next output works
    EXPECT_EQ(ReadFile("_qq.wav").size(), 97580u);
}

// The names in the folder, the two files and anything a run left beside them.
std::vector<std::string> Listing(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A table that cannot be written leaves the old pair as it was: a new "_qq.wav" beside an old
// "9_fmsig.h" would be a pair that no run wrote. The command line's longer text names the file.
TEST_F(Files, ATableFaultLeavesTheOldPairAndNoTemporaryFile) {
    WriteFile("_qq.wav", "old wave");
    std::filesystem::create_directory("9_fmsig.h");
    try {
        WriteWaveFile(chart);
        FAIL() << "no fault";
    } catch (const InOutError& error) {
        EXPECT_EQ(error.code(), 5);
        EXPECT_STREQ(error.what(), "File access denied");
        EXPECT_EQ(
            error.Detailed(),
            "Cannot write file \"" + (folder.path() / "9_fmsig.h").string() + "\". Is a directory");
    }
    EXPECT_EQ(ReadFile("_qq.wav"), "old wave");
    EXPECT_EQ(Listing(folder.path()), (std::vector<std::string>{"9_fmsig.h", "_qq.wav"}));
}

// Anything but a regular file in either file's place is refused at once, before a byte is
// written: a named pipe would hold the programmer for ever, and a symbolic link would make it
// overwrite whatever file the link points to, perhaps in someone else's folder.
TEST_F(Files, OnlyARegularFileIsReplaced) {
    ::alarm(20);  // a hang fails the test instead of the whole run
    const std::string pipe =
        "It is a named pipe (FIFO), not a regular file: writing to it would "
        "wait for a reader";
    const std::string link =
        "It is a symbolic link: the programmer writes only a regular file "
        "of that name, never the file a link points to";
    const std::string socketKind = "It is a socket, not a regular file";
    WriteFile("elsewhere", "the user's other file");

    struct Case {
        const char* what;
        std::function<void(const char*)> make;
        std::string reason;
    };
    int sock = -1;
    const std::vector<Case> cases = {
        {"pipe", [](const char* name) { ASSERT_EQ(::mkfifo(name, 0666), 0); }, pipe},
        {"pipe with a reader",
         [](const char* name) {
             ASSERT_EQ(::mkfifo(name, 0666), 0);
             ASSERT_GE(::open(name, O_RDONLY | O_NONBLOCK), 0);  // closed with the process
         },
         pipe},
        {"link to a file",
         [](const char* name) { std::filesystem::create_symlink("elsewhere", name); }, link},
        {"dangling link",
         [](const char* name) { std::filesystem::create_symlink("nowhere", name); }, link},
        {"link to a terminal",
         [](const char* name) { std::filesystem::create_symlink("/dev/tty", name); }, link},
        {"socket",
         [&sock](const char* name) {
             sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             std::strcpy(address.sun_path, name);
             ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
         },
         socketKind},
    };
    for (const Case& c : cases) {
        for (const char* name : {"_qq.wav", "9_fmsig.h"}) {
            SCOPED_TRACE(std::string(c.what) + " as " + name);
            c.make(name);
            const std::string path = (folder.path() / name).string();
            const bool wave = std::string(name) == "_qq.wav";
            EXPECT_EQ(Message(WriteWaveFile),
                      wave ? "Cannot create file \"" + path + "\". " + c.reason
                           : "File access denied: \"" + path + "\". " + c.reason);
            EXPECT_EQ(ReadFile("elsewhere"), "the user's other file");
            std::vector<std::string> expected = {"elsewhere", name};
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(Listing(folder.path()), expected);
            std::filesystem::remove(name);
            if (sock >= 0) {
                ::close(sock);
                sock = -1;
            }
        }
    }
    ::alarm(0);
}

// The files encode the repeater's access codes: a new one is readable by its owner only, whatever
// the umask; one that exists keeps the mode its owner gave it.
TEST_F(Files, NewFilesAreOwnerOnlyAndOldOnesKeepTheirMode) {
    const mode_t umaskBefore = ::umask(0);
    WriteWaveFile(chart);
    ::umask(umaskBefore);
    const auto mode = [](const char* name) {
        return std::filesystem::status(name).permissions() & std::filesystem::perms::mask;
    };
    EXPECT_EQ(mode("_qq.wav"), std::filesystem::perms(0600));
    EXPECT_EQ(mode("9_fmsig.h"), std::filesystem::perms(0600));

    ::chmod("_qq.wav", 0640);
    ::chmod("9_fmsig.h", 0644);
    WriteWaveFile(chart);
    EXPECT_EQ(mode("_qq.wav"), std::filesystem::perms(0640));
    EXPECT_EQ(mode("9_fmsig.h"), std::filesystem::perms(0644));
}

// A folder of its own, a small file system, for faults of a full disk.
class SmallDisk {
  public:
    SmallDisk(const std::filesystem::path& at, const char* size) : path_(at) {
        std::filesystem::create_directory(path_);
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, size) == 0;
        reason_ = std::strerror(errno);
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount(path_.c_str());
        }
    }
    bool mounted() const { return mounted_; }
    const std::string& reason() const { return reason_; }

  private:
    std::filesystem::path path_;
    bool mounted_ = false;
    std::string reason_;
};

// A disk that fills part-way through either file: the fault names the file, the folder keeps the
// old pair (or none), and nothing half-written is left beside it.
TEST_F(Files, AFullDiskLeavesTheOldPairWhole) {
    const std::filesystem::path disk = folder.path() / "disk";
    SmallDisk small(disk, "size=256k");
    if (!small.mounted()) {
        GTEST_SKIP() << "no tmpfs can be mounted here: " << small.reason();
    }
    std::filesystem::current_path(disk);
    WriteWaveFile(chart);
    const std::string oldWave = ReadFile("_qq.wav");
    const std::string oldTable = ReadFile("9_fmsig.h");
    TransferArray[1] = 0x5A;  // a new pair would differ from the old one

    // 29 of 64 pages are free: room for the new wave (24) but not for the table after it (11);
    // then, with 8 pages filled, not even for the wave.
    const struct {
        std::size_t fillerBytes;
        const char* fileThatFails;
    } cases[] = {{0, "9_fmsig.h"}, {32 * 1024, "_qq.wav"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileThatFails);
        WriteFile("filler", std::string(c.fillerBytes, 'f'));
        try {
            WriteWaveFile(chart);
            ADD_FAILURE() << "no fault";
        } catch (const InOutError& error) {
            EXPECT_STREQ(error.what(), "Disk full");
            EXPECT_EQ(error.Detailed(), "Cannot write file \"" + (disk / c.fileThatFails).string() +
                                            "\". No space left on device");
        }
        EXPECT_EQ(ReadFile("_qq.wav"), oldWave);
        EXPECT_EQ(ReadFile("9_fmsig.h"), oldTable);
        EXPECT_EQ(Listing(disk), (std::vector<std::string>{"9_fmsig.h", "_qq.wav", "filler"}));
    }
    std::filesystem::current_path(folder.path());
}

// A run killed outright (SIGKILL, a power cut) leaves its temporary files; the next run clears
// them, and nothing that merely looks like them.
TEST_F(Files, TheNextRunClearsWhatAKilledRunLeftAndNothingElse) {
    const std::vector<std::string> stale = {"._qq.wav.4242-0.part", ".9_fmsig.h.17-305.part"};
    std::vector<std::string> kept = {"._qq.wav.notes",   "._qq.wav.x-1.part", ".9_fmsig.h.12-.part",
                                     "_qq.wav.1-1.part", ".other.1-1.part",   "._qq.wav.1-1.partx"};
    for (const auto& name : stale) {
        WriteFile(name, "left by a killed run");
    }
    for (const auto& name : kept) {
        WriteFile(name, "someone's");
    }
    WriteWaveFile(chart);
    kept.insert(kept.end(), {"9_fmsig.h", "_qq.wav"});
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(Listing(folder.path()), kept);
}

// The two files of the run with byte 1 of the array set to `byte`.
std::pair<std::string, std::string> PairFor(std::uint8_t byte) {
    NoChart chart;
    TransferArray[1] = byte;
    WriteWaveFile(chart);
    return {ReadFile("_qq.wav"), ReadFile("9_fmsig.h")};
}

// Waits for `child` to end, up to two seconds; its wait status, or -1 when it did not end.
int StatusWhenEnded(pid_t child) {
    for (int waitedMs = 0; waitedMs < 2000; ++waitedMs) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child) {
            return status;
        }
        ::usleep(1000);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return -1;
}

// A process writing two different pairs in turn is ended with SIGTERM at random moments, again
// and again. Whatever the moment, the folder holds one whole pair from one run (or none yet) and
// nothing beside it, and the process still ends by the signal, only after the files are in place.
TEST_F(Files, AnInterruptionLeavesOneWholePairAndNothingElse) {
    const auto pairA = PairFor(0x11);
    const auto start = std::chrono::steady_clock::now();
    const auto pairB = PairFor(0x22);
    const auto runUs = std::chrono::duration_cast<std::chrono::microseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
    ASSERT_NE(pairA, pairB);
    std::filesystem::remove("_qq.wav");
    std::filesystem::remove("9_fmsig.h");

    std::mt19937 random(20261207);
    std::uniform_int_distribution<long> delayUs(0, 3 * runUs);  // spread over a few runs
    for (int trial = 0; trial < 150; ++trial) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned run = 0;; ++run) {
                try {
                    PairFor(run % 2 == 0 ? 0x11 : 0x22);
                } catch (...) {
                    ::_exit(3);
                }
            }
        }
        ::usleep(static_cast<useconds_t>(delayUs(random)));
        ::kill(child, SIGTERM);
        const int status = StatusWhenEnded(child);
        ASSERT_TRUE(status != -1 && WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM)
            << "trial " << trial << ": the run did not end by the signal (status " << status << ")";
        const std::vector<std::string> names = Listing(folder.path());
        if (names.empty()) {
            continue;
        }
        ASSERT_EQ(names, (std::vector<std::string>{"9_fmsig.h", "_qq.wav"})) << "trial " << trial;
        const std::pair<std::string, std::string> found{ReadFile("_qq.wav"), ReadFile("9_fmsig.h")};
        ASSERT_TRUE(found == pairA || found == pairB)
            << "trial " << trial << ": a mixed or torn pair";
    }
}

}  // namespace
}  // namespace zk
