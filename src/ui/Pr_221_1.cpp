#include "Pr_221_1.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineSeries>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <utility>

#include "_5FormFM.h"
#include "accessiblenames.h"
#include "buttontabs.h"
#include "enterpress.h"
#include "errorbox.h"
#include "generate.h"
#include "imagelists.h"
#include "labelededit.h"
#include "objectname.h"
#include "output.h"
#include "profile.h"
#include "radiogroup.h"
#include "richtextfile.h"
#include "screenfit.h"
#include "spinedit.h"
#include "statusline.h"
#include "titlepage.h"
#include "uifont.h"
#include "wrappedcheckbox.h"
#include "zoomchartview.h"

using zk::ui::kMonoFamily;
using zk::ui::kSansFamily;
using zk::ui::LabeledEdit;
using zk::ui::NameAfter;
using zk::ui::NameAfterLabel;
using zk::ui::Named;
using zk::ui::RadioGroup;
using zk::ui::SpinEdit;
using zk::ui::UiFont;

namespace {

constexpr const char* kCaption = " Программатор  эхо-репитера ZK-77q3";

// Looked for in the working directory, not beside the program.
constexpr const char* kHelpFile = "help.rtf";
// The command-line word that shows the diagnostic views.
constexpr const char* kDiagnosticSwitch = "xq";
// How an argument names a profile to start from.
constexpr const char* kProfileSuffix = ".toml";

// Every batch is the whole signal, so the chart's axes are fixed rather than fitted to the data.
constexpr int kChartFirstX = 0;
constexpr int kChartLastX = zk::kSignalSamples;
constexpr int kChartLowY = -32000;
constexpr int kChartHighY = 32000;
constexpr const char* kChartTitle = "TChart";

// Most of the programmer page is set in 13-pixel type; the window itself in 11.
constexpr int kWindowFontPx = 11;
constexpr int kPageFontPx = 13;
// The array listing's type and line pitch: its 64 lines stand in the 721-pixel view at once. At
// the font's own spacing, 12 to 13 pixels, no more than 55 lines would.
constexpr int kListingFontPx = 11;
constexpr int kListingLinePx = 11;

const QColor kNavy(0x00, 0x00, 0x80);
const QColor kMaroon(0x80, 0x00, 0x00);

QGroupBox* MakeGroup(QWidget* parent, const char* name, const QString& title,
                     const QRect& geometry) {
    auto* group = Named(new QGroupBox(title, parent), name);
    group->setGeometry(geometry);
    return group;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QPoint& at,
                  const QFont& font) {
    auto* label = Named(new QLabel(text, parent), name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->move(at);
    label->adjustSize();
    return label;
}

// Every line of the array listing at the same fixed height.
QTextBlockFormat ListingLineFormat() {
    QTextBlockFormat format;
    format.setLineHeight(kListingLinePx, QTextBlockFormat::FixedHeight);
    return format;
}

// Gives the single line of a cleared listing the fixed height; each line added after it takes the
// height over from the line before. Not a step the operator can undo.
void FormatFirstListingLine(QTextEdit* listing) {
    QTextDocument* text = listing->document();
    const bool undo = text->isUndoRedoEnabled();
    text->setUndoRedoEnabled(false);
    QTextCursor(text).setBlockFormat(ListingLineFormat());
    text->setUndoRedoEnabled(undo);
}

// A threshold field whose label gives only the unit: named after its group's caption and the
// unit ("порог включения, * 0.1% от Umax").
void NameAfterUnit(QWidget* field, const QGroupBox* group, QLabel* unit) {
    unit->setBuddy(field);
    NameAfter(field, zk::ui::SpokenText(group->title()) + ", " + zk::ui::SpokenText(unit->text()));
}

QPlainTextEdit* MakeMemo(QWidget* parent, const char* name, const QRect& geometry) {
    auto* memo = Named(new QPlainTextEdit(parent), name);
    memo->setGeometry(geometry);
    memo->setFont(UiFont(kMonoFamily, 11));
    // Tab moves on to the next control rather than typing into the text.
    memo->setTabChangesFocus(true);
    memo->setPlainText("Memo1");
    return memo;
}

}  // namespace

// A multi-line view as generate sees it.
class TForm1::MemoLines : public zk::TextLines {
  public:
    explicit MemoLines(QPlainTextEdit* memo)
        : clear_([memo] { memo->clear(); }), document_(memo->document()) {}
    // The array listing: cleared, it keeps its fixed line height.
    explicit MemoLines(QTextEdit* listing)
        : clear_([listing] {
              listing->clear();
              FormatFirstListingLine(listing);
          }),
          document_(listing->document()) {}
    void Clear() override { clear_(); }
    // Appends at the end of the text without moving the view, so a long listing keeps showing
    // its first lines. A new line takes the format of the line before it.
    void Add(const std::string& line) override {
        QTextCursor end(document_);
        end.movePosition(QTextCursor::End);
        if (!document_->isEmpty()) {
            end.insertBlock();
        }
        end.insertText(QString::fromStdString(line));
    }

