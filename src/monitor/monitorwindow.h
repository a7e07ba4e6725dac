// The monitor window: what went over the air, for the operator. A capture device or a recording
// feeds a ReceiveSession on its own thread; a timer takes what it heard and shows it: the level,
// the waterfall, the receiver's state, and every packet with its verdict, margin, bytes, check
// word and settings, and how it compares with what was sent.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "alsadevices.h"
#include "comparison.h"
#include "leveltext.h"
#include "receivesession.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSplitter;
class QTableWidget;

namespace zk::monitor {

class LevelMeter;
class MarginGauge;
class Waterfall;

// The packets kept in the list; older ones give way, so that days of listening stay small.
inline constexpr int kPacketsKept = 500;
// How often the window looks at the receiver: often enough for a meter and a waterfall that
// move smoothly to the eye, seldom enough that drawing them stays a small share of a core.
inline constexpr int kRefreshMilliseconds = 50;
// How often the level is written out in figures: a number that changes faster cannot be read,
// and each new text lays the window out again.
inline constexpr int kLevelTextMilliseconds = 250;
// How often the window looks whether the programming log has a new entry.
inline constexpr int kLogWatchMilliseconds = 500;
// A send is logged once its sound has drained, so its packet is heard before its entry is
// written: packets heard this long before a new entry are compared again with it.
inline constexpr int kSendLoggedWithinSeconds = 60;

class MonitorWindow : public QMainWindow {
    Q_OBJECT

  public:
    // `devices`: the listing of the sound devices, when it was begun before the window (the
    // program begins it beside Qt's own start); without one, the window lists them itself.
    explicit MonitorWindow(std::future<std::vector<PcmDevice>> devices = {},
                           QWidget* parent = nullptr);
    ~MonitorWindow() override;

    // Decodes a recording; a file that cannot be read reaches the error box.
    void OpenRecording(const QString& path);
    // Listens to the device chosen in the list; a device that cannot be opened reaches the error
    // box.
    void StartListening();
    void StopListening();
    // Writes the last minute of input to `path` as WAV.
    void SaveRecording(const QString& path);
    // What every packet is compared with from now on; the packets already heard are compared
    // again. A profile dropped onto the window is chosen the same way.
    void CompareWith(const ExpectationChoice& choice);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    struct ShownPacket {
        HeardPacket heard;
        bool live = false;  // heard live: its time is the clock's, not a place in a recording
        Comparison comparison;
    };

    void BuildControls();
    void FillDevices(std::future<std::vector<PcmDevice>> listing);
    void Start(std::unique_ptr<InputSource> input, const QString& source);
    void Refresh();
    void AddPacket(const HeardPacket& heard);
    void ShowPacket(int row);
    void ShowComparison(const Comparison& comparison);
    // Writes a packet's columns into the list's row.
    void FillRow(int row, const ShownPacket& shown);
    // Widens the list to its columns, so that no entry is cut.
    void FitListToEntries();
    void ShowEnded(const SessionUpdate& update);
    void UpdateButtons();
    void ChooseExpectation(int index);
    void ShowExpectationChoice();
    void CompareAgainIfLogged();
    // Compares the packets heard since then with the chosen expectation, read now.
    void CompareAgain(std::chrono::system_clock::time_point heardSince);

    std::unique_ptr<ReceiveSession> session_;
    bool live_ = false;
    QString source_;
    std::vector<ShownPacket> packets_;
    ExpectationChoice choice_;
    // The last minute of a session that has ended, for "Save recording".
    std::vector<std::int16_t> stoppedMinute_;
    double stoppedRate_ = 0;
    QTimer refresh_;
    QTimer logWatch_;
    std::string logStamp_;  // the log's size and time when last looked at
    QElapsedTimer clock_;
    qint64 levelTextAt_ = 0;  // when the level's figures were last written, in ms
    double levelTextPeakDbfs_ = receive::kSilenceDbfs;  // the loudest since then

    QComboBox* device_ = nullptr;
    QPushButton* listen_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* save_ = nullptr;
    LevelMeter* meter_ = nullptr;
    QLabel* clip_ = nullptr;
    QLabel* level_ = nullptr;
    Waterfall* waterfall_ = nullptr;
    QLabel* state_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QTableWidget* list_ = nullptr;
    QLabel* verdict_ = nullptr;
    MarginGauge* gauge_ = nullptr;
    QLabel* margin_ = nullptr;
    QLabel* checkWord_ = nullptr;
    QComboBox* expect_ = nullptr;
    QLabel* comparison_ = nullptr;
    QLabel* comparedWith_ = nullptr;  // what with, then the differences
    QScrollArea* comparedWithArea_ = nullptr;
    QPlainTextEdit* bytes_ = nullptr;
    QTableWidget* settings_ = nullptr;
    QLabel* diagnosis_ = nullptr;
};

}  // namespace zk::monitor
