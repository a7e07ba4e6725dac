// What the operator reads at the terminal: --help as wide as the terminal, what tone and dtmf
// are about to play, and the send's progress, shown on a terminal and nowhere else.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "findingwords.h"
#include "helpwidth.h"
#include "toolrun.h"
#include "workfolder.h"

namespace zk {
namespace {

using testing::CaptureConfig;
using testing::kQuietCodes;
using testing::ReadFile;
using testing::RunTool;
using testing::ToolRun;
using testing::WorkFolder;
namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

std::size_t Widest(const std::vector<std::string>& lines) {
    std::size_t widest = 0;
    for (const std::string& line : lines) {
        widest = std::max(widest, line.size());
    }
    return widest;
}

// Lines whose first word begins with "-": where an option is defined.
std::size_t OptionLines(const std::vector<std::string>& lines) {
    return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [](const auto& l) {
        const std::size_t first = l.find_first_not_of(' ');
        return first != std::string::npos && l[first] == '-';
    }));
}

bool HaveScript() {
    return std::system("command -v script >/dev/null 2>&1") == 0;
}

// Runs `command` (a shell command line) on a pseudo-terminal `columns` wide, as at an operator's
// terminal; returns what the terminal was sent, standard output and error together.
std::string OnTerminal(const std::string& command, int columns) {
    const fs::path shown = testing::ToolFolder() / "terminal";
    const std::string inner = "stty cols " + std::to_string(columns) + "; " + command;
    std::string quoted;
    for (const char c : inner) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    const std::string line = "env -u COLUMNS script -qec '" + quoted + "' /dev/null </dev/null >'" +
                             shown.string() + "'";
    EXPECT_EQ(std::system(line.c_str()), 0) << line;
    return ReadFile(shown);
}

const std::string kTool = std::string("'") + ZK77Q3_PATH + "'";

// The width comes from $COLUMNS, else the terminal, else 80; every line fits it, no word is lost
// or changed, a description goes on under its column, and no continued line looks like an
// option's own line.
TEST(OperatorTexts, HelpIsWrappedAtTheTerminalsWidth) {
    const ToolRun unwrapped = RunTool("play --help", "COLUMNS=10000");
    ASSERT_EQ(unwrapped.status, 0);
    const std::vector<std::string> wide = Lines(unwrapped.out);
    ASSERT_GT(Widest(wide), 200u);

    const auto expectWrapped = [&](const std::string& out, std::size_t columns) {
        const std::vector<std::string> lines = Lines(out);
        EXPECT_LE(Widest(lines), columns);
        EXPECT_GT(Widest(lines), columns - 12) << "the width is used";
        EXPECT_EQ(Words(out), Words(unwrapped.out));
        EXPECT_EQ(OptionLines(lines), OptionLines(wide));
        const auto config = std::find_if(lines.begin(), lines.end(), [](const auto& l) {
            return l.starts_with("  --config FILE ");
        });
        ASSERT_NE(config, lines.end());
        const std::size_t column = config->find("a profile");
        EXPECT_EQ((config + 1)->find_first_not_of(' '), column) << *(config + 1);
    };
    for (const int columns : {60, 100}) {
        SCOPED_TRACE(columns);
        const ToolRun run = RunTool("play --help", "COLUMNS=" + std::to_string(columns));
        ASSERT_EQ(run.status, 0);
        expectWrapped(run.out, static_cast<std::size_t>(columns));
    }
    SCOPED_TRACE("off a terminal, no COLUMNS");
    const ToolRun piped = RunTool("play --help", "env -u COLUMNS");
    expectWrapped(piped.out, 80);

    if (!HaveScript()) {
        GTEST_SKIP() << "no script(1) for a terminal";
    }
    SCOPED_TRACE("a terminal 70 wide");
    expectWrapped(OnTerminal(kTool + " play --help", 70), 70);
}

// The wrapping's rules on lines made to show each: where a continued description starts, a
// word with a dash kept off the start of a line, a word too long for any line left whole, and
// short lines and a missing final line break left as they were.
TEST(OperatorTexts, HelpLinesBreakAtBlanksUnderTheirDescription) {
    const struct {
        const char* text;
        int columns;
        const char* wrapped;
    } cases[] = {
        {"  --delay S   count down S seconds before playing\n", 40,
         "  --delay S   count down S seconds\n"
         "              before playing\n"},
        {"Reads FILE with --config given\n", 20, "Reads FILE\nwith --config given\n"},
        {"  -o FILE  write to a-very-long-path-name-indeed\n", 24,
         "  -o FILE  write to\n"
         "           a-very-long-path-name-indeed\n"},
        {"short\n\n  also short", 40, "short\n\n  also short"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cli::WrapHelp(c.text, c.columns), c.wrapped) << c.text;
    }
}

