// play --check-with: what the second receiver's report becomes, and a whole send heard through a
// sound server's monitor (as sent) and through a silent one (not heard, sent again).
#include "aircheck.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "pulseserver.h"
#include "toolrun.h"
#include "workfolder.h"

namespace zk::cli {
namespace {

using zk::testing::ReadFile;
using zk::testing::RunTool;
using zk::testing::ToolRun;
using zk::testing::WorkFolder;
using namespace std::chrono_literals;

TEST(AirCheck, TheFirstPacketDecidesAndTheLineSaysWhy) {
    const std::string summary = "zk77q3: listened 5.0 s: 0 packet(s) heard, 0 valid\n";
    const struct {
        std::string report;
        std::string messages;
        AirVerdict verdict;
        std::string line;
    } cases[] = {
        {"", summary + "  no lead-in tone was heard\n  the level stayed at -80 dBFS\n",
         AirVerdict::NotHeard,
         "not heard: no lead-in tone was heard; the level stayed at -80 dBFS"},
        {"", summary, AirVerdict::NotHeard, "not heard"},
        {R"({"verdict":"valid","matches_expectation":true,"margin_db":14.24})", "",
         AirVerdict::AsSent, "heard as sent, margin 14.2 dB"},
        {R"({"verdict":"crc-bad","matches_expectation":false,"margin_db":-2.1})", "",
         AirVerdict::Broken, "heard with a broken check word, margin -2.1 dB"},
        {R"({"verdict":"header-bad","margin_db":1})", "", AirVerdict::Broken,
         "heard with a broken header, margin 1.0 dB"},
        {R"({"verdict":"valid","matches_expectation":false,"margin_db":9,)"
         R"("differences":["user open code: expected 1590, decoded 1591","beep level: expected 3, decoded 4"]})",
         "", AirVerdict::Different,
         "heard different settings: user open code: expected 1590, decoded 1591; beep level: "
         "expected 3, decoded 4"},
        {R"({"verdict":"settings-bad","matches_expectation":false,"differences":[],)"
         R"("settings_problems":["beep level 31 is above 20"]})",
         "", AirVerdict::Different, "heard different settings: beep level 31 is above 20"},
        // A packet that was never compared with the send is not taken for one heard as sent.
        {R"({"verdict":"valid","margin_db":9})", "", AirVerdict::Different,
         "heard a packet that was not compared with the send, margin 9.0 dB"},
        // A line that is no report does not hide the packet after it; only the first counts.
        {"not json\n"
         R"({"verdict":"valid","matches_expectation":true})"
         "\n"
         R"({"verdict":"crc-bad"})",
         "", AirVerdict::AsSent, "heard as sent, margin unknown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.report);
        const AirCheckResult result = ReadAirCheck(c.report, c.messages);
        EXPECT_EQ(result.verdict, c.verdict);
        EXPECT_EQ(result.line, c.line);
    }
    EXPECT_EQ(AirCheckJson("air", ReadAirCheck(cases[2].report, "")).dump(),
              R"({"device":"air","verdict":"as-sent","margin_db":14.24})");
    EXPECT_EQ(AirCheckJson("air", ReadAirCheck("", "")).dump(),
              R"({"device":"air","verdict":"not-heard","margin_db":null})");
}

// The programming log's last `count` entries of this test run.
std::vector<nlohmann::json> LastLogEntries(std::size_t count) {
    std::istringstream lines(ReadFile(zk::testing::StateFolder() / "zk77q3" / "sent.jsonl"));
    std::vector<nlohmann::json> entries;
    for (std::string line; std::getline(lines, line);) {
        entries.push_back(nlohmann::json::parse(line));
    }
    if (entries.size() > count) {
        entries.erase(entries.begin(), entries.end() - static_cast<std::ptrdiff_t>(count));
    }
    return entries;
}

// Sent into a null sink, heard from its monitor: as sent, and the log says so. The monitor of a
// second, silent sink hears nothing: every send is retried, logged and the run fails.
TEST(AirCheck, PlayHearsItsOwnSendAndRetriesWhatIsNotHeard) {
    if (!zk::testing::PulseServer::Installed()) {
        GTEST_SKIP() << "pulseaudio is not installed";
    }
    WorkFolder folder;
    zk::testing::PulseServer server(folder.path());
    ASSERT_TRUE(server.Started()) << server.Log();
    ASSERT_TRUE(zk::testing::PulseServer::Pactl("load-module module-null-sink sink_name=quiet"));
    zk::testing::WriteFile(folder.path() / "asound.conf",
                           "pcm.!default { type pulse }\n"
                           "pcm.air { type pulse device radio.monitor }\n"
                           "pcm.nothing { type pulse device quiet.monitor }\n");

    ToolRun run = RunTool("play --user-open 1357 --check-with air");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("zk77q3: check 1 on air: heard as sent, margin "), std::string::npos)
        << run.err;
    std::vector<nlohmann::json> entries = LastLogEntries(1);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]["check"]["verdict"], "as-sent");
    EXPECT_TRUE(entries[0]["check"]["margin_db"].is_number());

