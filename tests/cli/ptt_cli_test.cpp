// Keying the transmitter from zk77q3: whole runs against Hamlib's dummy rig behind a rigctld of
// the test's own, whose PTT a second connection reads while the program sends. Paced playback
// (a PulseAudio null sink) where the key must be seen down during the sound; the ALSA file
// plugin where only the bytes played matter.
#include <gtest/gtest.h>
#include <signal.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
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
using testing::StartTool;
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

// A sound server standing in for the radio, paced like a sound card, and rigctld's dummy rig for
// its PTT, both of the test's own.
class PttOnAir : public ::testing::Test {
  protected:
    void SetUp() override {
        if (testing::FindRigctld().empty() || !testing::PulseServer::Installed()) {
            GTEST_SKIP() << "rigctld or pulseaudio is not installed";
        }
        server_.emplace(folder_.path());
        ASSERT_TRUE(server_->Started()) << server_->Log();
        rig_.emplace(testing::FindRigctld());
        ASSERT_TRUE(rig_->WaitUntilListening());
    }

    WorkFolder folder_;
    std::optional<testing::PulseServer> server_;
    std::optional<testing::Rigctld> rig_;
};

// The key is down whenever sound goes out, as heard on the sink's monitor; the sound is heard
// while keyed, the key is up once the run has ended, and the log names the PTT that keyed the
// send.
TEST_F(PttOnAir, PlayKeysForTheWholeSoundAndReleasesAfter) {
    const testing::AirListener air;
    ASSERT_TRUE(testing::WaitUntil([&] { return air.Listening(); })) << "parec hears nothing";

    const pid_t pid =
        StartTool(std::string("play ") + testing::kQuietCodes + " --ptt " + rig_->Setting());
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
            const int keyed = rig_->PttState();
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
    EXPECT_EQ(rig_->PttState(), 0);
    EXPECT_EQ(LastLogEntry().value("ptt", ""), rig_->Setting());
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
TEST_F(PttOnAir, TheTransmitLimitCutsTheSoundAndReleases) {
    const pid_t pid = StartTool("tone --seconds 5 --ptt-limit 1 --ptt " + rig_->Setting());
    ASSERT_GT(pid, 0);
    EXPECT_EQ(testing::WaitFor(pid, 60s), 1) << ReadFile("zk.err");
    EXPECT_NE(ReadFile("zk.err").find("released after the transmit limit of 1 s"),
              std::string::npos)
        << ReadFile("zk.err");
    EXPECT_EQ(rig_->PttState(), 0);
}

// A request to end the process while keyed releases first, says in one line how far the sound
// got, whether the transmitter was released and whether the send was logged, then ends the
// process by that signal. A programming send whose sound went out is logged with the cut, in the
// sound and in the PTT tail alike.
TEST_F(PttOnAir, TerminationWhileKeyedIsToldLoggedAndEndsByTheSignal) {
    const testing::AirListener air;
    ASSERT_TRUE(testing::WaitUntil([&] { return air.Listening(); })) << "parec hears nothing";
    struct Case {
        std::string args;
        int signalNumber;
        bool inTail;        // sent once the sound has stopped, the key still down
        std::string line;   // what the one line says, after "zk77q3: interrupted by SIGxxx "
        std::string fault;  // the log entry's fault, empty when no entry is expected
    };
    const std::vector<Case> cases = {
        {"tone --seconds 30", SIGTERM, false,
         "s into the level tone: only part of it went out; "
         "the transmitter was released\n",
         ""},
        {std::string("play ") + testing::kQuietCodes, SIGINT, false,
         "s into the signal (check word ", "cut by SIGINT "},
        {std::string("play ") + testing::kQuietCodes + " --ptt-tail 4000", SIGTERM, true,
         "after the signal (check word ", "SIGTERM in the PTT tail, after the whole signal"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const std::filesystem::path log = testing::StateFolder() / "zk77q3" / "sent.jsonl";
        const std::size_t loggedBefore = ReadFile(log).size();
        const int loudAtStart = air.Loud();
        const pid_t pid = StartTool(c.args + " --ptt " + rig_->Setting());
        ASSERT_GT(pid, 0);
        const bool keyed = testing::WaitUntil([&] { return rig_->PttState() == 1; }, 20s);
        const bool sounding = testing::WaitUntil([&] { return air.Loud() > loudAtStart; }, 20s);
        if (c.inTail) {
            // The sound is over once nothing more has been heard for 300 ms.
            for (int heard = -1; heard != air.Loud();) {
                heard = air.Loud();
                std::this_thread::sleep_for(300ms);
            }
        } else {
            std::this_thread::sleep_for(500ms);
        }
        const int loudBefore = air.Loud();
        ::kill(pid, c.signalNumber);
        int status = 0;
        const bool ended =
            testing::WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 10s);
        if (!ended) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
        ASSERT_TRUE(keyed && sounding) << ReadFile("zk.err");
        ASSERT_TRUE(ended) << "still running after the signal";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signalNumber)
            << ReadFile("zk.err");
        EXPECT_TRUE(testing::WaitUntil([&] { return rig_->PttState() == 0; }, 1s));
        const std::string err = testing::WithoutWarnings(ReadFile("zk.err"));
        const std::string start =
            std::string("zk77q3: interrupted by SIG") + sigabbrev_np(c.signalNumber) + " ";
        // One line, the last: after "playing ..." for a test sound.
        const std::size_t line = err.find(start);
        EXPECT_NE(line, std::string::npos) << err;
        EXPECT_EQ(err.find('\n', line), err.size() - 1) << err;
        EXPECT_NE(err.find(c.line), std::string::npos) << err;
        if (c.fault.empty()) {
            EXPECT_EQ(ReadFile(log).size(), loggedBefore);
            continue;
        }
        EXPECT_NE(err.find("the transmitter was released; the send was logged"), std::string::npos)
            << err;
        EXPECT_EQ(LastLogEntry().value("fault", "").rfind(c.fault, 0), 0u) << LastLogEntry();
        if (c.inTail) {
            EXPECT_EQ(air.Loud(), loudBefore) << "sound after the signal was sent";
        }
    }
}

