// `zk77q3 verify` and `zk77q3 listen` as whole processes: what `play` sends, captured through
// ALSA's file plugin, decodes back to exactly the settings sent.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "accesscode.h"
#include "pulseserver.h"
#include "toolrun.h"
#include "workfolder.h"

namespace zk {
namespace {

using testing::ReadFile;
using testing::RunTool;
using testing::ToolRun;
using testing::WorkFolder;
namespace fs = std::filesystem;

// Random settings as options, from a seeded generator so that a failure can be replayed.
std::string RandomSettings(std::mt19937& random) {
    const auto pick = [&](int low, int high) {
        return std::to_string(std::uniform_int_distribution<int>(low, high)(random));
    };
    const auto code = [&] {
        static const std::string symbols = kCodeSymbols;
        std::string text;
        const int length = std::uniform_int_distribution<int>(0, 3)(random) == 0 ? 1 : 4;
        for (int i = 0; i < length; ++i) {
            text += symbols[static_cast<std::size_t>(
                std::uniform_int_distribution<int>(0, 15)(random))];
        }
        return "'" + text + "'";
    };
    const auto onOff = [&] {
        return std::uniform_int_distribution<int>(0, 1)(random) ? "on" : "off";
    };
    const bool audio = std::uniform_int_distribution<int>(0, 1)(random) == 0;
    return "--user-open " + code() + " --user-close " + code() + " --admin-open " + code() +
           " --admin-close " + code() + " --user-mode " + code() + " --dtmf " + onOff() +
           " --max-record " + pick(1, 64) + " --period " + pick(0, 64) + ":" + pick(0, 60) + ":" +
           pick(0, 60) + " --beep-length " + pick(0, 9) + " --beep-level " + pick(0, 20) +
           " --squelch " +
           (audio ? "audio --threshold " + pick(1, 99)
                  : std::string("sql-low --threshold ") + pick(1, 100)) +
           " --rx-filter " + onOff() + " --tx-filter " + onOff() + " --adc-gain " + pick(0, 20) +
           " --dac-atten " + pick(0, 20) + " --hang " + onOff() + " --sleep " + onOff();
}

// The default ALSA device records what is played into `wav` (a WAV file), or plays `raw` to
// whoever captures.
std::string AlsaTo(const fs::path& folder, const std::string& device) {
    testing::WriteFile(folder / "asound.conf", "pcm.!default { " + device + " }\n");
    return "ALSA_CONFIG_PATH='" + (folder / "asound.conf").string() + "'";
}

TEST(ReceiveCli, PlayThenVerifyRoundTripsRandomSettingsExactly) {
    WorkFolder folder;
    const std::string capture =
        AlsaTo(folder.path(), "type file slave { pcm { type null } } file \"" +
                                  (folder.path() / "heard.wav").string() + "\" format \"wav\"");
    std::mt19937 random(20261207);
    for (int round = 0; round < 3; ++round) {
        const std::string settings = RandomSettings(random);
        SCOPED_TRACE(settings);
        ToolRun run = RunTool("play " + settings, capture);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string listing = run.out.substr(0, run.out.find(" 63 ") + 8);

        run = RunTool("verify --json heard.wav " + settings);
        ASSERT_EQ(run.status, 0) << run.out << run.err;
        const nlohmann::json report = nlohmann::json::parse(run.out);
        EXPECT_EQ(report["verdict"], "valid");
        ASSERT_EQ(report["packets"].size(), 1u);
        const nlohmann::json& packet = report["packets"][0];
        EXPECT_TRUE(packet["header_ok"].get<bool>());
        EXPECT_TRUE(packet["crc_ok"].get<bool>());
        EXPECT_TRUE(report["matches_expectation"].get<bool>());
        EXPECT_GT(packet["margin_db"].get<double>(), 20.0);  // a clean signal

        // The text report lists the array as generate did, and the settings as options that
        // send the same array again.
        run = RunTool("verify heard.wav");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(listing), std::string::npos);
        EXPECT_NE(run.out.find("check word ok"), std::string::npos);
        const std::size_t at = run.out.find("settings: ");
        ASSERT_NE(at, std::string::npos);
        const std::string again = run.out.substr(at + 10, run.out.find('\n', at) - at - 10);
        run = RunTool("generate " + again);
        ASSERT_EQ(run.status, 0) << again << "\n" << run.err;
        EXPECT_EQ(run.out.substr(0, listing.size()), listing);
    }
}

TEST(ReceiveCli, VerifyNamesEachDifferenceFromTheExpectation) {
    WorkFolder folder;
    fs::create_directory("sent");
    fs::create_directory("meant");
    ASSERT_EQ(RunTool("generate -C sent --user-open 4321 --beep-level 7").status, 0);
    ASSERT_EQ(RunTool("generate -C meant --user-open 1590 --beep-level 7").status, 0);

    ToolRun run = RunTool("verify --expect-wav meant/_qq.wav sent/_qq.wav");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.out.find("differs: user open code: expected 1590, decoded 4321"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("differs: beep level"), std::string::npos);

    run = RunTool("verify --user-open 4321 --beep-level 7 sent/_qq.wav");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("as expected"), std::string::npos);

