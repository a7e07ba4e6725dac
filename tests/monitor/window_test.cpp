// The monitor window on Qt's offscreen platform: a recording opened or dropped shows its packet,
// a second one replaces the first's, "Save recording" writes what was heard, and faults reach
// the error box. The controls are found by their object names.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QUrl>
#include <future>
#include <optional>
#include <random>

#include "../core/scopedvariable.h"
#include "../core/workfolder.h"
#include "channel.h"
#include "errors.h"
#include "expectation.h"
#include "monitorwindow.h"
#include "numtext.h"
#include "samplering.h"
#include "settings.h"
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
    QTableWidget* Packets() { return window.findChild<QTableWidget*>("packets"); }
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
    ASSERT_EQ(w.Packets()->rowCount(), 1);
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

    // A second recording replaces what was shown, and says why nothing came of it.
    w.window.OpenRecording("quiet.wav");
    ASSERT_TRUE(w.WaitForEnd());
    EXPECT_EQ(w.Packets()->rowCount(), 0);
    EXPECT_EQ(w.Text("verdict"), "Verdict: no packet yet");
    EXPECT_TRUE(w.window.findChild<QLabel*>("diagnosis")->isVisibleTo(&w.window));
    EXPECT_TRUE(w.Text("diagnosis").startsWith("Nothing valid heard: "))
        << w.Text("diagnosis").toStdString();
}

QStringList DeviceChoice(const MonitorWindow& window) {
    const auto* devices = window.findChild<QComboBox*>("device");
    QStringList names;
    for (int i = 0; i < devices->count(); ++i) {
        names << devices->itemData(i).toString();
    }
    return names;
}

// The capture devices chosen and ordered as `zk77q3 devices` lists them: "default" first, though
// the configuration does not list it, and no converter.
TEST(MonitorWindow, TheDeviceListStartsWithDefaultAndLeavesOutConverters) {
    testing::WorkFolder folder;
    testing::WriteFile(folder.path() / "asound.conf",
                       "pcm.upmix { type null hint.description \"Channel upmix\" }\n"
                       "pcm.speaker { type null hint.description \"Speaker|IOIDOutput\" }\n"
                       "pcm.radio { type null hint.description \"Receiver|IOIDInput\" }\n");
    // No device remembered from an earlier run: the configuration folder is the test's own.
    const testing::ScopedVariable config("XDG_CONFIG_HOME", (folder.path() / "config").string());
    const testing::ScopedVariable alsa("ALSA_CONFIG_PATH",
                                       (folder.path() / "asound.conf").string());
    Window w;
    EXPECT_EQ(DeviceChoice(w.window), QStringList({"default", "radio"}));
}

// The program lists the devices while Qt starts and hands the listing to the window, which
// takes it as its own; a listing that failed leaves "default" and says why.
TEST(MonitorWindow, TakesTheDeviceListingBegunBeforeIt) {
    testing::WorkFolder folder;
    const testing::ScopedVariable config("XDG_CONFIG_HOME", (folder.path() / "config").string());
    std::promise<std::vector<PcmDevice>> listed;
    listed.set_value({{"hw:CARD=Radio,DEV=0", "USB radio interface", false, true},
                      {"speaker", std::nullopt, true, false}});
    const MonitorWindow window(listed.get_future());
    EXPECT_EQ(DeviceChoice(window), QStringList({"default", "hw:CARD=Radio,DEV=0"}));

    std::promise<std::vector<PcmDevice>> failed;
    failed.set_exception(std::make_exception_ptr(Fault("Cannot list the ALSA devices. No way")));
    const MonitorWindow without(failed.get_future());
    EXPECT_EQ(DeviceChoice(without), QStringList({"default"}));
    EXPECT_EQ(without.statusBar()->currentMessage(), "Cannot list the ALSA devices. No way");
}

