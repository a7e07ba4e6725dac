#include "receiveoutput.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "arraylayout.h"
#include "findingwords.h"
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

std::string ArrayHex(const Array& bytes) {
    std::string hex;
    for (const std::uint8_t b : bytes) {
        hex += ByteToHex(b);
    }
    return hex;
}

nlohmann::ordered_json PacketJson(const receive::Packet& p,
                                  const std::optional<Expectation>& expectation) {
    const DecodedSettings settings = DecodeSettings(p.bytes);
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
        {"settings_problems", SettingsFindingWords(settings.problems)},
        {"notes", SettingsFindingWords(settings.notes)},
    };
    if (expectation) {
        json["matches_expectation"] = Matches(p, expectation);
        json["differences"] = DifferenceTexts(*expectation, p.bytes);
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
    const DecodedSettings settings = DecodeSettings(p.bytes);
    if (p.HeaderAndCheckWordRight() && !settings.problems.empty()) {
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
        const std::vector<std::string> differences = DifferenceTexts(*expectation, p.bytes);
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