  private:
    std::function<void()> clear_;
    QTextDocument* document_;
};

TForm1::TForm1(zk::Player& player, QWidget* parent)
    : TForm1(std::make_unique<zk::ui::DirectRoute>(player), nullptr, parent) {}

TForm1::TForm1(zk::ui::SendRoute& route, QWidget* parent) : TForm1(nullptr, &route, parent) {}

TForm1::TForm1(std::unique_ptr<zk::ui::SendRoute> ownRoute, zk::ui::SendRoute* route,
               QWidget* parent)
    : QWidget(parent), ownRoute_(std::move(ownRoute)), route_(route ? *route : *ownRoute_) {
    setObjectName("Form1");
    setWindowTitle(kCaption);
    // A fixed dialog frame: close button, no minimise or maximise, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    move(kLeft, kTop);
    setFont(UiFont(kSansFamily, kWindowFontPx));

    // Creation order is the tab order: the pages, the exit button, the array listing.
    CreatePages();

    // Wholly right of the client area, so never seen, yet reachable with the Tab key.
    button2_ = Named(new QPushButton("Button2", this), "Button2");
    button2_->setGeometry(1016, 0, 27, 297);
    ConnectButton(button2_, &TForm1::Button2Click);

    CreateArrayListing();

    for (QPushButton* button : findChildren<QPushButton*>()) {
        zk::ui::PressOnEnter(button);
    }
    setAcceptDrops(true);
}

TForm1::~TForm1() {
    // The children are taken down after this body has run: the chart view's last hiding must
    // not reach a window that is half gone.
    chart1_->removeEventFilter(this);
    for (QWidget* watched : std::initializer_list<QWidget*>{titlePage_, digitPicker_, helpSheet_}) {
        if (watched != nullptr) {
            watched->removeEventFilter(this);
        }
    }
}

void TForm1::CreatePages() {
    pageControl1_ = Named(new QTabWidget(this), "PageControl1");
    pageControl1_->setGeometry(0, 0, 857, 753);
    pageControl1_->setIconSize(QSize(zk::ui::kIconSize, zk::ui::kIconSize));
    const QList<QIcon> squares = zk::ui::ImageList2();

    auto* tabSheet1 = Named(new QWidget, "TabSheet1");
    auto* tabSheet2 = Named(new QWidget, "TabSheet2");
    auto* tabSheet3 = Named(new QWidget, "TabSheet3");
    auto* tabSheet6 = Named(new QWidget, "TabSheet6");
    pageControl1_->addTab(tabSheet1, squares[0], QString());
    pageControl1_->addTab(tabSheet2, squares[1], "Программатор");
    pageControl1_->addTab(tabSheet3, squares[2], "Справка");
    pageControl1_->addTab(tabSheet6, squares[3], QString());
    NameAfter(pageControl1_, "Страницы");
    // The title and chart tabs show only their icons; a screen reader still names them.
    pageControl1_->tabBar()->setAccessibleTabName(0, "Титульная страница");
    pageControl1_->tabBar()->setAccessibleTabName(3, "График сигнала");

    CreateTitlePage(tabSheet1);
    CreateParameterPage(tabSheet2);
    CreateHelpPage(tabSheet3);
    CreateChartPage(tabSheet6);
    pageControl1_->setCurrentWidget(tabSheet2);
}

void TForm1::CreateTitlePage(QWidget* page) {
    // The programmer page is in front at start; the title page's pictures and large type are
    // made when it is first shown, which keeps the photograph's decoding, the diagram's parsing
    // and the narrow face's lookup out of the start.
    titlePage_ = page;
    page->installEventFilter(this);
}

void TForm1::FillTitlePageOnce() {
    if (titlePage_ == nullptr) {
        return;
    }
    QWidget* page = std::exchange(titlePage_, nullptr);
    page->removeEventFilter(this);
    zk::ui::FillTitlePage(page);
    // The page is already showing: what was just put on it is shown with it, laid out before
    // its first paint.
    for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->show();
    }
    page->layout()->activate();
}

