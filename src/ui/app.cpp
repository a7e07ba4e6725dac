// The programmer's entry: the window on the default sound output.
#include <QApplication>

#include "Pr_221_1.h"
#include "audioplayer.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    zk::AlsaPlayer player;
    TForm1 form(player);
    form.show();
    return app.exec();
}
