// The programmer's window: four pages, the array listing on the right, and every control that
// sets a repeater parameter. The window is what generate reads and writes (ControlPanel) and
// what the synthesis plots into (ChartSink); sound goes out through the injected SendRoute (or a
// plain Player). A profile named on the command line or dropped onto the window fills the
// controls.
#pragma once

#include <QList>
#include <QPointF>
#include <QStringList>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "chartsink.h"
#include "controlpanel.h"
#include "panelstate.h"
#include "player.h"
#include "sendroute.h"

class QChart;
class QComboBox;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineSeries;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTextEdit;
class QValueAxis;

namespace zk::ui {
class LabeledEdit;
class RadioGroup;
class SpinEdit;
class StatusLine;
class ZoomChartView;
}  // namespace zk::ui

class TForm1 : public QWidget, public zk::ControlPanel, public zk::ChartSink {
    Q_OBJECT

  public:
    static constexpr int kClientWidth = 1012;
    static constexpr int kClientHeight = 779;
    static constexpr int kLeft = 259;
    static constexpr int kTop = 171;

    // Sends straight through `player`: nothing keyed, nothing logged.
    explicit TForm1(zk::Player& player, QWidget* parent = nullptr);
    // Sends through `route`, which the window does not own.
    explicit TForm1(zk::ui::SendRoute& route, QWidget* parent = nullptr);
    ~TForm1() override;

    // Runs once, after construction and before the window is first shown: loads "help.rtf" from
    // the working directory into the help page (a failure goes to the error box), then looks at
    // the first argument after the program's name; exactly "xq" switches the diagnostic mode on,
    // whether the help loaded or not. `arguments` is the command line as the process received
    // it, program name first, Qt's own options still in it. Then the first argument after the
    // program's name that ends in ".toml" is loaded as a profile (LoadProfile).
    void FormCreate(const QStringList& arguments);

    // Fills the controls from the profile at `path` as if its values had been typed in: every
    // value is checked first, and a profile with a bad one goes to the error box (file, line,
    // reason) and changes nothing. Nothing is generated or sent. The profile's name and keying
    // keys go with the later sends. Returns false when the profile was refused.
    bool LoadProfile(const QString& path);
    bool DiagnosticMode() const { return diagnosticMode_; }

    // Button handlers. Each runs under the common error handler after its button has taken the
    // focus, so every spin edit has been brought into range before the handler reads it.
    void Button_FormFileClick();
    void Button_OutClick();
    // The hidden exit button: ends the process at once with status 0.
    [[noreturn]] void Button2Click();
    // The hidden diagnostic button: lists bytes 0..20 as they stand into Memo1.
    void Button3Click();

    // ControlPanel
    std::string CodeText(zk::CodeField field) override;
    bool IsChecked(zk::CheckField field) override;
    std::int32_t SpinValue(zk::SpinField field) override;
    int SqlPageIndex() override;
    int SqlActiveLevelIndex() override;
    void ShowOutputButton() override;
    void SetStatusText(const std::string& text) override;
    void SetCodeColour(zk::CodeField field, std::uint32_t rgb) override;
    zk::TextLines& Memo1() override;
    zk::TextLines& Memo2() override;
    zk::TextLines& Memo_MasIsh() override;

    // ChartSink: the points are gathered and handed to the series in one piece at the end. The
    // series sits on the chart only while the chart is on screen and shows the whole signal; off
    // it, taking a new batch is a shared copy of the list, and the chart lays the points out once
    // when it is shown. Zoomed in, the chart draws a slice of the series instead.
    void Clear() override;
    void AddPoint(double x, double y) override;
    void EndOfPoints() override;

    QLineSeries* Series1() const { return series1_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The first show puts the window at its first place, moved just enough to fit the screen's
    // free area where it would not.
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    // A profile file dropped onto the window is loaded.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    class MemoLines;

    TForm1(std::unique_ptr<zk::ui::SendRoute> ownRoute, zk::ui::SendRoute* route, QWidget* parent);

    void CreatePages();
    void CreateTitlePage(QWidget* page);
    void FillTitlePageOnce();
    void FillDigitPickerOnce();
    void FillHelpPageOnce();
    void CreateParameterPage(QWidget* page);
    void CreateCodeGroup(QWidget* parent);
    void CreatePeriodGroups(QWidget* parent);
    void CreateActionControls(QWidget* parent);
    void CreateBeeperGroup(QWidget* parent);
    void CreateSquelchGroup(QWidget* parent);
    void CreateFilterGroups(QWidget* parent);
    void CreateDiagnosticGroup(QWidget* parent);
    void CreateHelpPage(QWidget* page);
    void CreateChartPage(QWidget* page);
    void CreateArrayListing();

    zk::ui::SpinEdit* MakeSpin(QWidget* parent, zk::SpinField field, const QRect& geometry,
                               bool bold);
    QCheckBox* MakeCheck(QWidget* parent, zk::CheckField field, const QString& caption,
                         const QRect& geometry);
    void ConnectButton(QPushButton* button, void (TForm1::*handler)());
    void PutSeriesOnChart(bool onChart);
    void PlaceOnScreen();
    void FillFromSettings(zk::PanelState& settings);

    std::unique_ptr<zk::ui::SendRoute> ownRoute_;  // the route made for a plain player
    zk::ui::SendRoute& route_;
    zk::ui::ProfileExtras profile_;  // of the last profile loaded

    QTabWidget* pageControl1_ = nullptr;
    QWidget* titlePage_ = nullptr;      // until the title page is first shown and filled
    QComboBox* digitPicker_ = nullptr;  // until it is first shown and given its digits
    QWidget* helpSheet_ = nullptr;
    std::optional<std::string> pendingHelp_;  // the help read at start, until first shown
    QPushButton* button2_ = nullptr;
    QGroupBox* groupBox11_ = nullptr;
    QGroupBox* groupBox12_ = nullptr;
    QPushButton* buttonFormFile_ = nullptr;
    QPushButton* buttonOut_ = nullptr;
    zk::ui::StatusLine* staticTextError_ = nullptr;
    QTabWidget* pageControlSql_ = nullptr;
    zk::ui::RadioGroup* radioGroupSqlAktUr_ = nullptr;
    QTextEdit* richEdit1_ = nullptr;
    zk::ui::ZoomChartView* chart1_ = nullptr;
    QChart* chart_ = nullptr;
    QLineSeries* series1_ = nullptr;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    QList<QPointF> chartPoints_;
    bool formCreated_ = false;
    bool diagnosticMode_ = false;
    bool placed_ = false;
    bool frameKnown_ = false;

    std::array<zk::ui::LabeledEdit*, zk::kCodeFields.size()> codeEdits_{};
    std::array<QCheckBox*, zk::kCheckFields.size()> checks_{};
    std::array<zk::ui::SpinEdit*, zk::kSpinFields.size()> spins_{};

    std::unique_ptr<MemoLines> memo1_;
    std::unique_ptr<MemoLines> memo2_;
    std::unique_ptr<MemoLines> memoMasIsh_;
};
