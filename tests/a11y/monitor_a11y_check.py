"""Reads the running monitor window through AT-SPI, as a screen reader does.

Waits until the window shows a packet (after pressing Listen for live sound), then checks what
an operator who cannot see the screen would hear: the verdict, the margin and its band, the
check word, the 64 bytes, the settings by name; and that Tab reaches every control and detail,
each with a name.

    monitor_a11y_check.py WINDOW_ID MODE USER_OPEN_CODE [EXPECTED_VERDICT]
    MODE: file (a recording given on the command line), live or pulse (press Listen first), or
          held (press Listen on a device that never answers: the window must go on)
"""
import os
import subprocess
import sys
import time

import pyatspi
from atspi_reading import fail, failures, find_app, walk

APP = "zk77q3-monitor"
# What Tab must reach, by name (a prefix for the texts that carry a value).
REACHED = ["Capture device", "Listen", "Open recording...", "Save recording...", "Compare with",
           "State: ", "Packets heard", "Verdict: ", "Compared with ", "Margin: ", "check word ",
           "Bytes", "Settings heard"]
# Shown without taking the focus, found by name.
SHOWN = {"Input level": pyatspi.ROLE_PROGRESS_BAR, "Margin": pyatspi.ROLE_PROGRESS_BAR,
         "Waterfall, 0 to 4000 Hz": None}

def named(app, prefix, role=None):
    for node in walk(app):
        if node.name.startswith(prefix) and (role is None or node.getRole() == role):
            return node
    return None


def wait_for(app, prefix, seconds):
    """Polls the window until a node whose name begins with `prefix` shows (the decoding runs
    on its own thread, and live sound arrives when it arrives)."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        node = named(app, prefix)
        if node is not None:
            return node
        time.sleep(0.25)
    return None


def focused(app):
    for node in walk(app):
        states = node.getState()
        if states.contains(pyatspi.STATE_FOCUSED) and states.contains(pyatspi.STATE_SHOWING):
            return node
    return None


def label_of(node):
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            for i in range(relation.getNTargets()):
                return relation.getTarget(i).name
    return ""


def spoken_name(node):
    """What a screen reader says for a control: on Linux Qt names a combo box by its value and
    ties it to the label beside it, which the reader says first."""
    if node.getRole() == pyatspi.ROLE_COMBO_BOX:
        return label_of(node).replace(":", "").strip()
    return node.name


def tab_round(app):
    names = []
    first = None
    for _ in range(60):
        subprocess.run(["xdotool", "key", "Tab"], check=True)
        time.sleep(0.15)
        node = focused(app)
        if node is None:
            continue
        if first is not None and node == first:
            break
        first = first or node
        name = spoken_name(node)
        if not name.strip():
            fail("a %s reached with Tab has no name" % node.getRoleName())
        names.append(name)
        if "-v" in sys.argv:
            print("  %s %r" % (node.getRoleName(), node.name))
    return names


def main():
    mode, code = sys.argv[2], sys.argv[3]
    verdict = sys.argv[4] if len(sys.argv) > 4 and not sys.argv[4].startswith("-") else "valid"
    app = find_app(APP)
    if mode in ("live", "pulse", "held"):
        listen = named(app, "Listen", pyatspi.ROLE_PUSH_BUTTON)
        if listen is None:
            sys.exit("FAIL: no Listen button")
        listen.queryAction().doAction(0)
    if mode == "held":
        # The device holds only its own thread: the button turns to Stop all the same.
        if wait_for(app, "Stop", 10) is None:
            sys.exit("FAIL: the window froze on a device that does not answer")
        print("OK")
        return
    if mode == "pulse":
        # Sent once the capture runs, as an operator would with the monitor listening.
        if wait_for(app, "State: waiting for the lead-in", 30) is None:
            sys.exit("FAIL: the monitor is not listening")
        played = subprocess.run(os.environ["ZK_PLAY"].split(), capture_output=True, text=True)
        if played.returncode != 0:
            sys.exit("FAIL: zk77q3 play: %s" % played.stderr)

    shown = wait_for(app, "Verdict: " + verdict, 90)
    if shown is None:
        state = named(app, "State: ")
        sys.exit("FAIL: no packet with the verdict %r shown (%s)"
                 % (verdict, state.name if state else "no state"))
    print("shown: %r" % shown.name)
    if mode == "pulse":
        # The send is logged once its sound has drained; the packet is then compared with it.
        compared = wait_for(app, "\u2714 as sent", 30)
        if compared is None:
            node = named(app, "\u2718 not as sent") or named(app, "\u26a0 cannot compare")
            fail("not shown as sent: %r" % (node.name if node else None))
        # It names the send by its entry in the log.
        origin = named(app, "Compared with ")
        if origin is None or not origin.name.startswith("Compared with log entry "):
            fail("the send compared with is not named: %r" % (origin.name if origin else None))

    for name, role in SHOWN.items():
        node = named(app, name, role)
        if node is None:
            fail("%r is not on the window" % name)
    gauge = named(app, "Margin", pyatspi.ROLE_PROGRESS_BAR)
    if gauge is not None:
        description = gauge.description
        if " dB, " not in description:
            fail("the margin gauge says %r" % description)
        elif not any(band in description for band in ("good", "marginal", "too low")):
            fail("the margin gauge names no band: %r" % description)
    margin = named(app, "Margin: ")
    if margin is None or " dB" not in margin.name:
        fail("no margin in dB: %r" % (margin.name if margin else None))
    check = named(app, "check word ")
    if check is None or not check.name.endswith(": right"):
        fail("check word: %r" % (check.name if check else None))

    listing = named(app, "Bytes", pyatspi.ROLE_TEXT)
    if listing is None:
        fail("no Bytes text")
    else:
        text = listing.queryText()
        lines = text.getText(0, text.characterCount).split("\n")
        if len(lines) != 64 or lines[0] != " 0 7F" or not lines[63].startswith("63 "):
            fail("the bytes read %r" % lines[:3])

    table = named(app, "Settings heard", pyatspi.ROLE_TABLE)
    cells = [node.name for node in walk(table)] if table is not None else []
    for expected in ("user open code", code):
        if expected not in cells:
            fail("the settings do not hold %r" % expected)

    names = tab_round(app)
    reached = REACHED
    if mode in ("live", "pulse"):
        # While listening the button stops, and the device cannot be changed.
        reached = ["Stop" if name == "Listen" else name for name in REACHED
                   if name != "Capture device"]
    for wanted in reached:
        if not any(name.startswith(wanted) for name in names):
            fail("%r not reached with Tab (reached: %r)" % (wanted, names))
    print("reached with Tab: %d controls and details" % len(names))

    if failures:
        sys.exit(1)
    print("OK")


if __name__ == "__main__":
    main()
