// One cold start, measured from inside: builds a window, shows it, and when its first frame has
// been painted prints the monotonic clock in nanoseconds and leaves at once (closing down is not
// part of starting up).
//
//   ui_first_paint programmer          the programmer's window
//   ui_first_paint census              prints the stock-widget make-up of the programmer's window
//   ui_first_paint bare KIND=N ...     a bare window made of those stock widgets, empty chart
//   included
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "Pr_221_1.h"
#include "stockwidgets.h"

namespace {

class NoPlayer : public zk::Player {
  public:
    void Play(const zk::Sound&) override {}
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const std::string mode = argc > 1 ? argv[1] : "";
    QApplication app(argc, argv);
    NoPlayer player;
    std::unique_ptr<QWidget> window;
    if (mode == "programmer" || mode == "census") {
        window = std::make_unique<TForm1>(player);
    } else if (mode == "bare") {
        window = zk::bench::BareWindow(argc, argv, 2);
    } else {
        std::fprintf(stderr, "usage: ui_first_paint programmer|census|bare KIND=N...\n");
        return 2;
    }
    if (mode == "census") {
        for (const auto& [name, count] : zk::bench::Census(*window)) {
            std::printf("%s=%d\n", name.c_str(), count);
        }
        return 0;
    }

    // The frame is on screen once the paint event and the flush that follows it are done.
    struct FirstPaint : QObject {
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint && !seen) {
                seen = true;
                QTimer::singleShot(0, [] {
                    const auto now = std::chrono::steady_clock::now().time_since_epoch();
                    std::printf("%lld\n",
                                static_cast<long long>(std::chrono::nanoseconds(now).count()));
                    std::fflush(stdout);
                    _exit(0);
                });
            }
            return false;
        }
        bool seen = false;
    } firstPaint;
    window->installEventFilter(&firstPaint);
    window->show();
    return app.exec();
}
