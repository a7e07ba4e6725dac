// Settings read back from an array: the options they give must make generate produce the very
// same array, so that what the operator copies from `verify` sends what was heard.
#include <gtest/gtest.h>

#include "_2GL.h"
#include "commandline.h"
#include "commands.h"
#include "decodedsettings.h"
#include "findingwords.h"
#include "generate.h"
#include "receivedsettings.h"
#include "recording.h"

namespace zk::receive {
namespace {

using testing::Bytes;
using zk::SettingsAsCommandLine;
using zk::SettingsAsLines;
using zk::SettingsAsOptions;

// The array `zk77q3 generate OPTIONS` would send, read through the command line's own parser.
Bytes GenerateFrom(const std::vector<std::string>& options) {
    std::vector<std::string> args{"generate"};
    args.insert(args.end(), options.begin(), options.end());
    cli::CommandLine line(cli::kCommands);
    line.Parse(args);
    PanelState panel = ResolveSettings(line.options().given);
    return testing::Generated(panel);
}

class SettingsRoundTrip : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(SettingsRoundTrip, OptionsRegenerateTheSameArray) {
    const Bytes sent = GenerateFrom(GetParam());
    const DecodedSettings settings = DecodeSettings(sent);
    EXPECT_EQ(SettingsFindingWords(settings.problems), std::vector<std::string>{});
    EXPECT_EQ(GenerateFrom(SettingsAsOptions(settings)), sent);
}

INSTANTIATE_TEST_SUITE_P(
    Panels, SettingsRoundTrip,
    ::testing::Values(
        std::vector<std::string>{},  // the window's start values
        std::vector<std::string>{
            "--user-open",   "A",   "--user-close", "0000",     "--admin-open",  "D*#1",
            "--admin-close", "B",   "--user-mode",  "9999",     "--dtmf",        "off",
            "--max-record",  "1",   "--period",     "64:60:60", "--beep-length", "9",
            "--beep-level",  "20",  "--squelch",    "sql-high", "--threshold",   "100",
            "--rx-filter",   "off", "--tx-filter",  "off",      "--adc-gain",    "20",
            "--dac-atten",   "7",   "--hang",       "on",       "--sleep",       "on"},
        std::vector<std::string>{"--squelch", "sql-low", "--threshold", "1", "--period", "0:0:0"}));

TEST(Settings, StartValuesAsTheOperatorReadsThem) {
    PanelState panel;
    const DecodedSettings s = DecodeSettings(testing::Generated(panel));
    EXPECT_EQ(s.codes, (std::array<std::string, 5>{"7204", "*", "8135", "#", "6914"}));
    EXPECT_EQ(SettingsAsCommandLine(s),
              "--user-open 7204 --user-close '*' --admin-open 8135 --admin-close '#' "
              "--user-mode 6914 --dtmf on --max-record 64 --period 0:30:0 --beep-length 0 "
              "--beep-level 0 --squelch audio --threshold 5 --rx-filter on --tx-filter on "
              "--adc-gain 0 --dac-atten 0 --hang off --sleep off");
    const std::vector<std::string> lines = SettingsAsLines(s);
    EXPECT_EQ(lines.front(), "user open code: 7204");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "call-sign period: 0:30:0 (1800 s)"),
              lines.end());
}

// Every setting with a value of its own, none equal to another's or to its start value: a field
// read from its neighbour's byte, or shown under its neighbour's name, reads wrong here.
TEST(Settings, EverySettingReadFromItsOwnBytesUnderItsOwnName) {
    const DecodedSettings s = DecodeSettings(GenerateFrom(
        {"--user-open",   "1590", "--user-close", "2468",     "--admin-open",  "1357",
         "--admin-close", "9876", "--user-mode",  "5555",     "--dtmf",        "off",
         "--max-record",  "13",   "--period",     "5:17:42",  "--beep-length", "2",
         "--beep-level",  "7",    "--squelch",    "sql-high", "--threshold",   "42",
         "--rx-filter",   "on",   "--tx-filter",  "off",      "--adc-gain",    "3",
         "--dac-atten",   "11",   "--hang",       "on",       "--sleep",       "off"}));
    EXPECT_TRUE(s.problems.empty());
    EXPECT_EQ(SettingsAsLines(s), (std::vector<std::string>{
                                      "user open code: 1590",
                                      "user close code: 2468",
                                      "administrator open code: 1357",
                                      "administrator close code: 9876",
                                      "user mode code: 5555",
                                      "opening and closing by DTMF: off",
                                      "maximum recording: 13",
                                      "call-sign period: 5:17:42 (19062 s)",
                                      "beep length: 2 x 100 ms",
                                      "beep level: 7 dB",
                                      "squelch: sql-high",
                                      "squelch threshold: 42 x 100 mV",
                                      "receive correction filter: on",
                                      "transmit correction filter: off",
                                      "ADC gain: 3",
                                      "DAC attenuation: 11",
                                      "release delay (hang): on",
                                      "economy (sleep) mode: off",
                                  }));
}

