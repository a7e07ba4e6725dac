// The bare Qt window that the programmer's cold start is measured against, as a program of its
// own that links Qt Widgets and Charts and nothing of the programmer: it shows the window and
// runs until it is ended.
//
//   ui_bare_window KIND=N ...     (the census of ui_first_paint)
#include <QApplication>

#include "stockwidgets.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> window = zk::bench::BareWindow(argc, argv, 1);
    window->show();
    return QApplication::exec();
}