void TForm1::CreateParameterPage(QWidget* page) {
    auto* groupBox1 = MakeGroup(page, "GroupBox1", " Параметры ", QRect(4, 2, 841, 713));
    groupBox1->setFont(UiFont(kSansFamily, kPageFontPx));

    CreateCodeGroup(groupBox1);
    CreatePeriodGroups(groupBox1);
    CreateActionControls(groupBox1);
    CreateBeeperGroup(groupBox1);
    CreateSquelchGroup(groupBox1);
    CreateFilterGroups(groupBox1);
    CreateDiagnosticGroup(groupBox1);
}

void TForm1::CreateCodeGroup(QWidget* parent) {
    auto* group =
        MakeGroup(parent, "GroupBox2", "  1  Коды  открытия - закрытия  ", QRect(8, 20, 465, 258));
    group->setFont(UiFont(kSansFamily, kPageFontPx, true));
    // The caption in navy; the group's own controls keep the window's text colour.
    const QColor text = group->palette().color(QPalette::WindowText);
    QPalette navy = group->palette();
    navy.setColor(QPalette::WindowText, kNavy);
    group->setPalette(navy);
    const auto plainColour = [&text](QWidget* widget) {
        QPalette colours = widget->palette();
        colours.setColor(QPalette::WindowText, text);
        widget->setPalette(colours);
    };

    auto* dtmf =
        Named(new zk::ui::WrappedCheckBox("Разрешение на открытие-закрытие при помощи DTMF", group),
              zk::Info(zk::CheckField::Razr_DTMF).controlName);
    dtmf->setGeometry(16, 22, 230, 38);
    dtmf->setFont(UiFont(kSansFamily, kPageFontPx));
    plainColour(dtmf);
    dtmf->setChecked(zk::Info(zk::CheckField::Razr_DTMF).startChecked);
    checks_[static_cast<std::size_t>(zk::CheckField::Razr_DTMF)] = dtmf;

    const std::array<QString, zk::kCodeFields.size()> captions{
        "   пользовательский  Код открытия   ",  "   пользовательский  Код закрытия   ",
        "   Код  открытия  Администратора ",     "   Код  закрытия  Администратора ",
        "   Код  перехода в режим пользователя",
    };
    for (std::size_t i = 0; i < zk::kCodeFields.size(); ++i) {
        const zk::CodeFieldInfo& info = zk::kCodeFields[i];
        auto* edit = Named(new LabeledEdit(captions[i], group), info.controlName);
        edit->setFont(UiFont(kMonoFamily, kPageFontPx));
        edit->EditLabel()->setFont(UiFont(kSansFamily, kPageFontPx));
        plainColour(edit->EditLabel());
        edit->setText(QString::fromUtf8(info.startText));
        edit->setGeometry(16, 70 + 36 * static_cast<int>(i), 73, 24);
        NameAfterLabel(edit, edit->EditLabel());
        codeEdits_[i] = edit;
    }
}

void TForm1::CreatePeriodGroups(QWidget* parent) {
    const QFont plain = UiFont(kSansFamily, kPageFontPx);

    auto* groupBox4 = MakeGroup(parent, "GroupBox4", QString(), QRect(8, 284, 465, 48));
    SpinEdit* longest =
        MakeSpin(groupBox4, zk::SpinField::MaxDlitZapRep, QRect(16, 14, 57, 24), true);
    NameAfterLabel(longest,
                   MakeLabel(groupBox4, "Label6", "Максимальная длительность записи в репитер",
                             QPoint(80, 18), plain));

    auto* groupBox5 =
        MakeGroup(parent, "GroupBox5", " Период повторения позывного  ", QRect(8, 338, 465, 96));
    groupBox5->setFont(UiFont(kSansFamily, 16));
    SpinEdit* hours = MakeSpin(groupBox5, zk::SpinField::PP_Hour, QRect(16, 32, 57, 24), true);
    SpinEdit* minutes = MakeSpin(groupBox5, zk::SpinField::PP_Min, QRect(80, 32, 57, 24), true);
    SpinEdit* seconds = MakeSpin(groupBox5, zk::SpinField::PP_Sek, QRect(144, 32, 57, 24), true);
    seconds->SetTypingEnabled(false);
    seconds->SetSelectOnEntry(false);
    // One label under the three fields, a word under each.
    const QLabel* units =
        MakeLabel(groupBox5, "Label7", "часы      минуты   секунды", QPoint(18, 62), plain);
    const QStringList words = zk::ui::CaptionParts(units->text());
    NameAfter(hours, words.value(0));
    NameAfter(minutes, words.value(1));
    NameAfter(seconds, words.value(2));
}