    run = RunTool("play --user-open 1357 --check-with nothing --retries 1 --json");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("check 1 on nothing: not heard"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("check 2 on nothing: not heard"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("zk77q3: not heard as sent after 2 send(s)"), std::string::npos);
    const nlohmann::json report = nlohmann::json::parse(run.out);
    ASSERT_EQ(report["checks"].size(), 2u);
    entries = LastLogEntries(2);
    ASSERT_EQ(entries.size(), 2u);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(entries[k]["attempt"], k + 1);
        EXPECT_EQ(entries[k]["check"]["verdict"], "not-heard");
    }

    // A capture device that cannot be opened: said before anything is sent.
    const std::size_t logged = LastLogEntries(1000).size();
    run = RunTool("play --user-open 1357 --check-with nosuchpcm");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("zk77q3: --check-with nosuchpcm: "), std::string::npos) << run.err;
    EXPECT_EQ(LastLogEntries(1000).size(), logged);
}

// A send whose sound breaks on the way out (an underrun, forced by stopping the program under
// the sound) is told with where it broke, logged with that fault, and sent again; the second
// send, heard as sent, ends the run well.
TEST(AirCheck, AnUnderrunIsToldLoggedAndSentAgain) {
    if (!zk::testing::PulseServer::Installed()) {
        GTEST_SKIP() << "pulseaudio is not installed";
    }
    WorkFolder folder;
    zk::testing::PulseServer server(folder.path());
    ASSERT_TRUE(server.Started()) << server.Log();
    zk::testing::WriteFile(folder.path() / "asound.conf",
                           "pcm.!default { type pulse }\n"
                           "pcm.air { type pulse device radio.monitor }\n");
    const zk::testing::AirListener air;
    ASSERT_TRUE(zk::testing::WaitUntil([&] { return air.Listening(); })) << "parec hears nothing";

    const std::size_t logged = LastLogEntries(1000).size();
    const pid_t pid = zk::testing::StartTool("play --user-open 1357 --check-with air --retries 1");
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(zk::testing::WaitUntil([&] { return air.Loud() > 0; }, 20s)) << ReadFile("zk.err");
    // Stopped longer than the device's buffer lasts: it runs dry under the sound.
    std::this_thread::sleep_for(300ms);
    ::kill(pid, SIGSTOP);
    std::this_thread::sleep_for(700ms);
    ::kill(pid, SIGCONT);
    EXPECT_EQ(zk::testing::WaitFor(pid, 60s), 0) << ReadFile("zk.err");

    const std::string err = ReadFile("zk.err");
    EXPECT_NE(err.find("zk77q3: the sound was interrupted "), std::string::npos) << err;
    EXPECT_NE(err.find(" s into the signal (underrun): the repeater got a broken message; send "
                       "again\n"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("check 2 on air: heard as sent"), std::string::npos) << err;
    const std::vector<nlohmann::json> entries = LastLogEntries(1000);
    ASSERT_EQ(entries.size(), logged + 2) << err;
    const nlohmann::json& broken = entries[logged];
    EXPECT_EQ(broken["attempt"], 1);
    EXPECT_EQ(broken.value("fault", "").rfind("the sound was interrupted ", 0), 0u) << broken;
    const nlohmann::json& again = entries[logged + 1];
    EXPECT_EQ(again["attempt"], 2);
    EXPECT_FALSE(again.contains("fault")) << again;
    EXPECT_EQ(again["check"]["verdict"], "as-sent");
}

}  // namespace
}  // namespace zk::cli
