// A multi-line text view as the logic sees it: clear it, append one line.
#pragma once

#include <string>
#include <vector>

namespace zk {

class TextLines {
  public:
    virtual ~TextLines() = default;
    virtual void Clear() = 0;
    virtual void Add(const std::string& line) = 0;
};

// Lines kept in memory, for tests and the command line.
class TextLinesInMemory : public TextLines {
  public:
    explicit TextLinesInMemory(std::vector<std::string> start = {}) : lines(std::move(start)) {}
    void Clear() override { lines.clear(); }
    void Add(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

}  // namespace zk
