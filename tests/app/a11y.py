#!/usr/bin/python3
"""Asks the program's accessibility tree (AT-SPI) what it shows and where, and
works its controls, as a screen reader would. Run inside the test's D-Bus
session (a11y.py session). The other tests of this folder import it.

  a11y.py session COMMAND...               run COMMAND on a D-Bus session of its own, with a
                                           runtime folder of its own for the accessibility bus
  a11y.py start-bus                        start the accessibility bus, before the program
  a11y.py window-name TIMEOUT_MS           the caption of the program's first window
  a11y.py centre WINDOW ROLE NAME          "X Y" on the screen: the centre of the control
                                           with that role and name in the window captioned WINDOW
  a11y.py names WINDOW ROLE                the names of the controls with that role in the
                                           window captioned WINDOW, one a line
  a11y.py dump                             the program's tree: role, name, states, interfaces
  a11y.py name CONTROL                     the accessible name the main window's form gives
                                           the control with that object name (Text1, ...)

Exit status: 0 on success, 1 when nothing matches in time, 2 on misuse.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
from xml.etree import ElementTree

import pyatspi
from gi.repository import GLib

import xsession
spawn = xsession.spawn  # the tests beside this one start their programs through it

APPLICATION = "Ferolune"
FORM = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "ui", "form1.ui")


def accessible_names(*controls):
    """The accessible names the main window's form gives those controls."""
    form = ElementTree.parse(FORM)
    return [form.find(f".//widget[@name='{control}']/property[@name='accessibleName']/string").text
            for control in controls]


def start_bus():
    pyatspi.Registry.getDesktop(0)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == APPLICATION:
            return app
    return None


def windows():
    """The program's windows on the screen; closed ones stay in the tree, hidden."""
    app = application()
    return [w for w in app if w is not None and "showing" in states(w)] if app else []


def window(caption):
    return next((w for w in windows() if w.name == caption), None)


def children(node):
    return [c for c in node if c is not None]


def find(node, role, name):
    if node.getRoleName() == role and node.name == name:
        return node
    for child in children(node):
        found = find(child, role, name)
        if found:
            return found
    return None


def descendants(node):
    for child in children(node):
        yield child
        yield from descendants(child)


def states(node):
    return {pyatspi.stateToString(s) for s in node.getState().getStates()}


def interfaces(node):
    return set(node.get_interfaces())


def text_of(node):
    return node.queryText().getText(0, -1)


def set_text(node, text):
    node.queryEditableText().setTextContents(text)


def press(node):
    """Runs the control's first action, which is Press for a button."""
    node.queryAction().doAction(0)


def extents(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


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


def control(caption, role, name, timeout_ms=5000):
    def look():
        w = window(caption)
        return find(w, role, name) if w else None
    return wait_for(look, timeout_ms)


def dump(node, depth=0, out=sys.stdout):
    line = f"{'  ' * depth}{node.getRoleName()} {node.name!r}"
    if node.description:
        line += f" description={node.description!r}"
    line += f" [{', '.join(sorted(states(node)))}] {{{', '.join(sorted(interfaces(node)))}}}"
    if "Text" in interfaces(node) and text_of(node):
        line += f" text={text_of(node)!r}"
    print(line, file=out)
    for child in children(node):
        dump(child, depth + 1, out)


def program_environment(**settings):
    """The environment to start the program in: a desktop session's display, scaling
    and style settings left out, the accessibility bridge on, and SETTINGS."""
    return xsession.environment(QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", **settings)


class Checks:
    """Counts and prints the checks of a test; ends it at the first failure
    when asked to."""

    def __init__(self):
        self.failed = 0
        self.passed = 0

    def __call__(self, condition, what, fatal=False):
        if condition:
            self.passed += 1
            print(f"ok - {what}")
        else:
            self.failed += 1
            print(f"FAIL: {what}", file=sys.stderr)
            if fatal:
                self.finish()
        return condition

    def finish(self):
        print(f"{self.passed} passed, {self.failed} failed")
        sys.exit(1 if self.failed else 0)


def session(command):
    """Runs COMMAND on a D-Bus session of its own. The accessibility bus puts its
    socket in the runtime folder, which other tests running at the same time
    must not share."""
    runtime = tempfile.mkdtemp(prefix="ferolune-runtime-")
    try:
        env = dict(os.environ, XDG_RUNTIME_DIR=runtime)
        return subprocess.run(["dbus-run-session", "--"] + command, env=env).returncode
    finally:
        shutil.rmtree(runtime, ignore_errors=True)


def main(argv):
    if argv[1:2] == ["session"] and len(argv) > 2:
        return session(argv[2:])
    if argv[1:2] == ["start-bus"] and len(argv) == 2:
        start_bus()
        return 0
    if argv[1:2] == ["window-name"] and len(argv) == 3:
        first = wait_for(lambda: next(iter(windows()), None), int(argv[2]))
        if first is None:
            print(f"a11y.py: {APPLICATION} shows no window", file=sys.stderr)
            return 1
        print(first.name)
        return 0
    if argv[1:2] == ["centre"] and len(argv) == 5:
        caption, role, name = argv[2:]
        found = control(caption, role, name)
        if found is None:
            print(f"a11y.py: no {role} \"{name}\" in \"{caption}\"", file=sys.stderr)
            return 1
        x, y, width, height = extents(found)
        print(x + width // 2, y + height // 2)
        return 0
    if argv[1:2] == ["names"] and len(argv) == 4:
        caption, role = argv[2:]
        shown = wait_for(lambda: window(caption), 5000)
        if shown is None:
            print(f"a11y.py: no window \"{caption}\"", file=sys.stderr)
            return 1
        for node in descendants(shown):
            if node.getRoleName() == role:
                print(node.name)
        return 0
    if argv[1:2] == ["name"] and len(argv) == 3:
        print(accessible_names(argv[2])[0])
        return 0
    if argv[1:2] == ["dump"] and len(argv) == 2:
        app = application()
        if app is None:
            print(f"a11y.py: {APPLICATION} is not on the bus", file=sys.stderr)
            return 1
        dump(app)
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
