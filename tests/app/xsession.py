#!/usr/bin/python3
"""A private X server for the tests and the start-up benchmark: Xvfb on a display
number it picks itself, optionally with the openbox window manager, taken down
with all it started when the command ends or this process dies.

  xsession.py [--openbox] [--] COMMAND [ARG...]

runs COMMAND with DISPLAY set, Qt's X11 platform, a runtime folder of its own and
none of the desktop session's scaling and style settings, and exits with its status.
From Python: `with xsession.x_server(openbox=True) as display: ...`.
"""
import contextlib
import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SCREEN = "1024x768x24"
# A desktop session's settings that would move and resize what the tests click and measure.
DESKTOP_SETTINGS = ("QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
                    "QT_ENABLE_HIGHDPI_SCALING", "QT_FONT_DPI", "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE")


def _die_with_parent():
    # A test killed outright, e.g. by its timeout, takes what it started along.
    ctypes.CDLL(None).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def spawn(command, **kwargs):
    return subprocess.Popen(command, preexec_fn=_die_with_parent, **kwargs)


def environment(**settings):
    """This process's environment without a desktop session's display and Qt
    settings, plus SETTINGS."""
    env = {k: v for k, v in os.environ.items()
           if k not in DESKTOP_SETTINGS + ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(settings)
    return env


def _stop(process):
    process.terminate()
    try:
        process.wait(5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


@contextlib.contextmanager
def x_server(openbox=False, screen=SCREEN):
    """Xvfb, and openbox when asked, for the duration of the block; gives the DISPLAY."""
    read_end, write_end = os.pipe()
    xvfb = spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen, "-dpi", "96", "-nolisten", "tcp",
                  "-noreset"], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    started = [xvfb]
    try:
        with os.fdopen(read_end) as reported:
            number = reported.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        display = ":" + number
        if openbox:
            started.append(spawn(["openbox", "--sm-disable"], env=environment(DISPLAY=display),
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            _wait_for_window_manager(display, started[-1])
        yield display
    finally:
        for process in reversed(started):
            _stop(process)


def _wait_for_window_manager(display, manager):
    # A window manager announces itself on the root window (EWMH).
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline and manager.poll() is None:
        said = subprocess.run(["xprop", "-root", "-display", display, "_NET_SUPPORTING_WM_CHECK"],
                              capture_output=True, text=True).stdout
        if "window id" in said:
            return
        time.sleep(0.05)
    raise RuntimeError("openbox did not start")


def main(argv):
    args = argv[1:]
    openbox = args[:1] == ["--openbox"]
    args = args[openbox:]
    args = args[1:] if args[:1] == ["--"] else args
    if not args:
        print(__doc__, file=sys.stderr)
        return 2
    # Turns a polite kill into an exit that takes the servers down in order.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    runtime = tempfile.mkdtemp(prefix="ferolune-runtime-")
    try:
        with x_server(openbox) as display:
            env = environment(DISPLAY=display, QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=runtime)
            status = subprocess.run(args, env=env).returncode
        return status if status >= 0 else 128 - status
    finally:
        shutil.rmtree(runtime, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
