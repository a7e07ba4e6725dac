#include "monitorwindow.h"

#include <QComboBox>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <filesystem>

#include "alsadevices.h"
#include "devicechoice.h"
#include "devicememory.h"
#include "errorbox.h"
#include "errors.h"
#include "levelmeter.h"
#include "leveltext.h"
#include "margingauge.h"
#include "monitortexts.h"
#include "sentlog.h"
#include "soundfilewriter.h"
#include "waterfall.h"

namespace zk::monitor {

namespace {

// A fault as this window says it, in the language of its translation.
std::string InWindowLanguage(const std::exception& fault) {
    return MonitorTexts::FaultText(fault).toStdString();
}

// A label whose text can be reached with Tab and read, so that a keyboard and a screen reader
// find the packet's details as they find the controls.
QLabel* ReadableLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    label->setFocusPolicy(Qt::StrongFocus);
    label->setWordWrap(true);
    return label;
}

QString DeviceText(const PcmDevice& device) {
    QString text = QString::fromStdString(device.name);
    if (device.description) {
        const QString first = QString::fromStdString(*device.description).section('\n', 0, 0);
        if (!first.isEmpty()) {
            text += QStringLiteral(" (") + first + QStringLiteral(")");
        }
    }
    return text;
}

// The programming log's size and last change, or empty when there is none: a new entry changes
// it. Cheap enough to look at twice a second.
std::string LogStamp() {
    std::error_code error;
    const std::filesystem::path log = SentLogPath();
    const auto size = std::filesystem::file_size(log, error);
    if (error) {
        return {};
    }
    const auto changed = std::filesystem::last_write_time(log, error);
    return std::to_string(size) + "@" + std::to_string(changed.time_since_epoch().count());
}

// The lines of what a packet was compared with shown at once; more scroll.
constexpr int kComparedLinesShown = 8;

// The list's columns, in MonitorTexts::Row's order.
enum PacketColumn { kTimeColumn, kVerdictColumn, kMarginColumn, kComparedColumn, kPacketColumns };

// The colour that doubles the outcome's sign (the sign alone must do for those who do not tell
// red from green); none where there is nothing to stand out.
QColor OutcomeColour(ComparisonOutcome outcome) {
    switch (outcome) {
        case ComparisonOutcome::AsSent:
            return QColor(0x2E, 0x8B, 0x3E);
        case ComparisonOutcome::Different:
            return QColor(0xD3, 0x2F, 0x2F);
        case ComparisonOutcome::NotCompared:
        case ComparisonOutcome::Unavailable:
            break;
    }
    return {};
}

}  // namespace

MonitorWindow::MonitorWindow(std::future<std::vector<PcmDevice>> devices, QWidget* parent)
    : QMainWindow(parent) {
    setWindowTitle(tr("ZK-77q3 Monitor"));
    setAcceptDrops(true);
    BuildControls();
    FillDevices(std::move(devices));
    refresh_.setInterval(kRefreshMilliseconds);
    connect(&refresh_, &QTimer::timeout, this, &MonitorWindow::Refresh);
    logStamp_ = LogStamp();
    logWatch_.setInterval(kLogWatchMilliseconds);
    connect(&logWatch_, &QTimer::timeout, this, &MonitorWindow::CompareAgainIfLogged);
    logWatch_.start();
    clock_.start();
    UpdateButtons();
}

MonitorWindow::~MonitorWindow() = default;

