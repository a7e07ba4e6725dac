// The receiving side of zk77q3: libzk77q3-receive.so and its one entry point, the expected
// settings in the form they travel in, and no access code where other users can read it.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sched.h>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "commandline.h"
#include "expectedsettings.h"
#include "messages.h"
#include "receiveentry.h"
#include "settings.h"
#include "toolrun.h"
#include "workfolder.h"

extern char** environ;

namespace zk::cli {
namespace {

TEST(ReceiveSide, ExpectedSettingsCrossUnchanged) {
    GivenSettings given;
    given["user-open"] = GivenValue{"A*#0", "--user-open"};
    given["squelch"] = GivenValue{"sql-high", "--squelch"};
    given["threshold"] = GivenValue{"100", "--threshold"};
    given["period"] = GivenValue{"64:0:7", "--period"};
    const ExpectedSettings meant{ResolveSettings(given), {"user-open", "threshold"}};
    const ExpectedSettings back = ReadHandedSettings(HandedSettingsText(meant));
    EXPECT_EQ(back.keys, meant.keys);
    EXPECT_EQ(back.panel.codes, meant.panel.codes);
    EXPECT_EQ(back.panel.checks, meant.panel.checks);
    EXPECT_EQ(back.panel.spins, meant.panel.spins);
    EXPECT_EQ(back.panel.sqlPage, meant.panel.sqlPage);
    EXPECT_EQ(back.panel.sqlLevel, meant.panel.sqlLevel);

    for (const char* text : {"", "[]", "{\"keys\": [], \"settings\": []}",
                             "{\"keys\": [\"volume\"], \"settings\": {}}",
                             "{\"keys\": [], \"settings\": {\"beep-level\": 3}}"}) {
        EXPECT_THROW(ReadHandedSettings(text), UsageError) << text;
    }
}

// The decoder opens the recording, a named pipe here, only once it runs; while the test holds
// the other end, the process's arguments are what every local user could read of it.
TEST(ReceiveSide, NoAccessCodeStandsInTheDecodersArguments) {
    testing::WorkFolder folder;
    const std::string codes = "--user-open 1590 --admin-close 4821";
    ASSERT_EQ(zk::testing::RunTool("generate " + codes).status, 0);
    const std::string recording = testing::ReadFile("_qq.wav");
    ASSERT_EQ(::mkfifo("air.wav", 0600), 0);

    std::vector<std::string> words{ZK77Q3_PATH,     "verify", "--user-open", "1590",
                                   "--admin-close", "4821",   "air.wav"};
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "out", O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, "err", O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, ZK77Q3_PATH, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);

    int status = 0;
    int air = -1;
    while ((air = ::open("air.wav", O_WRONLY | O_NONBLOCK)) < 0) {
        ASSERT_EQ(errno, ENXIO);
        ASSERT_EQ(::waitpid(pid, &status, WNOHANG), 0)
            << "ended before it read the recording: " << testing::ReadFile("err");
        ::sched_yield();
    }
    const std::string cmdline = testing::ReadFile("/proc/" + std::to_string(pid) + "/cmdline");
    EXPECT_EQ(cmdline.rfind(std::string(ZK77Q3_PATH) + '\0', 0), 0u) << cmdline;
    EXPECT_EQ(cmdline.find("1590"), std::string::npos) << cmdline;
    EXPECT_EQ(cmdline.find("4821"), std::string::npos) << cmdline;

