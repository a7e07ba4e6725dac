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
                       std::vector<SettingsFinding>& problems) {
    const int first = setting.firstByte;
    if ((At(bytes, first) & 0xF0u) == 0xC0u) {
        return std::string(1, kCodeSymbols[At(bytes, first) & 0x0Fu]);
    }
    std::string code;
    for (int i = first; i <= LastByte(setting); ++i) {
        if ((At(bytes, i) & 0xF0u) != 0x80u) {
            problems.push_back({.kind = SettingsFinding::Kind::NoCode, .setting = &setting});
            return "?";
        }
        code += kCodeSymbols[At(bytes, i) & 0x0Fu];
    }
    return code;
}

int InRange(std::uint32_t value, SpinField field, const Setting& setting, PeriodPart part,
            std::vector<SettingsFinding>& problems) {
    const SpinFieldInfo& info = Info(field);
    const auto number = static_cast<std::int64_t>(value);
    if (number < info.minimum || number > info.maximum) {
        problems.push_back({.kind = SettingsFinding::Kind::OutOfRange,
                            .setting = &setting,
                            .part = part,
                            .value = number,
                            .minimum = info.minimum,
                            .maximum = info.maximum});
    }
    return static_cast<int>(value);
}

void DecodePeriod(const Array& bytes, const Setting& setting, DecodedSettings& s) {
    const int first = setting.firstByte;
    auto& numbers = s.numbers;
    s.periodTotal = LittleEndian(bytes, first, kPeriodSecondsOffset);
    const int seconds = InRange(At(bytes, first + kPeriodSecondsOffset), SpinField::PP_Sek, setting,
                                PeriodPart::Seconds, s.problems);
    const int minutes = InRange(At(bytes, first + kPeriodMinutesOffset), SpinField::PP_Min, setting,
                                PeriodPart::Minutes, s.problems);
    const int hours = InRange(At(bytes, first + kPeriodHoursOffset), SpinField::PP_Hour, setting,
                              PeriodPart::Hours, s.problems);
    numbers[static_cast<std::size_t>(SpinField::PP_Sek)] = seconds;
    numbers[static_cast<std::size_t>(SpinField::PP_Min)] = minutes;
    numbers[static_cast<std::size_t>(SpinField::PP_Hour)] = hours;
    const auto total = static_cast<std::uint32_t>(hours * 3600 + minutes * 60 + seconds);
    if (total != s.periodTotal) {
        s.problems.push_back({.kind = SettingsFinding::Kind::PeriodDisagrees,
                              .setting = &setting,
                              .value = total,
                              .hours = hours,
                              .minutes = minutes,
                              .seconds = seconds,
                              .total = s.periodTotal});
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
                s.problems.push_back(
                    {.kind = SettingsFinding::Kind::NotAFlag, .setting = &setting, .value = value});
            }
            break;
        case SettingKind::Number:
            s.numbers[field] = InRange(value, static_cast<SpinField>(setting.field), setting,
                                       PeriodPart::Whole, s.problems);
            break;
        case SettingKind::Period:
            DecodePeriod(bytes, setting, s);
            break;
        case SettingKind::Squelch:
            s.squelchMode = static_cast<int>(value);
            if (value > static_cast<std::uint32_t>(SquelchMode::SqlHigh)) {
                s.problems.push_back({.kind = SettingsFinding::Kind::NoSquelchMode,
                                      .setting = &setting,
                                      .value = value});
            }
            break;
        case SettingKind::Threshold: {
            // The range is the detector's, read from its own byte.
            const auto mode =
                static_cast<SquelchMode>(At(bytes, SettingNamed("squelch").firstByte));
            const SpinField spin = ThresholdField(mode);
            s.numbers[static_cast<std::size_t>(spin)] =
                InRange(value, spin, setting, PeriodPart::Whole, s.problems);
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
    if (b(layout::kMarker46) == kMarker46Start && b(layout::kMarker47) == kMarker47Start) {
        s.problems.push_back({.kind = SettingsFinding::Kind::MarkersUncomputed});
    } else if (b(layout::kMarker46) != 0 || b(layout::kMarker47) != 0) {
        s.problems.push_back({.kind = SettingsFinding::Kind::MarkersNotZero});
    }
    bool unwritten =
        b(layout::kUnusedAfterMaxRecord) != 0 || b(layout::kUnusedAfterMaxRecord + 1) != 0;
    for (int i = layout::kUnusedBeforeCheckWord; i <= layout::kUnusedBeforeCheckWordLast; ++i) {
        unwritten = unwritten || b(i) != 0;
    }
    if (unwritten) {
        s.problems.push_back({.kind = SettingsFinding::Kind::UnwrittenNotZero});
    }
    if (b(layout::kAfterCheckWord) != 0) {
        s.notes.push_back(
            {.kind = SettingsFinding::Kind::AfterCheckWord, .value = b(layout::kAfterCheckWord)});
    }
    return s;
}

}  // namespace zk
