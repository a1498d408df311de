#!/usr/bin/python3
"""Asks the program's accessibility tree (AT-SPI) what it shows and where, as a
screen reader would, for the end-to-end test. Run inside the test's D-Bus
session (dbus-run-session).

  a11y.py start-bus                        start the accessibility bus, before the program
  a11y.py window-name TIMEOUT_MS           the caption of the program's first window
  a11y.py centre WINDOW ROLE NAME          "X Y" on the screen: the centre of the control
                                           with that role and name in the window captioned WINDOW

Exit status: 0 on success, 1 when nothing matches in time, 2 on misuse.
"""
import sys
import time

import pyatspi
from gi.repository import GLib

APPLICATION = "Ferolune"


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == APPLICATION:
            return app
    return None


def windows():
    app = application()
    return [w for w in app if w is not None] if app else []


def find(node, role, name):
    if node.getRoleName() == role and node.name == name:
        return node
    for child in node:
        if child is not None:
            found = find(child, role, name)
            if found:
                return found
    return None


def wait_for(what, timeout_ms):
    deadline = time.monotonic() + timeout_ms / 1000
    context = GLib.MainContext.default()
    while True:
        # The library keeps the tree it has seen and learns of new applications
        # and children from D-Bus signals, which only its main loop takes in.
        while context.pending():
            context.iteration(False)
        try:
            found = what()
        except Exception:  # the tree changes under the query while windows come and go
            found = None
        if found is not None or time.monotonic() >= deadline:
            return found
        time.sleep(0.05)


def main(argv):
    if argv[1:2] == ["start-bus"] and len(argv) == 2:
        pyatspi.Registry.getDesktop(0)
        return 0
    if argv[1:2] == ["window-name"] and len(argv) == 3:
        window = wait_for(lambda: next(iter(windows()), None), int(argv[2]))
        if window is None:
            print(f"a11y.py: {APPLICATION} shows no window", file=sys.stderr)
            return 1
        print(window.name)
        return 0
    if argv[1:2] == ["centre"] and len(argv) == 5:
        caption, role, name = argv[2:]

        def control():
            for window in windows():
                if window.name == caption:
                    return find(window, role, name)
            return None

        found = wait_for(control, 5000)
        if found is None:
            print(f"a11y.py: no {role} \"{name}\" in \"{caption}\"", file=sys.stderr)
            return 1
        box = found.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print(box.x + box.width // 2, box.y + box.height // 2)
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