void TForm1::CreateActionControls(QWidget* parent) {
    buttonFormFile_ = Named(new QPushButton("сформировать", parent), "Button_FormFile");
    buttonFormFile_->setGeometry(16, 450, 97, 33);
    ConnectButton(buttonFormFile_, &TForm1::Button_FormFileClick);

    staticTextError_ = Named(new zk::ui::StatusLine(parent), "StaticText_Error");
    staticTextError_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    staticTextError_->setFont(UiFont(kSansFamily, kPageFontPx));
    staticTextError_->setGeometry(8, 494, 457, 25);
    staticTextError_->setFixedSize(457, 25);

    buttonOut_ = Named(new QPushButton("выдать", parent), "Button_Out");
    buttonOut_->setGeometry(16, 532, 99, 41);
    buttonOut_->setFont(UiFont(kSansFamily, 16, true));
    buttonOut_->hide();
    ConnectButton(buttonOut_, &TForm1::Button_OutClick);

    // A spare number field with its arrows, kept hidden.
    auto* edit1 = Named(new QLineEdit("0", parent), "Edit1");
    edit1->setReadOnly(true);
    edit1->setGeometry(300, 450, 41, 21);
    edit1->hide();
    auto* upDown1 = Named(new QWidget(parent), "UpDown1");
    upDown1->setGeometry(341, 450, 16, 21);
    auto* upDownLayout = new QVBoxLayout(upDown1);
    upDownLayout->setContentsMargins(0, 0, 0, 0);
    upDownLayout->setSpacing(0);
    for (const Qt::ArrowType arrow : {Qt::UpArrow, Qt::DownArrow}) {
        auto* button = new QToolButton(upDown1);
        button->setArrowType(arrow);
        upDownLayout->addWidget(button);
    }
    upDown1->hide();
}

void TForm1::CreateBeeperGroup(QWidget* parent) {
    const QFont plain = UiFont(kSansFamily, kPageFontPx);
    auto* group = MakeGroup(parent, "GroupBox6", "  параметры бипера  ", QRect(484, 20, 349, 56));
    SpinEdit* length = MakeSpin(group, zk::SpinField::DlitBip, QRect(12, 22, 49, 24), false);
    NameAfterLabel(length,
                   MakeLabel(group, "Label1", "длительность (100 мс)", QPoint(66, 26), plain));
    SpinEdit* level = MakeSpin(group, zk::SpinField::UrBip, QRect(210, 22, 49, 24), false);
    NameAfterLabel(level, MakeLabel(group, "Label2", "уровень (dB)", QPoint(264, 26), plain));
}

void TForm1::CreateSquelchGroup(QWidget* parent) {
    const QFont plain = UiFont(kSansFamily, kPageFontPx);
    auto* group =
        MakeGroup(parent, "GroupBox8", "  детектор открытия шумодава ", QRect(484, 82, 349, 166));

    pageControlSql_ = Named(new zk::ui::ButtonTabWidget(group), "PageControl_SQL");
    pageControlSql_->setGeometry(8, 20, 333, 140);
    NameAfter(pageControlSql_, group->title());
    pageControlSql_->setIconSize(QSize(zk::ui::kIconSize, zk::ui::kIconSize));
    QTabBar* buttons = pageControlSql_->tabBar();
    buttons->setFont(UiFont(kSansFamily, kPageFontPx, true));
    QPalette maroon = buttons->palette();
    maroon.setColor(QPalette::ButtonText, kMaroon);
    buttons->setPalette(maroon);

    const QList<QIcon> circles = zk::ui::ImageList1();
    auto* tabSheet4 = Named(new QWidget, "TabSheet4");
    auto* tabSheet5 = Named(new QWidget, "TabSheet5");
    pageControlSql_->addTab(tabSheet4, circles[0], "   по НЧ сигналу   ");
    pageControlSql_->addTab(tabSheet5, circles[1], "   сигнал SQL    ");

    auto* groupBox15 =
        MakeGroup(tabSheet4, "GroupBox15", " порог включения ", QRect(6, 8, 315, 58));
    SpinEdit* audioThreshold =
        MakeSpin(groupBox15, zk::SpinField::SQL0_PorogPerekl, QRect(12, 24, 49, 24), false);
    NameAfterUnit(audioThreshold, groupBox15,
                  MakeLabel(groupBox15, "Label5", "* 0.1%  от  Umax", QPoint(66, 28), plain));

    radioGroupSqlAktUr_ = Named(
        new RadioGroup(" активный уровень ", {"высокий", "низкий"}, zk::kSqlLevelStart, tabSheet5),
        "RadioGroup_SQL_AktUr");
    radioGroupSqlAktUr_->setGeometry(6, 4, 140, 80);

    auto* groupBox10 =
        MakeGroup(tabSheet5, "GroupBox10", " порог переключения  ", QRect(154, 8, 167, 58));
    SpinEdit* sqlThreshold =
        MakeSpin(groupBox10, zk::SpinField::SQL_PorogPerekl, QRect(12, 24, 49, 24), false);
    NameAfterUnit(sqlThreshold, groupBox10,
                  MakeLabel(groupBox10, "Label3", "*100 мв", QPoint(66, 28), plain));

    pageControlSql_->setCurrentIndex(zk::kSqlPageStart);
}

