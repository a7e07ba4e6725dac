// zk77q3 as a field tool, as whole processes: profiles, the working folder, refusals, standard
// output faults, JSON and the programming log.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "toolrun.h"
#include "workfolder.h"

namespace zk {
namespace {

using testing::CaptureConfig;
using testing::kQuietCodes;
using testing::ReadFile;
using testing::RunTool;
using testing::ToolRun;
using testing::WithoutWarnings;
using testing::WorkFolder;
using testing::WriteFile;

std::string Sha256Of(const std::filesystem::path& file) {
    const std::filesystem::path sums = file.parent_path() / "sha.txt";
    const std::string command = "sha256sum '" + file.string() + "' > '" + sums.string() + "'";
    if (std::system(command.c_str()) != 0) {
        return "sha256sum failed";
    }
    return ReadFile(sums).substr(0, 64);
}

// Two runs' files, to compare byte for byte.
struct Files {
    std::string wav;
    std::string table;
    bool operator==(const Files&) const = default;
};

Files FilesIn(const std::filesystem::path& folder) {
    return {ReadFile(folder / "_qq.wav"), ReadFile(folder / "9_fmsig.h")};
}

TEST(FieldTool, AProfileSendsExactlyWhatItsOptionsSend) {
    WorkFolder folder;
    const std::string capture = CaptureConfig(folder.path() / "sent.raw");
    const std::string options =
        "--user-open 1590 --admin-close D --period 1:60:0 --squelch sql-high --threshold 100 "
        "--beep-level 12 --sleep on --dtmf off";
    std::filesystem::create_directories("direct");
    std::filesystem::create_directories("profiled");
    ASSERT_EQ(RunTool("play -C direct " + options, capture).status, 0);
    const std::string sentDirect = ReadFile("sent.raw");

    ToolRun run = RunTool("profile " + options);
    ASSERT_EQ(run.status, 0) << run.err;
    WriteFile("north.toml", run.out);
    run = RunTool("play -C profiled --config ../north.toml", capture);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(ReadFile("sent.raw") == sentDirect);
    EXPECT_TRUE(FilesIn("profiled") == FilesIn("direct"));

    // From standard input, and with an option that overrides the file.
    run = RunTool("generate -C profiled --config - --beep-level 3 < north.toml");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(RunTool("generate -C direct " + options + " --beep-level 3").status, 0);
    EXPECT_TRUE(FilesIn("profiled") == FilesIn("direct"));
}

// A profile holds the access codes: --output makes it owner-only whatever the umask, keeps the
// mode of a file it replaces, and never writes through a link.
TEST(FieldTool, ProfileOutputIsOwnerOnlyAndNeverFollowsALink) {
    WorkFolder folder;
    const std::string printed = RunTool("profile --user-open 1590").out;
    ToolRun run = RunTool("profile --user-open 1590 --output north.toml", "umask 000;");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFile("north.toml"), printed);
    const auto mode = [](const char* name) {
        struct stat status {};
        ::lstat(name, &status);
        return status.st_mode & 07777;
    };
    EXPECT_EQ(mode("north.toml"), 0600u);

    WriteFile("south.toml", "old");
    ::chmod("south.toml", 0640);
    ASSERT_EQ(RunTool("profile --user-open 1590 -o south.toml").status, 0);
    EXPECT_EQ(ReadFile("south.toml"), printed);
    EXPECT_EQ(mode("south.toml"), 0640u);

    std::filesystem::create_symlink("south.toml", "east.toml");
    run = RunTool("profile --user-open 2468 -o east.toml");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(WithoutWarnings(run.err),
              "zk77q3: Cannot write file \"" + (folder.path() / "east.toml").string() +
                  "\". It is a symbolic link: the programmer writes only a regular file of that "
                  "name, never the file a link points to.\n");
    EXPECT_EQ(ReadFile("south.toml"), printed);
}

TEST(FieldTool, BadProfileOrStrictRefusalWritesNothing) {
    WorkFolder folder;
    WriteFile("north.toml", "user-open = \"1590\"\nbeep-level = 21\n");
    ToolRun run = RunTool("play --config north.toml", "ALSA_CONFIG_PATH=/nonexistent");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "zk77q3: north.toml:2: beep-level: \"21\" is not a whole number in 0..20\n");

