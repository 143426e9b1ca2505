#!/usr/bin/python3
"""Only Windows shows: the items' pictures pushed to real layered windows and
seen on the screen - the shipped tool pictures, a missing picture's
placeholder, a named program's empty plate - and the center's clock with its
moving hand. Decoding
every kind of picture, where the slots stand and how the file is completed on
loading are checked headless."""

import subprocess
import time

import harness

TARGET = "{app}\\docs\\note.txt"
RING = {1: harness.item(TARGET, "帮助", define=harness.TOOL % "Help"),
        4: harness.item("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "我的电脑", define=harness.TOOL % "MyComputer"),
        6: harness.item(TARGET, "没有图片", define="{app}\\pictures\\missing.png"),
        7: harness.item("{app}\\gone.exe", "不在了", define=harness.TOOL % "RecycleBin"),
        17: harness.item("", "QuorvelNoSuchProgram", http="http://example.invalid/"),
        20: harness.item(TARGET, "最后", define=harness.TOOL % "MyNetwork")}
SETTINGS = {("Position", "Left"): "600", ("Position", "Top"): "230", ("ShowRect", "IsShowRect"): "False",
            ("Center", "Index"): "5"}


def differs(a, b, rect):
    crop = "%dx%d+%d+%d" % (rect[2] - rect[0], rect[3] - rect[1], rect[0], rect[1])
    done = subprocess.run(["compare", "-metric", "AE", "(", str(a), "-crop", crop, "+repage", ")",
                           "(", str(b), "-crop", crop, "+repage", ")", "null:"], stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE)
    return float(done.stderr.decode().split()[0] or 0) > 20


def scenario(h):
    app = h.program(ring=RING, settings=SETTINGS)
    shot = h.screenshot("ring")
    shown = h.shown()
    for slot in sorted(RING):
        window = shown.get("Circle%d" % slot)
        # A named program draws its own picture from the tool folder, and this one has none.
        if h.check(window, "slot %d has a visible window" % slot):
            colours = h.colours(shot, window.rect)
            h.check(colours <= 4 if slot == 17 else colours > 8, "slot %d shows %s" % (
                slot, "an empty plate" if slot == 17 else "its picture"), colours)
    center = shown["CenterForm"].rect
    time.sleep(1.3)
    h.check(differs(shot, h.screenshot("clock-later"), center), "the clock's second hand moves")
    h.close_app(app)


harness.run_scenario("ring_items", scenario)
