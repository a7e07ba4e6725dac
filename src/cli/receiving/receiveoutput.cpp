#include "receiveoutput.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "arraylayout.h"
#include "leveltext.h"
#include "numtext.h"

namespace zk::cli {

namespace {

// A carrier shift below this is the measurement's own scatter, not a path that shifts.
constexpr double kShownShiftHz = 0.5;

// A measurement rounded to what it is worth, so that JSON readers see 9.8, not 9.8000000001.
// Adding zero turns -0 into 0: a measurement of nothing shows no sign.
double Rounded(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale + 0.0;
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, Rounded(value, decimals));
    return text;
}

// What a byte outside the named settings is, for a difference in it.
std::string ByteRole(int i) {
    if (i < layout::kHeaderBytes) {
        return "header";
    }
    if (i == layout::kMarker46 || i == layout::kMarker47) {
        return "marker";
    }
    if (i == layout::kCheckWordHigh || i == layout::kCheckWordLow) {
        return "check word";
    }
    if (i == kTransferSize - 1) {
        return "outside the check word";
    }
    if (i < layout::kMaxRecord) {
        return "code field";
    }
    return "never written";
}

std::vector<const Setting*> Compared(const Expectation& expectation) {
    std::vector<const Setting*> settings;
    for (const Setting& setting : kSettings) {
        for (const std::string& key : expectation.keys) {
            if (key == setting.key) {
                settings.push_back(&setting);
            }
        }
        if (expectation.WholeArray()) {
            settings.push_back(&setting);
        }
    }
    return settings;
}

// The carrier off what the sender's clock makes it, when a path shifted it (a single-sideband
// radio tuned off).
std::string ShiftText(const receive::Packet& p) {
    if (std::abs(p.carrierShiftHz) < kShownShiftHz) {
        return "";
    }
    return ", shifted " + std::string(p.carrierShiftHz > 0 ? "+" : "") +
           Fixed(p.carrierShiftHz, 1) + " Hz";
}

std::string PolarityText(const receive::Packet& p) {
    if (!p.polarityKnown) {
        return "; polarity unknown";
    }
    return p.polarityInverted ? "; polarity inverted" : "";
}

}  // namespace

const char* PacketVerdictName(PacketVerdict verdict) {
    switch (verdict) {
        case PacketVerdict::Valid:
            return "valid";
        case PacketVerdict::SettingsBad:
            return "settings-bad";
        case PacketVerdict::CrcBad:
            return "crc-bad";
        case PacketVerdict::HeaderBad:
            return "header-bad";
    }
    return "?";
}

PacketVerdict VerdictOf(const receive::Packet& p) {
    if (!p.headerOk) {
        return PacketVerdict::HeaderBad;
    }
    if (!p.crcOk) {
        return PacketVerdict::CrcBad;
    }
    return receive::DecodeSettings(p.bytes).problems.empty() ? PacketVerdict::Valid
                                                             : PacketVerdict::SettingsBad;
}

std::string CheckedText(const Expectation& expectation) {
    if (expectation.WholeArray()) {
        return "checked: the whole array (64 bytes)";
    }
    std::string text = "checked:";
    for (const Setting* setting : Compared(expectation)) {
        text += std::string(text.back() == ':' ? " " : ", ") + setting->key;
    }
    return text;
}

nlohmann::ordered_json ExpectationJson(const Expectation& expectation) {
    nlohmann::ordered_json checked = nlohmann::ordered_json::array();
    for (const Setting* setting : Compared(expectation)) {
        checked.push_back(setting->key);
    }
    return {{"from", expectation.from},
            {"whole_array", expectation.WholeArray()},
            {"checked", checked}};
}

std::vector<std::string> Differences(const Expectation& expectation, const Array& decoded) {
    const receive::DecodedSettings want = receive::DecodeSettings(expectation.array);
    const receive::DecodedSettings got = receive::DecodeSettings(decoded);
    std::vector<std::string> differences;
    std::array<bool, kTransferSize> named{};
    for (const Setting* setting : Compared(expectation)) {
        const std::string wanted = DecodedText(want, *setting);
        const std::string heard = DecodedText(got, *setting);
        if (wanted != heard) {
            differences.push_back(std::string(setting->label) + ": expected " + wanted +
                                  ", decoded " + heard);
            const auto [first, last] = SettingBytes(*setting);
            for (int i = first; i <= last; ++i) {
                named[static_cast<std::size_t>(i)] = true;
            }
        }
    }
    if (!expectation.WholeArray()) {
        return differences;
    }
    // Whatever no setting names: the markers, the bytes never written, a one-symbol code's
    // unused bytes, the check word, byte 63.
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        if (!named[i] && expectation.array[i] != decoded[i]) {
            differences.push_back("byte " + std::to_string(i) + " (" +
                                  ByteRole(static_cast<int>(i)) + "): expected " +
                                  ByteToHex(expectation.array[i]) + ", decoded " +
                                  ByteToHex(decoded[i]));
        }
    }
    return differences;
}

