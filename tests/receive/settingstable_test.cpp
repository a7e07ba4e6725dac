// The settings table against the message. generate and the reading back both go by the table's
// rows, so a row with a wrong byte or width still survives a plain round trip: here every byte
// must have one owner, and each setting changed alone must travel in its own bytes and come back
// under its own key with every other setting as it was.
#include <gtest/gtest.h>

#include "arraylayout.h"
#include "decodedsettings.h"
#include "expectation.h"
#include "findingwords.h"
#include "receivedsettings.h"
#include "settings.h"

namespace zk {
namespace {

TEST(SettingsTable, EveryByteOfTheMessageHasOneOwner) {
    std::array<int, kTransferSize> owners{};
    const auto claim = [&owners](int first, int last) {
        for (int i = first; i <= last; ++i) {
            ++owners.at(static_cast<std::size_t>(i));
        }
    };
    claim(layout::kHeader, layout::kHeader + layout::kHeaderBytes - 1);
    for (const Setting& setting : kSettings) {
        claim(setting.firstByte, LastByte(setting));
    }
    claim(layout::kUnusedAfterMaxRecord, layout::kUnusedAfterMaxRecord + 1);
    claim(layout::kMarker46, layout::kMarker47);
    claim(layout::kUnusedBeforeCheckWord, layout::kUnusedBeforeCheckWordLast);
    claim(layout::kCheckWordHigh, layout::kCheckWordLow);
    claim(layout::kAfterCheckWord, layout::kAfterCheckWord);
    for (int i = 0; i < kTransferSize; ++i) {
        EXPECT_EQ(owners[static_cast<std::size_t>(i)], 1) << "byte " << i;
    }
}

// A value other than the start value, for a setting of any kind: a number at the far end of its
// range, so that a range check off by one at either end shows too.
std::string OtherValue(const Setting& setting, const std::string& start) {
    switch (setting.kind) {
        case SettingKind::Code:
            return "159D";
        case SettingKind::Switch:
            return start == "on" ? "off" : "on";
        case SettingKind::Number: {
            const SpinFieldInfo& info = Info(static_cast<SpinField>(setting.field));
            const int far = start == std::to_string(info.maximum) ? info.minimum : info.maximum;
            return std::to_string(far);
        }
        case SettingKind::Period:
            return "5:17:42";
        case SettingKind::Squelch:
            return "sql-high";
        case SettingKind::Threshold:
            return "42";
    }
    return {};
}

TEST(SettingsTable, EachSettingAloneTravelsInItsOwnBytes) {
    const PanelState startPanel = ResolveSettings({});
    const Array start = ArrayForSettings(startPanel);
    const DecodedSettings startRead = DecodeSettings(start);
    for (const Setting& setting : kSettings) {
        const std::string value = OtherValue(setting, SettingText(startPanel, setting));
        SCOPED_TRACE(std::string(setting.key) + " " + value);
        const Array sent = ArrayForSettings(ResolveSettings({{setting.key, {value, setting.key}}}));
        for (int i = 0; i < kTransferSize; ++i) {
            const bool own = i >= setting.firstByte && i <= LastByte(setting);
            const bool checkWord = i == layout::kCheckWordHigh || i == layout::kCheckWordLow;
            if (!own && !checkWord) {
                EXPECT_EQ(sent[static_cast<std::size_t>(i)], start[static_cast<std::size_t>(i)])
                    << "byte " << i;
            }
        }
        const DecodedSettings read = DecodeSettings(sent);
        EXPECT_EQ(SettingsFindingWords(read.problems), std::vector<std::string>{});
        for (const Setting& other : kSettings) {
            const std::string expected = &other == &setting ? value : DecodedText(startRead, other);
            EXPECT_EQ(DecodedText(read, other), expected) << other.key;
        }
    }
}

// The table lists DTMF before the hang flag and both after the maximum recording; a received
// array's problems are named as its bytes run: 24, 39, 40.
TEST(SettingsTable, ProblemsAreNamedInTheOrderOfTheirBytes) {
    Array bytes = ArrayForSettings(PanelState{});
    bytes[SettingNamed("dtmf").firstByte] = 3;
    bytes[SettingNamed("hang").firstByte] = 2;
    bytes[SettingNamed("max-record").firstByte] = 0;
    EXPECT_EQ(SettingsFindingWords(DecodeSettings(bytes).problems),
              (std::vector<std::string>{"maximum recording 0 is outside 1..64", "hang flag holds 2",
                                        "DTMF flag holds 3"}));
}

}  // namespace
}  // namespace zk