void MonitorWindow::BuildControls() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    // The input: a device to listen to, or a recording.
    auto* input = new QHBoxLayout;
    auto* deviceLabel = new QLabel(tr("Capture &device:"), central);
    device_ = new QComboBox(central);
    device_->setAccessibleName(tr("Capture device"));
    device_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    deviceLabel->setBuddy(device_);
    listen_ = new QPushButton(tr("&Listen"), central);
    open_ = new QPushButton(tr("&Open recording..."), central);
    save_ = new QPushButton(tr("Sa&ve recording..."), central);
    save_->setAccessibleDescription(tr("Saves the last minute of input as a WAV file"));
    input->addWidget(deviceLabel);
    input->addWidget(device_, 1);
    input->addWidget(listen_);
    input->addSpacing(12);
    input->addWidget(open_);
    input->addWidget(save_);
    layout->addLayout(input);

    // What the packets are compared with.
    auto* expectRow = new QHBoxLayout;
    auto* expectLabel = new QLabel(tr("Compare &with:"), central);
    expect_ = new QComboBox(central);
    expect_->setAccessibleName(tr("Compare with"));
    expect_->addItem(tr("the last send in the programming log"),
                     static_cast<int>(ExpectationSource::LastSend));
    expect_->addItem(tr("a profile..."), static_cast<int>(ExpectationSource::Profile));
    expect_->addItem(tr("nothing"), static_cast<int>(ExpectationSource::Nothing));
    expect_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    expectLabel->setBuddy(expect_);
    expectRow->addWidget(expectLabel);
    expectRow->addWidget(expect_);
    expectRow->addStretch(1);
    layout->addLayout(expectRow);

    // The air now: level, waterfall, state.
    auto* live = new QGridLayout;
    auto* levelLabel = new QLabel(tr("Input level:"), central);
    meter_ = new LevelMeter(central);
    level_ = new QLabel(central);
    level_->setMinimumWidth(
        level_->fontMetrics().horizontalAdvance(QStringLiteral("-100.0 dBFS  ")));
    clip_ = new QLabel(central);
    clip_->setAccessibleName(tr("Clip warning"));
    QPalette warning = clip_->palette();
    warning.setColor(QPalette::WindowText, Qt::red);
    clip_->setPalette(warning);
    live->addWidget(levelLabel, 0, 0);
    live->addWidget(meter_, 0, 1);
    live->addWidget(level_, 0, 2);
    live->addWidget(clip_, 0, 3);
    waterfall_ = new Waterfall(central);
    live->addWidget(waterfall_, 1, 0, 1, 4);
    state_ = ReadableLabel(central);
    QFont bold = state_->font();
    bold.setBold(true);
    state_->setFont(bold);
    live->addWidget(state_, 2, 0, 1, 4);
    live->setColumnStretch(1, 1);
    layout->addLayout(live, 1);

    // The packets heard, one row each, and the one chosen in full.
    splitter_ = new QSplitter(central);
    list_ = new QTableWidget(0, kPacketColumns, splitter_);
    list_->setAccessibleName(tr("Packets heard"));
    list_->setHorizontalHeaderLabels({tr("Time"), tr("Verdict"), tr("Margin"), tr("Compared")});
    // Each column as wide as its longest entry, never cut: the list widens instead.
    list_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setShowGrid(false);
    list_->setWordWrap(false);
    list_->setTabKeyNavigation(false);
    auto* details = new QGroupBox(tr("Packet"), splitter_);
    auto* grid = new QGridLayout(details);
    verdict_ = ReadableLabel(details);
    verdict_->setFont(bold);
    gauge_ = new MarginGauge(details);
    margin_ = ReadableLabel(details);
    checkWord_ = ReadableLabel(details);
    comparison_ = ReadableLabel(details);
    comparison_->setFont(bold);
    comparedWith_ = ReadableLabel(details);
    // A packet far from what was sent differs in dozens of places: those lines scroll, so that
    // the bytes and the settings below keep their room.
    comparedWithArea_ = new QScrollArea(details);
    comparedWithArea_->setWidget(comparedWith_);
    comparedWithArea_->setWidgetResizable(true);
    comparedWithArea_->setFrameShape(QFrame::NoFrame);
    comparedWithArea_->setFocusPolicy(Qt::NoFocus);  // Tab goes to the text in it
    comparedWithArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // No taller than its lines, which start at its top: the room left goes to bytes and settings.
    comparedWith_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    comparedWithArea_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    comparedWithArea_->setMaximumHeight(comparedWith_->fontMetrics().lineSpacing() *
                                        kComparedLinesShown);
    diagnosis_ = ReadableLabel(details);
    diagnosis_->hide();  // shown only when there is a reason to give
    bytes_ = new QPlainTextEdit(details);
    bytes_->setReadOnly(true);
    bytes_->setAccessibleName(tr("Bytes"));
    bytes_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    bytes_->setMinimumWidth(bytes_->fontMetrics().horizontalAdvance(QStringLiteral("00 00   ")) +
                            24);
    bytes_->setLineWrapMode(QPlainTextEdit::NoWrap);
    settings_ = new QTableWidget(0, 2, details);
    settings_->setAccessibleName(tr("Settings heard"));
    settings_->setHorizontalHeaderLabels({tr("Setting"), tr("Value")});
    settings_->horizontalHeader()->setStretchLastSection(true);
    settings_->verticalHeader()->hide();
    settings_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    settings_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Tab leaves the table (arrows move within it), so that the keyboard goes round the window.
    settings_->setTabKeyNavigation(false);
    // Whether it is what was sent comes right under the verdict, then what it was set beside.
    grid->addWidget(verdict_, 0, 0, 1, 2);
    grid->addWidget(comparison_, 1, 0, 1, 2);
    grid->addWidget(comparedWithArea_, 2, 0, 1, 2);
    grid->addWidget(gauge_, 3, 0);
    grid->addWidget(margin_, 3, 1);
    grid->addWidget(checkWord_, 4, 0, 1, 2);
    grid->addWidget(diagnosis_, 5, 0, 1, 2);
    grid->addWidget(bytes_, 6, 0);
    grid->addWidget(settings_, 6, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(6, 1);
    // A wider window widens the details; the list keeps the width of its entries.
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setChildrenCollapsible(false);
    layout->addWidget(splitter_, 2);
    setCentralWidget(central);

    connect(listen_, &QPushButton::clicked, this, [this] {
        if (session_ && live_) {
            StopListening();
        } else {
            StartListening();
        }
    });
    connect(open_, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, tr("Open recording"), QString(),
            tr("Recordings (*.wav *.flac *.ogg *.aif *.aiff *.au);;All files (*)"));
        if (!path.isEmpty()) {
            OpenRecording(path);
        }
    });
    connect(save_, &QPushButton::clicked, this, [this] {
        const QString name =
            QStringLiteral("air-") +
            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
            QStringLiteral(".wav");
        const QString path = QFileDialog::getSaveFileName(this, tr("Save recording"), name,
                                                          tr("WAV recordings (*.wav)"));
        if (!path.isEmpty()) {
            SaveRecording(path);
        }
    });
    connect(list_, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (row != previousRow) {
                    ShowPacket(row);
                }
            });
    connect(expect_, &QComboBox::activated, this, &MonitorWindow::ChooseExpectation);

    // Names for the tests, which find the controls as a script would.
    const std::pair<QWidget*, const char*> names[] = {
        {device_, "device"},
        {listen_, "listen"},
        {open_, "open"},
        {save_, "save"},
        {meter_, "level_meter"},
        {clip_, "clip"},
        {state_, "state"},
        {list_, "packets"},
        {verdict_, "verdict"},
        {gauge_, "margin_gauge"},
        {margin_, "margin"},
        {checkWord_, "check_word"},
        {diagnosis_, "diagnosis"},
        {bytes_, "bytes"},
        {settings_, "settings"},
        {waterfall_, "waterfall"},
        {expect_, "expect"},
        {comparison_, "comparison"},
        {comparedWith_, "compared_with"},
    };
    for (const auto& [widget, name] : names) {
        widget->setObjectName(QString::fromLatin1(name));
    }

    // Tab goes through the input, then the packets and their details.
    setTabOrder(device_, listen_);
    setTabOrder(listen_, open_);
    setTabOrder(open_, save_);
    setTabOrder(save_, expect_);
    setTabOrder(expect_, state_);
    setTabOrder(state_, list_);
    setTabOrder(list_, verdict_);
    setTabOrder(verdict_, comparison_);
    setTabOrder(comparison_, comparedWith_);
    setTabOrder(comparedWith_, margin_);
    setTabOrder(margin_, checkWord_);
    setTabOrder(checkWord_, diagnosis_);
    setTabOrder(diagnosis_, bytes_);
    setTabOrder(bytes_, settings_);

    ShowPacket(-1);
    FitListToEntries();
    state_->setText(tr("State: %1").arg(MonitorTexts::State({})));
    level_->setText(MonitorTexts::Level(receive::kSilenceDbfs));
    statusBar()->showMessage(tr("Choose a capture device and press Listen, or open a recording"));
}

