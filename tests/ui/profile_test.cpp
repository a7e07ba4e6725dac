// Profiles in the window: named after the program's name, or dropped onto the window, they fill
// the controls as if the values had been typed, and nothing is generated or sent. A profile with
// one bad value changes nothing and says where and why in the error box.
#include <sys/stat.h>

#include <QMimeData>
#include <QTextEdit>
#include <QUrl>
#include <string>

#include "formfixture.h"
#include "generate.h"
#include "labelededit.h"
#include "panelstate.h"
#include "profile.h"
#include "profileshape.h"
#include "sentrecord.h"
#include "settings.h"
#include "workfolder.h"

namespace {

using zk::testing::WriteFile;

class WindowProfileTest : public FormTest {
  protected:
    // What `zk77q3 profile` writes for the window's controls as they stand.
    std::string ControlsAsProfile() const { return zk::ProfileText(zk::CopyPanelValues(*form)); }

    // What `zk77q3 profile --config FILE` writes for the profile's text.
    static std::string AsZk77q3WritesIt(const std::string& text) {
        const zk::ProfileParts parts = zk::SplitProfile(zk::ReadProfile(text, "north.toml"));
        return zk::ProfileText(zk::ResolveSettings(parts.settings));
    }

    // Nothing generated, nothing sent: the listing and the output button as at start.
    void ExpectNothingGenerated() const {
        EXPECT_EQ(Find<QTextEdit>("Memo_MasIsh")->toPlainText(), "Memo1");
        EXPECT_TRUE(Find("Button_Out")->isHidden());
        EXPECT_TRUE(player.played.empty());
    }

    zk::testing::WorkFolder folder_;
};

// One key at a time, each with a value away from its start, so that a key that fills the wrong
// control, or none, shows. The squelch cases also pick the threshold's control.
TEST_F(WindowProfileTest, EveryKeyFillsItsControlAsZk77q3ProfileWritesIt) {
    const std::string cases[] = {
        "user-open = \"1590\"", "user-close = \"A\"",     "admin-open = \"8a2d\"",
        "admin-close = \"*\"",  "user-mode = \" 4711 \"", "dtmf = \"off\"",
        "max-record = 17",      "period = \"2:15:45\"",   "beep-length = 7",
        "beep-level = \"12\"",  "squelch = \"sql-high\"", "squelch = \"sql-low\"\nthreshold = 100",
        "threshold = 77",       "rx-filter = \"off\"",    "tx-filter = \"off\"",
        "adc-gain = 19",        "dac-atten = 3",          "hang = \"on\"",
        "sleep = \"on\"",
    };
    ASSERT_GE(std::size(cases), zk::kSettings.size());
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        StartForm(std::nullopt);
        WriteFile("north.toml", text + "\n");
        ASSERT_TRUE(form->LoadProfile("north.toml"));
        EXPECT_EQ(ControlsAsProfile(), AsZk77q3WritesIt(text));
        EXPECT_NE(ControlsAsProfile(), zk::ProfileText(zk::PanelState()));
        ExpectNothingGenerated();
    }
}

// A profile that `zk77q3 profile` wrote, every key away from its start, read back whole.
TEST_F(WindowProfileTest, AProfileThatZk77q3WroteComesBackWhole) {
    zk::PanelState settings;
    settings.Code(zk::CodeField::KodOtkrPols) = "1590";
    settings.Code(zk::CodeField::KodPolz) = "A#*0";
    settings.Check(zk::CheckField::KF_PRD) = false;
    settings.Check(zk::CheckField::RegSleep) = true;
    settings.Spin(zk::SpinField::PP_Hour) = 64;
    settings.Spin(zk::SpinField::PP_Sek) = 60;
    settings.Spin(zk::SpinField::OslDAC) = 20;
    settings.sqlPage = zk::kSqlPageInput;
    settings.sqlLevel = zk::kSqlLevelHigh;
    settings.Spin(zk::SpinField::SQL_PorogPerekl) = 42;
    const std::string text = zk::ProfileText(settings, "North hill");
    WriteFile("north.toml", text);
    ASSERT_TRUE(form->LoadProfile("north.toml"));
    EXPECT_EQ(zk::ProfileText(zk::CopyPanelValues(*form), "North hill"), text);
    // generate reads the same from the window as from the profile
    Press("Button_FormFile");
    const std::string fromWindow = zk::ArrayHex();
    zk::ResetGlobalsToStartValues();
    zk::GenerateTransferArray(settings);
    EXPECT_EQ(fromWindow, zk::ArrayHex());
}

