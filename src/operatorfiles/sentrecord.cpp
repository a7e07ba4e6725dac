#include "sentrecord.h"

#include <filesystem>

#include "_2GL.h"
#include "_5FormFM.h"
#include "_8RIFF.h"
#include "arraylayout.h"
#include "repeatername.h"
#include "sentlog.h"
#include "sha256.h"

namespace zk {

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

std::string WorkingFolder() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return error ? std::string() : folder.string();
}

PanelState CopyPanelValues(ControlPanel& panel) {
    PanelState copy;
    for (const CodeFieldInfo& code : kCodeFields) {
        copy.Code(code.field) = panel.CodeText(code.field);
    }
    for (const CheckFieldInfo& check : kCheckFields) {
        copy.Check(check.field) = panel.IsChecked(check.field);
    }
    for (const SpinFieldInfo& spin : kSpinFields) {
        copy.Spin(spin.field) = panel.SpinValue(spin.field);
    }
    copy.sqlPage = panel.SqlPageIndex();
    copy.sqlLevel = panel.SqlActiveLevelIndex();
    return copy;
}

// The repeater's name follows the time when it has one; entries without a name (and those
// written before names existed) are the log's unnamed repeaters. The PTT is there when one was
// keyed, as the operator wrote it.
nlohmann::ordered_json SentLogEntry(const SentRecord& record) {
    nlohmann::ordered_json entry = {{"time", UtcTimestamp()}};
    if (record.name) {
        entry[kNameKey] = *record.name;
    }
    if (!record.source.empty()) {
        entry["source"] = record.source;
    }
    entry.update({
        {"folder", WorkingFolder()},
        {"device", record.device},
    });
    if (!record.ptt.empty()) {
        entry["ptt"] = record.ptt;
    }
    entry.update({
        {"settings", SettingsJson(record.settings)},
        {"array", ArrayHex()},
        {"check_word", CheckWordHex()},
        {"wav_sha256", WaveFileSha256()},
    });
    return entry;
}

}  // namespace zk
