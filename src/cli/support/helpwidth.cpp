#include "helpwidth.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <vector>

namespace zk::cli {

namespace {

constexpr int kWidestHelpColumns = 10000;

int ColumnsFromEnvironment() {
    const char* text = std::getenv("COLUMNS");
    if (text == nullptr) {
        return 0;
    }
    const std::string_view digits(text);
    int columns = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), columns);
    if (error != std::errc() || end != digits.data() + digits.size() || columns < 1) {
        return 0;
    }
    return std::min(columns, kWidestHelpColumns);
}

int TerminalColumns() {
    winsize size{};
    if (::isatty(STDOUT_FILENO) != 1 || ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0) {
        return 0;
    }
    return size.ws_col;
}

// Where a line's words begin: after an option's name and the blanks that follow it ("  --delay
// S      count down"), else after the line's indentation.
std::size_t TextStart(std::string_view line) {
    const std::size_t lead = line.find_first_not_of(' ');
    if (lead == std::string_view::npos || lead == 0) {
        return lead == std::string_view::npos ? line.size() : 0;
    }
    const std::size_t gap = line.find("  ", lead);
    if (gap != std::string_view::npos) {
        const std::size_t text = line.find_first_not_of(' ', gap);
        if (text != std::string_view::npos) {
            return text;
        }
    }
    return lead;
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while ((pos = text.find_first_not_of(' ', pos)) != std::string_view::npos) {
        const std::size_t end = std::min(text.find(' ', pos), text.size());
        words.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return words;
}

void WrapLine(std::string_view line, std::size_t columns, std::string& out) {
    if (line.size() <= columns) {
        out.append(line);
        out += '\n';
        return;
    }
    const std::size_t start = TextStart(line);
    const std::size_t indent = start <= columns / 2 ? start : columns / 4;
    const std::vector<std::string_view> words = Words(line.substr(start));
    std::string current(line.substr(0, start));
    std::vector<std::string_view> placed;  // on the current line
    const auto emit = [&](std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) {
            current += k == 0 ? "" : " ";
            current.append(placed[k]);
        }
        out += current;
        out += '\n';
        placed.erase(placed.begin(), placed.begin() + static_cast<std::ptrdiff_t>(count));
        current.assign(indent, ' ');
    };
    std::size_t length = current.size();  // of the current line with its placed words
    for (const std::string_view word : words) {
        if (!placed.empty() && length + 1 + word.size() > columns) {
            const bool keepDashOff = word.starts_with('-') && placed.size() >= 2;
            emit(keepDashOff ? placed.size() - 1 : placed.size());
            length = indent + (placed.empty() ? 0 : placed.front().size());
        }
        length += (placed.empty() ? 0 : 1) + word.size();
        placed.push_back(word);
    }
    emit(placed.size());
}

}  // namespace

int HelpColumns() {
    int columns = ColumnsFromEnvironment();
    if (columns == 0) {
        columns = TerminalColumns();
    }
    if (columns == 0) {
        columns = kHelpColumnsOffTerminal;
    }
    return std::max(columns, kNarrowestHelpColumns);
}

std::string WrapHelp(std::string_view help, int columns) {
    std::string out;
    const auto width = static_cast<std::size_t>(std::max(columns, 1));
    std::size_t pos = 0;
    while (pos < help.size()) {
        const std::size_t end = help.find('\n', pos);
        if (end == std::string_view::npos) {
            WrapLine(help.substr(pos), width, out);
            out.pop_back();  // the text had no final line break
            break;
        }
        WrapLine(help.substr(pos, end - pos), width, out);
        pos = end + 1;
    }
    return out;
}

}  // namespace zk::cli
