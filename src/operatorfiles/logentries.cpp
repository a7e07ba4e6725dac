#include "logentries.h"

#include <unistd.h>

#include <cerrno>
#include <string>

namespace zk {

namespace {

constexpr std::size_t kReadChunkBytes = 64 * 1024;

using Json = nlohmann::ordered_json;

// One line being gathered across reads.
class LineGatherer {
  public:
    explicit LineGatherer(std::vector<Json>& entries) : entries_(entries) {}

    void Add(std::string_view part) {
        if (overlong_) {
            return;
        }
        if (line_.size() + part.size() > kMaxEntryBytes) {
            overlong_ = true;
            line_ = std::string();  // give the memory back now: the rest may be gigabytes
            return;
        }
        line_.append(part);
    }

    void EndLine() {
        if (overlong_) {
            entries_.emplace_back(Json::value_t::discarded);
        } else if (!line_.empty()) {
            entries_.push_back(ParseLogEntry(line_));
        }
        line_.clear();
        overlong_ = false;
    }

  private:
    std::vector<Json>& entries_;
    std::string line_;
    bool overlong_ = false;
};

}  // namespace

Json ParseLogEntry(std::string_view line) {
    // nlohmann's parser keeps its own stack, but printing or copying the value recurses once a
    // level: a line of a hundred thousand '[' would end the process there.
    bool tooDeep = false;
    const Json::parser_callback_t limitNesting = [&tooDeep](int depth, Json::parse_event_t event,
                                                            Json&) {
        const bool opens =
            event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start;
        if (opens && depth >= kMaxEntryNesting) {
            tooDeep = true;
            return false;
        }
        return true;
    };
    Json entry = Json::parse(line.begin(), line.end(), limitNesting, false);
    if (tooDeep) {
        return Json(Json::value_t::discarded);
    }
    return entry;
}

bool ReadLogEntries(int fd, std::vector<Json>& entries) {
    std::vector<char> buffer(kReadChunkBytes);
    LineGatherer line(entries);
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            break;
        }
        std::string_view rest(buffer.data(), static_cast<std::size_t>(got));
        for (std::size_t end = rest.find('\n'); end != std::string_view::npos;
             end = rest.find('\n')) {
            line.Add(rest.substr(0, end));
            line.EndLine();
            rest.remove_prefix(end + 1);
        }
        line.Add(rest);
    }
    line.EndLine();  // a last line without its line break, if any
    return true;
}

}  // namespace zk
