#include "report.h"

#include "_2GL.h"
#include "_5FormFM.h"
#include "_8RIFF.h"
#include "arraylayout.h"
#include "errors.h"
#include "numtext.h"
#include "settings.h"
#include "sha256.h"

namespace zk::cli {

namespace {

std::string Hex(std::uint8_t byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

}  // namespace

nlohmann::ordered_json SettingsJson(const PanelState& panel) {
    nlohmann::ordered_json settings = nlohmann::ordered_json::object();
    for (const Setting& setting : kSettings) {
        settings[setting.key] = SettingValueJson(setting, SettingText(panel, setting));
    }
    return settings;
}

nlohmann::ordered_json SettingValueJson(const Setting& setting, const std::string& text) {
    const bool digits = !text.empty() && text.size() <= 9 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    if (IsNumberSetting(setting) && digits) {
        return std::stoi(text);
    }
    return text;
}

std::string ArrayHex() {
    std::string hex;
    for (int i = 0; i < kTransferSize; ++i) {
        hex += Hex(TransferArray[i]);
    }
    return hex;
}

std::string CheckWordHex() {
    return Hex(TransferArray[layout::kCheckWordHigh]) + Hex(TransferArray[layout::kCheckWordLow]);
}

std::string WaveFileSha256() {
    Sha256 sha;
    const std::array<std::uint8_t, 44> header = WaveHeader();
    sha.Add(header.data(), header.size());
    const std::int16_t* samples = SampleBuffer.From(0, kSignalSamples);
    for (int i = 0; i < kSignalSamples; ++i) {
        const auto value = static_cast<std::uint16_t>(samples[i]);
        const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value & 0xFF),
                                       static_cast<std::uint8_t>(value >> 8)};
        sha.Add(bytes, 2);
    }
    return sha.Hex();
}

std::string WaveTableSha256() {
    Sha256 sha;
    const std::string text = WaveTableText();
    sha.Add(text.data(), text.size());
    return sha.Hex();
}

nlohmann::ordered_json RunReport(const PanelState& panel, bool filesWritten,
                                 const std::vector<std::string>& warnings) {
    nlohmann::ordered_json report;
    report["settings"] = SettingsJson(panel);
    report["array"] = ArrayHex();
    report["check_word"] = CheckWordHex();
    if (filesWritten) {
        report["files"] = {
            {"wav", {{"path", FullPath(kWaveFileName)}, {"sha256", WaveFileSha256()}}},
            {"table", {{"path", FullPath(kWaveTableFileName)}, {"sha256", WaveTableSha256()}}},
        };
    } else {
        report["files"] = nullptr;
    }
    report["warnings"] = warnings;
    return report;
}

std::string JsonText(const nlohmann::ordered_json& value, int indent) {
    return value.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace zk::cli
