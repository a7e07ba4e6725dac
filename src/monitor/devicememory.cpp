#include "devicememory.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "errors.h"

namespace zk::monitor {

namespace {
const QString kDeviceKey = QStringLiteral("capture/device");
}

QString DeviceMemory::FilePath() {
    // Honours $XDG_CONFIG_HOME, else ~/.config, as every other reader of the folder does.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/zk77q3/monitor.conf");
}

QString DeviceMemory::Load() {
    const QSettings settings(FilePath(), QSettings::IniFormat);
    return settings.value(kDeviceKey).toString();
}

void DeviceMemory::Save(const QString& device) {
    const QString path = FilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(kDeviceKey, device);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw Fault("Cannot remember the capture device in \"" + path.toStdString() + "\"");
    }
}

}  // namespace zk::monitor
