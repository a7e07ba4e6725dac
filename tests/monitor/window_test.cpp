// The monitor window on Qt's offscreen platform: a recording opened or dropped shows its packet,
// a second one replaces the first's, "Save recording" writes what was heard, and faults reach
// the error box. The controls are found by their object names.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <random>

#include "../core/workfolder.h"
#include "channel.h"
#include "monitorwindow.h"
#include "samplering.h"
#include "soundfilereader.h"
#include "soundfilewriter.h"

namespace zk::monitor {
namespace {

constexpr int kDecodeLimitMs = 120000;  // against a hang only

// Watches for modal boxes, notes their texts and closes them.
class BoxCatcher {
  public:
    BoxCatcher() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr) {
                texts << box->text();
                box->buttons().first()->click();
            }
        });
        timer_.start(10);
    }
    QStringList texts;

  private:
    QTimer timer_;
};

std::vector<std::int16_t> Signal(std::uint64_t seed, channel::Bytes& sent) {
    std::mt19937_64 random(seed);
    sent = channel::RandomArray(random);
    std::vector<std::int16_t> pcm;
    for (const float s : channel::Pass(channel::Transmit(sent), channel::Channel{}, seed)) {
        pcm.push_back(ToPcm16(s));
    }
    return pcm;
}

struct Window {
    MonitorWindow window;
    QString Text(const char* name) { return window.findChild<QLabel*>(name)->text(); }
    QListWidget* Packets() { return window.findChild<QListWidget*>("packets"); }
    // The status line says so when the recording has been read to its end.
    bool WaitForEnd() {
        return QTest::qWaitFor(
            [this] { return window.statusBar()->currentMessage().contains(" decoded: "); },
            kDecodeLimitMs);
    }
};

TEST(MonitorWindow, OpenedRecordingsShowTheirPackets) {
    testing::WorkFolder folder;
    channel::Bytes sent{};
    WriteWaveRecording("air.wav", Signal(3, sent), 16000);
    WriteWaveRecording("quiet.wav", std::vector<std::int16_t>(16000 * 3, 0), 16000);

    Window w;
    w.window.show();
    w.window.OpenRecording("air.wav");
    ASSERT_TRUE(w.WaitForEnd());
    ASSERT_EQ(w.Packets()->count(), 1);
    // (The channel model's settings bytes are random: the verdict's words are the texts' test.)
    EXPECT_TRUE(w.Text("verdict").startsWith("Verdict: ")) << w.Text("verdict").toStdString();
    EXPECT_NE(w.Text("verdict"), "Verdict: no packet yet");
    EXPECT_TRUE(w.Text("margin").startsWith("Margin: +")) << w.Text("margin").toStdString();
    EXPECT_TRUE(w.Text("check_word").endsWith(": right"));
    const QStringList bytes =
        w.window.findChild<QPlainTextEdit*>("bytes")->toPlainText().split('\n');
    ASSERT_EQ(bytes.size(), 64);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(bytes[i].right(2).toInt(nullptr, 16), sent[static_cast<std::size_t>(i)]) << i;
    }
    auto* settings = w.window.findChild<QTableWidget*>("settings");
    ASSERT_GE(settings->rowCount(), 18);
    EXPECT_EQ(settings->item(0, 0)->text(), "user open code");
    EXPECT_FALSE(w.window.findChild<QLabel*>("diagnosis")->isVisibleTo(&w.window));

    // A second recording replaces what was shown.
    w.window.OpenRecording("quiet.wav");
    ASSERT_TRUE(w.WaitForEnd());
    EXPECT_EQ(w.Packets()->count(), 0);
    EXPECT_EQ(w.Text("verdict"), "Verdict: no packet yet");
}

TEST(MonitorWindow, SaveRecordingWritesWhatWasHeard) {
    testing::WorkFolder folder;
    channel::Bytes sent{};
    const std::vector<std::int16_t> sound = Signal(5, sent);
    WriteWaveRecording("air.wav", sound, 16000);

    BoxCatcher boxes;
    Window w;
    w.window.show();
    w.window.SaveRecording("nothing.wav");  // before anything was heard: said, and no file
    EXPECT_EQ(boxes.texts.size(), 1);
    EXPECT_FALSE(std::filesystem::exists("nothing.wav"));

    w.window.OpenRecording("air.wav");
    ASSERT_TRUE(w.WaitForEnd());
    w.window.SaveRecording("kept.wav");
    SoundFileReader reader("kept.wav");
    EXPECT_EQ(reader.Rate(), 16000);
    std::vector<float> back;
    reader.Read(static_cast<long>(sound.size()) + 10, back);
    std::vector<std::int16_t> pcm;
    for (const float s : back) {
        pcm.push_back(ToPcm16(s));
    }
    EXPECT_EQ(pcm, sound);
    EXPECT_EQ(boxes.texts.size(), 1);
}

TEST(MonitorWindow, FaultsReachTheErrorBox) {
    testing::WorkFolder folder;
    BoxCatcher boxes;
    Window w;
    w.window.show();
    w.window.OpenRecording("missing.wav");
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_TRUE(boxes.texts[0].contains("missing.wav")) << boxes.texts[0].toStdString();

    channel::Bytes sent{};
    WriteWaveRecording("air.wav", Signal(9, sent), 16000);
    w.window.OpenRecording("air.wav");
    ASSERT_TRUE(w.WaitForEnd());
    std::filesystem::create_directory("taken.wav");
    w.window.SaveRecording("taken.wav");
    ASSERT_EQ(boxes.texts.size(), 2);
    EXPECT_TRUE(boxes.texts[1].contains("taken.wav")) << boxes.texts[1].toStdString();
}

}  // namespace
}  // namespace zk::monitor

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
