#include "stationconfig.h"

#include <fcntl.h>

#include <cerrno>
#include <cstdlib>

#include "boundedread.h"
#include "errors.h"
#include "filehandle.h"
#include "messages.h"
#include "profile.h"
#include "profileshape.h"
#include "pttkeys.h"
#include "xdgfolders.h"

namespace zk {

std::filesystem::path StationConfigPath() {
    const std::filesystem::path config = ConfigFolder();
    return config.empty() ? config : config / "config.toml";
}

GivenSettings ReadStationConfig() {
    const std::filesystem::path path = StationConfigPath();
    if (path.empty()) {
        return {};
    }
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    BoundedText read;
    read.error = file.IsOpen() ? 0 : errno;
    if (read.error == ENOENT) {
        return {};  // a station that has set nothing
    }
    if (file.IsOpen()) {
        read = ReadAtMost(file.Descriptor(), kMaxProfileBytes);
    }
    if (read.error != 0) {
        // "Cannot open file" and the system's reason stay the window's fixed English.
        throw UsageError(Wording{"the station's configuration: ", "Файл настроек станции: "} +
                         Verbatim(FileOpenError(path.string(), read.error).what()));
    }
    GivenSettings keying = ReadFlatToml(read.text, path.string(), IsKeyingKey);
    CheckKeyingValues(keying);
    return keying;
}

}  // namespace zk
