#include "enterpress.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

namespace zk::ui {

namespace {

bool IsEnter(const QKeyEvent& key) {
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    return enter && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// One filter for every button; it lives as long as the application.
class EnterPresses : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
            return false;
        }
        const auto& key = static_cast<const QKeyEvent&>(*event);
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button == nullptr || !IsEnter(key)) {
            return false;
        }
        // The press clicks; its repeats and the release are taken so that nothing else acts
        // on the key.
        if (event->type() == QEvent::KeyPress && !key.isAutoRepeat() && button->isEnabled()) {
            button->click();
        }
        return true;
    }
};

// Made again when an application ended and took the filter with it.
EnterPresses* Filter() {
    static QPointer<EnterPresses> filter;
    if (filter.isNull()) {
        filter = new EnterPresses(QCoreApplication::instance());
    }
    return filter;
}

}  // namespace

void PressOnEnter(QPushButton* button) {
    button->installEventFilter(Filter());
}

}  // namespace zk::ui
