#include "receiveoutput.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "decodedsettings.h"
#include "numtext.h"

namespace zk::cli {

namespace {

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

// "label: value" split at the first ": ".
std::pair<std::string, std::string> LabelAndValue(const std::string& line) {
    const std::size_t colon = line.find(": ");
    if (colon == std::string::npos) {
        return {line, ""};
    }
    return {line.substr(0, colon), line.substr(colon + 2)};
}

}  // namespace

std::string ArrayHex(const Array& bytes) {
    std::string hex;
    for (const std::uint8_t b : bytes) {
        hex += ByteToHex(b);
    }
    return hex;
}

nlohmann::json PacketJson(const receive::Packet& p) {
    nlohmann::json settings = nlohmann::json::object();
    const std::vector<std::string> options =
        receive::SettingsAsOptions(receive::DecodeSettings(p.bytes));
    for (std::size_t i = 0; i + 1 < options.size(); i += 2) {
        settings[options[i].substr(2)] = options[i + 1];
    }
    return {
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
        {"polarity_inverted", p.polarityInverted},
        {"peak_dbfs", Rounded(p.peakDbfs, 2)},
        {"clipped", p.clipped},
        {"settings", settings},
    };
}

std::vector<std::string> SettingDifferences(const Array& expected, const Array& decoded) {
    const std::vector<std::string> want =
        receive::SettingsAsLines(receive::DecodeSettings(expected));
    const std::vector<std::string> got = receive::SettingsAsLines(receive::DecodeSettings(decoded));
    std::vector<std::string> differences;
    for (std::size_t i = 0; i < want.size() && i < got.size(); ++i) {
        const auto [label, wanted] = LabelAndValue(want[i]);
        const auto [gotLabel, heard] = LabelAndValue(got[i]);
        if (label == gotLabel && wanted != heard) {
            differences.push_back(label + ": expected " + wanted + ", decoded " + heard);
        }
    }
    if (differences.empty() && expected != decoded) {
        differences.push_back("array: expected " + ArrayHex(expected) + ", decoded " +
                              ArrayHex(decoded));
    }
    return differences;
}

std::string PacketText(const receive::Packet& p, const std::optional<Array>& expected) {
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
    out << "settings: " << receive::SettingsAsCommandLine(settings) << '\n';
    for (const std::string& line : receive::SettingsAsLines(settings)) {
        out << "  " << line << '\n';
    }
    out << "data at " << Fixed(p.startSeconds, 3) << " s; Eb/N0 " << Fixed(p.ebN0Db, 1)
        << " dB, margin " << Fixed(p.marginDb, 1) << " dB; weakest bit " << p.weakestBit << " at "
        << Fixed(p.weakestBitConfidence, 2) << "; carrier " << Fixed(p.carrierHz, 2) << " Hz ("
        << Fixed(p.clockOffsetPpm, 0) << " ppm)"
        << (p.polarityInverted ? "; polarity inverted" : "") << "; peak " << Fixed(p.peakDbfs, 1)
        << " dBFS" << (p.clipped ? ", clipped" : "") << '\n';
    if (expected) {
        const std::vector<std::string> differences = SettingDifferences(*expected, p.bytes);
        if (differences.empty()) {
            out << "as expected\n";
        }
        for (const std::string& d : differences) {
            out << "differs: " << d << '\n';
        }
    }
    return out.str();
}

}  // namespace zk::cli
