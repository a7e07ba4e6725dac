// zk77q3-monitor: the monitor window, in the system's language where a translation exists.
//   zk77q3-monitor [RECORDING]
#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <optional>

#include "filesizelimit.h"
#include "graphicalsession.h"
#include "monitorwindow.h"
#include "standardstreams.h"

int main(int argc, char** argv) {
    zk::OpenClosedStandardStreams();
    zk::ReportFileSizeLimitAsFault();
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
    parser.process(app);

    zk::monitor::MonitorWindow window;
    window.resize(1000, 760);
    window.show();
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty()) {
        window.OpenRecording(files.first());
    }
    return QApplication::exec();
}