// The operator hears a sound and reads what it is: the symbols as the keypad names them, the
// code's name when one of the settings is played, and the device. A nameless device is refused
// before anything is said or played.
TEST(OperatorTexts, ToneAndDtmfSayWhatTheyPlay) {
    WorkFolder folder;
    const fs::path capture = folder.path() / "played.raw";
    const std::string config = CaptureConfig(capture);
    const struct {
        std::string args;
        int status;
        std::string err;
        std::size_t bytes;  // captured
    } runs[] = {
        {"tone --seconds 1", 0, "zk77q3: playing the 1000 Hz lead-in tone for 1 s on default\n",
         32000},
        {"dtmf --code user-open --user-open 1590", 0,
         "zk77q3: playing DTMF 1590 (user-open) on default\n", 4 * 6400},
        {"dtmf 1a*d", 0, "zk77q3: playing DTMF 1A*D on default\n", 4 * 6400},
        {"tone --device ''", 2,
         "zk77q3: --device: the name is empty (the system's own device is \"default\")\n", 0},
    };
    std::string lowerCase;
    for (const auto& r : runs) {
        fs::remove(capture);
        const ToolRun run = RunTool(r.args, config);
        EXPECT_EQ(run.status, r.status) << r.args;
        EXPECT_EQ(run.err, r.err) << r.args;
        EXPECT_EQ(fs::exists(capture) ? fs::file_size(capture) : 0u, r.bytes) << r.args;
        if (r.args == "dtmf 1a*d") {
            lowerCase = ReadFile(capture);
        }
    }
    ASSERT_EQ(RunTool("dtmf 1A*D", config).status, 0);
    EXPECT_EQ(ReadFile(capture), lowerCase);
}

// On a terminal the send counts its seconds on one line, rewritten in place and ended before
// "sent"; the sound still reaches the device whole and in order. Off a terminal, not a word.
TEST(OperatorTexts, SendProgressIsShownOnATerminalOnly) {
    WorkFolder folder;
    const fs::path capture = folder.path() / "sent.raw";
    const std::string config = CaptureConfig(capture);
    const ToolRun piped = RunTool(std::string("play ") + kQuietCodes, config);
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.err.find("sending"), std::string::npos) << piped.err;

    if (!HaveScript()) {
        GTEST_SKIP() << "no script(1) for a terminal";
    }
    fs::remove(capture);
    const std::string shown =
        OnTerminal("XDG_STATE_HOME='" + testing::StateFolder().string() + "' " + config + " " +
                       kTool + " play " + kQuietCodes + " 2>&1 >/dev/null",
                   80);
    EXPECT_NE(shown.find("\rzk77q3: sending: 0.1 of 3.0 s\rzk77q3: sending: 0.2 of 3.0 s"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("\rzk77q3: sending: 3.0 of 3.0 s\r\nzk77q3: sent, check word "),
              std::string::npos)
        << shown;
    const std::string wav = ReadFile("_qq.wav");
    ASSERT_EQ(wav.size(), 97580u);
    EXPECT_EQ(ReadFile(capture), wav.substr(44));
}

}  // namespace
}  // namespace zk

namespace zk {
namespace {

// The decoder's findings in the command line's words: each number in its place, the sign of a
// carrier's offset as above or below, the counts as they came.
TEST(FindingWords, EachFindingSaysItsNumbersInTheirPlaces) {
    using receive::Problem;
    const struct {
        receive::Finding finding;
        const char* words;
    } rows[] = {
        {{.problem = Problem::OffCarrier, .carrierOffsetHz = -45},
         "a tone near 1000 Hz, but its carrier is 45.0 Hz below 1000 Hz; at most 31.0 Hz can be "
         "followed: check the radios' tuning"},
        {{.problem = Problem::OffCarrier, .carrierOffsetHz = 200},
         "a tone near 1000 Hz, but its carrier is 200.0 Hz above 1000 Hz; at most 31.0 Hz can be "
         "followed: check the radios' tuning"},
        {{.problem = Problem::DataCutOff, .count = 400},
         "data cut off: the recording ends 400 bits into a packet of 512; record at least 2.1 s "
         "past the end of the lead-in tone"},
        {{.problem = Problem::TooNoisy, .ebN0Db = 3.04},
         "too noisy: estimated Eb/N0 3.0 dB, need 9.5 dB; raise the level or bring the radios "
         "closer"},
        {{.problem = Problem::BadPackets, .count = 2},
         "2 packet(s) heard, but none with the right header and check word"},
        {{.problem = Problem::Distorted, .ebN0Db = 7.5, .leadInEbN0Db = 25.1},
         "distorted: the lead-in came through clean (Eb/N0 25.1 dB), the data did not (7.5 dB): "
         "something in the path spoiled it, such as a speech codec, an echo, a voice processor "
         "or a dropout"},
        {{.problem = Problem::Dropout, .count = 40, .atSeconds = 2.5},
         "the sound dropped out for 40 ms at 2.50 s, inside a packet: check the cables and their "
         "plugs, and that the receiver's squelch and power saving stay open through the whole "
         "signal"},
        {{.problem = Problem::NotNumbers, .count = 16000},
         "16000 samples are no numbers (NaN or infinite): the recording or the recorder is "
         "broken"},
        {{.problem = Problem::TooQuiet, .peakDbfs = -62.25},
         "too quiet: peak level -62.2 dBFS; raise the recording level"},
        {{.problem = Problem::Clipping, .count = 140},
         "clipping: 140 samples at full scale; lower the recording level"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FindingWords(row.finding), row.words);
    }
}

}  // namespace
}  // namespace zk
