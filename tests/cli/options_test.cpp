#include "options.h"

#include <gtest/gtest.h>

namespace zk::cli {
namespace {

std::string UsageMessage(const std::vector<std::string>& args) {
    try {
        Command command = ParseCommandLine(args);
        CheckAccessCodes(command.panel);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "accepted";
}

TEST(CommandLine, DefaultsAreTheWindowsStartValues) {
    const Command command = ParseCommandLine({"generate"});
    EXPECT_EQ(command.action, Action::Generate);
    const PanelState start;
    EXPECT_EQ(command.panel.codes, start.codes);
    EXPECT_EQ(command.panel.checks, start.checks);
    EXPECT_EQ(command.panel.spins, start.spins);
    EXPECT_EQ(command.panel.sqlPage, start.sqlPage);
    EXPECT_EQ(command.panel.sqlLevel, start.sqlLevel);
}

TEST(CommandLine, EveryOptionReachesItsControl) {
    Command command = ParseCommandLine({"play",
                                        "--user-open",
                                        "1234",
                                        "--user-close=D",
                                        "--admin-open",
                                        "A*#0",
                                        "--admin-close",
                                        "5",
                                        "--user-mode",
                                        "9999",
                                        "--dtmf",
                                        "off",
                                        "--max-record",
                                        "1",
                                        "--period",
                                        "64:60:60",
                                        "--beep-length",
                                        "9",
                                        "--beep-level=20",
                                        "--threshold",
                                        "100",
                                        "--squelch",
                                        "sql-high",
                                        "--rx-filter",
                                        "off",
                                        "--tx-filter",
                                        "off",
                                        "--adc-gain",
                                        "20",
                                        "--dac-atten",
                                        "3",
                                        "--hang",
                                        "on",
                                        "--sleep",
                                        "on"});
    PanelState& p = command.panel;
    EXPECT_EQ(command.action, Action::Play);
    EXPECT_EQ(p.Code(CodeField::KodOtkrPols), "1234");
    EXPECT_EQ(p.Code(CodeField::KodZakrPols), "D");
    EXPECT_EQ(p.Code(CodeField::KodOtkrAdmin), "A*#0");
    EXPECT_EQ(p.Code(CodeField::KodZakrAdm), "5");
    EXPECT_EQ(p.Code(CodeField::KodPolz), "9999");
    EXPECT_FALSE(p.Check(CheckField::Razr_DTMF));
    EXPECT_FALSE(p.Check(CheckField::KF_PRM));
    EXPECT_FALSE(p.Check(CheckField::KF_PRD));
    EXPECT_TRUE(p.Check(CheckField::ZAmOtp));
    EXPECT_TRUE(p.Check(CheckField::RegSleep));
    EXPECT_TRUE(p.Check(CheckField::RasKS));
    EXPECT_EQ(p.Spin(SpinField::MaxDlitZapRep), 1);
    EXPECT_EQ(p.Spin(SpinField::PP_Hour), 64);
    EXPECT_EQ(p.Spin(SpinField::PP_Min), 60);
    EXPECT_EQ(p.Spin(SpinField::PP_Sek), 60);
    EXPECT_EQ(p.Spin(SpinField::DlitBip), 9);
    EXPECT_EQ(p.Spin(SpinField::UrBip), 20);
    EXPECT_EQ(p.Spin(SpinField::SQL_PorogPerekl), 100);  // threshold follows the squelch mode
    EXPECT_EQ(p.Spin(SpinField::SQL0_PorogPerekl), 5);
    EXPECT_EQ(p.sqlPage, kSqlPageInput);
    EXPECT_EQ(p.sqlLevel, kSqlLevelHigh);
    EXPECT_EQ(p.Spin(SpinField::UsilADC), 20);
    EXPECT_EQ(p.Spin(SpinField::OslDAC), 3);
    EXPECT_EQ(UsageMessage({"generate", "--squelch", "sql-low", "--threshold", "7"}), "accepted");
}

TEST(CommandLine, BadInputNamesTheOptionAndWhatItAccepts) {
    EXPECT_EQ(UsageMessage({}), "no action given: use generate or play (see --help)");
    EXPECT_EQ(UsageMessage({"burn"}), "unknown action \"burn\": use generate or play (see --help)");
    EXPECT_EQ(UsageMessage({"generate", "--volume", "3"}),
              "unknown option \"--volume\" (see --help)");
    EXPECT_EQ(UsageMessage({"generate", "--beep-level"}), "--beep-level: a value is missing");
    EXPECT_EQ(UsageMessage({"generate", "stray"}), "unexpected argument \"stray\"");
    EXPECT_EQ(UsageMessage({"generate", "--beep-level", "21"}),
              "--beep-level: \"21\" is not a whole number in 0..20");
    EXPECT_EQ(UsageMessage({"generate", "--max-record", "0"}),
              "--max-record: \"0\" is not a whole number in 1..64");
    EXPECT_EQ(UsageMessage({"generate", "--adc-gain", "1.5"}),
              "--adc-gain: \"1.5\" is not a whole number in 0..20");
    EXPECT_EQ(UsageMessage({"generate", "--dac-atten", ""}),
              "--dac-atten: \"\" is not a whole number in 0..20");
    EXPECT_EQ(UsageMessage({"generate", "--threshold", "100"}),
              "--threshold: \"100\" is not a whole number in 1..99");
    EXPECT_EQ(UsageMessage({"generate", "--period", "1:2"}),
              "--period: \"1:2\" must be H:M:S (hours 0..64, minutes 0..60, seconds 0..60)");
    EXPECT_EQ(UsageMessage({"generate", "--period", "0:61:0"}),
              "--period (minutes): \"61\" is not a whole number in 0..60");
    EXPECT_EQ(UsageMessage({"generate", "--hang", "yes"}), "--hang: \"yes\" must be on or off");
    EXPECT_EQ(UsageMessage({"generate", "--squelch", "loud"}),
              "--squelch: \"loud\" must be audio, sql-high or sql-low");
    EXPECT_EQ(UsageMessage({"generate", "--admin-open", "81"}),
              "--admin-open: \"81\": код должен иметь одну или 4 цифры");
    EXPECT_EQ(UsageMessage({"generate", "--user-open", "12", "--user-mode", "abcd"}),
              "--user-open: \"12\": код должен иметь одну или 4 цифры");
    EXPECT_EQ(UsageMessage({"generate", "--user-mode", "abcd"}),
              "--user-mode: \"abcd\": символы должны быть:   0,1,2,3,4,5,6,7,8,9,A,B,C,D,*,#");
}

TEST(CommandLine, HelpAndVersion) {
    EXPECT_EQ(ParseCommandLine({"--help"}).action, Action::Help);
    EXPECT_EQ(ParseCommandLine({"generate", "--beep-level", "3", "-h"}).action, Action::Help);
    EXPECT_EQ(ParseCommandLine({"--version"}).action, Action::Version);
    EXPECT_NE(UsageText().find("--squelch"), std::string::npos);
}

}  // namespace
}  // namespace zk::cli