void TForm1::CreateFilterGroups(QWidget* parent) {
    auto* groupBox7 =
        MakeGroup(parent, "GroupBox7", "  корректирующие фильтры   ", QRect(484, 254, 349, 48));
    MakeCheck(groupBox7, zk::CheckField::KF_PRM, "приёма", QRect(16, 20, 120, 20));
    MakeCheck(groupBox7, zk::CheckField::KF_PRD, "передачи", QRect(180, 20, 120, 20));

    auto* groupBox13 = MakeGroup(parent, "GroupBox13", " Усиление АЦП        Ослабление ЦАП  ",
                                 QRect(484, 308, 349, 54));
    SpinEdit* gain = MakeSpin(groupBox13, zk::SpinField::UsilADC, QRect(16, 22, 57, 24), true);
    SpinEdit* attenuation =
        MakeSpin(groupBox13, zk::SpinField::OslDAC, QRect(136, 22, 57, 24), true);
    // The group's caption names both fields, each over its own.
    const QStringList names = zk::ui::CaptionParts(groupBox13->title());
    NameAfter(gain, names.value(0));
    NameAfter(attenuation, names.value(1));

    auto* groupBox14 =
        MakeGroup(parent, "GroupBox14", " замедлитель отпускания  ", QRect(484, 368, 349, 44));
    MakeCheck(groupBox14, zk::CheckField::ZAmOtp, "включить", QRect(16, 18, 120, 20));

    auto* groupBox16 =
        MakeGroup(parent, "GroupBox16", " Экономичный режим ", QRect(484, 416, 349, 44));
    MakeCheck(groupBox16, zk::CheckField::RegSleep, "включить", QRect(16, 18, 120, 20));
}

void TForm1::CreateDiagnosticGroup(QWidget* parent) {
    // Shown only in the diagnostic mode; its foot reaches below the page's frame and is cut off.
    groupBox11_ = MakeGroup(parent, "GroupBox11", "GroupBox11", QRect(484, 464, 353, 273));
    QPlainTextEdit* memo1 = MakeMemo(groupBox11_, "Memo1", QRect(8, 18, 161, 185));
    NameAfter(memo1, "Первые байты массива");
    memo1_ = std::make_unique<MemoLines>(memo1);

    // Below the group's lower edge, so never seen; the Tab key still reaches it.
    auto* button3 = Named(new QPushButton("Button3", groupBox11_), "Button3");
    button3->setGeometry(8, 296, 75, 25);
    ConnectButton(button3, &TForm1::Button3Click);

    QPlainTextEdit* memo2 = MakeMemo(groupBox11_, "Memo2", QRect(176, 18, 169, 185));
    memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    NameAfter(memo2, "Расчёт контрольного слова");
    memo2_ = std::make_unique<MemoLines>(memo2);
    MakeCheck(groupBox11_, zk::CheckField::RasKS, "CheckBox_RasKS", QRect(8, 210, 150, 20));

    // A frequency offset and a digit picker for the technician; nothing that reaches the files
    // or the sound reads either of them.
    auto* offset = Named(new SpinEdit(-100, 100, 0, groupBox11_), "SpinEdit_dF");
    offset->setFont(UiFont(kSansFamily, kPageFontPx, true));
    offset->setGeometry(176, 208, 57, 24);
    NameAfter(offset, "Сдвиг частоты");
    digitPicker_ = Named(new QComboBox(groupBox11_), "ComboBox1");
    digitPicker_->setGeometry(244, 208, 33, 24);
    NameAfter(digitPicker_, "Цифра");
    // Its edit field, list and digits come when it is first shown: in the normal mode it never
    // is, and making them costs the start about a millisecond.
    digitPicker_->installEventFilter(this);

    groupBox11_->hide();
}

