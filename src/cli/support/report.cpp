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