bool Matches(const receive::Packet& packet, const std::optional<Expectation>& expectation) {
    return VerdictOf(packet) == PacketVerdict::Valid &&
           (!expectation || Differences(*expectation, packet.bytes).empty());
}

std::string ArrayHex(const Array& bytes) {
    std::string hex;
    for (const std::uint8_t b : bytes) {
        hex += ByteToHex(b);
    }
    return hex;
}

nlohmann::ordered_json PacketJson(const receive::Packet& p,
                                  const std::optional<Expectation>& expectation) {
    const receive::DecodedSettings settings = receive::DecodeSettings(p.bytes);
    nlohmann::ordered_json json = {
        {"verdict", PacketVerdictName(VerdictOf(p))},
        {"array", ArrayHex(p.bytes)},
        {"header_ok", p.headerOk},
        {"crc_ok", p.crcOk},
        {"check_word_received", WordToHex(p.crcReceived)},
        {"check_word_computed", WordToHex(p.crcComputed)},
        {"start_s", Rounded(p.startSeconds, 4)},
        {"end_s", Rounded(p.endSeconds, 4)},
        {"lead_in_s", Rounded(p.leadInSeconds, 3)},
        {"ebn0_db", Rounded(p.ebN0Db, 2)},
        {"margin_db", Rounded(p.marginDb, 2)},
        {"weakest_bit", p.weakestBit},
        {"weakest_bit_confidence", Rounded(p.weakestBitConfidence, 3)},
        {"carrier_hz", Rounded(p.carrierHz, 3)},
        {"clock_offset_ppm", Rounded(p.clockOffsetPpm, 1)},
        {"carrier_shift_hz", Rounded(p.carrierShiftHz, 2)},
        // null when the path left the sender's phase unreadable
        {"polarity_inverted",
         p.polarityKnown ? nlohmann::ordered_json(p.polarityInverted) : nlohmann::ordered_json()},
        {"peak_dbfs", Rounded(p.peakDbfs, 2)},
        {"clipped", p.clipped},
        {"settings", DecodedSettingsJson(settings)},
        {"settings_problems", settings.problems},
        {"notes", settings.notes},
    };
    if (expectation) {
        json["matches_expectation"] = Matches(p, expectation);
        json["differences"] = Differences(*expectation, p.bytes);
    }
    return json;
}

std::string PacketText(const receive::Packet& p, const std::optional<Expectation>& expectation) {
    std::ostringstream out;
    for (int i = 0; i < kTransferSize; ++i) {
        out << IntToPadded(i, 2) << ' ' << ByteToHex(p.bytes[static_cast<std::size_t>(i)]) << '\n';
    }
    if (!p.headerOk) {
        out << "header wrong: " << ByteToHex(p.bytes[0]) << ' ' << ByteToHex(p.bytes[1]) << ' '
            << ByteToHex(p.bytes[2]) << ' ' << ByteToHex(p.bytes[3]) << ", not 7F 04 01 01\n";
    }
    if (p.crcOk) {
        out << "check word ok (" << WordToHex(p.crcReceived) << ")\n";
    } else {
        out << "check word wrong: received " << WordToHex(p.crcReceived) << ", computed "
            << WordToHex(p.crcComputed) << '\n';
    }
    const receive::DecodedSettings settings = receive::DecodeSettings(p.bytes);
    if (p.Valid() && !settings.problems.empty()) {
        out << "settings impossible: the check word is right, but generate could not have sent "
               "these ("
            << settings.problems.size() << " problem(s) below)\n";
    }
    out << "settings: " << SettingsAsCommandLine(settings) << '\n';
    for (const std::string& line : SettingsAsLines(settings)) {
        out << "  " << line << '\n';
    }
    out << "data at " << Fixed(p.startSeconds, 3) << " s; Eb/N0 " << Fixed(p.ebN0Db, 1)
        << " dB, margin " << Fixed(p.marginDb, 1) << " dB; weakest bit " << p.weakestBit << " at "
        << Fixed(p.weakestBitConfidence, 2) << "; carrier " << Fixed(p.carrierHz, 2) << " Hz ("
        << Fixed(p.clockOffsetPpm, 0) << " ppm" << ShiftText(p) << ")" << PolarityText(p)
        << "; peak " << receive::PeakLevelText(p.peakDbfs) << (p.clipped ? ", clipped" : "")
        << '\n';
    if (expectation) {
        out << CheckedText(*expectation) << '\n';
        const std::vector<std::string> differences = Differences(*expectation, p.bytes);
        if (differences.empty()) {
            out << (Matches(p, expectation)
                        ? std::string("as expected")
                        : std::string("not as expected: ") + PacketVerdictName(VerdictOf(p)))
                << '\n';
        }
        for (const std::string& d : differences) {
            out << "differs: " << d << '\n';
        }
    }
    return out.str();
}

}  // namespace zk::cli