void TForm1::FillDigitPickerOnce() {
    QComboBox* digits = std::exchange(digitPicker_, nullptr);
    digits->removeEventFilter(this);
    digits->setEditable(true);
    for (const char* digit :
         {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B", "C", "D", "E", "F"}) {
        digits->addItem(QString::fromLatin1(digit));
    }
    digits->setCurrentIndex(0);
    digits->setEditText("0");
}

void TForm1::FillHelpPageOnce() {
    helpSheet_->removeEventFilter(this);
    const std::string help = *std::exchange(pendingHelp_, std::nullopt);
    zk::LoadRichText(*richEdit1_->document(), help);
    // The page opens at the start of the help, not where loading left the cursor.
    richEdit1_->moveCursor(QTextCursor::Start);
}

void TForm1::CreateHelpPage(QWidget* page) {
    helpSheet_ = page;
    auto* groupBox9 = MakeGroup(page, "GroupBox9", " Справка ", QRect(4, 2, 827, 685));
    richEdit1_ = Named(new QTextEdit(groupBox9), "RichEdit1");
    richEdit1_->setGeometry(8, 18, 809, 657);
    richEdit1_->setTabChangesFocus(true);
    richEdit1_->setPlainText("RichEdit1");
    NameAfter(richEdit1_, groupBox9->title());
}

void TForm1::CreateChartPage(QWidget* page) {
    chart_ = new QChart;
    chart_->legend()->hide();
    axisX_ = new QValueAxis;
    axisX_->setRange(kChartFirstX, kChartLastX);
    axisX_->setLabelFormat("%d");
    axisY_ = new QValueAxis;
    axisY_->setRange(kChartLowY, kChartHighY);
    axisY_->setLabelFormat("%d");
    // The view puts the axes on the chart when it is first shown, and the title comes then too:
    // laying out their labels and the title loads faces and sizes the rest of the window does
    // not use, which is a cost the start need not pay while the chart is hidden.

    series1_ = new QLineSeries;
    series1_->setObjectName("Series1");
    series1_->setPen(QPen(Qt::red, 1));

    chart1_ = Named(new zk::ui::ZoomChartView(chart_, series1_, axisX_, axisY_, kChartFirstX,
                                              kChartLastX, page),
                    "Chart1");
    series1_->setParent(chart1_);
    NameAfter(chart1_, kChartTitle);
    chart1_->setGeometry(8, 104, 809, 250);
    chart1_->hide();
    // The series joins the chart when the chart comes on screen and leaves it when it goes.
    chart1_->installEventFilter(this);
}

void TForm1::CreateArrayListing() {
    groupBox12_ = MakeGroup(this, "GroupBox12", "Массив для передачи", QRect(872, 8, 129, 753));
    // Plain text like the other views, but its lines stand at a fixed pitch, which a plain-text
    // view cannot do.
    auto* listing = Named(new QTextEdit(groupBox12_), "Memo_MasIsh");
    listing->setGeometry(16, 22, 97, 721);
    listing->setFont(UiFont(kMonoFamily, kListingFontPx));
    listing->setAcceptRichText(false);
    listing->setTabChangesFocus(true);
    listing->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    listing->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    listing->setPlainText("Memo1");
    NameAfter(listing, groupBox12_->title());
    FormatFirstListingLine(listing);
    memoMasIsh_ = std::make_unique<MemoLines>(listing);
}

SpinEdit* TForm1::MakeSpin(QWidget* parent, zk::SpinField field, const QRect& geometry, bool bold) {
    const zk::SpinFieldInfo& info = zk::Info(field);
    auto* spin =
        Named(new SpinEdit(info.minimum, info.maximum, info.start, parent), info.controlName);
    spin->setFont(UiFont(kSansFamily, kPageFontPx, bold));
    spin->setGeometry(geometry);
    spins_[static_cast<std::size_t>(field)] = spin;
    return spin;
}

QCheckBox* TForm1::MakeCheck(QWidget* parent, zk::CheckField field, const QString& caption,
                             const QRect& geometry) {
    const zk::CheckFieldInfo& info = zk::Info(field);
    auto* check = Named(new QCheckBox(caption, parent), info.controlName);
    check->setGeometry(geometry);
    check->setChecked(info.startChecked);
    checks_[static_cast<std::size_t>(field)] = check;
    return check;
}

void TForm1::ConnectButton(QPushButton* button, void (TForm1::*handler)()) {
    connect(button, &QPushButton::clicked, this, [this, button, handler] {
        // The press takes the focus first, which brings the field that had it into range. An
        // inactive window gets no focus events, so that field is brought into range directly.
        QWidget* previous = focusWidget();
        button->setFocus(Qt::OtherFocusReason);
        if (auto* spin = qobject_cast<SpinEdit*>(previous)) {
            spin->ApplyRange();
        }
        zk::ui::RunUnderErrorBox(this, [this, handler] { (this->*handler)(); });
    });
}

void TForm1::FormCreate(const QStringList& arguments) {
    if (formCreated_) {
        return;
    }
    formCreated_ = true;

    // A help file that cannot be read is reported now, before the window first shows; the
    // page then keeps its start text. What was read goes onto the page when the page is first
    // shown: building the document costs the start about two milliseconds, for a page that is
    // not in front.
    zk::ui::RunUnderErrorBox(this, [this] {
        std::string help = zk::rtf::ReadStreamFile(kHelpFile);
        zk::CheckRichText(help);
        pendingHelp_ = std::move(help);
        if (helpSheet_->isVisible()) {
            FillHelpPageOnce();
        } else {
            helpSheet_->installEventFilter(this);
        }
    });

    // The switch is looked at whether the help loaded or not: a missing help file is no reason
    // to withhold the diagnostic views. The arguments are those the process received, so a Qt
    // option in front ("-reverse xq") leaves the normal mode.
    diagnosticMode_ = arguments.size() > 1 && arguments.at(1) == QLatin1String(kDiagnosticSwitch);
    if (diagnosticMode_) {
        chart1_->show();
        groupBox12_->show();
        groupBox11_->show();
    }

    // A profile to start from (the desktop's "open with", or typed after the program's name);
    // any other argument is left alone, as before profiles existed.
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i).endsWith(QLatin1String(kProfileSuffix))) {
            LoadProfile(arguments.at(i));
            break;
        }
    }
}

