#include "loglist.h"

#include <algorithm>

#include "aircheck.h"
#include "messages.h"
#include "repeatername.h"
#include "utf8.h"

namespace zk::cli {

namespace {

constexpr const char* kGap = "  ";

std::string TextField(const nlohmann::ordered_json& entry, const char* key) {
    if (entry.contains(key) && entry[key].is_string()) {
        return EscapeControls(entry[key].get<std::string>());
    }
    return "?";
}

// What the second receiver made of the send, in the words `play --check-with` uses. A log
// edited by hand may hold a verdict this tool never wrote: it is shown for what it is.
std::string CheckText(const nlohmann::ordered_json& entry) {
    if (!entry.contains("check")) {
        return "not checked";
    }
    const nlohmann::ordered_json& check = entry["check"];
    const std::string verdict =
        check.is_object() && check.contains("verdict") && check["verdict"].is_string()
            ? check["verdict"].get<std::string>()
            : std::string();
    // In the words the log was written with, so that the two cannot drift apart.
    static constexpr struct {
        AirVerdict verdict;
        const char* text;
    } kWords[] = {
        {AirVerdict::AsSent, "heard as sent"},
        {AirVerdict::Different, "heard different"},
        {AirVerdict::Broken, "broken check word"},
        {AirVerdict::NotHeard, "not heard"},
    };
    for (const auto& word : kWords) {
        if (verdict == AirVerdictName(word.verdict)) {
            return word.text;
        }
    }
    return "check " + Quoted(verdict);
}

// A send without a check was never repeated (only a check that failed sends again), so an entry
// that holds no number was the first attempt.
std::string AttemptText(const nlohmann::ordered_json& entry) {
    if (!entry.contains("attempt")) {
        return "attempt 1";
    }
    const nlohmann::ordered_json& attempt = entry["attempt"];
    return "attempt " + (attempt.is_number_integer() ? attempt.dump() : std::string("?"));
}

// Characters, not bytes, so that a Cyrillic name takes the room it shows in.
std::size_t Width(std::string_view text) {
    std::size_t characters = 0;
    for (std::size_t pos = 0; pos < text.size(); ++characters) {
        std::size_t length = 1;
        DecodeUtf8At(text, pos, length);
        pos += length;
    }
    return characters;
}

using Row = std::vector<std::string>;

// Each cell but a row's last padded to its column's widest; the first column (the entry's
// number) to the right, so that 9 and 10 end in the same place.
std::string AlignedRows(const std::vector<Row>& rows) {
    std::vector<std::size_t> widths;
    for (const Row& row : rows) {
        for (std::size_t column = 0; column + 1 < row.size(); ++column) {
            widths.resize(std::max(widths.size(), column + 1));
            widths[column] = std::max(widths[column], Width(row[column]));
        }
    }
    std::string text;
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < row.size(); ++column) {
            const bool last = column + 1 == row.size();
            const std::size_t padding = last ? 0 : widths[column] - Width(row[column]);
            if (column > 0) {
                line += kGap;
            }
            if (column == 0) {
                line += std::string(padding, ' ') + row[column];
            } else {
                line += row[column] + std::string(padding, ' ');
            }
        }
        text += line + "\n";
    }
    return text;
}

}  // namespace

std::optional<std::string> EntryName(const nlohmann::ordered_json& entry) {
    if (!entry.is_object() || !entry.contains(kNameKey)) {
        return std::nullopt;
    }
    const nlohmann::ordered_json& name = entry[kNameKey];
    return name.is_string() ? name.get<std::string>() : name.dump();
}

std::string LogListText(const std::vector<ListedEntry>& listed) {
    const bool anyName = std::any_of(listed.begin(), listed.end(), [](const ListedEntry& e) {
        return e.entry->is_object() && e.entry->contains(kNameKey);
    });
    std::vector<Row> rows;
    for (const ListedEntry& listedEntry : listed) {
        const nlohmann::ordered_json& entry = *listedEntry.entry;
        Row row{std::to_string(listedEntry.number)};
        if (!entry.is_object()) {
            row.emplace_back("(not a readable entry)");
            rows.push_back(std::move(row));
            continue;
        }
        row.insert(row.end(), {TextField(entry, "time"), TextField(entry, "check_word"),
                               AttemptText(entry), CheckText(entry)});
        if (anyName) {
            const std::optional<std::string> name = EntryName(entry);
            row.push_back(name ? Quoted(*name) : "");
        }
        row.push_back(TextField(entry, "folder"));
        if (entry.contains("fault")) {
            row.back() += std::string(kGap) + "fault: " + TextField(entry, "fault");
        }
        rows.push_back(std::move(row));
    }
    return AlignedRows(rows);
}

}  // namespace zk::cli
