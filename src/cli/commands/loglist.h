// The programming log as the operator reads it: one line per entry, in columns that stay aligned
// however many entries and however long the names, saying for each send whether a second
// receiver heard it as sent and which attempt it was.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace zk::cli {

struct ListedEntry {
    int number;  // in the whole log, whatever was picked
    const nlohmann::ordered_json* entry;
};

// The repeater's name that an entry holds: none for an entry without one (written before names
// existed, or sent unnamed). A name that is not text or not a name (a log edited by hand) is
// refused when the entry is to be sent again, and shown escaped in the list.
std::optional<std::string> EntryName(const nlohmann::ordered_json& entry);

// "K  TIME  CHECK-WORD  attempt N  CHECK  "NAME"  FOLDER[  fault: TEXT]", the name's column only
// when an entry listed has a name; an entry that could not be read says so after its number.
std::string LogListText(const std::vector<ListedEntry>& listed);

}  // namespace zk::cli
