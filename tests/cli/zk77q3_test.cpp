// The zk77q3 executable as a whole process, in a fresh folder.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "_2GL.h"
#include "output.h"
#include "panelstate.h"
#include "toolrun.h"
#include "workfolder.h"

namespace zk {
namespace {

using testing::ReadFile;
using testing::WorkFolder;

using testing::CaptureConfig;
using testing::RunTool;
using testing::ToolRun;
using testing::WithoutWarnings;

class NoSound : public Player {
  public:
    void Play(const Sound&) override {}
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
        EXPECT_EQ(WithoutWarnings(run.err), "");
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
    for (const char* args :
         {"", "generate --beep-level 99", "generate --admin-open 81", "play --user-open abce",
          "generate --period 0:0", "frobnicate", "play --device ''"}) {
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
    // The window's short "File access denied" would not say which file: the command line names it.
    EXPECT_EQ(WithoutWarnings(run.err), "zk77q3: Cannot write file \"" +
                                            (folder.path() / "9_fmsig.h").string() +
                                            "\". Is a directory.\n");
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
    EXPECT_EQ(WithoutWarnings(run.err), "zk77q3: sent, check word 1DCC\n");
    const std::string wav = ReadFile("_qq.wav");
    ASSERT_EQ(wav.size(), 97580u);
    EXPECT_EQ(ReadFile(capture), wav.substr(44));

    // No device at all: the fault is reported, and the files stay written.
    testing::WriteFile("asound.conf", "");
    std::filesystem::remove("_qq.wav");
    run = RunTool("play", config);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(WithoutWarnings(run.err),
              "zk77q3: Cannot play file \"" + (folder.path() / "_qq.wav").string() +
                  "\". ALSA device \"default\" cannot be opened: No such file or "
                  "directory; `zk77q3 devices` lists the devices.\n");
    EXPECT_EQ(ReadFile("_qq.wav").size(), 97580u);
    EXPECT_EQ(ReadFile("9_fmsig.h").size(), 42020u);
}

// Another program rewrites "_qq.wav" with a signal of its own, taking the exclusive lock as a
// well-behaved writer does, while `play` runs again and again in the same folder. Every run
// either sends exactly its own signal or fails with exit 1 and a message.
TEST(Zk77q3, PlaySendsItsOwnSignalWhileAnotherProgramRewritesTheFile) {
    WorkFolder folder;
    const std::filesystem::path sound = folder.path() / "sound";
    std::filesystem::create_directories(sound / "other");
    const std::string config = CaptureConfig(folder.path() / "captured.raw");
    std::filesystem::current_path(sound / "other");
    ASSERT_EQ(RunTool("generate --user-open 1111").status, 0);
    std::filesystem::current_path(sound);
    ASSERT_EQ(RunTool("generate --user-open 4321").status, 0);
    const std::string own = ReadFile("_qq.wav").substr(44);

    const std::string rewriter =
        "while :; do flock -x -w 1 _qq.wav cp other/_qq.wav _qq.wav 2>/dev/null; done";
    struct Rewriter {
        pid_t pid;
        ~Rewriter() {  // on every path, or the loop outlives the test
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    } child{::fork()};
    ASSERT_GE(child.pid, 0);
    if (child.pid == 0) {
        ::execl("/bin/sh", "sh", "-c", rewriter.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int sent = 0;
    int replaced = 0;  // rounds after which the file held the other signal: the race is real
    for (int round = 0; round < 400; ++round) {
        const ToolRun run = RunTool("play --user-open 4321", config);
        if (run.status == 0) {
            ++sent;
            ASSERT_EQ(ReadFile(folder.path() / "captured.raw"), own) << "round " << round;
        } else {
            ASSERT_EQ(run.status, 1) << run.err;
            ASSERT_NE(run.err.find("Cannot create file"), std::string::npos) << run.err;
        }
        const std::string now = ReadFile("_qq.wav");
        replaced += now.size() > 44 && now.compare(44, std::string::npos, own) != 0 ? 1 : 0;
    }
    std::printf(
        "%d of 400 runs sent their signal, the rest refused; the file was replaced after "
        "%d runs\n",
        sent, replaced);
    EXPECT_GT(sent, 0);
    EXPECT_GT(replaced, 0);
}

// Nothing is read back by name: a folder whose full path is longer than libsndfile takes plays.
TEST(Zk77q3, PlayWorksInAFolderWithAVeryLongPath) {
    WorkFolder folder;
    const std::string config = CaptureConfig(folder.path() / "captured.raw");
    std::filesystem::path deep = folder.path();
    while (deep.string().size() < 1200) {
        deep /= std::string(100, 'd');
    }
    std::filesystem::create_directories(deep);
    std::filesystem::current_path(deep);
    const ToolRun run = RunTool("play", config);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(folder.path() / "captured.raw"), ReadFile("_qq.wav").substr(44));
    std::filesystem::current_path(folder.path());
}

// A file-size limit makes the write fail, which is reported; the process is not killed and no
// cut-off file is left.
TEST(Zk77q3, AFileSizeLimitIsAReportedFaultNotASignal) {
    WorkFolder folder;
    const ToolRun run = RunTool("generate", "ulimit -f 40;");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(WithoutWarnings(run.err), "zk77q3: Cannot write file \"" +
                                            (folder.path() / "_qq.wav").string() +
                                            "\". File too large.\n");
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

// Started with a standard stream closed, zk77q3 neither waits for ever on something that took
// the stream's number nor loses its output in silence: an input closed reads as empty, an output
// closed is a fault (exit status 1) said on standard error.
TEST(Zk77q3, ClosedStandardStreamsNeverHangNorLoseOutputSilently) {
    WorkFolder folder;
    const struct {
        std::string args;  // with the stream closed in the shell's words
        int status;
        std::string said;
    } cases[] = {
        {"generate --user-open 1590 >&-", 1, "cannot write to standard output"},
        {"generate --config - <&- >/dev/null", 0, ""},
        {"verify - <&- >/dev/null", 2, "recording"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const std::string err = (folder.path() / "err").string();
        const std::string command = "XDG_STATE_HOME='" + testing::StateFolder().string() +
                                    "' timeout 20 '" + ZK77Q3_PATH + "' " + c.args + " 2>'" + err +
                                    "'";
        const int raw = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(raw));
        EXPECT_EQ(WEXITSTATUS(raw), c.status) << "(124: it hung) " << ReadFile(err);
        EXPECT_NE(ReadFile(err).find(c.said), std::string::npos) << ReadFile(err);
    }
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
