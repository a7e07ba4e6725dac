#include "output.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "_2GL.h"
#include "accesscode.h"
#include "errors.h"
#include "freshglobals.h"
#include "panelstate.h"
#include "recordingchart.h"
#include "workfolder.h"

namespace zk {
namespace {

using testing::ReadFile;
using testing::RecordingChart;
using testing::WorkFolder;
using testing::WriteFile;

class FakePlayer : public Player {
  public:
    void Play(const Sound& sound) override {
        played.push_back(sound.fileName);
        fileAtPlay = ReadFile(sound.fileName);
        samples.assign(sound.samples.begin(), sound.samples.end());
        EXPECT_EQ(sound.channels, 1u);
        EXPECT_EQ(sound.rate, 16000u);
    }
    std::vector<std::string> played;
    std::string fileAtPlay;
    std::vector<std::int16_t> samples;
};

class Output : public testing::FreshGlobals {
  protected:
    WorkFolder folder;
    PanelState panel;
    RecordingChart chart;
    FakePlayer player;
};

TEST_F(Output, GeneratesWritesBothFilesThenPlaysTheWave) {
    panel.Spin(SpinField::UrBip) = 17;  // changed without a separate generate
    RunOutput(panel, chart, player);
    EXPECT_EQ(TransferArray[36], 17);
    EXPECT_EQ(panel.statusText, kStatusNoErrors);
    ASSERT_EQ(player.played, std::vector<std::string>{FullPath("_qq.wav")});
    // The samples played are the very ones the file holds.
    ASSERT_EQ(player.fileAtPlay.size(), 97580u);
    ASSERT_EQ(player.samples.size(), 48768u);
    EXPECT_EQ(std::memcmp(player.samples.data(), player.fileAtPlay.data() + 44, 97536), 0);
    EXPECT_EQ(ReadFile("9_fmsig.h").size(), 42020u);
    EXPECT_EQ(chart.points.size(), 48768u);
}

TEST_F(Output, AnInputErrorIsShownAndTheArrayAsLeftIsStillSent) {
    panel.Code(CodeField::KodOtkrAdmin) = "81";
    panel.Spin(SpinField::UrBip) = 17;
    RunOutput(panel, chart, player);
    EXPECT_EQ(panel.statusText, kCodeLengthMessage);
    EXPECT_EQ(TransferArray[36], 0);  // the run stopped before the beep level
    EXPECT_EQ(player.played.size(), 1u);
    EXPECT_EQ(ReadFile("_qq.wav").size(), 97580u);
}

TEST_F(Output, AFileFaultEndsTheActionBeforePlayback) {
    std::filesystem::create_directory("_qq.wav");
    WriteFile("9_fmsig.h", "old");
    EXPECT_THROW(RunOutput(panel, chart, player), FileCreateError);
    EXPECT_TRUE(player.played.empty());
    EXPECT_EQ(ReadFile("9_fmsig.h"), "old");
    EXPECT_EQ(panel.statusText, kStatusNoErrors);  // generate ran first

    std::filesystem::remove("_qq.wav");
    std::filesystem::remove("9_fmsig.h");
    std::filesystem::create_symlink("/dev/full", "9_fmsig.h");
    EXPECT_THROW(RunOutput(panel, chart, player), InOutError);
    EXPECT_TRUE(player.played.empty());
    EXPECT_FALSE(std::filesystem::exists("_qq.wav"));  // the pair goes in whole or not at all
}

}  // namespace
}  // namespace zk
