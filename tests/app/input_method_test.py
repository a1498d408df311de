#!/usr/bin/python3
"""Typing through a real Chinese input method: fcitx5 with its pinyin engine,
in its default settings, on an Xvfb of its own (xsession.py), a D-Bus session (a11y.py session) and a
HOME of the test's own. Types what a user types, with real X key events, and
checks the code points each entry holds and what the program read: the last
line of T1's accessible description.

  input_method_test.py PROGRAM LOCALE_FOLDER

The zh_CN.UTF-8 locale is made in LOCALE_FOLDER when the system lacks it.
"""
import os
import subprocess
import sys
import tempfile

from gi.repository import Gio, GLib

import a11y
import xsession

TIMEOUT_MS = 15000
PROFILE = """[Groups/0]
Name=Default
Default Layout=us
DefaultIM=pinyin

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=Default
"""
# The full-width action has no hot key of its own by default.
FULL_WIDTH_HOT_KEY = "[Hotkey]\n0=Shift+space\n"

# Entry, keys, the text the entry then holds. Pinyin's punctuation, on by
# default, turns "." into "。" unless it follows a half-width digit.
TYPED = [
    ("R_A 电阻（Ω）", ["period", "5"], "。5"),
    ("R_B 电阻（Ω）", ["4", "7", "Left", "period"], "4。7"),
    ("C 电容（μF）", ["shift+space", "4", "period", "7", "shift+space"], "４。７"),
]
READ = "读入 R_A = 0.5000 Ω，R_B = 4.700 Ω，C = 4.700 μF"


def locale_environment(folder):
    """LOCPATH for a zh_CN.UTF-8 made here when the system has none."""
    installed = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    if "zh_CN.utf8" in installed:
        return {}
    made = os.path.join(folder, "zh_CN.utf8")
    if not os.path.isdir(made):
        os.makedirs(folder, exist_ok=True)
        partial = tempfile.mkdtemp(dir=folder)
        subprocess.run(["localedef", "-i", "zh_CN", "-f", "UTF-8", os.path.join(partial, "zh_CN.utf8")])
        os.rename(os.path.join(partial, "zh_CN.utf8"), made)
        os.rmdir(partial)
    return {"LOCPATH": folder}


def fcitx_is_up():
    # Asked without starting anything: the bus would start its own fcitx5 on a
    # call to the name, with the session's HOME instead of the test's.
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    reply = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
                          GLib.Variant("(s)", ("org.fcitx.Fcitx5",)), None, Gio.DBusCallFlags.NONE, -1)
    return reply.unpack()[0] or None


def code_points(text):
    return " ".join(f"U+{ord(c):04X}" for c in text)


def main(program, locale_folder):
    check = a11y.Checks()
    a11y.start_bus()
    with xsession.x_server() as display, tempfile.TemporaryDirectory() as home:
        os.makedirs(os.path.join(home, ".config/fcitx5/conf"))
        with open(os.path.join(home, ".config/fcitx5/profile"), "w") as profile:
            profile.write(PROFILE)
        with open(os.path.join(home, ".config/fcitx5/conf/fullwidth.conf"), "w") as conf:
            conf.write(FULL_WIDTH_HOT_KEY)
        env = dict(HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local/share"), XDG_CACHE_HOME=os.path.join(home, ".cache"),
                   LANG="zh_CN.UTF-8", LC_ALL="zh_CN.UTF-8", DISPLAY=display, **locale_environment(locale_folder))
        fcitx_env = {k: v for k, v in os.environ.items() if k not in ("WAYLAND_DISPLAY", "QT_IM_MODULE")}
        fcitx = a11y.spawn(["fcitx5"], env=dict(fcitx_env, **env), stdout=subprocess.DEVNULL,
                           stderr=open(os.path.join(home, "fcitx5.log"), "w"))
        app = None
        try:
            check(a11y.wait_for(fcitx_is_up, TIMEOUT_MS), "fcitx5 is on the test's D-Bus session", fatal=True)
            app = a11y.spawn([program], env=a11y.program_environment(QT_QPA_PLATFORM="xcb", QT_IM_MODULE="fcitx",
                                                                     **env))
            run(check, app, env)
            check(app.wait(10) == 0, "退出 ends the program with status 0")
        finally:
            if check.failed:
                with open(os.path.join(home, "fcitx5.log")) as log:
                    print(log.read()[-3000:], file=sys.stderr)
            for process in (app, fcitx):
                if process and process.poll() is None:
                    process.kill()
    check.finish()


def run(check, app, env):
    window = a11y.wait_for(lambda: next(iter(a11y.windows()), None), TIMEOUT_MS)
    check(window is not None, "the program shows its main window", fatal=True)
    caption = window.name

    def control(role, name):
        found = a11y.control(caption, role, name)
        check(found is not None, f"{role} \"{name}\"", fatal=True)
        return found

    def xdotool(*args):
        subprocess.run(["xdotool", *args], env=dict(os.environ, **env), check=True)

    def remote(*args):
        return subprocess.run(["fcitx5-remote", *args], env=dict(os.environ, **env), capture_output=True,
                              text=True).stdout.strip()

    def type_into(entry, keys, done):
        """Clicks the entry, types the keys and returns its text once done(text)."""
        x, y, width, height = a11y.extents(entry)
        xdotool("mousemove", str(x + width // 2), str(y + height // 2), "click", "1")
        a11y.wait_for(lambda: "focused" in a11y.states(entry) or None, TIMEOUT_MS)
        xdotool("key", "--delay", "50", *keys)
        a11y.wait_for(lambda: done(a11y.text_of(entry)) or None, TIMEOUT_MS)
        return a11y.text_of(entry)

    def calculate():
        t1 = control("text", "T1 充电时间（秒）")
        before = t1.description
        a11y.press(control("push button", "计算"))
        a11y.wait_for(lambda: t1.description != before or None, TIMEOUT_MS)
        return t1.description.splitlines()[-1]

    # No window manager: the window is given the X input focus directly.
    xdotool("search", "--sync", "--onlyvisible", "--pid", str(app.pid), ".", "windowfocus", "--sync")
    entries = {name: control("text", name) for name, _, _ in TYPED}
    a11y.wait_for(lambda: "focused" in a11y.states(entries[TYPED[0][0]]) or None, TIMEOUT_MS)
    # The input context exists once the entry has the focus; -o switches it to pinyin.
    active = a11y.wait_for(lambda: (remote("-o"), remote())[1] == "2" or None, TIMEOUT_MS)
    check(active and remote("-n") == "pinyin", f"pinyin is active in the entry: {remote('-n')}", fatal=True)

    for name, keys, expected in TYPED:
        held = type_into(entries[name], keys, lambda text: text == expected)
        check(held == expected, f"{' '.join(keys)} into {name}: {code_points(held)}, expected {code_points(expected)}")
    read = calculate()
    check(read == READ, f"计算 reads them as decimals: {read}")

    # No input-method hint makes pinyin pass letters through: "e" opens a
    # preedit, and "3" picks its third candidate.
    held = type_into(entries[TYPED[0][0]], ["ctrl+a", "BackSpace", "1", "e", "3"], lambda text: len(text) == 2)
    check(len(held) == 2 and held[0] == "1" and "\u4e00" <= held[1] <= "\u9fff",
          f"1 e 3 with pinyin on gives 1 and an ideograph: {code_points(held)}")
    read = calculate()
    check(read.startswith("读入 R_A = 1.000 Ω，"), f"计算 reads the 1 before it: {read}")
    a11y.press(control("push button", "退出"))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    main(sys.argv[1], sys.argv[2])
