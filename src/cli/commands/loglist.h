// The programming log as the operator reads it: one line per entry, in columns that stay aligned
// however many entries and however long the names, saying for each send whether a second
// receiver heard it as sent and which attempt it was.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace zk::cli {

struct ListedEntry {
    int number;  // in the whole log, whatever was picked
    const nlohmann::ordered_json* entry;
};

// "K  TIME  CHECK-WORD  attempt N  CHECK  "NAME"  FOLDER[  fault: TEXT]", the name's column only
// when an entry listed has a name; an entry that could not be read says so after its number.
std::string LogListText(const std::vector<ListedEntry>& listed);

}  // namespace zk::cli