// The programming log's last entry, a profile, or nothing: each packet is set beside what was
// meant, and choosing again compares the packets already heard again.
TEST(MonitorWindow, ComparesEachPacketWithTheLastSendOrAProfile) {
    testing::WorkFolder folder;
    ::setenv("XDG_STATE_HOME", (folder.path() / "state").c_str(), 1);
    const auto logLine = [](const Array& array) {
        std::string hex;
        for (const std::uint8_t byte : array) {
            hex += ByteToHex(byte);
        }
        return "{\"time\":\"2026-12-07T11:30:00Z\",\"name\":\"North hill\","
               "\"source\":\"window\",\"array\":\"" +
               hex + "\"}\n";
    };
    const auto writeLog = [](const std::string& lines) {
        std::filesystem::create_directories("state/zk77q3");
        testing::WriteFile("state/zk77q3/sent.jsonl", lines);
    };
    const Array sent = ArrayForSettings(ResolveSettings({}));
    GivenSettings otherCode;
    otherCode["user-open"] = {"1590", "test"};
    const Array other = ArrayForSettings(ResolveSettings(otherCode));
    std::vector<std::int16_t> pcm;
    for (const float s : channel::Pass(channel::Transmit(sent), channel::Channel{}, 1)) {
        pcm.push_back(ToPcm16(s));
    }
    WriteWaveRecording("air.wav", pcm, 16000);
    writeLog(logLine(other));

    Window w;
    w.window.show();
    w.window.OpenRecording("air.wav");
    ASSERT_TRUE(w.WaitForEnd());
    ASSERT_EQ(w.Packets()->rowCount(), 1);
    EXPECT_TRUE(w.Text("comparison").startsWith("✘ not as sent: "))
        << w.Text("comparison").toStdString();
    // A send is logged after its sound: its entry, written after its packet was heard, is what
    // that packet is compared with then.
    writeLog(logLine(other) + logLine(sent));
    EXPECT_TRUE(
        QTest::qWaitFor([&w] { return w.Text("comparison") == "✔ as sent"; }, kDecodeLimitMs))
        << w.Text("comparison").toStdString();
    EXPECT_EQ(w.Packets()->item(0, 3)->text(), "✔ as sent");
    // It names the entry it was compared with: the second, not the first it met.
    EXPECT_TRUE(w.Text("compared_with").startsWith("Compared with log entry 2, sent 2026-12-0"))
        << w.Text("compared_with").toStdString();
    EXPECT_TRUE(w.Text("compared_with").endsWith(" to “North hill”"));

    writeLog(logLine(sent) + logLine(other));  // a send since, with another code
    w.window.CompareWith({ExpectationSource::LastSend, {}});
    // The code, and the check word's two bytes that follow from it.
    EXPECT_EQ(w.Text("comparison"), "✘ not as sent: 3 differences");
    EXPECT_EQ(w.Text("compared_with").split('\n').value(1),
              "user open code: expected 1590, decoded 7204");
    EXPECT_TRUE(w.Text("compared_with").contains("byte 61 (check word): expected "));

    testing::WriteFile("north.toml", "beep-level = 5\n");
    w.window.CompareWith({ExpectationSource::Profile, "north.toml"});
    EXPECT_EQ(w.Text("comparison"), "✘ not as sent: 3 differences");
    EXPECT_EQ(w.Text("compared_with").split('\n').mid(0, 2),
              QStringList({"Compared with the profile north.toml",
                           "beep level: expected 5 dB, decoded 0 dB"}));

    w.window.CompareWith({ExpectationSource::Nothing, {}});
    EXPECT_EQ(w.Text("comparison"), "nothing to compare with");
    EXPECT_EQ(w.Packets()->item(0, 3)->text(), "");
    EXPECT_FALSE(w.window.findChild<QLabel*>("compared_with")->isVisibleTo(&w.window));

    std::filesystem::remove("state/zk77q3/sent.jsonl");
    w.window.CompareWith({ExpectationSource::LastSend, {}});
    EXPECT_TRUE(w.Text("comparison").startsWith("⚠ cannot compare: the programming log"))
        << w.Text("comparison").toStdString();
    EXPECT_EQ(w.Text("compared_with"), "Compared with the last send in the programming log");
    EXPECT_EQ(w.Packets()->item(0, 3)->text(), "⚠ cannot compare");
}

