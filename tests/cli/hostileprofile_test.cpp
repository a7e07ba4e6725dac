// Profiles made to hurt: nesting that would exhaust the TOML reader's stack, and sizes or
// devices that would fill the memory. Each is refused as bad input before it is parsed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "messages.h"
#include "profile.h"
#include "profileshape.h"
#include "toolrun.h"
#include "workfolder.h"

namespace zk::cli {
namespace {

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

std::string Refusal(const std::string& text, const std::string& fileName = "north.toml") {
    try {
        ReadProfile(text, fileName);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "accepted";
}

std::string TooDeepAt(int line) {
    return "north.toml:" + std::to_string(line) + ": keys nest deeper than 16 levels: refused";
}

TEST(ProfileShape, DeepKeysTablesAndBracketsAreRefusedAtTheirLine) {
    EXPECT_EQ(Refusal("a" + Repeat(".a", 40000) + " = 1\n"),
              "north.toml:1: keys nest deeper than 16 levels: refused");
    const struct {
        std::string text;
        int line;
    } cases[] = {
        {"dtmf = \"on\"\n[" + Repeat("a.", 40000) + "a]\n", 2},
        {"[[" + Repeat("a.", 40000) + "a]]\n", 1},
        {"\n\nx = " + Repeat("[", 40000) + "\n", 3},
        {"x = " + Repeat("{a = ", 40000), 1},
        {"x = [\n" + Repeat("[\n", 40000), 16},  // arrays spanning lines
        // Levels add up along a path: a header, the key below it, the brackets of its value.
        {"[" + Repeat("a.", 7) + "a]\n" + Repeat("b.", 8) + "b = 1\n", 2},
        {Repeat("a.", 8) + "a = " + Repeat("[", 8) + Repeat("]", 8), 1},
        {"x = " + Repeat("[", 16) + Repeat("]", 16), 1},
        // A string closed by a run of quotes hides nothing that follows it on its line.
        {"x = [\"\"\"a\"\"\"\", " + Repeat("[", 40000) + "\n", 1},
        {"x = ['''a''''', " + Repeat("{b = ", 40000) + "\n", 1},
    };
    for (const auto& [text, line] : cases) {
        EXPECT_EQ(Refusal(text), TooDeepAt(line)) << text.substr(0, 40);
    }
}

TEST(ProfileShape, FlatTextAndWhatStringsAndCommentsHoldPassToTheReader) {
    const std::string accepted[] = {
        Repeat("a.", 15) + "a = 1\n",                                    // 16 levels exactly
        "[" + Repeat("a.", 7) + "a]\n" + Repeat("b.", 7) + "b = 1.5\n",  // 8 and 8
        "x = " + Repeat("[", 15) + Repeat("]", 15) + "\n",
        "x = [" + Repeat("[1], ", 1000) + "]\n",  // siblings, not nesting
        Repeat("a.b.c = 1.5\n", 1000),            // each line starts afresh
        Repeat("[a.b.c]\n", 1000),
        "user-open = \"" + Repeat("[a.", 40000) + "\"\n",
        "user-open = \"\\\"" + Repeat("{", 40000) + "\"\n",  // an escaped quote ends nothing
        "user-open = '" + Repeat("[a.", 40000) + "'\n",
        "# " + Repeat("[a.", 40000) + "\n",
        "x = \"\"\"\n" + Repeat("[a.\n", 40000) + "\"\"\"\n",
        "x = '''\n" + Repeat("{a.\n", 40000) + "'''\n",
        std::string(kMaxProfileBytes, '#'),
    };
    for (const std::string& text : accepted) {
        EXPECT_NO_THROW(CheckProfileShape(text, "north.toml")) << text.substr(0, 40);
    }
}

TEST(ProfileShape, SizeLimitIsOneMebibyteAndNamesAreEscaped) {
    EXPECT_EQ(Refusal(std::string(kMaxProfileBytes + 1, '#')),
              "profile north.toml is larger than 1 MiB: refused");
    EXPECT_EQ(Refusal(std::string(2 * kMaxProfileBytes, '\n'), "north\x1b[2J.toml"),
              "profile north\\x1B[2J.toml is larger than 1 MiB: refused");
    EXPECT_EQ(Refusal(Repeat("[", 40), "north\n.toml"),
              "north\\x0A.toml:1: keys nest deeper than 16 levels: refused");
}

// Whatever way the profile comes, the refusal is bad input (exit status 2) before anything is
// written or sent; a missing profile too, and verify and listen say it as the others do.
TEST(ProfileShape, EveryCommandRefusesAHostileOrMissingProfileWithExitTwo) {
    testing::WorkFolder folder;
    testing::WriteFile("deep.toml", "user-open = \"1590\"\n" + Repeat("a.", 40000) + "a = 1\n");
    const std::string deep = "zk77q3: deep.toml:2: keys nest deeper than 16 levels: refused\n";
    const std::string missing = "zk77q3: --config: Cannot open file \"" +
                                (folder.path() / "missing.toml").string() +
                                "\". No such file or directory\n";
    const struct {
        std::string args;
        std::string environment;
        std::string err;
    } cases[] = {
        {"generate --config deep.toml", "", deep},
        {"verify --config deep.toml x.wav", "", deep},
        {"listen --config deep.toml", "", deep},
        {"check --config /dev/zero", "",
         "zk77q3: profile /dev/zero is larger than 1 MiB: refused\n"},
        {"play --config -", "yes |",
         "zk77q3: profile (standard input) is larger than 1 MiB: refused\n"},
        {"check --config missing.toml", "", missing},
        {"verify --config missing.toml x.wav", "", missing},
    };
    for (const auto& [args, environment, err] : cases) {
        const testing::ToolRun run = testing::RunTool(args, environment);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.err, err) << args;
    }
    std::filesystem::remove("deep.toml");
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

}  // namespace
}  // namespace zk::cli