void MonitorWindow::FillDevices(std::future<std::vector<PcmDevice>> listing) {
    const QString remembered = DeviceMemory::Load();
    device_->clear();
    std::vector<PcmDevice> devices;
    try {
        devices = listing.valid() ? listing.get() : ListPcmDevices();
    } catch (const std::exception& e) {
        // Listening to "default" still works; the reason stays on show.
        statusBar()->showMessage(MonitorTexts::FaultText(e));
    }
    // The same choice and order as `zk77q3 devices`: "default" first, even when the list failed.
    for (const PcmDevice& device : DevicesToChooseFrom(std::move(devices), false)) {
        if (device.capture) {
            device_->addItem(DeviceText(device), QString::fromStdString(device.name));
        }
    }
    if (!remembered.isEmpty()) {
        if (device_->findData(remembered) < 0) {
            device_->addItem(remembered, remembered);
        }
        device_->setCurrentIndex(device_->findData(remembered));
    }
}

void MonitorWindow::Start(std::unique_ptr<InputSource> input, const QString& source) {
    session_.reset();
    session_ = std::make_unique<ReceiveSession>(std::move(input));
    live_ = session_->Live();
    source_ = source;
    packets_.clear();
    list_->setRowCount(0);
    FitListToEntries();
    waterfall_->Clear();
    diagnosis_->clear();
    diagnosis_->hide();
    ShowPacket(-1);
    refresh_.start();
    UpdateButtons();
}

