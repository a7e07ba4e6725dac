// The window as it opens: frame, pages, every parameter control with its start value and range.
#include <QCheckBox>
#include <QLabel>
#include <QLineSeries>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextEdit>

#include "formfixture.h"
#include "labelededit.h"
#include "radiogroup.h"
#include "startvalues.h"

namespace {

using WindowTest = FormTest;

TEST_F(WindowTest, OpensAsAFixedDialogAtItsPlace) {
    EXPECT_EQ(form->objectName(), "Form1");
    EXPECT_STREQ(form->metaObject()->className(), "TForm1");
    EXPECT_EQ(form->windowTitle(), " Программатор  эхо-репитера ZK-77q3");
    EXPECT_EQ(form->size(), QSize(1012, 779));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->pos(), QPoint(259, 171));
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

TEST_F(WindowTest, StartsOnTheProgrammerPageWithNothingGeneratedYet) {
    auto* pages = Find<QTabWidget>("PageControl1");
    ASSERT_EQ(pages->count(), 4);
    EXPECT_EQ(pages->currentWidget(), Find("TabSheet2"));
    EXPECT_EQ(pages->tabText(1), "Программатор");
    EXPECT_EQ(pages->tabText(2), "Справка");
    EXPECT_TRUE(pages->tabText(0).isEmpty());
    EXPECT_TRUE(pages->tabText(3).isEmpty());
    for (int i = 0; i < pages->count(); ++i) {
        EXPECT_FALSE(pages->tabIcon(i).isNull()) << "tab " << i;
    }
    EXPECT_EQ(pages->indexOf(Find("TabSheet1")), 0);
    EXPECT_EQ(pages->indexOf(Find("TabSheet3")), 2);
    EXPECT_EQ(pages->indexOf(Find("TabSheet6")), 3);

    EXPECT_TRUE(Find("Button_Out")->isHidden());
    EXPECT_EQ(Find<QPushButton>("Button_Out")->text(), "выдать");
    EXPECT_EQ(Find<QPushButton>("Button_FormFile")->text(), "сформировать");
    EXPECT_TRUE(Find<QLabel>("StaticText_Error")->text().isEmpty());
    EXPECT_TRUE(Find("StaticText_Error")->isVisible());
    EXPECT_EQ(Find<QTextEdit>("Memo_MasIsh")->toPlainText(), "Memo1");
    EXPECT_TRUE(Find("GroupBox12")->isVisible());
    EXPECT_EQ(Find<QPlainTextEdit>("Memo1")->toPlainText(), "Memo1");
    EXPECT_EQ(Find<QPlainTextEdit>("Memo2")->toPlainText(), "Memo1");
    EXPECT_EQ(Find<QTextEdit>("RichEdit1")->toPlainText(), "RichEdit1");
    for (const char* hidden : {"GroupBox11", "Edit1", "UpDown1", "Chart1"}) {
        EXPECT_TRUE(Find(hidden)->isHidden()) << hidden;
    }
    EXPECT_EQ(Find<QLineEdit>("Edit1")->text(), "0");
    EXPECT_EQ(form->Series1()->count(), 0);

    auto* squelch = Find<QTabWidget>("PageControl_SQL");
    EXPECT_EQ(squelch->currentIndex(), 0);
    EXPECT_EQ(squelch->tabText(0), "   по НЧ сигналу   ");
    EXPECT_EQ(squelch->tabText(1), "   сигнал SQL    ");
    EXPECT_EQ(squelch->widget(0), Find("TabSheet4"));
    EXPECT_EQ(squelch->widget(1), Find("TabSheet5"));
}

TEST_F(WindowTest, EveryParameterControlHoldsItsStartValue) {
    EXPECT_EQ(Find<QLineEdit>("LabeledEdit_KodOtkrPols")->text(), "7204");
    EXPECT_EQ(Find<QLineEdit>("LabeledEdit_KodZakrPols")->text(), "*");
    EXPECT_EQ(Find<QLineEdit>("LabeledEdit_KodOtkrAdmin")->text(), "8135");
    EXPECT_EQ(Find<QLineEdit>("LabeledEdit_KodZakrAdm")->text(), "#");
    EXPECT_EQ(Find<QLineEdit>("LabelEdit_KodPolz")->text(), "6914");
    for (const auto& info : zk::kCodeFields) {
        EXPECT_EQ(Find<zk::ui::LabeledEdit>(info.controlName)->Colour(), zk::kColourWhite);
    }
    EXPECT_EQ(Find<zk::ui::LabeledEdit>("LabeledEdit_KodOtkrPols")->EditLabel()->text(),
              "   пользовательский  Код открытия   ");

    const std::vector<std::pair<const char*, bool>> checks{
        {"CheckBox_Razr_DTMF", true}, {"CheckBox_KF_PRM", true},    {"CheckBox_KF_PRD", true},
        {"CheckBox_ZAmOtp", false},   {"CheckBox_RegSleep", false}, {"CheckBox_RasKS", true},
    };
    for (const auto& [name, checked] : checks) {
        EXPECT_EQ(Find<QCheckBox>(name)->isChecked(), checked) << name;
    }
    EXPECT_EQ(Find<QCheckBox>("CheckBox_Razr_DTMF")->text(),
              "Разрешение на открытие-закрытие при помощи DTMF");

    const std::vector<std::pair<const char*, const char*>> spins{
        {"SpinEdit_MaxDlitZapRep", "64"},   {"SpinEdit_PP_Hour", "0"},
        {"SpinEdit_PP_Min", "30"},          {"SpinEdit_PP_Sek", "0"},
        {"SpinEdit_DlitBip", "0"},          {"SpinEdit_UrBip", "0"},
        {"SpinEdit_SQL0_PorogPerekl", "5"}, {"SpinEdit_SQL_PorogPerekl", "5"},
        {"SpinEdit_UsilADC", "0"},          {"SpinEdit_OslDAC", "0"},
    };
    for (const auto& [name, text] : spins) {
        EXPECT_EQ(Spin(name)->text(), text) << name;
    }

    auto* level = Find<zk::ui::RadioGroup>("RadioGroup_SQL_AktUr");
    EXPECT_EQ(level->title(), " активный уровень ");
    EXPECT_EQ(level->Item(0)->text(), "высокий");
    EXPECT_EQ(level->Item(1)->text(), "низкий");
    EXPECT_EQ(level->ItemIndex(), 1);
}

// Each field, left holding a number far outside its range, shows the bound it passed.
TEST_F(WindowTest, EverySpinEditKeepsItsOwnRange) {
    const std::vector<std::tuple<const char*, int, int>> ranges{
        {"SpinEdit_MaxDlitZapRep", 1, 64},    {"SpinEdit_PP_Hour", 0, 64},
        {"SpinEdit_PP_Min", 0, 60},           {"SpinEdit_PP_Sek", 0, 60},
        {"SpinEdit_DlitBip", 0, 9},           {"SpinEdit_UrBip", 0, 20},
        {"SpinEdit_SQL0_PorogPerekl", 1, 99}, {"SpinEdit_SQL_PorogPerekl", 1, 100},
        {"SpinEdit_UsilADC", 0, 20},          {"SpinEdit_OslDAC", 0, 20},
    };
    for (const auto& [name, minimum, maximum] : ranges) {
        zk::ui::SpinEdit* spin = Spin(name);
        spin->setText("100000");
        spin->ApplyRange();
        EXPECT_EQ(spin->text(), QString::number(maximum)) << name;
        spin->setText("-100000");
        spin->ApplyRange();
        EXPECT_EQ(spin->text(), QString::number(minimum)) << name;
    }
}

TEST_F(WindowTest, TheHiddenExitButtonIsReachedWithTheTabKey) {
    auto* exitButton = Find<QPushButton>("Button2");
    EXPECT_TRUE(exitButton->isVisible());
    EXPECT_TRUE(exitButton->isEnabled());
    EXPECT_FALSE(form->rect().intersects(exitButton->geometry()));

    Find("LabeledEdit_KodOtkrPols")->setFocus(Qt::TabFocusReason);
    for (int presses = 0; presses < 100 && QApplication::focusWidget() != exitButton; ++presses) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(QApplication::focusWidget(), exitButton);
}

// The title page is made when first shown; shown, it holds the whole page at once.
TEST_F(WindowTest, TheTitlePageComesUpWholeWhenFirstShown) {
    auto* pages = Find<QTabWidget>("PageControl1");
    QWidget* title = Find("TabSheet1");
    pages->setCurrentWidget(title);
    QApplication::processEvents();
    for (const char* name :
         {"GroupBox3", "Label3D1", "Panel1", "Image1", "Panel2", "Image2", "Label3D2"}) {
        auto* part = title->findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(part, nullptr) << name;
        EXPECT_TRUE(part->isVisible()) << name;
    }
    EXPECT_EQ(title->findChild<QWidget*>("GroupBox3")->geometry(), title->rect());
    const auto* photo = title->findChild<QLabel*>("Image1");
    EXPECT_FALSE(photo->pixmap().isNull());
    // The centred column is laid out before the first paint: the photograph's panel is centred.
    const QWidget* panel = title->findChild<QWidget*>("Panel1");
    EXPECT_NEAR(panel->geometry().center().x(), title->width() / 2, 1);

    // Shown again, nothing is made twice.
    pages->setCurrentIndex(1);
    pages->setCurrentWidget(title);
    EXPECT_EQ(title->findChildren<QWidget*>("Label3D1").size(), 1);
}

}  // namespace
