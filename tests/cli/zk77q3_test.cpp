// The zk77q3 executable as a whole process, in a fresh folder.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "_2GL.h"
#include "output.h"
#include "panelstate.h"
#include "workfolder.h"

namespace zk {
namespace {

using testing::ReadFile;
using testing::WorkFolder;

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

// Runs zk77q3 with `args` in the current folder; its output goes to a folder of its own.
ToolRun RunTool(const std::string& args, const std::string& environment = "") {
    static const std::filesystem::path logs = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zk77q3-log-XXXXXX").string();
        return std::filesystem::path(::mkdtemp(pattern.data()));
    }();
    const std::string command = environment + " '" + ZK77Q3_PATH + "' " + args + " >'" +
                                (logs / "out").string() + "' 2>'" + (logs / "err").string() + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(logs / "out"), ReadFile(logs / "err")};
}

class NoSound : public Player {
  public:
    void Play(const std::string&) override {}
};

TEST(Zk77q3, GenerateWritesTheSameFilesAsTheOutputActionAndListsTheArray) {
    const std::string options =
        "--user-open 1590 --admin-close D --period 1:60:0 --squelch sql-low --threshold 77 "
        "--beep-level 12 --sleep on";
    std::string wav, table;
    {
        WorkFolder folder;
        const ToolRun run = RunTool("generate " + options);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        wav = ReadFile("_qq.wav");
        table = ReadFile("9_fmsig.h");
        ASSERT_EQ(wav.size(), 97580u);
        ASSERT_EQ(table.size(), 42020u);
        EXPECT_EQ(run.out.substr(0, 6), " 0 7F\n");
        EXPECT_NE(run.out.find("\n 4 81\n 5 85\n 6 89\n 7 80\n"), std::string::npos);
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 64);
    }
    WorkFolder folder;
    ResetGlobalsToStartValues();
    PanelState panel;
    panel.Code(CodeField::KodOtkrPols) = "1590";
    panel.Code(CodeField::KodZakrAdm) = "D";
    panel.Spin(SpinField::PP_Hour) = 1;
    panel.Spin(SpinField::PP_Min) = 60;
    panel.sqlPage = kSqlPageInput;
    panel.sqlLevel = kSqlLevelLow;
    panel.Spin(SpinField::SQL_PorogPerekl) = 77;
    panel.Spin(SpinField::UrBip) = 12;
    panel.Check(CheckField::RegSleep) = true;
    NoChart chart;
    NoSound sound;
    RunOutput(panel, chart, sound);
    EXPECT_EQ(ReadFile("_qq.wav"), wav);
    EXPECT_EQ(ReadFile("9_fmsig.h"), table);
    ResetGlobalsToStartValues();
}

TEST(Zk77q3, BadInputExitsTwoAndWritesNothing) {
    for (const char* args : {"", "generate --beep-level 99", "generate --admin-open 81",
                             "play --user-open abcd", "generate --period 0:0", "frobnicate"}) {
        WorkFolder folder;
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.err.rfind("zk77q3: ", 0), 0u) << run.err;
        EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << args;
    }
}

TEST(Zk77q3, FileFaultExitsOneWithTheMessage) {
    WorkFolder folder;
    std::filesystem::create_directory("9_fmsig.h");
    const ToolRun run = RunTool("generate");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "zk77q3: File access denied.\n");
    EXPECT_EQ(run.out, "");  // the listing follows only a complete pair of files
}

TEST(Zk77q3, PlaySendsTheWaveDataToTheDefaultSoundDevice) {
    WorkFolder folder;
    const std::filesystem::path capture = folder.path() / "captured.raw";
    testing::WriteFile("asound.conf",
                       "pcm.!default { type file slave { pcm { type null } } file \"" +
                           capture.string() + "\" format \"raw\" }\n");
    const std::string config =
        "ALSA_CONFIG_PATH='" + (folder.path() / "asound.conf").string() + "'";
    ToolRun run = RunTool("play --user-open 4321", config);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string wav = ReadFile("_qq.wav");
    ASSERT_EQ(wav.size(), 97580u);
    EXPECT_EQ(ReadFile(capture), wav.substr(44));

    // No device at all: the fault is reported, and the files stay written.
    testing::WriteFile("asound.conf", "");
    std::filesystem::remove("_qq.wav");
    run = RunTool("play", config);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "zk77q3: Cannot play file \"" + (folder.path() / "_qq.wav").string() +
                           "\". No such file or directory.\n");
    EXPECT_EQ(ReadFile("_qq.wav").size(), 97580u);
    EXPECT_EQ(ReadFile("9_fmsig.h").size(), 42020u);
}

TEST(Zk77q3, HelpAndVersionExitZero) {
    WorkFolder folder;
    ToolRun run = RunTool("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("zk77q3 generate"), std::string::npos);
    run = RunTool("--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("zk77q3 ", 0), 0u);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

}  // namespace
}  // namespace zk
