// The window's start where there is no display to show it on.
#pragma once

namespace zk::ui {

// Held while the QApplication is created. Without an X server or Wayland compositor to connect
// to, Qt's platform plugin cannot start, and Qt ends the process with abort() (exit 134) and the
// advice to reinstall the application. While this guard lives, that fatal message instead ends
// the process with exit status 1 and one line on stderr, from `program`, saying that a graphical
// session (or xvfb-run) is needed. Qt's other messages pass through unchanged.
class GraphicalSessionRequired {
  public:
    explicit GraphicalSessionRequired(const char* program);
    ~GraphicalSessionRequired();
    GraphicalSessionRequired(const GraphicalSessionRequired&) = delete;
    GraphicalSessionRequired& operator=(const GraphicalSessionRequired&) = delete;
};

}  // namespace zk::ui
