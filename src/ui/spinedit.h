// A whole-number field with two arrow buttons, as the programmer page needs it: the text is what
// the operator typed, the value is read from the text only when asked, and the range is enforced
// when the field is left or stepped. QSpinBox rewrites the text as it goes, so it is not used.
#pragma once

#include <QLineEdit>
#include <cstdint>
#include <functional>

class QToolButton;

namespace zk::ui {

class SpinEdit : public QLineEdit {
    Q_OBJECT

  public:
    // Arrow auto-repeat: a step on the press, the next after 400 ms, then one every 100 ms.
    static constexpr int kRepeatDelayMs = 400;
    static constexpr int kRepeatIntervalMs = 100;

    SpinEdit(std::int32_t minimum, std::int32_t maximum, std::int32_t start,
             QWidget* parent = nullptr);

    std::int32_t Minimum() const { return minimum_; }
    std::int32_t Maximum() const { return maximum_; }

    // The number in the text, or the minimum when the text is not a number; not brought into
    // range (leaving the field does that).
    std::int32_t Value() const;

    // Writes `value`, brought into range, as decimal text.
    void SetValue(std::int32_t value);

    // One arrow step: the value plus `delta`, brought into range.
    void StepBy(int delta);

    // What leaving the field does: a number outside the range becomes the nearest bound; a text
    // that is not a number stays as typed.
    void ApplyRange();

    // A field with typing disabled changes only through its arrows and the Up and Down keys.
    void SetTypingEnabled(bool enabled);

    // Whether entering the field with the keyboard selects its text.
    void SetSelectOnEntry(bool select) { selectOnEntry_ = select; }

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

    // The sound of a refused keystroke. Empty restores the system beep.
    static void SetBeepHook(std::function<void()> hook);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    bool Accepts(const QKeyEvent& event) const;
    QToolButton* MakeArrow(Qt::ArrowType arrow, int delta);
    static void Beep();

    std::int32_t minimum_;
    std::int32_t maximum_;
    bool typingEnabled_ = true;
    bool selectOnEntry_ = true;
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace zk::ui
