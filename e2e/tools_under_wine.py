#!/usr/bin/python3
"""The test tools themselves under Wine: what the other scenarios rely on
(Unicode arguments, dialog texts and buttons, tray counting, launching)."""

import subprocess

import harness

CAPTION = "提示"
TEXT = "配置文件无法读取，请检查或重新下载。\nError at offset 12"


def read_marker(path):
    values = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        key, _, value = line.partition("=")
        values[key] = harness.unescape(value)
    return values


def scenario(h):
    # Arguments and working directory reach a program as given, Chinese included.
    folder = h.out / "启动 目录"
    folder.mkdir()
    (folder / "marker.exe").write_bytes((h.tools / "marker.exe").read_bytes())
    done = subprocess.run(["wine", str(folder / "marker.exe"), "文件 一", "-x", 'say "hi"'], cwd=folder, env=h.env,
                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    h.require(done.returncode == 0 and (folder / "marker.txt").exists(), "marker wrote marker.txt")
    marker = read_marker(folder / "marker.txt")
    h.check(marker.get("cwd") == h.win_path(folder), "marker's working directory", marker.get("cwd"))
    h.check([marker.get("arg%d" % i) for i in (1, 2, 3)] == ["文件 一", "-x", 'say "hi"'] and marker.get("argc") == "3",
            "marker's arguments", marker)

    # A message box: its texts, found by a Chinese caption, and its OK button.
    box = h.spawn_wintool("message-box", CAPTION, TEXT)
    texts = h.wintool("dialog-text", CAPTION, 20000)
    h.require(texts.ok, "dialog-text finds the box by its caption", texts)
    h.check([harness.unescape(line) for line in texts.lines] == [TEXT], "dialog-text reads the box's text", texts.lines)
    dialogs = [w for w in h.windows() if w.title == CAPTION and w.visible]
    h.require(len(dialogs) == 1, "the box is a visible top-level window", dialogs)
    shot = h.screenshot("message-box")
    h.check(h.colours(shot, dialogs[0].rect) > 8, "the box is drawn on the screen")
    pressed = h.wintool("dialog-press", CAPTION, 1)
    h.check(pressed.ok, "dialog-press closes the box", pressed)
    answer = box.result(20)
    h.check(answer.ok and answer.lines == ["1"], "the box answered IDOK", answer)

    # Tray icons of another program are counted, and their removal too.
    demo = h.spawn_wintool("tray-demo", "2", "4000")
    count = h.poll(lambda: h.tray_icons() == 2, 15)
    h.check(count, "two tray icons counted while shown")
    trays = [w for w in h.windows() if w.cls == "__winex11_standalone_tray"]
    shot = h.screenshot("tray")
    h.check(trays and h.colours(shot, trays[0].rect) > 8, "the tray window is drawn", trays)
    h.check(demo.result(30).ok, "the tray demo ended")
    h.check(h.poll(lambda: h.tray_icons() == 0, 10), "no tray icon after they were removed")

    # Launch timing of the baseline program.
    timed = h.wintool("launch-and-wait-exit", h.win_path(h.tools / "noop.exe"), 20000)
    h.require(timed.ok and len(timed.lines) == 2, "launch-and-wait-exit runs noop.exe", timed)
    h.check(0 < float(timed.lines[0]) < 20000 and timed.lines[1] == "0", "noop.exe ran and exited with 0",
            timed.lines)
    h.check(h.wintool("find", harness.MAIN_CLASS, harness.MAIN_TITLE).code == 1, "find fails for an absent window")


harness.run_scenario("tools_under_wine", scenario, needs_program=False)
