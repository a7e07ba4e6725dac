// "сформировать" and "выдать" from the window, and the common error box.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <cstring>
#include <stdexcept>

#include "errors.h"
#include "formfixture.h"
#include "labelededit.h"
#include "radiogroup.h"

namespace {

constexpr const char* kLengthMessage = " код должен иметь одну или 4 цифры";
constexpr const char* kSymbolMessage = " символы должны быть:   0,1,2,3,4,5,6,7,8,9,A,B,C,D,*,#";

class ActionsTest : public FormTest {
  protected:
    zk::ui::LabeledEdit* Code(const char* name) const { return Find<zk::ui::LabeledEdit>(name); }
    QString Status() const { return Find<QLabel>("StaticText_Error")->text(); }
};

TEST_F(ActionsTest, GenerateListsTheArrayAndShowsTheOutputButton) {
    Press("Button_FormFile");
    EXPECT_EQ(Status(), " *** нет ошибок ***");
    EXPECT_FALSE(Find("Button_Out")->isHidden());
    const QStringList listing =
        Find<QTextEdit>("Memo_MasIsh")->toPlainText().split(QChar::LineFeed);
    ASSERT_EQ(listing.size(), 64);
    EXPECT_EQ(listing.front(), " 0 7F");
    EXPECT_EQ(listing.back(), "63 00");
    const QStringList fields = Lines(Find<QPlainTextEdit>("Memo1"));
    ASSERT_EQ(fields.size(), 12);
    EXPECT_EQ(fields[6], "64");
    EXPECT_EQ(fields[7], "  0 30  0");
    EXPECT_NE(Find<QPlainTextEdit>("Memo2")->toPlainText(), "Memo1");
}

TEST_F(ActionsTest, OnlyTheFirstRejectedCodeTurnsYellowAndTheOutputButtonAppearsAnyway) {
    Code("LabeledEdit_KodOtkrPols")->setText("72");
    Code("LabeledEdit_KodOtkrAdmin")->setText("8G35");
    Press("Button_FormFile");
    EXPECT_EQ(Status(), kLengthMessage);
    EXPECT_EQ(Code("LabeledEdit_KodOtkrPols")->Colour(), zk::kColourYellow);
    for (const char* other : {"LabeledEdit_KodZakrPols", "LabeledEdit_KodOtkrAdmin",
                              "LabeledEdit_KodZakrAdm", "LabelEdit_KodPolz"}) {
        EXPECT_EQ(Code(other)->Colour(), zk::kColourWhite) << other;
    }
    EXPECT_FALSE(Find("Button_Out")->isHidden());
    EXPECT_EQ(Find<QTextEdit>("Memo_MasIsh")->toPlainText(), "Memo1");
    EXPECT_EQ(Code("LabeledEdit_KodOtkrPols")->text(), "72");  // the edit itself is not changed

    // With the first code put right, the next wrong one is reported and the first is white again.
    Code("LabeledEdit_KodOtkrPols")->setText("7204");
    Press("Button_FormFile");
    EXPECT_EQ(Status(), kSymbolMessage);
    EXPECT_EQ(Code("LabeledEdit_KodOtkrPols")->Colour(), zk::kColourWhite);
    EXPECT_EQ(Code("LabeledEdit_KodOtkrAdmin")->Colour(), zk::kColourYellow);
}

TEST_F(ActionsTest, TheShowingSquelchPageDecidesTheDetectorMode) {
    auto* squelch = Find<QTabWidget>("PageControl_SQL");
    auto* level = Find<zk::ui::RadioGroup>("RadioGroup_SQL_AktUr");
    QTabBar* tabs = squelch->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    ASSERT_EQ(squelch->currentIndex(), 1);
    TypeOver(Spin("SpinEdit_SQL_PorogPerekl"), "7");
    QTest::mouseClick(level->Item(0), Qt::LeftButton);
    Press("Button_FormFile");
    EXPECT_EQ(zk::TransferArray[37], 2);
    EXPECT_EQ(zk::TransferArray[38], 7);

    QTest::mouseClick(level->Item(1), Qt::LeftButton);
    Press("Button_FormFile");
    EXPECT_EQ(zk::TransferArray[37], 1);
    EXPECT_EQ(zk::TransferArray[38], 7);

    // Back on page 0 the radio group is not read, whatever it holds.
    QTest::mouseClick(level->Item(0), Qt::LeftButton);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    Press("Button_FormFile");
    EXPECT_EQ(zk::TransferArray[37], 0);
    EXPECT_EQ(zk::TransferArray[38], 5);
}

class OutputTest : public ActionsTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(folder.path());
        ActionsTest::SetUp();
    }
    void TearDown() override {
        ActionsTest::TearDown();
        QDir::setCurrent(previous);
    }

    // The byte at `index` as the WAV file carries it: each bit is 64 samples after the second of
    // lead-in, and the fifth sample of a bit is the crest of its carrier, positive for a 1.
    static int ByteInWaveFile(const QByteArray& wave, int index) {
        int byte = 0;
        for (int bit = 0; bit < 8; ++bit) {
            const int sample = 16000 + (8 * index + bit) * 64 + 4;
            const qsizetype at = 44 + 2 * sample;
            const auto value = static_cast<qint16>(static_cast<quint8>(wave[at]) |
                                                   (static_cast<quint8>(wave[at + 1]) << 8));
            byte = (byte << 1) | (value > 0 ? 1 : 0);
        }
        return byte;
    }

    QTemporaryDir folder;
    QString previous;
};

