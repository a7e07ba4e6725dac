// The programming log's lines read back as entries: where a line stops being an entry (nesting,
// length) and that lines are put together right across the reader's chunks.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filehandle.h"
#include "logentries.h"
#include "workfolder.h"

namespace zk {
namespace {

using testing::WorkFolder;

// A JSON string that takes `bytes` bytes with its quotes.
std::string StringOfBytes(std::size_t bytes) {
    return "\"" + std::string(bytes - 2, 'x') + "\"";
}

std::string Nested(int levels) {
    return std::string(levels, '[') + std::string(levels, ']');
}

TEST(LogEntries, LinesAreEntriesUpToTheLimitsAndNoFurther) {
    const struct {
        std::string line;
        bool readable;
    } lines[] = {
        {Nested(kMaxEntryNesting), true},
        {"{\"settings\":" + Nested(kMaxEntryNesting) + "}", false},
        {"{\"time\":\"2026-12-07T11:30:00Z\"}", true},
        // Crosses the boundary of the reader's first chunk.
        {StringOfBytes(kMaxEntryBytes), true},
        {StringOfBytes(kMaxEntryBytes + 1), false},
        {"", true},  // an empty line is no entry at all
        {"{\"time\":", false},
        {"{}", true},  // the last line, without its line break
    };
    std::string file;
    std::vector<const std::string*> expected;
    for (const auto& l : lines) {
        file += l.line;
        file += &l == &lines[std::size(lines) - 1] ? "" : "\n";
        if (!l.line.empty()) {
            expected.push_back(l.readable ? &l.line : nullptr);
        }
    }
    WorkFolder folder;
    testing::WriteFile("sent.jsonl", file);
    FileHandle log(::open("sent.jsonl", O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(log.IsOpen());

    std::vector<nlohmann::ordered_json> entries;
    ASSERT_TRUE(ReadLogEntries(log.Descriptor(), entries));
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t k = 0; k < entries.size(); ++k) {
        SCOPED_TRACE(k);
        if (expected[k] == nullptr) {
            EXPECT_TRUE(entries[k].is_discarded());
        } else {
            ASSERT_FALSE(entries[k].is_discarded());
            EXPECT_TRUE(entries[k].dump() == *expected[k]);
        }
    }
}

}  // namespace
}  // namespace zk
