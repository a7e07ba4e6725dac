#include "decodedsettings.h"

#include "accesscode.h"
#include "arraylayout.h"

namespace zk {

namespace {

using Array = std::array<std::uint8_t, kTransferSize>;

std::uint8_t At(const Array& bytes, int i) {
    return bytes[static_cast<std::size_t>(i)];
}

std::uint32_t LittleEndian(const Array& bytes, int first, int width) {
    std::uint32_t value = 0;
    for (int k = width - 1; k >= 0; --k) {
        value = (value << 8) | At(bytes, first + k);
    }
    return value;
}

// A code field: 0x80 + value four times, or 0xC0 + value in the first byte alone.
std::string DecodeCode(const Array& bytes, const Setting& setting,
                       std::vector<std::string>& problems) {
    const int first = setting.firstByte;
    if ((At(bytes, first) & 0xF0u) == 0xC0u) {
        return std::string(1, kCodeSymbols[At(bytes, first) & 0x0Fu]);
    }
    std::string code;
    for (int i = first; i <= LastByte(setting); ++i) {
        if ((At(bytes, i) & 0xF0u) != 0x80u) {
            problems.push_back(std::string(setting.shortName) + ": bytes " + std::to_string(first) +
                               ".." + std::to_string(LastByte(setting)) + " hold no code");
            return "?";
        }
        code += kCodeSymbols[At(bytes, i) & 0x0Fu];
    }
    return code;
}

int InRange(std::uint32_t value, SpinField field, const std::string& name,
            std::vector<std::string>& problems) {
    const SpinFieldInfo& info = Info(field);
    const auto number = static_cast<std::int64_t>(value);
    if (number < info.minimum || number > info.maximum) {
        problems.push_back(name + " " + std::to_string(value) + " is outside " +
                           std::to_string(info.minimum) + ".." + std::to_string(info.maximum));
    }
    return static_cast<int>(value);
}

void DecodePeriod(const Array& bytes, const Setting& setting, DecodedSettings& s) {
    const std::string name = setting.shortName;
    const int first = setting.firstByte;
    auto& numbers = s.numbers;
    s.periodTotal = LittleEndian(bytes, first, kPeriodSecondsOffset);
    const int seconds = InRange(At(bytes, first + kPeriodSecondsOffset), SpinField::PP_Sek,
                                name + " seconds", s.problems);
    const int minutes = InRange(At(bytes, first + kPeriodMinutesOffset), SpinField::PP_Min,
                                name + " minutes", s.problems);
    const int hours = InRange(At(bytes, first + kPeriodHoursOffset), SpinField::PP_Hour,
                              name + " hours", s.problems);
    numbers[static_cast<std::size_t>(SpinField::PP_Sek)] = seconds;
    numbers[static_cast<std::size_t>(SpinField::PP_Min)] = minutes;
    numbers[static_cast<std::size_t>(SpinField::PP_Hour)] = hours;
    const auto total = static_cast<std::uint32_t>(hours * 3600 + minutes * 60 + seconds);
    if (total != s.periodTotal) {
        s.problems.push_back(name + " " + std::to_string(hours) + ":" + std::to_string(minutes) +
                             ":" + std::to_string(seconds) + " is " + std::to_string(total) +
                             " s, but the total sent is " + std::to_string(s.periodTotal) + " s");
    }
}

void DecodeSetting(const Array& bytes, const Setting& setting, DecodedSettings& s) {
    const auto field = static_cast<std::size_t>(setting.field);
    const std::uint32_t value = LittleEndian(bytes, setting.firstByte, setting.byteCount);
    switch (setting.kind) {
        case SettingKind::Code:
            s.codes[field] = DecodeCode(bytes, setting, s.problems);
            break;
        case SettingKind::Switch:
            s.switches[field] = static_cast<int>(value);
            if (value > 1) {
                s.problems.push_back(std::string(setting.shortName) + " flag holds " +
                                     std::to_string(value));
            }
            break;
        case SettingKind::Number:
            s.numbers[field] = InRange(value, static_cast<SpinField>(setting.field),
                                       setting.shortName, s.problems);
            break;
        case SettingKind::Period:
            DecodePeriod(bytes, setting, s);
            break;
        case SettingKind::Squelch:
            s.squelchMode = static_cast<int>(value);
            if (value > static_cast<std::uint32_t>(SquelchMode::SqlHigh)) {
                s.problems.push_back(std::string(setting.shortName) + " " + std::to_string(value) +
                                     " is not 0, 1 or 2");
            }
            break;
        case SettingKind::Threshold: {
            // The range is the detector's, read from its own byte.
            const auto mode =
                static_cast<SquelchMode>(At(bytes, SettingNamed("squelch").firstByte));
            const SpinField spin = ThresholdField(mode);
            s.numbers[static_cast<std::size_t>(spin)] =
                InRange(value, spin, setting.shortName, s.problems);
            break;
        }
    }
}

}  // namespace

DecodedSettings DecodeSettings(const Array& bytes) {
    DecodedSettings s;
    // In the order of their bytes, so that the problems read as the message runs.
    static constexpr auto kInByteOrder = SettingsInByteOrder();
    for (const Setting* setting : kInByteOrder) {
        DecodeSetting(bytes, *setting, s);
    }
    const auto b = [&](int i) { return At(bytes, i); };
    const std::string markers =
        "bytes " + std::to_string(layout::kMarker46) + ", " + std::to_string(layout::kMarker47);
    if (b(layout::kMarker46) == kMarker46Start && b(layout::kMarker47) == kMarker47Start) {
        s.problems.push_back(markers + " hold EE FF: the sender did not compute the check word");
    } else if (b(layout::kMarker46) != 0 || b(layout::kMarker47) != 0) {
        s.problems.push_back(markers + " are not zero");
    }
    bool unwritten =
        b(layout::kUnusedAfterMaxRecord) != 0 || b(layout::kUnusedAfterMaxRecord + 1) != 0;
    for (int i = layout::kUnusedBeforeCheckWord; i <= layout::kUnusedBeforeCheckWordLast; ++i) {
        unwritten = unwritten || b(i) != 0;
    }
    if (unwritten) {
        s.problems.push_back(
            "bytes that are never written (" + std::to_string(layout::kUnusedAfterMaxRecord) +
            ", " + std::to_string(layout::kUnusedAfterMaxRecord + 1) + ", " +
            std::to_string(layout::kUnusedBeforeCheckWord) + ".." +
            std::to_string(layout::kUnusedBeforeCheckWordLast) + ") are not all zero");
    }
    if (b(layout::kAfterCheckWord) != 0) {
        s.notes.push_back("byte " + std::to_string(layout::kAfterCheckWord) +
                          ", which the check word does not cover, holds " +
                          std::to_string(b(layout::kAfterCheckWord)) + ", not 0");
    }
    return s;
}

}  // namespace zk