    // A recording whose name starts with a dash, given after "--".
    fs::copy_file("sent/_qq.wav", "-sent.wav");
    run = RunTool("verify --user-open 4321 --beep-level 7 -- -sent.wav");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("as expected"), std::string::npos);
}

TEST(ReceiveCli, VerifySaysWhyNothingWasFoundAndRefusesWhatIsNoSound) {
    WorkFolder folder;
    fs::create_directory("rec");
    testing::WriteFile("rec/notes.wav", "This is text, not a sound.\n");
    // A file that is not there, one that holds no sound, each as the recording and as the
    // expectation; -C places them all.
    const struct {
        const char* args;
        const char* err;
    } refused[] = {
        {"verify -C rec missing.wav",
         "zk77q3: cannot open recording \"missing.wav\": no such file or directory\n"},
        {"verify -C rec notes.wav",
         "zk77q3: cannot read recording \"notes.wav\": format not recognised\n"},
        {"verify -C rec --expect-wav missing.wav notes.wav",
         "zk77q3: --expect-wav: cannot open recording \"missing.wav\": no such file or "
         "directory\n"},
    };
    for (const auto& r : refused) {
        const ToolRun run = RunTool(r.args);
        EXPECT_EQ(run.status, 2) << r.args;
        EXPECT_EQ(run.err, r.err) << r.args;
    }

    // A recording of silence: a WAV file of zeros at 8000 Hz. Its level is a word in the text,
    // and still a number in JSON.
    std::string silence = std::string("RIFF") + std::string("\x24\x7D\x00\x00", 4) + "WAVEfmt " +
                          std::string("\x10\0\0\0\1\0\1\0\x40\x1F\0\0\x80\x3E\0\0\2\0\x10\0", 20) +
                          "data" + std::string("\x00\x7D\x00\x00", 4) + std::string(32000, '\0');
    testing::WriteFile("quiet.wav", silence);
    ToolRun run = RunTool("verify --json quiet.wav");
    EXPECT_EQ(run.status, 1);
    const nlohmann::json report = nlohmann::json::parse(run.out);
    EXPECT_EQ(report["verdict"], "no-signal");
    EXPECT_TRUE(report["packets"].empty());
    EXPECT_EQ(report["peak_dbfs"], -200.0);
    run = RunTool("verify quiet.wav");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("  too quiet: silent, every sample zero"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("dBFS"), std::string::npos) << run.out;
    // Faint is not silent: samples of 8 peak at -72.2 dBFS.
    std::string faint = silence.substr(0, 44);
    for (int i = 0; i < 16000; ++i) {
        faint += std::string(i % 2 == 0 ? "\x08\x00" : "\xF8\xFF", 2);
    }
    testing::WriteFile("faint.wav", faint);
    run = RunTool("verify faint.wav");
    EXPECT_NE(run.out.find("  too quiet: peak level -72.2 dBFS; raise the recording level"),
              std::string::npos)
        << run.out;
}

