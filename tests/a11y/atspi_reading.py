"""What the accessibility checks share: the failures noted so far, the application found on the
accessibility bus by its name, and a walk over its tree of accessible nodes."""
import sys
import time

import pyatspi

failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message, file=sys.stderr)


def find_app(name):
    deadline = time.time() + 30
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    sys.exit("FAIL: %s never appeared on the accessibility bus" % name)


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)
