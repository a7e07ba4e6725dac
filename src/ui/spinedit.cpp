#include "spinedit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

#include "spinvalue.h"

namespace zk::ui {

namespace {

constexpr int kArrowWidth = 15;

std::function<void()>& BeepHook() {
    static std::function<void()> hook;
    return hook;
}

}  // namespace

SpinEdit::SpinEdit(std::int32_t minimum, std::int32_t maximum, std::int32_t start, QWidget* parent)
    : QLineEdit(parent),
      minimum_(minimum),
      maximum_(maximum),
      up_(MakeArrow(Qt::UpArrow, +1)),
      down_(MakeArrow(Qt::DownArrow, -1)) {
    // Every character has to pass the keystroke filter: no input-method composition, no drops.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAcceptDrops(false);
    setTextMargins(0, 0, kArrowWidth, 0);
    setText(QString::number(start));
}

QToolButton* SpinEdit::MakeArrow(Qt::ArrowType arrow, int delta) {
    auto* button = new QToolButton(this);
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::ArrowCursor);
    button->setAutoRepeat(true);
    button->setAutoRepeatDelay(kRepeatDelayMs);
    button->setAutoRepeatInterval(kRepeatIntervalMs);
    button->setAccessibleName(arrow == Qt::UpArrow ? "Увеличить" : "Уменьшить");
    // The arrows belong to the field: pressing one puts the focus into the field, then steps.
    // The step comes with the press, and the auto-repeat presses again while the button is held;
    // letting go adds nothing.
    connect(button, &QToolButton::pressed, this, [this, delta] {
        if (!hasFocus()) {
            setFocus(Qt::MouseFocusReason);
        }
        StepBy(delta);
    });
    return button;
}

std::int32_t SpinEdit::Value() const {
    return SpinTextValue(text().toStdString(), minimum_);
}

void SpinEdit::SetValue(std::int32_t value) {
    setText(QString::number(std::clamp(value, minimum_, maximum_)));
}

void SpinEdit::StepBy(int delta) {
    setText(QString::number(SteppedSpinValue(text().toStdString(), delta, minimum_, maximum_)));
}

void SpinEdit::ApplyRange() {
    if (const auto bound = SpinTextOnFocusLoss(text().toStdString(), minimum_, maximum_)) {
        setText(QString::fromStdString(*bound));
    }
}

void SpinEdit::SetTypingEnabled(bool enabled) {
    typingEnabled_ = enabled;
    // Read-only also shuts paste, cut, undo and the editing entries of the context menu.
    setReadOnly(!enabled);
}

void SpinEdit::SetBeepHook(std::function<void()> hook) {
    BeepHook() = std::move(hook);
}

void SpinEdit::Beep() {
    if (BeepHook()) {
        BeepHook()();
    } else {
        QApplication::beep();
    }
}

bool SpinEdit::Accepts(const QKeyEvent& event) const {
    // Control shortcuts (copy, paste, select all...) insert no text; a read-only field refuses
    // the ones that would change it. Any other chord that carries text (AltGr) is typing.
    const Qt::KeyboardModifiers chord = event.modifiers() & ~Qt::KeypadModifier;
    if (chord == Qt::ControlModifier || chord == (Qt::ControlModifier | Qt::ShiftModifier)) {
        return true;
    }
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return false;
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
            return typingEnabled_;
        default:
            break;
    }
    const QString typed = event.text();
    const QString decimalPoint = QLocale().decimalPoint();
    for (const QChar c : typed) {
        if (c.unicode() < 0x20) {
            continue;  // control keys other than Enter
        }
        if (!typingEnabled_) {
            return false;
        }
        const bool digit = c >= u'0' && c <= u'9';
        if (!digit && c != u'+' && c != u'-' && !decimalPoint.contains(c)) {
            return false;
        }
    }
    return true;  // keys without text: cursor movement, Home, End, Shift...
}

void SpinEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        StepBy(event->key() == Qt::Key_Up ? +1 : -1);
        event->accept();
        return;
    }
    if (!Accepts(*event)) {
        Beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void SpinEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!selectOnEntry_) {
        deselect();
    }
}

void SpinEdit::focusOutEvent(QFocusEvent* event) {
    // A context menu opening is not leaving the field.
    if (event->reason() != Qt::PopupFocusReason) {
        ApplyRange();
    }
    QLineEdit::focusOutEvent(event);
}

void SpinEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int inner = height() - 2 * frame;
    const int upHeight = inner / 2;
    const int left = width() - frame - kArrowWidth;
    up_->setGeometry(left, frame, kArrowWidth, upHeight);
    down_->setGeometry(left, frame + upHeight, kArrowWidth, inner - upHeight);
}

}  // namespace zk::ui
