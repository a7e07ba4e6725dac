#include "lastsent.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "messages.h"
#include "repeatername.h"
#include "sentlog.h"

namespace zk {

namespace {

// A field of the entry when it is there as text; anything else (an older entry, a hand edit) is
// left out rather than shown as something it is not.
std::optional<std::string> TextField(const nlohmann::ordered_json& entry, const char* key) {
    const auto field = entry.find(key);
    if (field == entry.end() || !field->is_string()) {
        return std::nullopt;
    }
    return field->get<std::string>();
}

}  // namespace

LastSend ReadLastSend() {
    const std::vector<nlohmann::ordered_json> entries = ReadSentLog();
    if (entries.empty()) {
        const std::string path = SentLogPath().string();
        throw UsageError("the programming log" +
                         (path.empty() ? std::string() : " " + Quoted(path)) +
                         " holds no entry: nothing has been sent yet");
    }
    const nlohmann::ordered_json& entry = entries.back();
    const std::string subject = "log entry " + std::to_string(entries.size());
    if (!entry.is_object() || !entry.contains("array") || !entry["array"].is_string()) {
        throw UsageError(subject + " holds no array");
    }
    const std::string hex = entry["array"].get<std::string>();
    LastSend last;
    Array& bytes = last.array;
    if (hex.size() != 2 * bytes.size() ||
        hex.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos) {
        throw UsageError(subject + ": its array is not 128 hex digits");
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
    }
    last.entry = entries.size();
    last.time = TextField(entry, "time").value_or(std::string());
    last.name = TextField(entry, kNameKey);
    return last;
}

Array LastSentArray() {
    return ReadLastSend().array;
}

}  // namespace zk
