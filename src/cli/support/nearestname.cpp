#include "nearestname.h"

#include <algorithm>

namespace zk::cli {

namespace {

constexpr std::size_t kMostEdits = 2;

// "--user-open" and "user-open" alike: the dashes are typed right by everybody.
std::string_view Bare(std::string_view name) {
    return name.substr(std::min(name.find_first_not_of('-'), name.size()));
}

std::size_t AllowedEdits(std::string_view name) {
    return std::clamp<std::size_t>(Bare(name).size() / 4, 1, kMostEdits);
}

}  // namespace

// The optimal string alignment distance, by rows of the classic table.
std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> beforeLast(b.size() + 1);
    std::vector<std::size_t> last(b.size() + 1);
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        last[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                row[j] = std::min(row[j], beforeLast[j - 2] + 1);
            }
        }
        beforeLast.swap(last);
        last.swap(row);
    }
    return last[b.size()];
}

std::vector<std::string> NearestNames(std::string_view typed,
                                      const std::vector<std::string>& known) {
    std::vector<std::string> nearest;
    std::size_t best = kMostEdits + 1;
    for (const std::string& name : known) {
        if (name == typed) {
            continue;  // known, yet refused where it stands (before the command): no slip
        }
        const std::size_t distance = EditDistance(Bare(typed), Bare(name));
        if (distance > AllowedEdits(name) || distance > best) {
            continue;
        }
        if (distance < best) {
            nearest.clear();
            best = distance;
        }
        if (std::find(nearest.begin(), nearest.end(), name) == nearest.end()) {
            nearest.push_back(name);
        }
    }
    return nearest;
}

std::string DidYouMean(const std::vector<std::string>& names) {
    if (names.empty()) {
        return "";
    }
    std::string text = " did you mean ";
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    }
    return text + "?";
}

}  // namespace zk::cli