    run = RunTool("generate --strict --user-open 1590");  // the other codes are start values
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("zk77q3: warning: admin-open is still the tool's start value"),
              std::string::npos);
    EXPECT_NE(run.err.find("refused by --strict"), std::string::npos);
    EXPECT_EQ(run.out, "");
    run = RunTool("generate --config missing.toml");
    EXPECT_EQ(run.status, 2);  // the operator's input, as a bad value in it is
    EXPECT_EQ(run.err, "zk77q3: --config: Cannot open file \"" +
                           (folder.path() / "missing.toml").string() +
                           "\". No such file or directory\n");
    std::filesystem::remove("north.toml");
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));

    // Warnings never change a byte, and --strict with nothing to say writes as usual.
    ASSERT_EQ(RunTool(std::string("generate --strict ") + kQuietCodes).status, 0);
    const Files quiet = FilesIn(".");
    ASSERT_EQ(RunTool("generate --user-open 1590 --user-close 2604 --admin-open 9137 "
                      "--admin-close 4821 --user-mode 3375 --admin-open 1590")
                  .status,
              0);
    ASSERT_EQ(RunTool(std::string("generate ") + kQuietCodes).status, 0);
    EXPECT_TRUE(FilesIn(".") == quiet);
}

TEST(FieldTool, DirectoryOptionWritesThereAndNamesTheFullPathInFaults) {
    WorkFolder folder;
    std::filesystem::create_directories("site/north");
    ToolRun run = RunTool("generate -C site/north --user-open 1590");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile("site/north/_qq.wav").size(), 97580u);
    EXPECT_FALSE(std::filesystem::exists("_qq.wav"));

    std::filesystem::create_directories("site/south/9_fmsig.h");  // a folder in the file's place
    run = RunTool("generate --directory=site/south");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(WithoutWarnings(run.err), "zk77q3: Cannot write file \"" +
                                            (folder.path() / "site/south/9_fmsig.h").string() +
                                            "\". Is a directory.\n");
    run = RunTool("generate -C site/east");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "zk77q3: Cannot enter folder \"" + (folder.path() / "site/east").string() +
                           "\". No such file or directory.\n");
}

TEST(FieldTool, AFailedStandardOutputIsAFault) {
    WorkFolder folder;
    for (const char* args : {"generate", "profile", "check --json", "--help"}) {
        const ToolRun run = RunTool(args, "", "/dev/full");
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_NE(run.err.find("zk77q3: cannot write to standard output: No space left on device"),
                  std::string::npos)
            << args;
    }
}

TEST(FieldTool, JsonIsOneObjectWithTheFilesDigests) {
    WorkFolder folder;
    const ToolRun run = RunTool("generate --json --user-open 1590 --period 1:0:0");
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json report = nlohmann::json::parse(run.out);  // throws on anything else
    EXPECT_EQ(report["settings"]["user-open"], "1590");
    EXPECT_EQ(report["settings"]["period"], "1:0:0");
    EXPECT_EQ(report["settings"]["threshold"], 5);
    const std::string array = report["array"];
    ASSERT_EQ(array.size(), 128u);
    EXPECT_EQ(array.substr(0, 8), "7F040101");
    EXPECT_EQ(report["check_word"], array.substr(122, 4));
    EXPECT_EQ(report["files"]["wav"]["path"], (folder.path() / "_qq.wav").string());
    EXPECT_EQ(report["files"]["wav"]["sha256"], Sha256Of(folder.path() / "_qq.wav"));
    EXPECT_EQ(report["files"]["table"]["sha256"], Sha256Of(folder.path() / "9_fmsig.h"));
    EXPECT_EQ(report["warnings"].size(), 6u);

    // check: the same array and warnings, no files; a warning is exit status 1.
    const ToolRun check = RunTool("check --json --user-open 1590 --period 1:0:0");
    EXPECT_EQ(check.status, 1);
    const nlohmann::json checked = nlohmann::json::parse(check.out);
    EXPECT_EQ(checked["array"], report["array"]);
    EXPECT_EQ(checked["warnings"], report["warnings"]);
    EXPECT_TRUE(checked["files"].is_null());
    EXPECT_EQ(RunTool(std::string("check ") + kQuietCodes).status, 0);
}