void MonitorWindow::OpenRecording(const QString& path) {
    zk::ui::RunUnderErrorBox(
        this,
        [&] {
            Start(std::make_unique<FileInput>(path.toStdString()), path);
            statusBar()->showMessage(
                tr("Decoding the recording %1").arg(QFileInfo(path).fileName()));
        },
        &InWindowLanguage);
}

void MonitorWindow::StartListening() {
    const QString device = device_->currentData().toString();
    zk::ui::RunUnderErrorBox(
        this,
        [&] {
            Start(std::make_unique<CaptureInput>(device.toStdString()), device);
            statusBar()->showMessage(tr("Listening to %1").arg(device));
            DeviceMemory::Save(device);
        },
        &InWindowLanguage);
}

void MonitorWindow::StopListening() {
    if (!session_) {
        return;
    }
    // The thread ends after its current block and decodes what it still holds; the last look
    // shows that and ends the session.
    session_->Stop();
    Refresh();
    statusBar()->showMessage(tr("Stopped listening to %1").arg(source_));
}

void MonitorWindow::SaveRecording(const QString& path) {
    std::vector<std::int16_t> samples = session_ ? session_->LastMinute() : stoppedMinute_;
    const double rate = session_ ? session_->Rate() : stoppedRate_;
    if (samples.empty()) {
        QMessageBox::information(this, windowTitle(), tr("Nothing has been heard yet to save."));
        return;
    }
    zk::ui::RunUnderErrorBox(
        this,
        [&] {
            WriteWaveRecording(path.toStdString(), samples, static_cast<int>(rate));
            statusBar()->showMessage(
                tr("Saved %1 s of input to %2")
                    .arg(QString::number(static_cast<double>(samples.size()) / rate, 'f', 1),
                         path));
        },
        &InWindowLanguage);
}

void MonitorWindow::Refresh() {
    if (!session_) {
        return;
    }
    const SessionUpdate update = session_->Take();
    for (const HeardPacket& heard : update.packets) {
        AddPacket(heard);
    }
    waterfall_->AddRows(update.rows);
    meter_->ShowLevel(static_cast<double>(clock_.elapsed()) / 1000.0, update.peakDbfs,
                      update.clipping);
    levelTextPeakDbfs_ = std::max(levelTextPeakDbfs_, update.peakDbfs);
    if (clock_.elapsed() - levelTextAt_ >= kLevelTextMilliseconds || update.ended) {
        level_->setText(MonitorTexts::Level(levelTextPeakDbfs_));
        levelTextAt_ = clock_.elapsed();
        levelTextPeakDbfs_ = receive::kSilenceDbfs;
    }
    clip_->setText(meter_->ClipWarning() ? tr("Clipping: turn the input down") : QString());
    state_->setText(tr("State: %1").arg(MonitorTexts::State(update.state)));
    if (update.ended) {
        ShowEnded(update);
    }
}

