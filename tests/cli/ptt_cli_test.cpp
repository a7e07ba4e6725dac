// Keying the transmitter from zk77q3: whole runs against Hamlib's dummy rig behind a rigctld of
// the test's own, whose PTT a second connection reads while the program sends. Paced playback
// (a PulseAudio null sink) where the key must be seen down during the sound; the ALSA file
// plugin where only the bytes played matter.
#include <gtest/gtest.h>
#include <signal.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "keying.h"
#include "pulseserver.h"
#include "rigctld.h"
#include "toolrun.h"
#include "workfolder.h"

namespace zk::cli {
namespace {

using namespace std::chrono_literals;
using testing::ReadFile;
using testing::RunTool;
using testing::ToolRun;
using testing::WorkFolder;
using testing::WriteFile;

// A rigctld address where nobody listens: a PTT that cannot be reached.
std::string UnreachablePtt() {
    return "rigctld:127.0.0.1:" + std::to_string(testing::FreePort());
}

// The station's configuration that the next runs read, or none for an empty `text`.
void WriteStationConfig(const std::string& text) {
    const std::filesystem::path file = testing::ConfigFolder() / "zk77q3" / "config.toml";
    std::filesystem::remove_all(file);
    if (!text.empty()) {
        std::filesystem::create_directories(file.parent_path());
        WriteFile(file, text);
    }
}

struct StationConfigGuard {
    ~StationConfigGuard() { WriteStationConfig(""); }
};

// The last entry of the programming log that every run writes to.
nlohmann::json LastLogEntry() {
    const std::string log = ReadFile(testing::StateFolder() / "zk77q3" / "sent.jsonl");
    const std::size_t end = log.find_last_not_of('\n');
    if (end == std::string::npos) {
        return {};
    }
    const std::size_t start = log.rfind('\n', end);
    return nlohmann::json::parse(log.substr(start == std::string::npos ? 0 : start + 1));
}

// zk77q3 started in the background with `args`, its standard error in "zk.err", in this process's
// environment (the sound server's) and with the tool folder's state and configuration.
pid_t StartTool(const std::string& args) {
    return testing::Spawn({"sh", "-c",
                           "XDG_STATE_HOME='" + testing::StateFolder().string() +
                               "' XDG_CONFIG_HOME='" + testing::ConfigFolder().string() +
                               "' exec '" + ZK77Q3_PATH + "' " + args + " >/dev/null 2>zk.err"});
}

#define REQUIRE_RIGCTLD_AND_PULSE()                                             \
    if (testing::FindRigctld().empty() || !testing::PulseServer::Installed()) { \
        GTEST_SKIP() << "rigctld or pulseaudio is not installed";               \
    }

// The key is down whenever sound goes out, as heard on the sink's monitor; the sound is heard
// while keyed, the key is up once the run has ended, and the log names the PTT that keyed the
// send.
TEST(PttCli, PlayKeysForTheWholeSoundAndReleasesAfter) {
    REQUIRE_RIGCTLD_AND_PULSE();
    WorkFolder folder;
    testing::PulseServer server(folder.path());
    ASSERT_TRUE(server.Started()) << server.Log();
    testing::Rigctld rig(testing::FindRigctld());
    ASSERT_TRUE(rig.WaitUntilListening());
    const testing::AirListener air;
    ASSERT_TRUE(testing::WaitUntil([&] { return air.Listening(); })) << "parec hears nothing";

    const pid_t pid =
        StartTool(std::string("play ") + testing::kQuietCodes + " --ptt " + rig.Setting());
    ASSERT_GT(pid, 0);
    bool soundWhileKeyed = false;
    bool soundUnkeyed = false;
    int status = 0;
    const bool ended = testing::WaitUntil(
        [&] {
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                return true;
            }
            // Sound heard on both sides of a look at the key went out under that state.
            const int before = air.Loud();
            const int keyed = rig.PttState();
            if (air.Loud() > before) {
                (keyed == 1 ? soundWhileKeyed : soundUnkeyed) = true;
            }
            return false;
        },
        60s);
    ASSERT_TRUE(ended) << "play did not end";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadFile("zk.err");
    EXPECT_TRUE(soundWhileKeyed) << "the sound was never heard with the key down";
    EXPECT_FALSE(soundUnkeyed) << "sound went out with the key up";
    EXPECT_EQ(rig.PttState(), 0);
    EXPECT_EQ(LastLogEntry().value("ptt", ""), rig.Setting());
}

// A sound that cannot start (no such device) never keys the transmitter: no dead carrier
// before the fault, for any sending command.
TEST(PttCli, TheKeyStaysUpWhenTheSoundCannotStart) {
    const std::string rigctld = testing::FindRigctld();
    if (rigctld.empty()) {
        GTEST_SKIP() << "rigctld is not installed";
    }
    WorkFolder folder;
    const std::string sound = testing::CaptureConfig(folder.path() / "sent.raw");
    testing::Rigctld rig(rigctld);
    ASSERT_TRUE(rig.WaitUntilListening());
    for (const std::string& command : {std::string("play ") + testing::kQuietCodes,
                                       std::string("tone --seconds 1"), std::string("dtmf 123")}) {
        SCOPED_TRACE(command);
        const testing::KeyWatch watch(rig);
        const ToolRun run =
            RunTool(command + " --device no-such-device --ptt " + rig.Setting(), sound);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find("no-such-device"), std::string::npos) << run.err;
        EXPECT_FALSE(watch.EverKeyed()) << "keyed for a sound that could not start";
    }
}

