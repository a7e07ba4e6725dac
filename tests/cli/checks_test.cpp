// The warnings of check, generate and play.
#include "checks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "settings.h"
#include "workfolder.h"

namespace zk::cli {
namespace {

std::vector<std::string> Warnings(std::vector<std::pair<std::string, std::string>> values) {
    GivenSettings given;
    const std::pair<std::string, std::string> quiet[] = {{"user-open", "1590"},
                                                         {"user-close", "2604"},
                                                         {"admin-open", "9137"},
                                                         {"admin-close", "4821"},
                                                         {"user-mode", "3375"}};
    for (const auto& [key, value] : quiet) {
        given[key] = GivenValue{value, key};
    }
    for (const auto& [key, value] : values) {
        given[key] = GivenValue{value, key};
    }
    return SettingWarnings(ResolveSettings(given));
}

using Lines = std::vector<std::string>;

TEST(Checks, NothingToSayAboutDistinctFourSymbolCodesWhateverTheOtherSettings) {
    EXPECT_EQ(Warnings({}), Lines{});
    EXPECT_EQ(Warnings({{"dtmf", "off"}, {"period", "0:0:0"}, {"sleep", "on"}}), Lines{});
}

TEST(Checks, EqualCodesAreNamedTogetherComparedBySymbol) {
    // ":;<=" is how the window's rules spell ABCD: the same code for the repeater.
    EXPECT_EQ(Warnings({{"user-open", "ABCD"}, {"user-mode", ":;<="}, {"admin-open", "ABCD"}}),
              Lines{"user-open and admin-open and user-mode are the same code: the repeater "
                    "cannot tell them apart"});
}

TEST(Checks, StartValuesOneSymbolAndRepeatedSymbolCodes) {
    EXPECT_EQ(Warnings({{"admin-open", "8135"}}),
              Lines{"admin-open is still the tool's start value: anyone who knows the "
                    "defaults can open the repeater as administrator"});
    EXPECT_EQ(Warnings({{"user-close", "*"}}),
              (Lines{"user-close is still the tool's start value: anyone who knows the "
                     "defaults can close the repeater",
                     "user-close is one symbol: 16 possibilities, found by trying them all"}));
    EXPECT_EQ(Warnings({{"user-close", "7"}}),
              Lines{"user-close is one symbol: 16 possibilities, found by trying them all"});
    EXPECT_EQ(Warnings({{"user-mode", "####"}}),
              Lines{"user-mode repeats one symbol: one of the 16 codes tried first"});
}

// The warnings follow the 64-line listing, so that on a terminal (both streams on one screen)
// they are the last lines before the sound, not scrolled away by the listing.
TEST(Checks, TheWarningsComeAfterTheListing) {
    zk::testing::WorkFolder folder;
    const std::string both = (folder.path() / "both").string();
    const std::string command = std::string("'") + ZK77Q3_PATH +
                                "' generate --user-open 1590 --admin-open 1590 >'" + both +
                                "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string text = zk::testing::ReadFile(both);
    const std::size_t warning = text.find("zk77q3: warning: ");
    ASSERT_NE(warning, std::string::npos) << text;
    EXPECT_EQ(text.find('\n', text.rfind("63 ")), warning - 1) << text;
}

}  // namespace
}  // namespace zk::cli