void MonitorWindow::ShowEnded(const SessionUpdate& update) {
    refresh_.stop();
    waterfall_->Flush();
    const bool wasLive = live_;
    live_ = false;
    stoppedMinute_ = session_->LastMinute();
    stoppedRate_ = session_->Rate();
    session_.reset();
    UpdateButtons();
    if (!update.findings.empty()) {
        diagnosis_->setText(
            tr("Nothing valid heard: %1").arg(MonitorTexts::Findings(update.findings)));
        diagnosis_->show();
    }
    if (!wasLive) {
        statusBar()->showMessage(
            tr("Recording %1 decoded: %n packet(s)", nullptr, static_cast<int>(packets_.size()))
                .arg(QFileInfo(source_).fileName()));
    }
    if (!update.fault.english.empty()) {
        zk::ui::ShowErrorBox(this, MonitorTexts::FaultText(update.fault).toStdString());
    }
}

void MonitorWindow::AddPacket(const HeardPacket& heard) {
    // The log is read as the packet comes, so that it meets the send it belongs to.
    const Comparison comparison = Compare(heard.packet, ReadExpectationOf(choice_));
    packets_.push_back({heard, live_, comparison});
    const int row = list_->rowCount();
    list_->insertRow(row);
    FillRow(row, packets_.back());
    list_->setCurrentCell(row, kTimeColumn);
    // The newest is the one shown, so the oldest goes without changing what is shown.
    if (static_cast<int>(packets_.size()) > kPacketsKept) {
        packets_.erase(packets_.begin());
        list_->removeRow(0);
    }
    FitListToEntries();
}

void MonitorWindow::FillRow(int row, const ShownPacket& shown) {
    const QStringList cells = MonitorTexts::Row(shown.heard, shown.live, shown.comparison);
    for (int column = 0; column < kPacketColumns; ++column) {
        QTableWidgetItem* item = list_->item(row, column);
        if (item == nullptr) {
            item = new QTableWidgetItem;
            list_->setItem(row, column, item);
        }
        item->setText(cells.value(column));
    }
    const QColor colour = OutcomeColour(shown.comparison.outcome);
    list_->item(row, kComparedColumn)
        ->setData(Qt::ForegroundRole, colour.isValid() ? QVariant(colour) : QVariant());
}

void MonitorWindow::FitListToEntries() {
    // The columns are measured now rather than at the next layout, so that the width asked for
    // is that of the entries just written. Room for the scroll bar is kept whether or not it
    // shows, so that the list does not jump when it appears.
    list_->resizeColumnsToContents();
    list_->setMinimumWidth(list_->horizontalHeader()->length() + 2 * list_->frameWidth() +
                           list_->verticalScrollBar()->sizeHint().width());
}

void MonitorWindow::ShowPacket(int row) {
    if (row < 0 || row >= static_cast<int>(packets_.size())) {
        verdict_->setText(tr("Verdict: no packet yet"));
        gauge_->Clear();
        margin_->setText(tr("Margin: none"));
        checkWord_->setText(tr("Check word: none"));
        comparison_->setText(tr("Compared: no packet yet"));
        comparison_->setPalette(verdict_->palette());
        comparedWith_->clear();
        comparedWithArea_->hide();
        bytes_->clear();
        settings_->setRowCount(0);
        return;
    }
    const ShownPacket& shown = packets_[static_cast<std::size_t>(row)];
    const receive::Packet& p = shown.heard.packet;
    verdict_->setText(tr("Verdict: %1").arg(MonitorTexts::Verdict(VerdictOf(p))));
    ShowComparison(shown.comparison);
    gauge_->ShowMargin(p.marginDb);
    margin_->setText(
        tr("Margin: %1, %2")
            .arg(MonitorTexts::Margin(p.marginDb), MonitorTexts::Band(gauge_->Band())));
    checkWord_->setText(MonitorTexts::CheckWord(p));
    bytes_->setPlainText(MonitorTexts::Listing(p).join(QLatin1Char('\n')));
    const QList<SettingLine> lines = MonitorTexts::Settings(DecodeSettings(p.bytes));
    settings_->setRowCount(static_cast<int>(lines.size()));
    for (int i = 0; i < lines.size(); ++i) {
        settings_->setItem(i, 0, new QTableWidgetItem(lines[i].name));
        settings_->setItem(i, 1, new QTableWidgetItem(lines[i].value));
    }
    settings_->resizeColumnToContents(0);
}