TEST(FieldTool, EverySendIsLoggedForItsOwnerAndCanBeSentAgain) {
    WorkFolder folder;
    const std::filesystem::path state = folder.path() / "state";
    const std::string environment =
        CaptureConfig(folder.path() / "sent.raw") + " XDG_STATE_HOME='" + state.string() + "'";
    ASSERT_EQ(RunTool("play --user-open 1590 --squelch sql-low --threshold 7", environment).status,
              0);
    const std::string firstSent = ReadFile("sent.raw");
    const std::string firstSha = Sha256Of(folder.path() / "_qq.wav");
    ASSERT_EQ(RunTool("play --user-open 4321 --device default", environment).status, 0);
    ASSERT_EQ(RunTool("generate --user-open 9999", environment).status, 0);  // not sent: no entry

    const std::filesystem::path log = state / "zk77q3" / "sent.jsonl";
    struct stat info {};
    ASSERT_EQ(::stat(log.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(log.parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    ToolRun run = RunTool("log --json", environment);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::size_t newline = run.out.find('\n');
    const nlohmann::json first = nlohmann::json::parse(run.out.substr(0, newline));
    EXPECT_EQ(first["folder"], folder.path().string());
    EXPECT_EQ(first["device"], "default");
    EXPECT_EQ(first["settings"]["squelch"], "sql-low");
    EXPECT_EQ(first["settings"]["threshold"], 7);
    EXPECT_EQ(first["wav_sha256"], firstSha);
    const std::string time = first["time"];
    EXPECT_EQ(time.size(), 20u);
    EXPECT_EQ(time.back(), 'Z');
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 2);

    run = RunTool("log --last 1", environment);
    EXPECT_EQ(run.out.rfind("2  ", 0), 0u) << run.out;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1);

    // Entry 1 as a profile sends the very same signal again.
    run = RunTool("log --profile 1", environment);
    ASSERT_EQ(run.status, 0) << run.err;
    WriteFile("again.toml", run.out);
    ASSERT_EQ(RunTool("play --config again.toml", environment).status, 0);
    EXPECT_TRUE(ReadFile("sent.raw") == firstSent);
    EXPECT_EQ(RunTool("log --profile 9", environment).status, 2);

    // A log that cannot be written is a warning; the send itself succeeded.
    const std::string blocked = CaptureConfig(folder.path() / "sent.raw") + " XDG_STATE_HOME='" +
                                (folder.path() / "_qq.wav").string() + "'";
    run = RunTool("play --user-open 1590", blocked);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("zk77q3: warning: the programming log was not written: "),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("zk77q3: sent, check word "), std::string::npos);
}

TEST(FieldTool, DelayCountsDownBeforeSending) {
    WorkFolder folder;
    const ToolRun run = RunTool(std::string("play --delay 2 ") + kQuietCodes,
                                CaptureConfig(folder.path() / "s.raw"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err,
              "zk77q3: key the transmitter: sending in 2 s\n"
              "zk77q3: key the transmitter: sending in 1 s\n"
              "zk77q3: sent, check word " +
                  run.out.substr(run.out.find("\n61 ") + 4, 2) +
                  run.out.substr(run.out.find("\n62 ") + 4, 2) + "\n");
    EXPECT_EQ(RunTool("play --delay 601").status, 2);
}

}  // namespace
}  // namespace zk
