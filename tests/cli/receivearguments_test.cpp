// What zk77q3 hands on to zk77q3-receive for verify and listen: the options in its arguments,
// the expected settings on a pipe, and no access code where other users can read it.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <sched.h>
#include <cerrno>
#include <string>
#include <vector>

#include "commandline.h"
#include "expectedsettings.h"
#include "messages.h"
#include "receiveprogram.h"
#include "settings.h"
#include "toolrun.h"
#include "workfolder.h"

extern char** environ;

namespace zk::cli {
namespace {

using Arguments = std::vector<std::string>;

CommonOptions WithCodes() {
    CommonOptions common;
    common.given["user-open"] = GivenValue{"1590", "--user-open"};
    common.given["admin-open"] = GivenValue{"9137", "--admin-open"};
    common.config = "north.toml";
    return common;
}

// Every other option arrives, in the form the receiving parser takes; no setting does.
TEST(ReceiveArguments, TheDecoderGetsEveryOptionButTheSettings) {
    CommonOptions common = WithCodes();
    common.json = true;
    common.device = "hw:1";
    VerifyArguments verify{{"a.wav", "b.flac"}, "2", "meant.wav", true};
    ListenArguments listen{"8000", "3", "60", true};
    const Arguments verifyHanded = ArgumentsHandedOn(verify, common);
    const Arguments listenHanded = ArgumentsHandedOn(listen, common);
    EXPECT_EQ(verifyHanded, (Arguments{"verify", "--channel=2", "--expect-wav=meant.wav",
                                       "--expect-last", "--json", "--", "a.wav", "b.flac"}));
    EXPECT_EQ(listenHanded, (Arguments{"listen", "--rate=8000", "--count=3", "--timeout=60",
                                       "--expect-last", "--device=hw:1", "--json"}));
    // Left out when not given; the capture rate and device always go, as given.
    EXPECT_EQ(ArgumentsHandedOn(VerifyArguments{{"a.wav"}, "", "", false}, CommonOptions{}),
              (Arguments{"verify", "--", "a.wav"}));
    EXPECT_EQ(ArgumentsHandedOn(ListenArguments{"", "", "", false}, CommonOptions{}),
              (Arguments{"listen", "--rate=", "--device=default"}));
    for (const Arguments& handed : {verifyHanded, listenHanded}) {
        CommandLine receiving;
        EXPECT_NO_THROW(receiving.Parse(handed)) << handed.front();
        EXPECT_TRUE(receiving.options().given.empty());
        EXPECT_TRUE(receiving.options().config.empty());
    }
}

TEST(ReceiveArguments, ExpectedSettingsCrossThePipeUnchanged) {
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
// the other end, the decoder's arguments are what every local user could read of it.
TEST(ReceiveArguments, NoAccessCodeStandsInTheDecodersArguments) {
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
    EXPECT_EQ(cmdline.rfind(std::string("zk77q3-receive\0", 15), 0), 0u) << cmdline;
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

}  // namespace
}  // namespace zk::cli