bool TForm1::LoadProfile(const QString& path) {
    return zk::ui::RunUnderErrorBox(this, [this, &path] {
        zk::NamedSettings settings = zk::ReadProfileFileSettings(path.toStdString());
        FillFromSettings(settings.panel);
        profile_.name = std::move(settings.name);
        profile_.keying = std::move(settings.keying);
    });
}

void TForm1::FillFromSettings(zk::PanelState& settings) {
    for (const zk::Setting& setting : zk::kSettings) {
        switch (setting.kind) {
            case zk::SettingKind::Code: {
                const auto field = static_cast<zk::CodeField>(setting.field);
                codeEdits_[static_cast<std::size_t>(field)]->setText(
                    QString::fromStdString(settings.Code(field)));
                break;
            }
            case zk::SettingKind::Switch: {
                const auto field = static_cast<zk::CheckField>(setting.field);
                checks_[static_cast<std::size_t>(field)]->setChecked(settings.Check(field));
                break;
            }
            case zk::SettingKind::Number: {
                const auto field = static_cast<zk::SpinField>(setting.field);
                spins_[static_cast<std::size_t>(field)]->SetValue(settings.Spin(field));
                break;
            }
            case zk::SettingKind::Period:
                for (const zk::SpinField field :
                     {zk::SpinField::PP_Hour, zk::SpinField::PP_Min, zk::SpinField::PP_Sek}) {
                    spins_[static_cast<std::size_t>(field)]->SetValue(settings.Spin(field));
                }
                break;
            case zk::SettingKind::Squelch:
                // The active level belongs to the SQL page; on the audio page it keeps its value,
                // as the other page's controls do.
                pageControlSql_->setCurrentIndex(settings.sqlPage);
                if (settings.sqlPage == zk::kSqlPageInput) {
                    radioGroupSqlAktUr_->SetItemIndex(settings.sqlLevel);
                }
                break;
            case zk::SettingKind::Threshold: {
                const zk::SpinField field =
                    zk::ThresholdField(zk::SquelchModeOf(settings.sqlPage, settings.sqlLevel));
                spins_[static_cast<std::size_t>(field)]->SetValue(settings.Spin(field));
                break;
            }
        }
    }
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void TForm1::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) {
        event->acceptProposedAction();
        LoadProfile(urls.front().toLocalFile());
    }
}

