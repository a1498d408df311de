#!/usr/bin/python3
"""What a screen reader finds in the real program: runs it on the accessibility
bus of the test's D-Bus session and checks the roles, names, states and
interfaces of its windows and controls, working them through AT-SPI alone.

  a11y.py session xsession.py accessibility_test.py PROGRAM
"""
import json
import os
import sys

import a11y

ENTRIES = a11y.accessible_names("Text1", "Text2", "Text3")
RESULTS = a11y.accessible_names("Text4", "Text5", "Text6")
# The principle picture's lines, as the picture generator wrote them beside it.
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "ui", "assets", "principle.json")) as f:
    PRINCIPLE_LINES = [line["text"] for line in json.load(f)["lines"]]
TIMEOUT_MS = 10000


def main(program):
    check = a11y.Checks()
    a11y.start_bus()
    app = a11y.spawn([program], env=a11y.program_environment(DISPLAY=os.environ["DISPLAY"], QT_QPA_PLATFORM="xcb"))
    try:
        run(check)
        if check.failed:
            a11y.dump(a11y.application(), out=sys.stderr)
        check(app.wait(10) == 0, "退出 ends the program with status 0")
    finally:
        if app.poll() is None:
            app.kill()
    check.finish()


def run(check):
    main_window = a11y.wait_for(lambda: next(iter(a11y.windows()), None), TIMEOUT_MS)
    check(main_window is not None, "the program shows a window", fatal=True)
    caption = main_window.name
    check(main_window.getRoleName() == "frame", f"the main window \"{caption}\" is a frame: {main_window.getRoleName()}")

    def control(role, name, window=caption):
        found = a11y.control(window, role, name)
        check(found is not None, f"{role} \"{name}\" in \"{window}\"", fatal=True)
        return found

    entries = [control("text", name) for name in ENTRIES]
    results = [control("text", name) for name in RESULTS]
    for name, box in zip(ENTRIES, entries):
        states, interfaces = a11y.states(box), a11y.interfaces(box)
        check("editable" in states and "read only" not in states and "EditableText" in interfaces,
              f"entry \"{name}\" is editable: {sorted(states)} {sorted(interfaces)}")
    for name, box in zip(RESULTS, results):
        states, interfaces = a11y.states(box), a11y.interfaces(box)
        check("read only" in states and "editable" not in states and "EditableText" not in interfaces
              and "Text" in interfaces,
              f"result \"{name}\" is read-only text: {sorted(states)} {sorted(interfaces)}")

    # Each name is heard once: the glyphs above the boxes are not in the tree.
    names = [node.name for node in a11y.descendants(main_window)]
    for name in ENTRIES + RESULTS:
        check(names.count(name) == 1, f"\"{name}\" is named once, not {names.count(name)} times")
    images = [node.name for node in a11y.descendants(main_window) if node.getRoleName() == "image"]
    check(images == ["电容单位换算"], f"the only picture is the capacitance banner: {images}")
    for group, units in (("输入", ["欧姆", "欧姆", "微法"]), ("输出", ["秒", "秒", "秒"])):
        labels = [node.name for node in a11y.children(control("panel", group)) if node.getRoleName() == "label"]
        check(labels == units, f"the units in \"{group}\" read {labels}")

    # Calculate, typing and pressing through the accessibility interfaces.
    for box, text in zip(entries, ["1000", " 1000 ", "10"]):
        a11y.set_text(box, text)
    a11y.press(control("push button", "计算"))
    shown = a11y.wait_for(lambda: [a11y.text_of(box) for box in results] == ["0.01", "0.01", "0.02"] or None,
                          TIMEOUT_MS)
    check(shown, f"计算 gives {[a11y.text_of(box) for box in results]} in the result boxes")

    # A tone whose times the two decimals lose: the hint tells them unasked.
    for box, text in zip(entries, ["1000", "6800", "0.1"]):
        a11y.set_text(box, text)
    a11y.press(control("push button", "计算"))
    hint = a11y.wait_for(lambda: next((w for w in a11y.windows() if w.getRoleName() == "tool tip"), None),
                         TIMEOUT_MS)
    check(hint is not None and hint.name.startswith("T1 = 540.5 μs\nT2 = 471.2 μs\nT = 1.012 ms\n"),
          f"the hint after 计算 is a tool tip telling the times: {hint and hint.name!r}")

    a11y.set_text(entries[1], "")
    a11y.press(control("push button", "计算"))
    box = a11y.wait_for(lambda: a11y.window("Quandel"), TIMEOUT_MS)
    check(box is not None, "an empty entry brings up the message box \"Quandel\"", fatal=True)
    check(box.getRoleName() == "alert", f"the message box is an alert: {box.getRoleName()}")
    said = [node.name for node in a11y.descendants(box) if node.getRoleName() == "label"]
    check("请填写完整的数据！" in said, f"the message box says {said}")
    a11y.press(control("push button", "确定", "Quandel"))
    check(a11y.wait_for(lambda: a11y.window("Quandel") is None or None, TIMEOUT_MS), "确定 closes the message box")

    a11y.press(control("push button", "计算原理"))
    principle = a11y.wait_for(lambda: a11y.window("计算原理"), TIMEOUT_MS)
    check(principle is not None, "计算原理 opens a window named 计算原理", fatal=True)
    check(principle.getRoleName() == "frame", f"the principle window is a frame: {principle.getRoleName()}")
    kids = a11y.children(principle)
    lines = [node.name for node in kids if node.getRoleName() == "label"]
    check(len(lines) == 6 and lines == PRINCIPLE_LINES, f"the principle picture reads, top to bottom: {lines}")
    tops = [a11y.extents(node)[1] for node in kids if node.getRoleName() == "label"]
    check(tops == sorted(tops), f"its lines lie top to bottom on the screen: {tops}")
    left, top, width, height = a11y.extents(principle)
    inside = all(left <= x and x + w <= left + width and top <= y and y + h <= top + height
                 for x, y, w, h in (a11y.extents(node) for node in kids))
    check(inside, "its lines and button lie inside the window")
    check([(n.getRoleName(), n.name) for n in kids[-1:]] == [("push button", "退出")],
          "its button 退出 comes after the lines")
    a11y.press(kids[-1])
    check(a11y.wait_for(lambda: a11y.window("计算原理") is None or None, TIMEOUT_MS), "退出 closes the principle window")

    a11y.press(control("push button", "退出"))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    main(sys.argv[1])
