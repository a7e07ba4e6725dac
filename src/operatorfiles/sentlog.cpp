#include "sentlog.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "errors.h"
#include "logentries.h"
#include "logfiles.h"
#include "xdgfolders.h"

namespace zk {

namespace {

const Wording kAppendFailed{"cannot append to the programming log",
                            "не удаётся дописать запись в журнал выдач"};

// Adds `line` to the locked log as a line of its own. A log cut short (a full disk, a crash)
// does not end with a line break, and an entry written straight after would be glued to the
// broken one and lost with it. A write that fails part-way is cut back to where the log ended,
// so that it leaves no half entry behind either.
Wording AppendLine(FileHandle& log, std::string line, const std::filesystem::path& path) {
    struct stat status {};
    if (::fstat(log.Descriptor(), &status) != 0) {
        const int error = errno;
        return LogFault(kAppendFailed, path, error);
    }
    const off_t length = status.st_size;
    char last = '\n';
    if (length > 0 && ::pread(log.Descriptor(), &last, 1, length - 1) != 1) {
        const int error = errno;
        return LogFault(kAppendFailed, path, error);
    }
    if (last != '\n') {
        line.insert(line.begin(), '\n');
    }
    if (!log.WriteAll(line.data(), line.size())) {
        const int error = errno;
        Wording fault = LogFault(kAppendFailed, path, error);
        if (!log.TrimRegularFile(length)) {
            const int trimError = errno;
            fault += Wording{"; the part written could not be removed: ",
                             "; записанную часть убрать не удалось: "} +
                     Verbatim(SystemErrorText(trimError));
        }
        return fault;
    }
    if (!log.Close()) {
        const int error = errno;
        return LogFault(kAppendFailed, path, error);
    }
    return {};
}

}  // namespace

std::filesystem::path SentLogPath() {
    const std::filesystem::path state = StateFolder();
    return state.empty() ? state : state / "sent.jsonl";
}

Wording AppendToSentLog(const nlohmann::ordered_json& entry) {
    const std::filesystem::path path = SentLogPath();
    if (path.empty()) {
        return {"neither XDG_STATE_HOME nor HOME is set", "не заданы ни XDG_STATE_HOME, ни HOME"};
    }
    OpenedLog log = OpenSentLogFile(path, LogUse::Append);
    if (!log.fault.english.empty()) {
        return log.fault;
    }
    std::string line = entry.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    line += '\n';
    return AppendLine(log.file, std::move(line), path);
}

std::vector<nlohmann::ordered_json> ReadSentLog() {
    const std::filesystem::path path = SentLogPath();
    std::vector<nlohmann::ordered_json> entries;
    if (path.empty()) {
        return entries;
    }
    const OpenedLog log = OpenSentLogFile(path, LogUse::Read);
    if (!log.fault.english.empty()) {
        throw Fault(log.fault);
    }
    if (log.file.IsOpen() && !ReadLogEntries(log.file.Descriptor(), entries)) {
        const int error = errno;
        throw Fault(LogFault(
            {"cannot read the programming log", "не удаётся прочитать журнал выдач"}, path, error));
    }
    return entries;
}

std::string UtcTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace zk
