// The diagnostic mode: the byte listing of Button3, the chart of the last output, and the bench
// controls that must not reach the files.
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QLineSeries>
#include <QTabWidget>
#include <QTemporaryDir>

#include "_2GL.h"
#include "formfixture.h"

namespace {

constexpr int kSamples = 48768;

// Started with "xq" in a folder of its own that holds a help file; the files of an output land
// there too.
class DiagnosticTest : public FormTest {
  protected:
    void SetUp() override {
        helpFolder.emplace();
        ASSERT_TRUE(helpFolder->Ready());
        FormTest::SetUp();
    }
    std::optional<QStringList> Arguments() const override {
        return QStringList{"zk77q3-programmer", "xq"};
    }
    void TearDown() override {
        FormTest::TearDown();
        helpFolder.reset();
    }

    static QByteArray Contents(const QString& name) {
        QFile file(name);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        return file.readAll();
    }

    void ShowPage(const char* name) const {
        auto* pages = Find<QTabWidget>("PageControl1");
        pages->setCurrentWidget(Find(name));
        QApplication::processEvents();
    }

    QPlainTextEdit* Memo1() const { return Find<QPlainTextEdit>("Memo1"); }

    std::optional<HelpFolder> helpFolder;
};

TEST_F(DiagnosticTest, TheDiagnosticGroupIsShownAtTheFootOfTheRightColumn) {
    auto* group = Find<QGroupBox>("GroupBox11");
    ASSERT_TRUE(group->isVisible());
    EXPECT_EQ(group->title(), "GroupBox11");
    EXPECT_EQ(group->size(), QSize(353, 273));
    // Its foot is cut off by the page's frame by 24 pixels.
    EXPECT_EQ(group->geometry().bottom() - Find("GroupBox1")->height() + 1, 24);
    EXPECT_GT(group->y(), Find("GroupBox16")->geometry().bottom());

    EXPECT_EQ(Memo1()->toPlainText(), "Memo1");
    EXPECT_EQ(Find<QPlainTextEdit>("Memo2")->toPlainText(), "Memo1");

    zk::ui::SpinEdit* offset = Spin("SpinEdit_dF");
    EXPECT_EQ(offset->text(), "0");
    EXPECT_EQ(offset->Minimum(), -100);
    EXPECT_EQ(offset->Maximum(), 100);

    auto* digits = Find<QComboBox>("ComboBox1");
    EXPECT_TRUE(digits->isEditable());
    ASSERT_NE(digits->lineEdit(), nullptr);
    EXPECT_TRUE(digits->lineEdit()->isVisible());
    EXPECT_EQ(digits->width(), 33);
    EXPECT_EQ(digits->currentText(), "0");
    QStringList items;
    for (int i = 0; i < digits->count(); ++i) {
        items << digits->itemText(i);
    }
    EXPECT_EQ(items.join(""), "0123456789ABCDEF");

    // Button3 lies below the group's edge: never on screen, but enabled and shown.
    auto* button3 = Find<QPushButton>("Button3");
    EXPECT_EQ(button3->text(), "Button3");
    EXPECT_EQ(button3->y(), 296);
    EXPECT_TRUE(button3->isVisible());
    EXPECT_TRUE(button3->visibleRegion().isEmpty());
}

TEST_F(DiagnosticTest, Button3ReachedWithTabListsTheFirst21BytesAsTheyStand) {
    // From Memo1 the next control in the tab order is the hidden button; Tab must not be typed.
    Memo1()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(Memo1(), Qt::Key_Tab);
    auto* button3 = Find<QPushButton>("Button3");
    ASSERT_EQ(QApplication::focusWidget(), button3);
    QTest::keyClick(button3, Qt::Key_Space);

    QStringList lines = Lines(Memo1());
    ASSERT_EQ(lines.size(), 21);
    for (int i = 0; i < 21; ++i) {
        EXPECT_EQ(lines[i], QString("%1  00").arg(i, 3)) << i;
    }

    // Generate writes its own listing over it, and Button3 its listing over that.
    Press("Button_FormFile");
    EXPECT_EQ(Lines(Memo1()).size(), 12);
    Press("Button3");
    lines = Lines(Memo1());
    ASSERT_EQ(lines.size(), 21);
    EXPECT_EQ(lines[0], "  0  7F");
    EXPECT_EQ(lines[1], "  1  04");
    EXPECT_EQ(lines[2], "  2  01");
    EXPECT_EQ(lines[3], "  3  01");
    EXPECT_EQ(lines[20],
              QString(" 20  %1").arg(zk::TransferArray[20], 2, 16, QChar('0')).toUpper());
}

TEST_F(DiagnosticTest, TheChartHoldsEveryPointOfTheLatestOutputOnly) {
    auto* chartView = Find<QChartView>("Chart1");
    QLineSeries* series = form->Series1();
    EXPECT_FALSE(chartView->chart()->legend()->isVisible());
    EXPECT_EQ(chartView->geometry(), QRect(8, 104, 809, 250));
    EXPECT_EQ(series->pen().color(), QColor(Qt::red));
    EXPECT_FALSE(series->pointsVisible());
    EXPECT_EQ(series->count(), 0);

    const auto outputWithBeepLevel = [&](int level) {
        Spin("SpinEdit_UrBip")->setText(QString::number(level));
        Press("Button_FormFile");
        Press("Button_Out");
        const QByteArray wave = Contents("_qq.wav");
        EXPECT_EQ(wave.size(), 44 + 2 * kSamples);
        return wave;
    };
    // Every point of the series against the samples of the WAV file just written.
    const auto matchesWave = [&](const QByteArray& wave) {
        const QList<QPointF> points = series->points();
        if (points.size() != kSamples) {
            return false;
        }
        const auto* samples = reinterpret_cast<const qint16*>(wave.constData() + 44);
        for (int i = 0; i < kSamples; ++i) {
            if (points[i].x() != i || points[i].y() != samples[i]) {
                return false;
            }
        }
        return true;
    };

    outputWithBeepLevel(3);
    const QByteArray second = outputWithBeepLevel(17);
    EXPECT_TRUE(matchesWave(second)) << "the series is not the latest output";

    // On screen the chart draws the line in red, under its title.
    ShowPage("TabSheet6");
    ASSERT_TRUE(chartView->isVisible());
    EXPECT_EQ(chartView->chart()->title(), "TChart");
    EXPECT_EQ(series->chart(), chartView->chart());
    EXPECT_EQ(series->pen().color(), QColor(Qt::red));
    const QImage picture = chartView->grab().toImage();
    int red = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            red += pixel.red() > 200 && pixel.green() < 80 && pixel.blue() < 80 ? 1 : 0;
        }
    }
    EXPECT_GT(red, 1000);

    // An output made while the chart is off screen is the one the chart shows when it returns.
    ShowPage("TabSheet2");
    const QByteArray third = outputWithBeepLevel(9);
    EXPECT_TRUE(matchesWave(third));
    ShowPage("TabSheet6");
    EXPECT_EQ(series->chart(), chartView->chart());
    EXPECT_TRUE(matchesWave(third));
}

TEST_F(DiagnosticTest, TheFrequencyOffsetAndTheDigitPickerLeaveBothFilesUnchanged) {
    Press("Button_FormFile");
    Press("Button_Out");
    const QByteArray wave = Contents("_qq.wav");
    const QByteArray table = Contents("9_fmsig.h");
    ASSERT_FALSE(wave.isEmpty());
    ASSERT_FALSE(table.isEmpty());

    const std::vector<std::pair<QString, int>> settings{{"-100", 15}, {"37", 10}, {"100", 9}};
    for (const auto& [offset, item] : settings) {
        TypeOver(Spin("SpinEdit_dF"), offset);
        Find<QComboBox>("ComboBox1")->setCurrentIndex(item);
        ASSERT_TRUE(QFile::remove("_qq.wav"));
        ASSERT_TRUE(QFile::remove("9_fmsig.h"));
        Press("Button_FormFile");
        Press("Button_Out");
        EXPECT_EQ(Spin("SpinEdit_dF")->text(), offset);
        EXPECT_TRUE(Contents("_qq.wav") == wave) << offset.toStdString();
        EXPECT_TRUE(Contents("9_fmsig.h") == table) << offset.toStdString();
    }
}

}  // namespace