// A sound longer than the transmit limit is cut by it: released, and a fault (exit status 1).
TEST(PttCli, TheTransmitLimitCutsTheSoundAndReleases) {
    REQUIRE_RIGCTLD_AND_PULSE();
    WorkFolder folder;
    testing::PulseServer server(folder.path());
    ASSERT_TRUE(server.Started()) << server.Log();
    testing::Rigctld rig(testing::FindRigctld());
    ASSERT_TRUE(rig.WaitUntilListening());
    const pid_t pid = StartTool("tone --seconds 5 --ptt-limit 1 --ptt " + rig.Setting());
    ASSERT_GT(pid, 0);
    EXPECT_EQ(testing::WaitFor(pid, 60s), 1) << ReadFile("zk.err");
    EXPECT_NE(ReadFile("zk.err").find("released after the transmit limit of 1 s"),
              std::string::npos)
        << ReadFile("zk.err");
    EXPECT_EQ(rig.PttState(), 0);
}

// A request to end the process while keyed releases first, then ends it by that signal.
TEST(PttCli, TerminationWhileKeyedReleasesAndEndsByTheSignal) {
    REQUIRE_RIGCTLD_AND_PULSE();
    WorkFolder folder;
    testing::PulseServer server(folder.path());
    ASSERT_TRUE(server.Started()) << server.Log();
    testing::Rigctld rig(testing::FindRigctld());
    ASSERT_TRUE(rig.WaitUntilListening());

    const pid_t pid = StartTool("tone --seconds 30 --ptt " + rig.Setting());
    ASSERT_GT(pid, 0);
    const bool keyed = testing::WaitUntil([&] { return rig.PttState() == 1; }, 20s);
    ::kill(pid, SIGTERM);
    int status = 0;
    const bool ended =
        testing::WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 10s);
    if (!ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    ASSERT_TRUE(keyed) << ReadFile("zk.err");
    ASSERT_TRUE(ended) << "still running after SIGTERM";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << ReadFile("zk.err");
    EXPECT_TRUE(testing::WaitUntil([&] { return rig.PttState() == 0; }, 1s));
}