TEST(ReceiveCli, ListenDecodesWhatTheCaptureDeviceHears) {
    WorkFolder folder;
    ASSERT_EQ(RunTool("generate --user-open 2468").status, 0);
    // The signal at 16000 Hz, raw, as the capture device's input.
    testing::WriteFile("in.raw", ReadFile("_qq.wav").substr(44));
    const std::string microphone =
        AlsaTo(folder.path(), "type file slave { pcm { type null } } file \"/dev/null\" infile \"" +
                                  (folder.path() / "in.raw").string() + "\" format \"raw\"");
    const ToolRun run = RunTool("listen --rate 16000 --count 1 --timeout 30 --json", microphone);
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json packet = nlohmann::json::parse(run.out);
    EXPECT_TRUE(packet["crc_ok"].get<bool>());
    EXPECT_EQ(packet["settings"]["user-open"], "2468");
    EXPECT_TRUE(packet.contains("time"));
    EXPECT_NE(run.err.find("1 packet(s) heard, 1 valid"), std::string::npos) << run.err;

    const ToolRun missing = RunTool("listen --device radio --timeout 1", microphone);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Cannot capture from ALSA device \"radio\""), std::string::npos)
        << missing.err;
}

// End to end through a real sound server: `play` into the null sink while `listen` captures its
// monitor, paced and resampled (16 kHz to 48 kHz and back) as on a desktop.
TEST(ReceiveCli, ListenHearsWhatPlaySendsThroughASoundServer) {
    if (!testing::PulseServer::Installed()) {
        GTEST_SKIP() << "pulseaudio is not installed";
    }
    WorkFolder folder;
    testing::PulseServer server(folder.path());
    ASSERT_TRUE(server.Started()) << server.Log();

    int listenStatus = -1;
    std::thread listener([&] {
        const std::string command = "XDG_STATE_HOME='" + testing::StateFolder().string() +
                                    "' PULSE_SOURCE=radio.monitor '" + ZK77Q3_PATH +
                                    "' listen --json --count 1 --timeout 30 >listen.out "
                                    "2>listen.err";
        const int raw = std::system(command.c_str());
        listenStatus = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    });
    // Nothing is played before the capture runs; a listen that fails first is waited for all the
    // same, and its status shows below.
    testing::WaitUntil([] { return testing::PulseServer::Recording(); }, std::chrono::seconds(20));
    const ToolRun play = RunTool("play --user-open 1357 --squelch sql-high --threshold 42");
    listener.join();
    ASSERT_EQ(play.status, 0) << play.err;
    ASSERT_EQ(listenStatus, 0) << ReadFile("listen.err");
    const nlohmann::json packet = nlohmann::json::parse(ReadFile("listen.out"));
    EXPECT_TRUE(packet["crc_ok"].get<bool>());
    EXPECT_EQ(packet["settings"]["user-open"], "1357");
    EXPECT_EQ(packet["settings"]["squelch"], "sql-high");
    EXPECT_EQ(packet["settings"]["threshold"], 42);  // a number, as in every JSON output
}