    ::fcntl(air, F_SETFL, 0);
    ASSERT_EQ(::write(air, recording.data(), recording.size()),
              static_cast<ssize_t>(recording.size()));
    ::close(air);
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_EQ(WEXITSTATUS(status), 0) << testing::ReadFile("err");
    const std::string out = testing::ReadFile("out");
    EXPECT_NE(out.find("checked: user-open, admin-close\nas expected"), std::string::npos) << out;
}

// The descriptors of play --check-with's listener are taken only before listen; before any
// other command the parser refuses them like any unknown option.
TEST(ReceiveSide, TheListenersDescriptorsAreTakenOnlyBeforeListen) {
    testing::WorkFolder folder;
    struct Case {
        const char* args;
        const char* said;
    };
    for (const Case& c :
         {Case{"--ready-fd=5 generate", "zk77q3: unknown option \"--ready-fd\""},
          Case{"--settings-fd=9 verify x.wav", "zk77q3: unknown option \"--settings-fd\""},
          Case{"listen --ready-fd=5", "zk77q3: unknown option \"--ready-fd\""},
          Case{"--settings-fd=9 listen --timeout 1",
               "zk77q3: the expected settings handed on by zk77q3 cannot be read. Bad file "
               "descriptor"}}) {
        const zk::testing::ToolRun run = zk::testing::RunTool(c.args);
        EXPECT_EQ(run.status, kExitBadInput) << c.args;
        EXPECT_EQ(run.err.rfind(c.said, 0), 0u) << c.args << ": " << run.err;
    }
}

// zk77q3 copied into a folder of its own, where the library it opens (in the folder its RUNPATH
// names, as the build and the package lay it out) is whatever the test puts there: none, or a
// shared library without the entry point (the C library's maths, copied).
TEST(ReceiveSide, ALibraryMissingOrWithoutTheEntryIsAFaultNamingIt) {
    testing::WorkFolder folder;
    const std::filesystem::path program = std::filesystem::path(ZK77Q3_PATH);
    const std::filesystem::path library = std::filesystem::path(ZK77Q3_RECEIVE_PATH);
    const std::filesystem::path libraryFolder =
        "bin" / std::filesystem::relative(library.parent_path(), program.parent_path());
    std::filesystem::create_directories("bin");
    std::filesystem::create_directories(libraryFolder);
    std::filesystem::copy_file(program, "bin/zk77q3");
    ASSERT_EQ(zk::testing::RunTool("generate").status, 0);
    std::string maths;
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        if (line.find("/libm.so") != std::string::npos) {
            maths = line.substr(line.find('/'));
        }
    }
    ASSERT_FALSE(maths.empty());
    struct Case {
        const char* beside;  // the library's stand-in, or nothing
        const char* said;
    };
    for (const Case& c : {Case{nullptr,
                               "zk77q3: Cannot load the decoder of verify and listen. "
                               "libzk77q3-receive.so: cannot open shared object file"},
                          Case{"maths",
                               "zk77q3: Cannot use the decoder of verify and listen: "
                               "libzk77q3-receive.so has no entry point zk77q3_receive_v1"}}) {
        if (c.beside != nullptr) {
            std::filesystem::copy_file(maths, libraryFolder / ZK77Q3_RECEIVE_LIBRARY);
        }
        for (const char* command : {"verify _qq.wav", "listen --count 1 --timeout 1"}) {
            const int raw =
                std::system(("bin/zk77q3 " + std::string(command) + " >out 2>err").c_str());
            EXPECT_EQ(WEXITSTATUS(raw), kExitFault) << command;
            EXPECT_EQ(testing::ReadFile("out"), "") << command;
            EXPECT_EQ(testing::ReadFile("err").rfind(c.said, 0), 0u) << testing::ReadFile("err");
        }
    }
}

// The entry point called as zk77q3 calls it: the report through the program's own print, the
// faults on standard error in zk77q3's words with their exit status, whatever the request.
TEST(ReceiveSide, TheEntryPointReportsThroughTheCallersPrintAndNeverThrows) {
    testing::WorkFolder folder;
    ASSERT_EQ(zk::testing::RunTool("generate --user-open 1590").status, 0);
    void* library = ::dlopen(ZK77Q3_RECEIVE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    const auto entry =
        reinterpret_cast<zk77q3_receive_v1_entry>(::dlsym(library, ZK77Q3_RECEIVE_ENTRY));
    ASSERT_NE(entry, nullptr);

    static std::string printed;
    GivenSettings given;
    given["user-open"] = GivenValue{"1590", "--user-open"};
    const std::string expected =
        HandedSettingsText(ExpectedSettings{ResolveSettings(given), {"user-open"}});
    given["user-open"] = GivenValue{"1591", "--user-open"};
    const std::string other =
        HandedSettingsText(ExpectedSettings{ResolveSettings(given), {"user-open"}});
    const char* files[] = {"_qq.wav"};
    struct Case {
        int command;
        const char* channel;
        const char* settings;
        int status;
        const char* printed;  // part of standard output
        const char* said;     // standard error
    };
    for (const Case& c : {
             Case{ZK77Q3_RECEIVE_VERIFY, "", expected.c_str(), kExitDone,
                  "checked: user-open\nas expected", ""},
             Case{ZK77Q3_RECEIVE_VERIFY, "1", other.c_str(), 1,
                  "user open code: expected 1591, decoded 1590", ""},
             Case{ZK77Q3_RECEIVE_VERIFY, "0", nullptr, kExitBadInput, "",
                  "zk77q3: --channel: \"0\" is not a whole number in 1..1024\n"},
             Case{ZK77Q3_RECEIVE_VERIFY, "", "[]", kExitBadInput, "", "zk77q3: "},
             Case{7, "", nullptr, kExitFault, "",
                  "zk77q3: the decoder of verify and listen was asked for command 7.\n"},
         }) {
        printed.clear();
        zk77q3_receive_request_v1 request{};
        request.command = c.command;
        request.files = files;
        request.file_count = 1;
        request.channel = c.channel;
        request.expect_wav = "";
        request.settings_json = c.settings;
        request.device = "default";
        request.rate = "48000";
        request.count = "";
        request.timeout = "";
        request.ready_fd = -1;
        request.print = [](const char* text, std::size_t size) { printed.append(text, size); };
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const int status = entry(&request);
        const std::string own = ::testing::internal::GetCapturedStdout();
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, c.status) << c.command << c.channel << said;
        EXPECT_EQ(own, "") << "the library wrote to standard output behind the program's back";
        EXPECT_NE(printed.find(c.printed), std::string::npos) << printed;
        EXPECT_EQ(printed.empty(), std::string(c.printed).empty()) << printed;
        EXPECT_EQ(said.rfind(c.said, 0), 0u) << said;
        EXPECT_EQ(said.empty(), std::string(c.said).empty()) << said;
    }
}

}  // namespace
}  // namespace zk::cli