// A PTT that cannot be reached, or that refuses to key, stops every sending command before a
// sample is played: exit status 1 with the PTT's own message, and the capture stays empty.
TEST(PttCli, NothingIsPlayedWithoutTheKeyThatWasAskedFor) {
    const std::string rigctld = testing::FindRigctld();
    if (rigctld.empty()) {
        GTEST_SKIP() << "rigctld is not installed";
    }
    WorkFolder folder;
    const std::filesystem::path capture = folder.path() / "sent.raw";
    const std::string sound = testing::CaptureConfig(capture);
    testing::Rigctld refusing(rigctld, false);  // a rig without a PTT of its own
    ASSERT_TRUE(refusing.WaitUntilListening());
    const std::string unreachable = UnreachablePtt();
    struct Case {
        std::string args;
        std::string ptt;
        std::string message;
    };
    const std::vector<Case> cases = {
        {std::string("play ") + testing::kQuietCodes, unreachable, "cannot be opened"},
        {"tone --seconds 1", unreachable, "cannot be opened"},
        {"dtmf 123", unreachable, "cannot be opened"},
        {std::string("play ") + testing::kQuietCodes, refusing.Setting(),
         "PTT \"" + refusing.Setting()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args + " --ptt " + c.ptt);
        std::filesystem::remove(capture);
        const ToolRun run = RunTool(c.args + " --ptt " + c.ptt, sound);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find("PTT \"" + c.ptt + "\""), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(ReadFile(capture), "") << "sound was played";
    }
}

// Bad keying values are bad input for every sending command, from the command line or a
// profile: exit status 2 naming where the value came from, nothing written, nothing played.
TEST(PttCli, BadKeyingValuesAreRefusedBeforeAnythingHappens) {
    WorkFolder folder;
    const std::filesystem::path capture = folder.path() / "sent.raw";
    const std::string sound = testing::CaptureConfig(capture);
    WriteFile("keyed.toml", "user-open = \"1590\"\nptt = \"rts\"\n");
    WriteFile("lead.toml", "ptt = \"none\"\n\nptt-lead = -1\n");
    struct Case {
        std::string args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"play --ptt serial", "--ptt: PTT \"serial\""},
        {"play --ptt rts:", "--ptt: PTT \"rts:\""},
        {"tone --ptt cat:yaesu:/dev/ttyUSB0", "--ptt: PTT \"cat:yaesu:/dev/ttyUSB0\""},
        {"dtmf 1 --ptt rigctld:localhost:99999", "--ptt: PTT \"rigctld:localhost:99999\""},
        {"play --ptt-lead 10001", "--ptt-lead: \"10001\" is not a whole number in 0..10000"},
        {"tone --ptt-tail 1.5", "--ptt-tail: \"1.5\" is not a whole number in 0..10000"},
        {"dtmf 1 --ptt-limit 0", "--ptt-limit: \"0\" is not a whole number in 1..900"},
        {"play --ptt-limit 901", "--ptt-limit: \"901\" is not a whole number in 1..900"},
        {"play --config keyed.toml", "keyed.toml:2: ptt: PTT \"rts\""},
        {"dtmf 1 --config lead.toml", "lead.toml:3: ptt-lead: \"-1\""},
        // A profile is judged alike by the commands that do not send.
        {"generate --config keyed.toml", "keyed.toml:2: ptt: PTT \"rts\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        std::filesystem::remove(capture);
        const ToolRun run = RunTool(c.args, sound);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists("_qq.wav"));
        EXPECT_EQ(ReadFile(capture), "") << "sound was played";
    }
}