// Every entry of the list shows whole at the window's first size and wider, in Russian, whose
// words are the longer: each column holds its longest entry, the list holds its columns, and the
// window need not grow for them.
TEST(MonitorWindow, TheListShowsEveryEntryWhole) {
    testing::WorkFolder folder;
    channel::Bytes sent{};
    WriteWaveRecording("air.wav", Signal(3, sent), 16000);
    testing::WriteFile("north.toml", "beep-level = 5\n");
    QTranslator russian;
    ASSERT_TRUE(russian.load(QStringLiteral(ZK_MONITOR_RU_QM)));
    QCoreApplication::installTranslator(&russian);
    Window w;
    w.window.resize(1000, 760);
    w.window.show();
    w.window.CompareWith({ExpectationSource::Profile, "north.toml"});
    w.window.OpenRecording("air.wav");
    QTableWidget* list = w.Packets();
    ASSERT_TRUE(QTest::qWaitFor([list] { return list->rowCount() == 1; }, kDecodeLimitMs));
    for (const int width : {1000, 1900}) {
        w.window.resize(width, 760);
        QTest::qWait(50);  // laid out again
        EXPECT_EQ(w.window.width(), width);
        for (int column = 0; column < list->columnCount(); ++column) {
            const QString text = list->item(0, column)->text();
            EXPECT_GT(list->columnWidth(column), list->fontMetrics().horizontalAdvance(text))
                << text.toStdString();
        }
        EXPECT_LE(list->horizontalHeader()->length(), list->viewport()->width()) << width;
    }
    QCoreApplication::removeTranslator(&russian);
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

// A capture device that blocks in its opening (ALSA's file plugin on a pipe nobody writes) and
// a recording that is a named pipe hold neither Listen, Stop nor the window's close: the
// device's own thread waits, the window goes on.
TEST(MonitorWindow, ADeviceOrARecordingThatBlocksNeverHoldsTheWindow) {
    testing::WorkFolder folder;
    ASSERT_EQ(::mkfifo("held", 0600), 0);
    ASSERT_EQ(::mkfifo("pipe.wav", 0600), 0);
    testing::WriteFile(folder.path() / "asound.conf",
                       "pcm.null { type null }\n"
                       "pcm.!default { type file slave { pcm \"null\" } file \"/dev/null\" "
                       "infile \"" +
                           (folder.path() / "held").string() + "\" format \"raw\" }\n");
    const testing::ScopedVariable alsa("ALSA_CONFIG_PATH",
                                       (folder.path() / "asound.conf").string());
    const testing::ScopedVariable config("XDG_CONFIG_HOME", (folder.path() / "config").string());
    BoxCatcher boxes;
    {
        Window w;
        w.window.show();
        w.window.StartListening();
        QTest::qWait(300);
        w.window.StopListening();
        w.window.OpenRecording("pipe.wav");
        ASSERT_EQ(boxes.texts.size(), 1);
        EXPECT_TRUE(boxes.texts[0].contains("Not a regular file")) << boxes.texts[0].toStdString();
    }  // closed with the device still held
}

// Each in the window's language: English, and Russian when the translation is in use.
TEST(MonitorWindow, FaultsReachTheErrorBox) {
    testing::WorkFolder folder;
    channel::Bytes sent{};
    WriteWaveRecording("air.wav", Signal(9, sent), 16000);
    std::filesystem::create_symlink("air.wav", "taken.wav");
    QTranslator russian;
    ASSERT_TRUE(russian.load(QStringLiteral(ZK_MONITOR_RU_QM)));
    const struct {
        bool russian;
        const char* cannotOpen;
        const char* cannotWrite;
        const char* linkRefused;
    } languages[] = {
        {false, "Cannot open \"missing.wav\". ", "Cannot write file \"", "It is a symbolic link"},
        {true, "Не удаётся открыть \"missing.wav\". ", "Не удаётся записать файл \"",
         "Это символическая ссылка"},
    };
    for (const auto& language : languages) {
        SCOPED_TRACE(language.cannotOpen);
        if (language.russian) {
            QCoreApplication::installTranslator(&russian);
        }
        BoxCatcher boxes;
        Window w;
        w.window.show();
        w.window.OpenRecording("missing.wav");
        w.window.OpenRecording("air.wav");
        EXPECT_TRUE(QTest::qWaitFor([&w] { return w.Packets()->rowCount() == 1; }, kDecodeLimitMs));
        w.window.SaveRecording("taken.wav");
        QCoreApplication::removeTranslator(&russian);
        ASSERT_EQ(boxes.texts.size(), 2);
        EXPECT_TRUE(boxes.texts[0].startsWith(QString::fromUtf8(language.cannotOpen)))
            << boxes.texts[0].toStdString();
        EXPECT_TRUE(boxes.texts[1].startsWith(QString::fromUtf8(language.cannotWrite)) &&
                    boxes.texts[1].contains("taken.wav") &&
                    boxes.texts[1].contains(QString::fromUtf8(language.linkRefused)))
            << boxes.texts[1].toStdString();
    }
}

}  // namespace
}  // namespace zk::monitor

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
