// The status line under the "сформировать" button: a sunken one-line text that generate fills
// with its result or with the reason it refused a code.
#pragma once

#include <QLabel>

namespace zk::ui {

// To a screen reader the line is a status bar whose name is its current text, and every new
// text is announced as a change of that name, so the operator hears the result without moving
// the focus to it.
class StatusLine : public QLabel {
    Q_OBJECT

  public:
    explicit StatusLine(QWidget* parent = nullptr);

    // Shows `text` and announces it, even when it is the text already shown: a second generate
    // with the same result is still a result the operator waits to hear.
    void SetStatus(const QString& text);
};

}  // namespace zk::ui