// Signals that the caller set to be ignored (nohup, a background job) stay ignored: the send
// goes on to its end under the key and ends well, with no line of an interruption.
TEST_F(PttOnAir, SignalsIgnoredByTheCallerStayIgnored) {
    const pid_t pid =
        StartTool(std::string("play ") + testing::kQuietCodes + " --ptt " + rig_->Setting(),
                  "trap '' INT TERM HUP");
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(testing::WaitUntil([&] { return rig_->PttState() == 1; }, 20s))
        << ReadFile("zk.err");
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        ::kill(pid, signalNumber);
    }
    EXPECT_EQ(testing::WaitFor(pid, 30s), 0) << ReadFile("zk.err");
    EXPECT_EQ(ReadFile("zk.err").find("interrupted"), std::string::npos) << ReadFile("zk.err");
    EXPECT_EQ(rig_->PttState(), 0);
    EXPECT_FALSE(LastLogEntry().contains("fault")) << LastLogEntry();
}

// A rigctld that stops answering while keyed (its link frozen after the key was checked): a
// signal stops the sound at once and ends the run within a second, and the transmit limit
// holds; both say that the transmitter may still be keyed.
TEST_F(PttOnAir, AFrozenLinkHoldsNeitherASignalNorTheLimit) {
    struct Case {
        std::string args;
        int signalNumber;  // sent once keyed, or 0: the limit of 2 s ends it
    };
    for (const Case& c :
         {Case{"tone --seconds 30", SIGTERM}, Case{"tone --seconds 30 --ptt-limit 2", 0}}) {
        SCOPED_TRACE(c.args);
        testing::RigProxy proxy(*rig_, "freeze", "t", 2);
        ASSERT_TRUE(proxy.WaitUntilListening());
        const pid_t pid = StartTool(c.args + " --ptt " + proxy.Setting());
        ASSERT_GT(pid, 0);
        ASSERT_TRUE(testing::WaitUntil([&] { return rig_->PttState() == 1; }, 20s))
            << ReadFile("zk.err");
        std::this_thread::sleep_for(300ms);
        const auto sent = std::chrono::steady_clock::now();
        int status = 0;
        if (c.signalNumber != 0) {
            ::kill(pid, c.signalNumber);
            const bool ended =
                testing::WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 2s);
            EXPECT_TRUE(ended) << "still running 2 s after the signal";
            if (!ended) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
            }
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signalNumber);
        } else {
            EXPECT_EQ(testing::WaitFor(pid, 5s), 1) << ReadFile("zk.err");
            EXPECT_LT(std::chrono::steady_clock::now() - sent, 4s);
        }
        // In capitals in the line of an interruption, as the limit's fault otherwise.
        const std::string err = ReadFile("zk.err");
        EXPECT_TRUE(err.find(c.signalNumber != 0 ? "MAY STILL BE KEYED" : "may still be keyed") !=
                    std::string::npos)
            << err;
        rig_.emplace(testing::FindRigctld());  // a rig of its own, unkeyed, for the next case
        ASSERT_TRUE(rig_->WaitUntilListening());
    }
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
    struct Case {
        std::string args;
        bool reachable;  // a rigctld without a PTT type of its own, else none listening
        std::string message;
    };
    const std::vector<Case> cases = {
        {std::string("play ") + testing::kQuietCodes, false, "cannot be opened"},
        {"tone --seconds 1", false, "cannot be opened"},
        {"dtmf 123", false, "cannot be opened"},
        // A rigctld without a PTT type is found out before a test sound says it plays, with
        // the option that mends it.
        {std::string("play ") + testing::kQuietCodes, true, "start it with -P RIG"},
        {"tone --seconds 1", true, "start it with -P RIG"},
        {"dtmf 123", true, "start it with -P RIG"},
    };
    for (const Case& c : cases) {
        // One rigctld a case: it answers a PTT question from what it told the last client for
        // half a second.
        std::optional<testing::Rigctld> refusing;
        std::string ptt = UnreachablePtt();
        if (c.reachable) {
            refusing.emplace(rigctld, false);
            ASSERT_TRUE(refusing->WaitUntilListening());
            ptt = refusing->Setting();
        }
        SCOPED_TRACE(c.args + " --ptt " + ptt);
        std::filesystem::remove(capture);
        const ToolRun run = RunTool(c.args + " --ptt " + ptt, sound);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find("PTT \"" + ptt + "\""), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("playing"), std::string::npos) << "said to play, then did not";
        EXPECT_EQ(ReadFile(capture), "") << "sound was played";
    }
}

