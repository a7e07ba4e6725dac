#include "startup.h"

#include <QApplication>

#include <optional>

#include "Pr_221_1.h"
#include "filesizelimit.h"
#include "graphicalsession.h"
#include "standardstreams.h"

namespace zk::ui {

int ProgrammerMain(int argc, char** argv, SendRoute& route) {
    OpenClosedStandardStreams();
    ReportFileSizeLimitAsFault();
    // Read before QApplication edits argv; decoded as QCoreApplication::arguments() decodes.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    std::optional<GraphicalSessionRequired> sessionRequired(std::in_place, "zk77q3-programmer");
    QApplication app(argc, argv);
    sessionRequired.reset();
    return RunProgrammer(route, arguments);
}

int RunProgrammer(SendRoute& route, const QStringList& arguments) {
    TForm1 form(route);
    // Any error box of FormCreate is up and closed again before the window first shows.
    form.FormCreate(arguments);
    form.show();
    // Closing the window, the only top-level one, ends the loop; nothing is saved or asked.
    return QApplication::exec();
}

}  // namespace zk::ui
