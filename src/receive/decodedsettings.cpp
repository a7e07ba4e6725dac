#include "decodedsettings.h"

#include "accesscode.h"
#include "arraylayout.h"
#include "startvalues.h"

namespace zk::receive {

namespace {

const std::array<const char*, 5> kCodeLabels{"user open code", "user close code",
                                             "administrator open code", "administrator close code",
                                             "user mode code"};

// A code field: 0x80 + value four times, or 0xC0 + value in the first byte alone.
std::string DecodeCode(const std::array<std::uint8_t, kTransferSize>& bytes, int first,
                       const char* label, std::vector<std::string>& problems) {
    const auto at = [&](int i) { return bytes[static_cast<std::size_t>(first + i)]; };
    if ((at(0) & 0xF0u) == 0xC0u) {
        return std::string(1, kCodeSymbols[at(0) & 0x0Fu]);
    }
    std::string code;
    for (int i = 0; i < 4; ++i) {
        if ((at(i) & 0xF0u) != 0x80u) {
            problems.push_back(std::string(label) + ": bytes " + std::to_string(first) + ".." +
                               std::to_string(first + 3) + " hold no code");
            return "?";
        }
        code += kCodeSymbols[at(i) & 0x0Fu];
    }
    return code;
}

int InRange(std::uint8_t value, SpinField field, const char* label,
            std::vector<std::string>& problems) {
    const SpinFieldInfo& info = Info(field);
    if (value < info.minimum || value > info.maximum) {
        problems.push_back(std::string(label) + " " + std::to_string(value) + " is outside " +
                           std::to_string(info.minimum) + ".." + std::to_string(info.maximum));
    }
    return value;
}

bool Flag(std::uint8_t value, const char* label, std::vector<std::string>& problems) {
    if (value > 1) {
        problems.push_back(std::string(label) + " flag holds " + std::to_string(value));
    }
    return value != 0;
}

std::string Period(const DecodedSettings& s) {
    return std::to_string(s.periodHours) + ":" + std::to_string(s.periodMinutes) + ":" +
           std::to_string(s.periodSeconds);
}

}  // namespace

DecodedSettings DecodeSettings(const std::array<std::uint8_t, kTransferSize>& bytes) {
    DecodedSettings s;
    auto& problems = s.problems;
    const auto b = [&](int i) { return bytes[static_cast<std::size_t>(i)]; };
    for (std::size_t i = 0; i < kCodeFields.size(); ++i) {
        s.codes[i] = DecodeCode(bytes, kCodeFields[i].firstByte, kCodeLabels[i], problems);
    }
    s.maxRecord = b(layout::kMaxRecord) | (b(layout::kMaxRecord + 1) << 8);
    if (s.maxRecord < Info(SpinField::MaxDlitZapRep).minimum ||
        s.maxRecord > Info(SpinField::MaxDlitZapRep).maximum) {
        problems.push_back("maximum recording " + std::to_string(s.maxRecord) + " is outside " +
                           std::to_string(Info(SpinField::MaxDlitZapRep).minimum) + ".." +
                           std::to_string(Info(SpinField::MaxDlitZapRep).maximum));
    }
    for (int i = 3; i >= 0; --i) {
        s.periodTotal = (s.periodTotal << 8) | b(layout::kPeriodTotal + i);
    }
    s.periodSeconds =
        InRange(b(layout::kPeriodSeconds), SpinField::PP_Sek, "period seconds", problems);
    s.periodMinutes =
        InRange(b(layout::kPeriodMinutes), SpinField::PP_Min, "period minutes", problems);
    s.periodHours = InRange(b(layout::kPeriodHours), SpinField::PP_Hour, "period hours", problems);
    const auto total =
        static_cast<std::uint32_t>(s.periodHours * 3600 + s.periodMinutes * 60 + s.periodSeconds);
    if (total != s.periodTotal) {
        problems.push_back("period " + Period(s) + " is " + std::to_string(total) +
                           " s, but the total sent is " + std::to_string(s.periodTotal) + " s");
    }
    s.beepLength = InRange(b(layout::kBeepLength), SpinField::DlitBip, "beep length", problems);
    s.beepLevel = InRange(b(layout::kBeepLevel), SpinField::UrBip, "beep level", problems);
    s.squelchMode = b(layout::kSquelchMode);
    if (s.squelchMode > 2) {
        problems.push_back("squelch mode " + std::to_string(s.squelchMode) + " is not 0, 1 or 2");
    }
    s.threshold =
        InRange(b(layout::kSquelchThreshold),
                s.squelchMode == 0 ? SpinField::SQL0_PorogPerekl : SpinField::SQL_PorogPerekl,
                "squelch threshold", problems);
    s.hang = Flag(b(layout::kReleaseDelay), "hang", problems);
    s.dtmf = Flag(b(layout::kDtmfAllowed), "DTMF", problems);
    s.adcGain = InRange(b(layout::kAdcGain), SpinField::UsilADC, "ADC gain", problems);
    s.dacAttenuation =
        InRange(b(layout::kDacAttenuation), SpinField::OslDAC, "DAC attenuation", problems);
    s.rxFilter = Flag(b(layout::kRxFilter), "receive filter", problems);
    s.txFilter = Flag(b(layout::kTxFilter), "transmit filter", problems);
    s.sleep = Flag(b(layout::kSleep), "sleep", problems);
    const std::string markers =
        "bytes " + std::to_string(layout::kMarker46) + ", " + std::to_string(layout::kMarker47);
    if (b(layout::kMarker46) == kMarker46Start && b(layout::kMarker47) == kMarker47Start) {
        problems.push_back(markers + " hold EE FF: the sender did not compute the check word");
    } else if (b(layout::kMarker46) != 0 || b(layout::kMarker47) != 0) {
        problems.push_back(markers + " are not zero");
    }
    bool unwritten =
        b(layout::kUnusedAfterMaxRecord) != 0 || b(layout::kUnusedAfterMaxRecord + 1) != 0;
    for (int i = layout::kUnusedBeforeCheckWord; i <= layout::kUnusedBeforeCheckWordLast; ++i) {
        unwritten = unwritten || b(i) != 0;
    }
    if (unwritten) {
        problems.push_back(
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

}  // namespace zk::receive
