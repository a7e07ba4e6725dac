// Enter and keypad Enter press the focused push button, as Space does. Operators come from a
// desktop where both keys press a button; Qt presses one with Enter only inside a dialog.
#pragma once

class QPushButton;

namespace zk::ui {

// From now on Enter and keypad Enter, without other modifiers, click `button` when it has the
// focus and is enabled. Holding the key clicks once, like Space.
void PressOnEnter(QPushButton* button);

}  // namespace zk::ui
