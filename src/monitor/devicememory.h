// The capture device the operator last listened to, remembered between runs in a file of the
// monitor's own, $XDG_CONFIG_HOME/zk77q3/monitor.conf. Not in config.toml: that file is the
// operator's, written by hand with comments, and the command line refuses keys it does not know
// there; the monitor never rewrites it.
#pragma once

#include <QString>

namespace zk::monitor {

class DeviceMemory {
  public:
    static QString FilePath();
    // The remembered device, or an empty text when none is.
    static QString Load();
    // Throws a Fault naming the file when it cannot be written.
    static void Save(const QString& device);
};

}  // namespace zk::monitor