// Which PTT a run keys: the command line's over the profile's over the station's configuration.
// An unreachable PTT shows by its message which one was taken; `none` plays and exits 0.
TEST(PttCli, CommandLineOverProfileOverStationConfiguration) {
    WorkFolder folder;
    const StationConfigGuard restore;
    const std::string sound = testing::CaptureConfig(folder.path() / "sent.raw");
    const std::string station = UnreachablePtt();
    const std::string profile = UnreachablePtt();
    const std::string option = UnreachablePtt();
    WriteFile("keyed.toml", "ptt = \"" + profile + "\"\n");
    WriteFile("unkeyed.toml", "ptt = \"none\"\n");
    struct Case {
        bool stationConfig;
        std::string args;
        std::string keyed;  // the PTT the run must try, or empty: none, a clean send
    };
    const std::vector<Case> cases = {
        {true, "", station},
        {true, "--ptt none", ""},
        {true, "--config keyed.toml", profile},
        {true, "--config unkeyed.toml", ""},
        {true, "--config keyed.toml --ptt " + option, option},
        {false, "--config keyed.toml --ptt none", ""},
        {false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.stationConfig ? "station config, " : "") + c.args);
        WriteStationConfig(c.stationConfig ? "# the shack\nptt = \"" + station + "\"\n" : "");
        const ToolRun run =
            RunTool("play " + std::string(testing::kQuietCodes) + " " + c.args, sound);
        if (c.keyed.empty()) {
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_FALSE(LastLogEntry().contains("ptt")) << "a send without a PTT names one";
        } else {
            EXPECT_EQ(run.status, 1) << run.err;
            EXPECT_NE(run.err.find("PTT \"" + c.keyed + "\""), std::string::npos) << run.err;
        }
    }
    // The station's PTT serves the other sending commands too.
    WriteStationConfig("ptt = \"" + station + "\"\n");
    for (const std::string args : {"tone --seconds 1", "dtmf 1"}) {
        SCOPED_TRACE(args);
        const ToolRun run = RunTool(args, sound);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find("PTT \"" + station + "\""), std::string::npos) << run.err;
    }
}

// A station configuration that is not one is bad input naming the file and line; a missing one
// is no fault (every other test runs without one).
TEST(PttCli, BadStationConfigurationIsBadInputNamingFileAndLine) {
    WorkFolder folder;
    const StationConfigGuard restore;
    const std::string sound = testing::CaptureConfig(folder.path() / "sent.raw");
    const std::string file = (testing::ConfigFolder() / "zk77q3" / "config.toml").string();
    struct Case {
        std::string text;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"ptt = \"none\"\ndevice = \"hw:1\"\n", file + ":2: unknown key \"device\""},
        {"# the shack\nptt = \"rts:\"\n", file + ":2: ptt: PTT \"rts:\""},
        {"ptt-limit = 0\n", file + ":1: ptt-limit: \"0\""},
        {"ptt-tail = 10001\n", file + ":1: ptt-tail: \"10001\""},
        {"[ptt]\nkind = \"rts\"\n", file + ":1: ptt: one value is expected"},
        {"ptt = \"none\n", file + ":1:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        WriteStationConfig(c.text);
        const ToolRun run = RunTool("tone --seconds 1 --ptt none", sound);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    // A folder where the file belongs cannot be read: named all the same.
    WriteStationConfig("");
    std::filesystem::create_directories(file);
    const ToolRun run = RunTool("dtmf 1", sound);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find(file), std::string::npos) << run.err;
}

// Each timing key from the first source that gives it, the defaults where none does; the
// tone's own limit only when nobody gives one.
TEST(PttCli, TimingTakesEachKeyFromTheFirstSourceThatGivesIt) {
    const GivenSettings commandLine = {{"ptt-lead", {"10", "--ptt-lead"}}};
    const GivenSettings profile = {{"ptt-lead", {"20", "p:1: ptt-lead"}},
                                   {"ptt-tail", {"30", "p:2: ptt-tail"}},
                                   {"ptt", {"rigctld", "p:3: ptt"}}};
    const GivenSettings station = {{"ptt-tail", {"40", "c:1: ptt-tail"}},
                                   {"ptt-limit", {"50", "c:2: ptt-limit"}},
                                   {"ptt", {"rts:/dev/ttyS0", "c:3: ptt"}}};
    const Keying all = ResolveKeying(commandLine, profile, station, 7s);
    EXPECT_EQ(all.timing.lead, 10ms);
    EXPECT_EQ(all.timing.tail, 30ms);
    EXPECT_EQ(all.timing.limit, 50s);
    EXPECT_EQ(all.setting.method, PttMethod::Rigctld);

    const Keying none = ResolveKeying({}, {}, {}, 7s);
    EXPECT_EQ(none.setting.method, PttMethod::None);
    EXPECT_EQ(none.timing.lead, 200ms);  // as the manual gives them
    EXPECT_EQ(none.timing.tail, 100ms);
    EXPECT_EQ(none.timing.limit, 7s);
}

}  // namespace
}  // namespace zk::cli