// Whatever is wrong, and wherever in the file: the box says where and why in the window's
// Russian (toml++'s own words stay as it gives them), and every control keeps what the operator
// had typed.
TEST_F(WindowProfileTest, AProfileWithOneBadValueLeavesEveryControlAsItWas) {
    Find<zk::ui::LabeledEdit>("LabeledEdit_KodOtkrPols")->setText("1111");
    Spin("SpinEdit_DlitBip")->SetValue(3);
    const std::string before = ControlsAsProfile();
    const std::string good = "user-open = \"1590\"\nbeep-length = 9\nsquelch = \"sql-low\"\n";
    const std::string range = " не целое число в пределах ";
    const std::string nameRule = ": допустимо от 1 до 64 символов без управляющих.";
    const struct {
        std::string text;
        std::string boxStart;
        std::string boxEnd;
    } cases[] = {
        {good + "beep-level = 21\n", "north.toml:4: beep-level: \"21\"" + range + "0..20.", ""},
        {"beep-level = 21\n" + good, "north.toml:1: beep-level: \"21\"" + range + "0..20.", ""},
        {good + "threshold = 101\n", "north.toml:4: threshold: \"101\"" + range + "1..100.", ""},
        {good + "period = \"65:0:0\"\n", "north.toml:4: period (часы): \"65\"" + range + "0..64.",
         ""},
        {good + "period = \"1:2\"\n",
         "north.toml:4: period: \"1:2\": нужно Ч:М:С (часы 0..64, минуты 0..60, секунды 0..60)",
         ""},
        {good + "dtmf = \"yes\"\n", "north.toml:4: dtmf: \"yes\": допустимо только on или off.",
         ""},
        {"squelch = \"vox\"\n",
         "north.toml:1: squelch: \"vox\": допустимо только audio, sql-high или sql-low.", ""},
        {good + "user-mode = \"12\"\n",
         "north.toml:4: user-mode: \"12\": код состоит из одного символа или из четырёх; символов "
         "здесь: 2.",
         ""},
        {good + "user-mode = \" \"\n",
         "north.toml:4: user-mode: \" \": код состоит из одного символа или из четырёх, а этот "
         "пуст.",
         ""},
        // the box adds no full stop after "#"
        {good + "user-mode = \"12E4\"\n",
         "north.toml:4: user-mode: \"12E4\": символы кода: 0-9, A-D, * и #", ""},
        {good + "user-close = 0x15\n",
         "north.toml:4: user-close: \"0x15\" читается как число 21; код пишется в кавычках: "
         "user-close = \"0x15\"",
         ""},
        {good + "user-close = 0000\n",
         "north.toml:4: ", "; код пишется в кавычках: user-close = \"0000\""},
        {good + "colour = 1\n", "north.toml:4: неизвестный ключ \"colour\"", ""},
        {good + "adc-gain = [1]\n", "north.toml:4: adc-gain: нужно одно значение.", ""},
        {"a.b.c.d.e.f.g.h.i.j.k.l.m.n.o.p.q = 1\n",
         "north.toml:1: ключи вложены глубже 16 уровней: не принято.", ""},
        {std::string(zk::kMaxProfileBytes + 1, '#'), "Профиль north.toml больше 1 МиБ: не принят.",
         ""},
        {good + "name = \"\"\n", "north.toml:4: name: имя пустое" + nameRule, ""},
        {good + "name = \"a\\tb\"\n",
         "north.toml:4: name: \"a\\x09b\" содержит управляющий символ" + nameRule, ""},
        {good + "name = \"" + std::string(65, 'x') + "\"\n",
         "north.toml:4: name: \"" + std::string(64, 'x') + "…\" длиннее 64 символов.", ""},
        {good + "ptt = \"rts\"\n",
         "north.toml:4: ptt: PTT \"rts\": не указано устройство (rts:УСТРОЙСТВО)", ""},
        {good + "period = \n", "north.toml:4: ", ""},  // toml++'s own words
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 200));
        WriteFile("north.toml", c.text);
        BoxCatcher catcher;
        EXPECT_FALSE(form->LoadProfile("north.toml"));
        const std::string box = catcher.text.toStdString();
        if (c.boxEnd.empty() && !c.boxStart.ends_with(": ")) {
            EXPECT_EQ(box, c.boxStart);
        } else {
            EXPECT_EQ(box.substr(0, c.boxStart.size()), c.boxStart);
            EXPECT_TRUE(box.ends_with(c.boxEnd)) << box;
        }
        EXPECT_EQ(ControlsAsProfile(), before);
    }
    ExpectNothingGenerated();
}

TEST_F(WindowProfileTest, AProfileThatCannotBeReadIsNamedWithItsFullPath) {
    const std::string full = (folder_.path() / "missing.toml").string();
    BoxCatcher catcher;
    EXPECT_FALSE(form->LoadProfile("missing.toml"));
    EXPECT_EQ(catcher.text.toStdString(),
              "Cannot open file \"" + full + "\". No such file or directory.");
    // A named pipe nobody writes to would hold the window: it is refused at once.
    ASSERT_EQ(::mkfifo("pipe.toml", 0600), 0);
    EXPECT_FALSE(form->LoadProfile("pipe.toml"));
    EXPECT_TRUE(catcher.text.endsWith("Not a regular file.")) << catcher.text.toStdString();
}

// The first argument that ends in ".toml" is a profile; "xq" keeps its place in front, and any
// other argument is left alone, without a box.
TEST_F(WindowProfileTest, TheCommandLinesProfileFillsTheControlsBeforeTheWindowShows) {
    WriteFile("help.rtf", "help\n");
    WriteFile("north.toml", "user-open = \"1590\"\n");
    const struct {
        QStringList arguments;
        bool loaded;
        bool diagnostic;
    } cases[] = {
        {{"zk77q3-programmer", "north.toml"}, true, false},
        {{"zk77q3-programmer", "xq", "north.toml"}, true, true},
        {{"zk77q3-programmer", "notes.txt"}, false, false},
        {{"zk77q3-programmer", "north.toml.bak"}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        BoxCatcher catcher;
        StartForm(c.arguments);
        EXPECT_EQ(catcher.boxes, 0) << catcher.text.toStdString();
        EXPECT_EQ(form->CodeText(zk::CodeField::KodOtkrPols), c.loaded ? "1590" : "7204");
        EXPECT_EQ(form->DiagnosticMode(), c.diagnostic);
        ExpectNothingGenerated();
    }
}

TEST_F(WindowProfileTest, AProfileDroppedOntoTheWindowFillsTheControls) {
    WriteFile("north.toml", "adc-gain = 19\n");
    QMimeData data;
    data.setUrls(
        {QUrl::fromLocalFile(QString::fromStdString((folder_.path() / "north.toml").string()))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    EXPECT_EQ(form->SpinValue(zk::SpinField::UsilADC), 19);
    ExpectNothingGenerated();
}

}  // namespace
