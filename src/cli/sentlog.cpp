#include "sentlog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fstream>

#include "errors.h"

namespace zk::cli {

namespace {

// Makes `folder` and any missing parent, each new one with `mode`; true when it exists after.
bool MakeFolders(const std::filesystem::path& folder, mode_t mode) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    if (folder.has_parent_path() && folder.parent_path() != folder &&
        !MakeFolders(folder.parent_path(), mode)) {
        return false;
    }
    return ::mkdir(folder.c_str(), mode) == 0 || errno == EEXIST;
}

// "<path>": <reason>. Built by appending: GCC 12 at -O3 takes `"\"" + std::string` for
// overlapping copies inside char_traits (a false -Wrestrict) and stops the package build.
std::string About(const std::filesystem::path& path, const std::string& reason) {
    std::string text = "\"";
    text += path.string();
    text += "\": ";
    text += reason;
    return text;
}

}  // namespace

std::filesystem::path SentLogPath() {
    std::filesystem::path state;
    const char* xdg = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        state = xdg;
    } else if (home != nullptr && home[0] != '\0') {
        state = std::filesystem::path(home) / ".local" / "state";
    } else {
        return {};
    }
    return state / "zk77q3" / "sent.jsonl";
}

std::string AppendToSentLog(const nlohmann::ordered_json& entry) {
    const std::filesystem::path path = SentLogPath();
    if (path.empty()) {
        return "neither XDG_STATE_HOME nor HOME is set";
    }
    if (!MakeFolders(path.parent_path(), 0700)) {
        return About(path.parent_path(), SystemErrorText(errno));
    }
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return About(path, SystemErrorText(errno));
    }
    const std::string line =
        entry.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
    const ssize_t written = ::write(fd, line.data(), line.size());
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (written != static_cast<ssize_t>(line.size())) {
        return About(path, written < 0 ? SystemErrorText(writeError)
                                       : std::string("only part of the entry was written"));
    }
    if (!closed) {
        return About(path, SystemErrorText(errno));
    }
    return {};
}

std::vector<std::string> ReadSentLog() {
    const std::filesystem::path path = SentLogPath();
    std::vector<std::string> lines;
    if (path.empty() || !std::filesystem::exists(path)) {
        return lines;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw FileOpenError(path.string(), errno);
    }
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    if (in.bad()) {
        throw FileOpenError(path.string(), errno);
    }
    return lines;
}

std::string UtcTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace zk::cli