// What generate never sends is named, each fault on its own, so that a check word that happens
// to match garbage, or an array from a sender that skipped its check word, does not pass as
// sound settings. Byte 63 lies outside the check word: a note, not a problem of the settings.
TEST(Settings, NamesWhatGenerateCouldNotHaveSent) {
    struct Case {
        int byte;
        std::uint8_t value;
        const char* problem;  // the start of the one problem expected; nullptr: none
        const char* note;     // the start of the one note expected; nullptr: none
    };
    const Case cases[] = {
        {8, 0x00, "user close code: bytes 8..11 hold no code", nullptr},
        {28, 0x09, "period 0:30:0 is 1800 s, but the total sent is", nullptr},
        {39, 2, "hang flag holds 2", nullptr},
        {41, 21, "ADC gain 21 is outside 0..20", nullptr},
        {24, 0, "maximum recording 0 is outside 1..64", nullptr},
        {37, 3, "squelch mode 3 is not 0, 1 or 2", nullptr},
        {38, 0, "squelch threshold 0 is outside 1..99", nullptr},
        {46, 0xEE, "bytes 46, 47 are not zero", nullptr},
        {47, 0x01, "bytes 46, 47 are not zero", nullptr},
        {55, 1, "bytes that are never written (26, 27, 48..60) are not all zero", nullptr},
        {60, 0x80, "bytes that are never written (26, 27, 48..60) are not all zero", nullptr},
        {26, 1, "bytes that are never written", nullptr},
        {63, 0x5A, nullptr, "byte 63, which the check word does not cover, holds 90, not 0"},
    };
    PanelState panel;
    const Bytes sound = testing::Generated(panel);
    ASSERT_TRUE(DecodeSettings(sound).problems.empty());
    ASSERT_TRUE(DecodeSettings(sound).notes.empty());
    for (const Case& c : cases) {
        SCOPED_TRACE("byte " + std::to_string(c.byte));
        Bytes bytes = sound;
        bytes[static_cast<std::size_t>(c.byte)] = c.value;
        const DecodedSettings s = DecodeSettings(bytes);
        const std::vector<std::string> problems = SettingsFindingWords(s.problems);
        const std::vector<std::string> notes = SettingsFindingWords(s.notes);
        ASSERT_EQ(problems.size(), c.problem ? 1u : 0u);
        ASSERT_EQ(notes.size(), c.note ? 1u : 0u);
        if (c.problem) {
            EXPECT_EQ(problems[0].rfind(c.problem, 0), 0u) << problems[0];
        }
        if (c.note) {
            EXPECT_EQ(notes[0], c.note);
        }
    }

    // The markers as they stand before a check word is computed say so.
    Bytes unsent = sound;
    unsent[46] = 0xEE;
    unsent[47] = 0xFF;
    const DecodedSettings s = DecodeSettings(unsent);
    ASSERT_EQ(s.problems.size(), 1u);
    EXPECT_EQ(SettingsFindingWords(s.problems[0]),
              "bytes 46, 47 hold EE FF: the sender did not compute the check word");
    // A part of the period out of its range, its total agreeing with it: named by the part.
    Bytes seconds = sound;
    seconds[32] = 75;  // 0:30:75
    seconds[28] = 1875 % 256;
    seconds[29] = 1875 / 256;
    EXPECT_EQ(SettingsFindingWords(DecodeSettings(seconds).problems),
              std::vector<std::string>{"period seconds 75 is outside 0..60"});
    // A field that holds no code reads as "?".
    unsent[8] = 0;
    EXPECT_EQ(DecodeSettings(unsent).codes[1], "?");
}

}  // namespace
}  // namespace zk::receive