void TForm1::PlaceOnScreen() {
    const QPoint first(kLeft, kTop);
    const QScreen* screen = QGuiApplication::screenAt(first);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QPoint at = zk::ui::FitOnScreen(frameGeometry().size(), screen->availableGeometry(),
                                          first, screen->devicePixelRatio());
    if (at != pos()) {
        move(at);
    }
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!placed_) {
        placed_ = true;
        frameKnown_ = frameGeometry() != geometry();
        PlaceOnScreen();
    }
}

void TForm1::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // A window manager adds its frame after the window first shows: it is fitted again, once,
    // with the frame it got.
    if (placed_ && !frameKnown_ && frameGeometry() != geometry()) {
        frameKnown_ = true;
        PlaceOnScreen();
    }
}

void TForm1::Button_FormFileClick() {
    zk::GenerateTransferArray(*this);
}

void TForm1::Button_OutClick() {
    // The transmitter is reached before anything is generated or written: one that cannot be
    // keyed ends the press with nothing sent. It is released and closed when the press is over.
    const std::unique_ptr<zk::Player> send = route_.Begin(*this, profile_);
    zk::RunOutput(*this, *this, *send);
}

void TForm1::Button2Click() {
    // At once, as a crash would but with status 0: no close event, no destructor, no other
    // handler. Files are opened and closed within one action, so none is left half written;
    // only the standard streams may still hold output.
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}

void TForm1::Button3Click() {
    zk::ListFirstBytes(*memo1_);
}

std::string TForm1::CodeText(zk::CodeField field) {
    return codeEdits_[static_cast<std::size_t>(field)]->text().toStdString();
}

bool TForm1::IsChecked(zk::CheckField field) {
    return checks_[static_cast<std::size_t>(field)]->isChecked();
}

std::int32_t TForm1::SpinValue(zk::SpinField field) {
    // Leaving a field brings it into range, so the clamp only guards the message against a
    // value that reached the field some other way.
    const zk::SpinFieldInfo& info = zk::Info(field);
    return std::clamp(spins_[static_cast<std::size_t>(field)]->Value(), info.minimum, info.maximum);
}

int TForm1::SqlPageIndex() {
    return pageControlSql_->currentIndex();
}

int TForm1::SqlActiveLevelIndex() {
    return radioGroupSqlAktUr_->ItemIndex();
}

void TForm1::ShowOutputButton() {
    buttonOut_->show();
}

void TForm1::SetStatusText(const std::string& text) {
    staticTextError_->SetStatus(QString::fromStdString(text));
}

void TForm1::SetCodeColour(zk::CodeField field, std::uint32_t rgb) {
    codeEdits_[static_cast<std::size_t>(field)]->SetColour(rgb);
}

zk::TextLines& TForm1::Memo1() {
    return *memo1_;
}

zk::TextLines& TForm1::Memo2() {
    return *memo2_;
}

zk::TextLines& TForm1::Memo_MasIsh() {
    return *memoMasIsh_;
}

void TForm1::Clear() {
    chartPoints_.clear();
    chartPoints_.reserve(zk::kSignalSamples);
}

void TForm1::AddPoint(double x, double y) {
    chartPoints_.append(QPointF(x, y));
}

void TForm1::EndOfPoints() {
    // One replace with the whole batch: off the chart a shared copy of the list, on it one
    // layout of all the points. The earlier batch is gone either way.
    series1_->replace(chartPoints_);
    chartPoints_.clear();
}

void TForm1::PutSeriesOnChart(bool onChart) {
    chart1_->PutOnChart(onChart);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == titlePage_ && event->type() == QEvent::Show) {
        FillTitlePageOnce();
    }
    if (watched == digitPicker_ && event->type() == QEvent::Show) {
        FillDigitPickerOnce();
    }
    if (watched == helpSheet_ && pendingHelp_ && event->type() == QEvent::Show) {
        FillHelpPageOnce();
    }
    if (watched == chart1_) {
        if (event->type() == QEvent::Show) {
            if (chart_->title().isEmpty()) {
                chart_->setTitle(kChartTitle);
            }
            PutSeriesOnChart(true);
        } else if (event->type() == QEvent::Hide) {
            PutSeriesOnChart(false);
        }
    }
    return QWidget::eventFilter(watched, event);
}
