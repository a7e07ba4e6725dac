"""Reads the running programmer window through AT-SPI, as a screen reader does.

Tabs round the window twice (once for each squelch detector page), notes what has the focus
after each Tab, and checks that every parameter control is reached, that each has a name, and
that the name is the caption or label the operator sees beside it. Presses "сформировать" with
Enter on the way and checks that the status line, a status bar, announces the result.

    a11y_check.py WINDOW_ID      (run by a11y_test.sh, with the buses it starts)
"""
import subprocess
import sys
import time

import pyatspi
from atspi_reading import fail, failures, find_app, walk
from gi.repository import GLib

APP = "zk77q3-programmer"

# The words beside each parameter control on screen, as a screen reader should say them.
PARAMETER_CONTROLS = {
    "пользовательский Код открытия": pyatspi.ROLE_TEXT,
    "пользовательский Код закрытия": pyatspi.ROLE_TEXT,
    "Код открытия Администратора": pyatspi.ROLE_TEXT,
    "Код закрытия Администратора": pyatspi.ROLE_TEXT,
    "Код перехода в режим пользователя": pyatspi.ROLE_TEXT,
    "Разрешение на открытие-закрытие при помощи DTMF": pyatspi.ROLE_CHECK_BOX,
    "Максимальная длительность записи в репитер": pyatspi.ROLE_TEXT,
    "часы": pyatspi.ROLE_TEXT,
    "минуты": pyatspi.ROLE_TEXT,
    "секунды": pyatspi.ROLE_TEXT,
    "длительность (100 мс)": pyatspi.ROLE_TEXT,
    "уровень (dB)": pyatspi.ROLE_TEXT,
    "порог включения, * 0.1% от Umax": pyatspi.ROLE_TEXT,
    "порог переключения, *100 мв": pyatspi.ROLE_TEXT,
    "Усиление АЦП": pyatspi.ROLE_TEXT,
    "Ослабление ЦАП": pyatspi.ROLE_TEXT,
    "приёма": pyatspi.ROLE_CHECK_BOX,
    "передачи": pyatspi.ROLE_CHECK_BOX,
    "включить": pyatspi.ROLE_CHECK_BOX,
    "высокий": pyatspi.ROLE_RADIO_BUTTON,
    "сформировать": pyatspi.ROLE_PUSH_BUTTON,
    "выдать": pyatspi.ROLE_PUSH_BUTTON,
    "CheckBox_RasKS": pyatspi.ROLE_CHECK_BOX,
}

def showing_focusable(app):
    found = []
    for node in walk(app):
        states = node.getState()
        if states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING):
            found.append(node)
    return found


def focused(candidates):
    """The control with the keyboard focus. A tab list's current tab reports the focus too while
    the list has it, so a page tab counts only when nothing else has the focus."""
    tab = None
    for node in candidates:
        if node.getState().contains(pyatspi.STATE_FOCUSED):
            if node.getRole() != pyatspi.ROLE_PAGE_TAB:
                return node
            tab = tab or node
    return tab


def key(window, name):
    # Through the X server's keyboard to the focused window, as typed.
    del window
    subprocess.run(["xdotool", "key", name], check=True)
    time.sleep(0.15)


def label_of(node):
    """The label beside a control (a group box around it labels it too, but is not beside it)."""
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            for i in range(relation.getNTargets()):
                target = relation.getTarget(i)
                if target.getRole() == pyatspi.ROLE_LABEL:
                    return target
    return None


def check_reached(node, reached):
    name = node.name
    if not name.strip():
        parent = node.parent
        fail("a %s in %s %r reached with Tab has no name"
             % (node.getRoleName(), parent.getRoleName() if parent else None,
                parent.name if parent else None))
        return
    label = label_of(node)
    if label is not None and not name.endswith(" ".join(label.name.split())):
        fail("%r is labelled %r on screen" % (name, label.name))
    if name in PARAMETER_CONTROLS:
        if node.getRole() != PARAMETER_CONTROLS[name]:
            fail("%r is a %s" % (name, node.getRoleName()))
        reached.add(name)


def tab_round(app, window, reached, on_focus=None):
    """Tabs once round the window; returns the names in the order reached."""
    candidates = showing_focusable(app)
    order = []
    first = None
    for _ in range(150):
        key(window, "Tab")
        node = focused(candidates)
        if node is None:
            candidates = showing_focusable(app)
            node = focused(candidates)
            if node is None:
                continue
        if first is not None and node == first:
            break
        first = first or node
        order.append(node.name)
        if "-v" in sys.argv:
            extents = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            print("  %s %r at %d,%d %dx%d" % (node.getRoleName(), node.name, extents.x,
                                              extents.y, extents.width, extents.height))
        check_reached(node, reached)
        if on_focus is not None and on_focus(node):
            candidates = showing_focusable(app)
    return order


def main():
    window = sys.argv[1]
    app = find_app(APP)
    reached = set()
    announced = []

    def heard(event):
        if event.source is not None and event.source.getRole() == pyatspi.ROLE_STATUS_BAR:
            announced.append(event.source.name)

    pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-name")

    statuses = [n for n in walk(app) if n.getRole() == pyatspi.ROLE_STATUS_BAR]
    if len(statuses) != 1:
        fail("%d status bars instead of one" % len(statuses))
    pressed = []

    def press_generate(node):
        if node.name == "сформировать" and not pressed:
            key(window, "Return")
            pressed.append(True)
            return True  # "выдать" has come up
        return False

    tab_round(app, window, reached, press_generate)
    if not pressed:
        fail("Tab never reached сформировать")

    # The other squelch detector page, chosen as a screen reader user would: the tab's action.
    for node in walk(app):
        if node.getRole() == pyatspi.ROLE_PAGE_TAB and node.name.strip() == "сигнал SQL":
            node.queryAction().doAction(0)
            time.sleep(0.3)
            break
    else:
        fail("no page tab named 'сигнал SQL'")
    tab_round(app, window, reached)

    # Events queued while tabbing reach the listener once the loop runs.
    GLib.timeout_add(1500, pyatspi.Registry.stop)
    pyatspi.Registry.start()
    if statuses and statuses[0].name != "*** нет ошибок ***":
        fail("the status line reads %r after сформировать" % statuses[0].name)
    if "*** нет ошибок ***" not in announced:
        fail("the result of сформировать was not announced (heard: %r)" % announced)

    for name in PARAMETER_CONTROLS:
        if name not in reached:
            fail("%r not reached with Tab" % name)
    if failures:
        sys.exit(1)
    print("every parameter control reached with Tab and named after its label (%d)" % len(reached))


if __name__ == "__main__":
    main()
