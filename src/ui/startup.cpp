#include "startup.h"

#include <QApplication>

#include "Pr_221_1.h"

namespace zk::ui {

int ProgrammerMain(int argc, char** argv, Player& player) {
    // Read before QApplication edits argv; decoded as QCoreApplication::arguments() decodes.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    QApplication app(argc, argv);
    return RunProgrammer(player, arguments);
}

int RunProgrammer(Player& player, const QStringList& arguments) {
    TForm1 form(player);
    // Any error box of FormCreate is up and closed again before the window first shows.
    form.FormCreate(arguments);
    form.show();
    // Closing the window, the only top-level one, ends the loop; nothing is saved or asked.
    return QApplication::exec();
}

}  // namespace zk::ui