void MonitorWindow::ShowComparison(const Comparison& comparison) {
    comparison_->setText(MonitorTexts::Outcome(comparison));
    QPalette palette = verdict_->palette();
    const QColor colour = OutcomeColour(comparison.outcome);
    if (colour.isValid()) {
        palette.setColor(QPalette::WindowText, colour);
    }
    comparison_->setPalette(palette);
    // Nothing chosen: the outcome says so, and there is nothing to name.
    if (comparison.outcome == ComparisonOutcome::NotCompared) {
        comparedWith_->clear();
        comparedWithArea_->hide();
        return;
    }
    QStringList lines = MonitorTexts::Differences(comparison);
    lines.prepend(MonitorTexts::Origin(comparison.with));
    comparedWith_->setText(lines.join(QLatin1Char('\n')));
    // As tall as its lines, up to kComparedLinesShown of them (a wrapped line scrolls).
    const auto shown = std::min<qsizetype>(lines.size(), kComparedLinesShown);
    comparedWithArea_->setMaximumHeight(comparedWith_->fontMetrics().lineSpacing() *
                                            static_cast<int>(shown) +
                                        2 * comparedWith_->frameWidth() + 2);
    comparedWithArea_->show();
}

void MonitorWindow::CompareWith(const ExpectationChoice& choice) {
    choice_ = choice;
    ShowExpectationChoice();
    CompareAgain(std::chrono::system_clock::time_point::min());
}

void MonitorWindow::CompareAgain(std::chrono::system_clock::time_point heardSince) {
    const ReadExpectation expected = ReadExpectationOf(choice_);
    for (int row = 0; row < static_cast<int>(packets_.size()); ++row) {
        ShownPacket& shown = packets_[static_cast<std::size_t>(row)];
        if (shown.heard.heardAt >= heardSince) {
            shown.comparison = Compare(shown.heard.packet, expected);
            FillRow(row, shown);
        }
    }
    FitListToEntries();
    ShowPacket(list_->currentRow());
}

void MonitorWindow::CompareAgainIfLogged() {
    const std::string stamp = LogStamp();
    if (stamp == logStamp_) {
        return;
    }
    logStamp_ = stamp;
    if (choice_.source != ExpectationSource::LastSend) {
        return;
    }
    CompareAgain(std::chrono::system_clock::now() - std::chrono::seconds(kSendLoggedWithinSeconds));
}

void MonitorWindow::ChooseExpectation(int index) {
    const auto source = static_cast<ExpectationSource>(expect_->itemData(index).toInt());
    if (source != ExpectationSource::Profile) {
        CompareWith({source, {}});
        return;
    }
    const QString path = QFileDialog::getOpenFileName(this, tr("Compare with a profile"), QString(),
                                                      tr("Profiles (*.toml);;All files (*)"));
    if (path.isEmpty()) {
        ShowExpectationChoice();  // the choice stays as it was
        return;
    }
    CompareWith({ExpectationSource::Profile, path.toStdString()});
}

void MonitorWindow::ShowExpectationChoice() {
    const int index = expect_->findData(static_cast<int>(choice_.source));
    if (choice_.source == ExpectationSource::Profile) {
        expect_->setItemText(
            index, tr("the profile %1")
                       .arg(QFileInfo(QString::fromStdString(choice_.profile)).fileName()));
    } else {
        expect_->setItemText(expect_->findData(static_cast<int>(ExpectationSource::Profile)),
                             tr("a profile..."));
    }
    expect_->setCurrentIndex(index);
}

void MonitorWindow::UpdateButtons() {
    listen_->setText(session_ && live_ ? tr("&Stop") : tr("&Listen"));
    device_->setEnabled(!(session_ && live_));
}

void MonitorWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void MonitorWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) {
        event->acceptProposedAction();
        const QString path = urls.first().toLocalFile();
        // A profile is what to compare with; anything else is taken for a recording.
        if (path.endsWith(QStringLiteral(".toml"), Qt::CaseInsensitive)) {
            CompareWith({ExpectationSource::Profile, path.toStdString()});
        } else {
            OpenRecording(path);
        }
    }
}

}  // namespace zk::monitor
