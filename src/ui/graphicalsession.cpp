#include "graphicalsession.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace zk::ui {

namespace {

const char* g_program = "";
QtMessageHandler g_previousHandler = nullptr;

void PassOn(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (g_previousHandler != nullptr) {
        g_previousHandler(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

void OnMessageWhileStarting(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    if (type != QtFatalMsg) {
        PassOn(type, context, message);
        return;
    }
    // The only fatal message while the application is created is the platform plugin's failure.
    std::fprintf(stderr,
                 "%s: cannot open a window: no graphical session to show it in (start it from "
                 "the desktop, or under xvfb-run)\n",
                 g_program);
    std::fflush(stderr);
    std::_Exit(1);
}

}  // namespace

GraphicalSessionRequired::GraphicalSessionRequired(const char* program) {
    g_program = program;
    g_previousHandler = qInstallMessageHandler(OnMessageWhileStarting);
}

GraphicalSessionRequired::~GraphicalSessionRequired() {
    qInstallMessageHandler(g_previousHandler);
    g_previousHandler = nullptr;
}

}  // namespace zk::ui
