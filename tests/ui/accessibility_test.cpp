// What a screen reader finds in the window: every parameter control reached with Tab, named
// after the caption or label the operator sees, and the status line as a status that speaks.
#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <map>

#include "formfixture.h"
#include "startvalues.h"

namespace {

// Each parameter control and the words beside it on screen.
const std::map<QString, QString>& VisibleNames() {
    static const std::map<QString, QString> names{
        {"LabeledEdit_KodOtkrPols", "пользовательский Код открытия"},
        {"LabeledEdit_KodZakrPols", "пользовательский Код закрытия"},
        {"LabeledEdit_KodOtkrAdmin", "Код открытия Администратора"},
        {"LabeledEdit_KodZakrAdm", "Код закрытия Администратора"},
        {"LabelEdit_KodPolz", "Код перехода в режим пользователя"},
        {"CheckBox_Razr_DTMF", "Разрешение на открытие-закрытие при помощи DTMF"},
        {"SpinEdit_MaxDlitZapRep", "Максимальная длительность записи в репитер"},
        {"SpinEdit_PP_Hour", "часы"},
        {"SpinEdit_PP_Min", "минуты"},
        {"SpinEdit_PP_Sek", "секунды"},
        {"SpinEdit_DlitBip", "длительность (100 мс)"},
        {"SpinEdit_UrBip", "уровень (dB)"},
        {"SpinEdit_SQL0_PorogPerekl", "порог включения, * 0.1% от Umax"},
        {"SpinEdit_SQL_PorogPerekl", "порог переключения, *100 мв"},
        {"SpinEdit_UsilADC", "Усиление АЦП"},
        {"SpinEdit_OslDAC", "Ослабление ЦАП"},
        {"CheckBox_KF_PRM", "приёма"},
        {"CheckBox_KF_PRD", "передачи"},
        {"CheckBox_ZAmOtp", "включить"},
        {"CheckBox_RegSleep", "включить"},
        {"CheckBox_RasKS", "CheckBox_RasKS"},
        {"Button_FormFile", "сформировать"},
        {"Button_Out", "выдать"},
    };
    return names;
}

QString AccessibleName(QObject* object) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face != nullptr ? face->text(QAccessible::Name) : QString();
}

class AccessibilityTest : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        // The diagnostic group and the output button are on screen, as after a generate in the
        // diagnostic mode.
        Find("GroupBox11")->show();
        Find("Button_Out")->show();
    }

    // Every widget the Tab key reaches, once round the window from the first code field.
    QList<QWidget*> TabRound() const {
        QList<QWidget*> reached;
        QWidget* first = Find("LabeledEdit_KodOtkrPols");
        first->setFocus(Qt::TabFocusReason);
        for (QWidget* at = first; reached.size() < 200;) {
            reached.append(at);
            QTest::keyClick(at, Qt::Key_Tab);
            at = QApplication::focusWidget();
            if (at == nullptr || at == first) {
                break;
            }
        }
        return reached;
    }
};

TEST_F(AccessibilityTest, EveryParameterControlIsReachedWithTabAndNamedAfterItsLabel) {
    auto* squelch = Find<QTabWidget>("PageControl_SQL");
    QSet<QString> reached;
    QStringList unnamed;
    for (const int page : {0, 1}) {
        squelch->setCurrentIndex(page);
        for (QWidget* widget : TabRound()) {
            const QString name = AccessibleName(widget);
            if (name.trimmed().isEmpty()) {
                unnamed.append(widget->objectName() + " (" + widget->metaObject()->className() +
                               ")");
            }
            const auto expected = VisibleNames().find(widget->objectName());
            if (expected != VisibleNames().end()) {
                reached.insert(widget->objectName());
                EXPECT_EQ(name, expected->second) << widget->objectName().toStdString();
            }
            // A label made the control's buddy says the same words as the name.
            for (QLabel* label : widget->parentWidget()->findChildren<QLabel*>()) {
                if (label->buddy() == widget) {
                    EXPECT_TRUE(name.endsWith(label->text().simplified()))
                        << widget->objectName().toStdString();
                }
            }
        }
    }
    EXPECT_TRUE(unnamed.isEmpty()) << "without a name: " << unnamed.join(", ").toStdString();
    for (const auto& [control, name] : VisibleNames()) {
        EXPECT_TRUE(reached.contains(control)) << control.toStdString() << " not reached with Tab";
    }
}

TEST_F(AccessibilityTest, TheRadioItemsAndIconOnlyTabsHaveNames) {
    for (QRadioButton* item : Find("RadioGroup_SQL_AktUr")->findChildren<QRadioButton*>()) {
        EXPECT_EQ(AccessibleName(item), item->text());
    }
    QAccessibleInterface* pages =
        QAccessible::queryAccessibleInterface(Find<QTabWidget>("PageControl1")->tabBar());
    ASSERT_NE(pages, nullptr);
    int tabs = 0;
    for (int i = 0; i < pages->childCount(); ++i) {
        if (pages->child(i)->role() == QAccessible::PageTab) {
            ++tabs;
            EXPECT_FALSE(pages->child(i)->text(QAccessible::Name).isEmpty()) << "page tab " << i;
        }
    }
    EXPECT_EQ(tabs, 4);
}

// Whether a screen reader hears each new text is checked through AT-SPI (tests/a11y): without a
// platform bridge Qt sends no accessibility events.
TEST_F(AccessibilityTest, TheStatusLineIsAStatusNamedByWhatItShows) {
    auto* status = Find<QLabel>("StaticText_Error");
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(status);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::StatusBar);
    EXPECT_FALSE(face->text(QAccessible::Name).isEmpty());
    Find<QLineEdit>("LabeledEdit_KodOtkrPols")->setText("72");
    Press("Button_FormFile");
    EXPECT_EQ(face->text(QAccessible::Name), "код должен иметь одну или 4 цифры");
}

}  // namespace