// A link to rigctld that drops, freezes or lies under the key: the release goes through a new link
// when one can be made; when none can, the run ends with what cannot be missed (exit status 1).
// The key is never left down unsaid, every send whose sound went out is logged, and no run
// outlasts its limit.
TEST(PttCli, ALinkThatFailsUnderTheKeyIsReleasedOrSaid) {
    const std::string rigctld = testing::FindRigctld();
    if (rigctld.empty()) {
        GTEST_SKIP() << "rigctld is not installed";
    }
    WorkFolder folder;
    const std::string sound = testing::CaptureConfig(folder.path() / "sent.raw");
    struct Case {
        std::string action;
        std::string line;  // after whose answer the link fails: "T 1" keys, the second "t"
        int count;         // checks the key (the first is asked when the PTT is opened)
        int status;
        int keyedAfter;  // the rig's PTT once the run has ended
        bool logged;     // an entry with a fault, when the sound went out
        std::string said;
    };
    const std::vector<Case> cases = {
        {"cut", "t", 2, 0, 0, false, ""},
        {"cut", "T 1", 1, 1, 0, false, "cannot report its PTT state"},
        {"cut-all", "t", 2, 1, 1, true, "the transmitter may still be keyed: check the radio"},
        {"cut-all", "T 1", 1, 1, 1, false, "the transmitter may still be keyed: check the radio"},
        {"freeze", "t", 2, 1, 1, true, "the transmitter may still be keyed: check the radio"},
        // A keying taken and not carried out is found by asking the radio, not a cache.
        {"lie", "T 1", 1, 1, 0, false, "did not key: the radio still reports receive"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action + " after " + c.line);
        testing::Rigctld rig(rigctld);
        ASSERT_TRUE(rig.WaitUntilListening());
        testing::RigProxy proxy(rig, c.action, c.line, c.count);
        ASSERT_TRUE(proxy.WaitUntilListening());
        const std::string log = ReadFile(testing::StateFolder() / "zk77q3" / "sent.jsonl");
        const pid_t pid = StartTool("play " + std::string(testing::kQuietCodes) + " --ptt " +
                                        proxy.Setting() + " --ptt-limit 10",
                                    "export " + sound);
        ASSERT_GT(pid, 0);
        // Bounded: every command waits its timeout, and the limit holds.
        EXPECT_EQ(testing::WaitFor(pid, 30s), c.status) << ReadFile("zk.err");
        EXPECT_EQ(rig.PttState(), c.keyedAfter) << ReadFile("zk.err");
        const std::string err = ReadFile("zk.err");
        EXPECT_NE(err.find(c.said), std::string::npos) << err;
        const bool newEntry = ReadFile(testing::StateFolder() / "zk77q3" / "sent.jsonl") != log;
        EXPECT_EQ(newEntry, c.status == 0 || c.logged) << err;
        if (c.logged) {
            EXPECT_NE(LastLogEntry().value("fault", "").find("may still be keyed"),
                      std::string::npos)
                << LastLogEntry();
        }
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
