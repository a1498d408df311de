#!/usr/bin/python3
"""The real program on Wayland: runs it on a headless weston of its own with
Qt's Wayland platform, looks for its window on weston's screen, calculates
through the accessibility interfaces and ends it with 退出; then once more
without naming the platform, as from a Wayland desktop without an X server, and
once more naming no compositor either, which then is the default one, wayland-0
in the runtime folder (the test's own, from a11y.py session).
Run it on a D-Bus session of its own (a11y.py session).

  wayland_test.py PROGRAM
"""
import json
import os
import subprocess
import sys
import tempfile
import time

from PIL import Image

import a11y

SOCKET = "wayland-0"
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "ferolune.json")) as facts:
    ORANGE = tuple(json.load(facts)["colours"]["orange"])
TIMEOUT_S = 10


def start_weston(folder):
    # The pixel renderer, so that the screen can be read back; --debug allows that.
    log = open(os.path.join(folder, "weston.log"), "w")
    weston = a11y.spawn(["weston", "--backend=headless-backend.so", "--use-pixman", "--debug",
                         f"--socket={SOCKET}", "--idle-time=0", "--width=1024", "--height=768"],
                        stdout=log, stderr=subprocess.STDOUT)
    socket = os.path.join(os.environ["XDG_RUNTIME_DIR"], SOCKET)
    deadline = time.monotonic() + TIMEOUT_S
    while not os.path.exists(socket) and weston.poll() is None and time.monotonic() < deadline:
        time.sleep(0.05)
    return weston if os.path.exists(socket) else None


def orange_pixels(folder):
    """How many pixels of the window's orange weston's screen shows."""
    shots = os.path.join(folder, "shots")
    os.makedirs(shots, exist_ok=True)
    for old in os.listdir(shots):
        os.remove(os.path.join(shots, old))
    subprocess.run(["weston-screenshooter"], cwd=shots, env=dict(os.environ, WAYLAND_DISPLAY=SOCKET),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=TIMEOUT_S)
    taken = os.listdir(shots)
    if not taken:
        return 0
    with Image.open(os.path.join(shots, taken[0])) as shot:
        return sum(1 for pixel in shot.convert("RGB").getdata() if pixel == ORANGE)


def main(program):
    check = a11y.Checks()
    with tempfile.TemporaryDirectory() as folder:
        weston = start_weston(folder)
        if not check(weston is not None, "a headless weston is running"):
            with open(os.path.join(folder, "weston.log")) as log:
                print(log.read(), file=sys.stderr)
            check.finish()
        a11y.start_bus()
        try:
            for settings, calculate in (({"QT_QPA_PLATFORM": "wayland", "WAYLAND_DISPLAY": SOCKET}, True),
                                        ({"WAYLAND_DISPLAY": SOCKET}, False), ({}, False)):
                app = a11y.spawn([program], env=a11y.program_environment(**settings))
                try:
                    run(check, folder, calculate)
                    try:
                        status = app.wait(TIMEOUT_S)
                    except subprocess.TimeoutExpired:
                        status = None
                    check(status == 0, f"退出 ends the program with status {status} ({settings or 'neither named'})")
                finally:
                    if app.poll() is None:
                        app.kill()
        finally:
            weston.terminate()
            weston.wait()
    check.finish()


def run(check, folder, calculate):
    window = a11y.wait_for(lambda: next(iter(a11y.windows()), None), TIMEOUT_S * 1000)
    check(window is not None, "the program shows its main window", fatal=True)
    caption = window.name

    # The orange client area is 397 by 258 pixels, less its boxes, pictures and buttons.
    deadline = time.monotonic() + TIMEOUT_S
    shown = orange_pixels(folder)
    while shown < 50000 and time.monotonic() < deadline:
        time.sleep(0.2)
        shown = orange_pixels(folder)
    check(shown >= 50000, f"weston's screen shows the main window: {shown} orange pixels")
    if not calculate:
        a11y.press(a11y.control(caption, "push button", "退出"))
        return

    def control(name, role="push button"):
        found = a11y.control(caption, role, name)
        check(found is not None, f"\"{name}\" in \"{caption}\"", fatal=True)
        return found

    for name, text in zip(a11y.accessible_names("Text1", "Text2", "Text3"), ("1000", " 1000 ", "10")):
        a11y.set_text(control(name, "text"), text)
    a11y.press(control("计算"))
    results = [control(name, "text") for name in a11y.accessible_names("Text4", "Text5", "Text6")]
    a11y.wait_for(lambda: [a11y.text_of(box) for box in results] == ["0.01", "0.01", "0.02"] or None,
                  TIMEOUT_S * 1000)
    texts = [a11y.text_of(box) for box in results]
    check(texts == ["0.01", "0.01", "0.02"], f"计算 with 1000, ' 1000 ', 10 gives {texts}")
    a11y.press(control("退出"))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    main(sys.argv[1])