TEST_F(OutputTest, OutputSendsAControlChangedSinceTheLastGenerate) {
    Press("Button_FormFile");
    zk::ui::SpinEdit* level = Spin("SpinEdit_UrBip");
    QTest::mouseClick(level, Qt::LeftButton);
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(level, Qt::Key_Up);
    }
    QByteArray playedWave;
    player.onPlay = [&](const zk::Sound& sound) {
        QFile file(QString::fromStdString(sound.fileName));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        playedWave = file.readAll();
        // What is played is exactly what the file holds.
        ASSERT_EQ(sound.samples.size_bytes() + 44, static_cast<std::size_t>(playedWave.size()));
        EXPECT_EQ(std::memcmp(sound.samples.data(), playedWave.constData() + 44,
                              sound.samples.size_bytes()),
                  0);
    };
    Press("Button_Out");

    const QString path = QDir(folder.path()).canonicalPath() + "/_qq.wav";
    ASSERT_EQ(player.played, std::vector<std::string>{path.toStdString()});
    ASSERT_EQ(playedWave.size(), 97580);
    EXPECT_EQ(ByteInWaveFile(playedWave, 36), 7);
    EXPECT_EQ(ByteInWaveFile(playedWave, 0), 0x7F);
    EXPECT_EQ(zk::TransferArray[36], 7);
    EXPECT_TRUE(QFile::exists("9_fmsig.h"));
    EXPECT_EQ(form->Series1()->count(), 48768);
}

TEST_F(OutputTest, OutputGoesOnAfterARejectedCode) {
    Press("Button_FormFile");
    Code("LabelEdit_KodPolz")->setText("69");
    Press("Button_Out");
    EXPECT_EQ(Status(), kLengthMessage);
    EXPECT_EQ(Code("LabelEdit_KodPolz")->Colour(), zk::kColourYellow);
    EXPECT_EQ(player.played.size(), 1u);
}

TEST_F(OutputTest, AFileFaultReachesTheErrorBoxAndTheToolGoesOn) {
    ASSERT_TRUE(QDir(folder.path()).mkdir("_qq.wav"));
    Press("Button_FormFile");
    {
        BoxCatcher catcher;
        Press("Button_Out");
        EXPECT_EQ(catcher.boxes, 1);
        EXPECT_EQ(catcher.title, "ui_tests");
        EXPECT_EQ(catcher.title, QString::fromStdString(zk::ErrorBoxCaption(
                                     QCoreApplication::applicationFilePath().toStdString())));
        const QString path = QDir(folder.path()).canonicalPath() + "/_qq.wav";
        EXPECT_EQ(catcher.text, "Cannot create file \"" + path + "\". Is a directory.");
        EXPECT_EQ(catcher.icon, QMessageBox::Critical);
        EXPECT_EQ(catcher.buttons, 1);
    }
    EXPECT_TRUE(player.played.empty());
    EXPECT_FALSE(QFile::exists("9_fmsig.h"));
    // The generate step before the fault keeps its effect, and the window still works.
    EXPECT_EQ(Status(), " *** нет ошибок ***");
    Code("LabeledEdit_KodOtkrPols")->setText("12");
    Press("Button_FormFile");
    EXPECT_EQ(Status(), kLengthMessage);
}

TEST_F(OutputTest, APlaybackFaultIsShownAsPlainText) {
    player.onPlay = [](const zk::Sound&) {
        throw std::runtime_error("Cannot play file \"<b>_qq.wav</b>\". No such device");
    };
    Press("Button_FormFile");
    BoxCatcher catcher;
    Press("Button_Out");
    EXPECT_EQ(catcher.boxes, 1);
    EXPECT_TRUE(catcher.plainText);
    EXPECT_EQ(catcher.text, "Cannot play file \"<b>_qq.wav</b>\". No such device.");
}

}  // namespace
