// zk77q3-monitor: the monitor window, in the system's language where a translation exists.
//   zk77q3-monitor [RECORDING]
#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <future>
#include <optional>
#include <system_error>
#include <vector>

#include "filesizelimit.h"
#include "graphicalsession.h"
#include "monitorwindow.h"
#include "standardstreams.h"

namespace {

// The sound devices listed on a thread of their own while Qt starts: alsa-lib reads its
// configuration and asks its plugins for their hints, a few milliseconds that would otherwise
// come after the window's controls are built and before its first frame.
std::future<std::vector<zk::PcmDevice>> ListDevicesAhead() {
    try {
        return std::async(std::launch::async, zk::ListPcmDevices);
    } catch (const std::system_error&) {
        return {};  // no thread to be had: the window lists them itself
    }
}

}  // namespace

int main(int argc, char** argv) {
    zk::OpenClosedStandardStreams();
    zk::ReportFileSizeLimitAsFault();
    std::future<std::vector<zk::PcmDevice>> devices = ListDevicesAhead();
    std::optional<zk::ui::GraphicalSessionRequired> sessionRequired(std::in_place,
                                                                    "zk77q3-monitor");
    QApplication app(argc, argv);
    sessionRequired.reset();
    QApplication::setApplicationName(QStringLiteral("zk77q3-monitor"));
    QApplication::setApplicationVersion(QStringLiteral(ZK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("example.zk77q3.Monitor"));

    // The window's own texts, then Qt's (the file dialog's buttons), both by the system's locale.
    QTranslator own;
    if (own.load(QLocale(), QStringLiteral("zk77q3-monitor"), QStringLiteral("_"),
                 QStringLiteral(":/i18n"))) {
        QApplication::installTranslator(&own);
    }
    QTranslator qt;
    if (qt.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qt);
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QApplication::translate("main", "Shows what went over the air to the ZK-77q3 repeater."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("recording"),
                                 QApplication::translate("main", "A recording to decode."),
                                 QStringLiteral("[recording]"));
    // Every option the monitor has (help, in both its forms, and the version) ends the process
    // inside process(), as a wrong argument does: the listing must have ended before that, and
    // letting go of its future waits for it.
    if (!parser.parse(QCoreApplication::arguments()) || !parser.optionNames().isEmpty()) {
        devices = {};
    }
    parser.process(app);

    zk::monitor::MonitorWindow window(std::move(devices));
    window.resize(1000, 760);
    window.show();
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty()) {
        window.OpenRecording(files.first());
    }
    return QApplication::exec();
}
