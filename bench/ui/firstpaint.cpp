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
#include <QChartView>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "Pr_221_1.h"

namespace {

class NoPlayer : public zk::Player {
  public:
    void Play(const zk::Sound&) override {}
};

struct Kind {
    const char* name;
    const char* className;  // the stock class a widget of this kind derives from
    std::function<QWidget*(QWidget*)> make;
};

// Most specific first: a widget counts as the first kind whose class it inherits.
const std::vector<Kind>& Kinds() {
    static const std::vector<Kind> kinds{
        {"chart", "QChartView", [](QWidget* p) { return new QChartView(new QChart, p); }},
        {"tabs", "QTabWidget",
         [](QWidget* p) {
             auto* tabs = new QTabWidget(p);
             tabs->addTab(new QWidget, "a");
             tabs->addTab(new QWidget, "b");
             return tabs;
         }},
        {"group", "QGroupBox", [](QWidget* p) { return new QGroupBox("group", p); }},
        {"plain", "QPlainTextEdit", [](QWidget* p) { return new QPlainTextEdit("text", p); }},
        {"rich", "QTextEdit", [](QWidget* p) { return new QTextEdit("text", p); }},
        {"edit", "QLineEdit", [](QWidget* p) { return new QLineEdit("0", p); }},
        {"push", "QPushButton", [](QWidget* p) { return new QPushButton("button", p); }},
        {"tool", "QToolButton", [](QWidget* p) { return new QToolButton(p); }},
        {"check", "QCheckBox", [](QWidget* p) { return new QCheckBox("check", p); }},
        {"radio", "QRadioButton", [](QWidget* p) { return new QRadioButton("radio", p); }},
        {"label", "QLabel", [](QWidget* p) { return new QLabel("label", p); }},
        {"widget", "QWidget", [](QWidget* p) { return new QWidget(p); }},
    };
    return kinds;
}

// The widgets the window's code made, by kind; the parts stock widgets make for themselves
// (named "qt_...", or inside a stock widget's scroll area) come with the stock widget.
std::map<std::string, int> Census(QWidget& window) {
    std::map<std::string, int> counts;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->objectName().startsWith("qt_")) {
            continue;
        }
        QWidget* parent = widget->parentWidget();
        if (parent != nullptr && parent->objectName().startsWith("qt_")) {
            continue;
        }
        for (const Kind& kind : Kinds()) {
            if (widget->inherits(kind.className)) {
                ++counts[kind.name];
                break;
            }
        }
    }
    return counts;
}

std::unique_ptr<QWidget> BareWindow(int argc, char** argv) {
    auto window = std::make_unique<QWidget>();
    window->setFixedSize(1012, 779);
    auto* pages = new QTabWidget(window.get());
    pages->setGeometry(0, 0, 857, 753);
    QWidget* front = nullptr;
    for (const char* title : {"1", "2", "3", "4"}) {
        auto* page = new QWidget;
        pages->addTab(page, title);
        front = front != nullptr ? front : page;
    }
    int placed = 0;
    for (int i = 2; i < argc; ++i) {
        const char* equals = std::strchr(argv[i], '=');
        if (equals == nullptr) {
            continue;
        }
        const std::string name(argv[i], static_cast<std::size_t>(equals - argv[i]));
        for (const Kind& kind : Kinds()) {
            if (name == kind.name) {
                for (int n = std::atoi(equals + 1); n > 0; --n, ++placed) {
                    QWidget* widget = kind.make(front);
                    widget->setGeometry(8 + (placed % 8) * 104, 8 + (placed / 8) * 44, 96, 36);
                }
            }
        }
    }
    return window;
}

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
        window = BareWindow(argc, argv);
    } else {
        std::fprintf(stderr, "usage: ui_first_paint programmer|census|bare KIND=N...\n");
        return 2;
    }
    if (mode == "census") {
        for (const auto& [name, count] : Census(*window)) {
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
