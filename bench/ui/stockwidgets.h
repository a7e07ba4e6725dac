// The stock Qt widgets a window is made of, counted by kind, and a bare window built from such
// a count: the baseline that the programmer's window is timed against.
#pragma once

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
#include <QToolButton>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zk::bench {

struct Kind {
    const char* name;
    const char* className;  // the stock class a widget of this kind derives from
    std::function<QWidget*(QWidget*)> make;
};

// Most specific first: a widget counts as the first kind whose class it inherits.
inline const std::vector<Kind>& Kinds() {
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

// The widgets a window's code made, by kind; the parts stock widgets make for themselves (named
// "qt_...", or inside a stock widget's scroll area) come with the stock widget.
inline std::map<std::string, int> Census(QWidget& window) {
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

// A window of the programmer's size with four tabs and, on the first, the widgets that the
// arguments name as KIND=N, from argv[first] on.
inline std::unique_ptr<QWidget> BareWindow(int argc, char** argv, int first) {
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
    for (int i = first; i < argc; ++i) {
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

}  // namespace zk::bench