// A capture device that delivers nothing (the server's sink suspended, as a card whose clock has
// stopped): listen still ends at --timeout, and when asked to stop, each time with its summary.
TEST(ReceiveCli, ListenStopsOnTimeAndWhenAskedWhileTheCaptureIsStalled) {
    if (!testing::PulseServer::Installed()) {
        GTEST_SKIP() << "pulseaudio is not installed";
    }
    WorkFolder folder;
    testing::PulseServer server(folder.path());
    ASSERT_TRUE(server.Started()) << server.Log();
    ASSERT_TRUE(testing::PulseServer::Pactl("suspend-sink radio 1"));
    const auto listen = [](const std::string& options) {
        return testing::Spawn({"sh", "-c",
                               "XDG_STATE_HOME='" + testing::StateFolder().string() +
                                   "' PULSE_SOURCE=radio.monitor exec '" + ZK77Q3_PATH +
                                   "' listen " + options + " 2>listen.err"});
    };

    pid_t pid = listen("--timeout 1");
    ASSERT_GT(pid, 0);
    EXPECT_EQ(testing::WaitFor(pid, std::chrono::seconds(10)), 1) << "(-2: still running)";
    EXPECT_NE(ReadFile("listen.err").find("zk77q3: listened "), std::string::npos)
        << ReadFile("listen.err");

    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        ASSERT_TRUE(testing::WaitUntil([] { return !testing::PulseServer::Recording(); }));
        pid = listen("");
        ASSERT_GT(pid, 0);
        // The handlers are in place before the device is opened: once the server has a capture
        // stream, the signal is listen's to handle.
        ASSERT_TRUE(testing::WaitUntil([] { return testing::PulseServer::Recording(); }))
            << ReadFile("listen.err");
        ::kill(pid, signal);
        EXPECT_EQ(testing::WaitFor(pid, std::chrono::seconds(10)), 1) << "(-2: still running)";
        EXPECT_NE(ReadFile("listen.err").find("zk77q3: listened 0.0 s: 0 packet(s) heard"),
                  std::string::npos)
            << ReadFile("listen.err");
    }
}

// A capture device that blocks in its opening (ALSA's file plugin reading a pipe nobody writes)
// holds no run: listen ends at --timeout and at SIGTERM within a second, saying the device never
// opened, and play --check-with gives up on it and leaves no listener behind.
TEST(ReceiveCli, ACaptureDeviceThatBlocksHoldsNoRun) {
    WorkFolder folder;
    const std::filesystem::path pipe = folder.path() / "cap";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    testing::WriteFile(folder.path() / "asound.conf",
                       "pcm.null { type null }\n"
                       "pcm.!default { type file slave { pcm \"null\" } file \"" +
                           (folder.path() / "sent.raw").string() +
                           "\" format \"raw\" }\n"
                           "pcm.held { type file slave { pcm \"null\" } file \"/dev/null\" "
                           "infile \"" +
                           pipe.string() + "\" format \"raw\" }\n");
    const std::string sound = "ALSA_CONFIG_PATH='" + (folder.path() / "asound.conf").string() + "'";
    const auto start = [&](const std::string& args) {
        return testing::Spawn({"sh", "-c",
                               sound + " XDG_STATE_HOME='" + testing::StateFolder().string() +
                                   "' exec '" + ZK77Q3_PATH + "' " + args + " 2>run.err"});
    };

    pid_t pid = start("listen --device held --timeout 1");
    ASSERT_GT(pid, 0);
    EXPECT_EQ(testing::WaitFor(pid, std::chrono::seconds(5)), 1) << "(-2: still running)";
    EXPECT_NE(ReadFile("run.err").find("the capture device \"held\" never opened"),
              std::string::npos)
        << ReadFile("run.err");

    pid = start("listen --device held");
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ::kill(pid, SIGTERM);
    // A second is the aim; two leave room for a loaded machine, and a hang is for ever.
    EXPECT_EQ(testing::WaitFor(pid, std::chrono::seconds(2)), 1) << "(-2: still running)";

    pid = start("play --user-open 1590 --check-with held");
    ASSERT_GT(pid, 0);
    EXPECT_EQ(testing::WaitFor(pid, std::chrono::seconds(20)), 1) << "(-2: still running)";
    EXPECT_NE(ReadFile("run.err").find("--check-with held: the capture did not start"),
              std::string::npos)
        << ReadFile("run.err");
    EXPECT_EQ(testing::CommandOutput("pgrep -f 'listen --device=hel[d]'"), "")
        << "a listener stayed behind";
}

}  // namespace
}  // namespace zk
