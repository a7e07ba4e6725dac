#include "devicememory.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <filesystem>

#include "errors.h"
#include "xdgfolders.h"

namespace zk::monitor {

namespace {
const QString kDeviceKey = QStringLiteral("capture/device");
}

QString DeviceMemory::FilePath() {
    // The folder of config.toml, found by the same rules as every other reader of it. Without
    // one (no HOME), nothing is remembered and nothing is read.
    const std::filesystem::path folder = ConfigFolder();
    if (folder.empty()) {
        return {};
    }
    return QString::fromStdString((folder / "monitor.conf").string());
}

QString DeviceMemory::Load() {
    if (FilePath().isEmpty()) {
        return {};
    }
    const QSettings settings(FilePath(), QSettings::IniFormat);
    return settings.value(kDeviceKey).toString();
}

void DeviceMemory::Save(const QString& device) {
    const QString path = FilePath();
    if (path.isEmpty()) {
        throw Fault("Cannot remember the capture device: neither XDG_CONFIG_HOME nor HOME is set");
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(kDeviceKey, device);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw Fault("Cannot remember the capture device in \"" + path.toStdString() + "\"");
    }
}

}  // namespace zk::monitor
