#include "decodedsettings.h"

#include "accesscode.h"
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
    s.maxRecord = b(24) | (b(25) << 8);
    if (s.maxRecord < Info(SpinField::MaxDlitZapRep).minimum ||
        s.maxRecord > Info(SpinField::MaxDlitZapRep).maximum) {
        problems.push_back("maximum recording " + std::to_string(s.maxRecord) +
                           " is outside 1..64");
    }
    s.periodTotal = static_cast<std::uint32_t>(b(28)) | (static_cast<std::uint32_t>(b(29)) << 8) |
                    (static_cast<std::uint32_t>(b(30)) << 16) |
                    (static_cast<std::uint32_t>(b(31)) << 24);
    s.periodSeconds = InRange(b(32), SpinField::PP_Sek, "period seconds", problems);
    s.periodMinutes = InRange(b(33), SpinField::PP_Min, "period minutes", problems);
    s.periodHours = InRange(b(34), SpinField::PP_Hour, "period hours", problems);
    const auto total =
        static_cast<std::uint32_t>(s.periodHours * 3600 + s.periodMinutes * 60 + s.periodSeconds);
    if (total != s.periodTotal) {
        problems.push_back("period " + Period(s) + " is " + std::to_string(total) +
                           " s, but the total sent is " + std::to_string(s.periodTotal) + " s");
    }
    s.beepLength = InRange(b(35), SpinField::DlitBip, "beep length", problems);
    s.beepLevel = InRange(b(36), SpinField::UrBip, "beep level", problems);
    s.squelchMode = b(37);
    if (s.squelchMode > 2) {
        problems.push_back("squelch mode " + std::to_string(s.squelchMode) + " is not 0, 1 or 2");
    }
    s.threshold = InRange(
        b(38), s.squelchMode == 0 ? SpinField::SQL0_PorogPerekl : SpinField::SQL_PorogPerekl,
        "squelch threshold", problems);
    s.hang = Flag(b(39), "hang", problems);
    s.dtmf = Flag(b(40), "DTMF", problems);
    s.adcGain = InRange(b(41), SpinField::UsilADC, "ADC gain", problems);
    s.dacAttenuation = InRange(b(42), SpinField::OslDAC, "DAC attenuation", problems);
    s.rxFilter = Flag(b(43), "receive filter", problems);
    s.txFilter = Flag(b(44), "transmit filter", problems);
    s.sleep = Flag(b(45), "sleep", problems);
    if (b(46) == kMarker46Start && b(47) == kMarker47Start) {
        problems.push_back("bytes 46, 47 hold EE FF: the sender did not compute the check word");
    } else if (b(46) != 0 || b(47) != 0) {
        problems.push_back("bytes 46, 47 are not zero");
    }
    bool unwritten = b(26) != 0 || b(27) != 0;
    for (int i = 48; i <= 60; ++i) {
        unwritten = unwritten || b(i) != 0;
    }
    if (unwritten) {
        problems.push_back("bytes that are never written (26, 27, 48..60) are not all zero");
    }
    if (b(63) != 0) {
        s.notes.push_back("byte 63, which the check word does not cover, holds " +
                          std::to_string(b(63)) + ", not 0");
    }
    return s;
}

}  // namespace zk::receive
