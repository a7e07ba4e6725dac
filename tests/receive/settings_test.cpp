// Settings read back from an array: the options they give must make generate produce the very
// same array, so that what the operator copies from `verify` sends what was heard.
#include <gtest/gtest.h>

#include "_2GL.h"
#include "commandline.h"
#include "decodedsettings.h"
#include "generate.h"

namespace zk::receive {
namespace {

using Bytes = std::array<std::uint8_t, kTransferSize>;

Bytes Generate(PanelState& panel) {
    ResetGlobalsToStartValues();
    GenerateTransferArray(panel);
    Bytes bytes{};
    for (int i = 0; i < kTransferSize; ++i) {
        bytes[static_cast<std::size_t>(i)] = TransferArray[i];
    }
    ResetGlobalsToStartValues();
    return bytes;
}

// The array `zk77q3 generate OPTIONS` would send, read through the command line's own parser.
Bytes GenerateFrom(const std::vector<std::string>& options) {
    std::vector<std::string> args{"generate"};
    args.insert(args.end(), options.begin(), options.end());
    cli::CommandLine line;
    line.Parse(args);
    PanelState panel = cli::ResolveSettings(line.options().given);
    return Generate(panel);
}

class SettingsRoundTrip : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(SettingsRoundTrip, OptionsRegenerateTheSameArray) {
    const Bytes sent = GenerateFrom(GetParam());
    const DecodedSettings settings = DecodeSettings(sent);
    EXPECT_TRUE(settings.problems.empty()) << settings.problems.front();
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
    const DecodedSettings s = DecodeSettings(Generate(panel));
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

// What generate never sends is named, so that a check word that happens to match garbage, or
// an array from a sender that skipped its check word, does not pass as sound settings.
TEST(Settings, NamesWhatGenerateCouldNotHaveSent) {
    PanelState panel;
    Bytes bytes = Generate(panel);
    bytes[8] = 0x00;   // user close code: no code at all
    bytes[28] = 0x09;  // period total no longer 1800 s
    bytes[39] = 2;     // a flag that is neither 0 nor 1
    bytes[41] = 21;    // ADC gain beyond 20
    bytes[46] = 0xEE;  // the sender never computed its check word
    bytes[47] = 0xFF;
    bytes[55] = 1;  // a byte that is never written
    const DecodedSettings s = DecodeSettings(bytes);
    EXPECT_EQ(s.codes[1], "?");
    EXPECT_EQ(s.problems.size(), 6u);
    for (const std::string& p : s.problems) {
        SCOPED_TRACE(p);
    }
}

}  // namespace
}  // namespace zk::receive
