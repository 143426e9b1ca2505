#!/usr/bin/python3
"""A dropped program's item keeps its picture when the program folder is
moved, as a user copies it to another computer: the cache file's path is
kept relative to the program folder. How each writer stores the path and
how it is read back is checked headless (ItemFileTest)."""

import shutil
import subprocess
import time

import harness
import xdnd_drop

# The ring's centre at (640, 400); the drop lands on the skin, off every item.
SETTINGS = {("Position", "Left"): "543", ("Position", "Top"): "316", ("ShowRect", "IsShowRect"): "False"}
DROP_POINT = (640, 330)


def item_picture(h, d, name):
    """The item's rectangle and its grey levels on a screenshot named name."""
    d.park()
    time.sleep(0.5)
    window = h.shown().get("Circle1")
    shot = h.screenshot(name)
    if not window:
        return None, b"", shot
    left, top, right, bottom = window.rect
    grey = subprocess.run(["convert", str(shot), "-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top),
                           "+repage", "-colorspace", "gray", "-depth", "8", "gray:-"], stdout=subprocess.PIPE,
                          check=True).stdout
    return window.rect, grey, shot


def scenario(h):
    d = harness.Desktop(h)
    drops = h.out / "drops"
    drops.mkdir()
    program = drops / "notepad.exe"
    shutil.copy(harness.NOTEPAD, program)
    app = h.program("before", settings=SETTINGS)
    d.move(*DROP_POINT)
    time.sleep(0.2)
    result = xdnd_drop.drop(h.display, [str(program)], point=DROP_POINT)
    h.require(result.ok, "the ring takes the dropped program", result)
    h.require(h.poll(lambda: "Circle1" in h.shown(), 5), "the program becomes the item of slot 1")
    rect, before, shot = item_picture(h, d, "01-dropped")
    h.check(h.colours(shot, rect) > 8, "the item shows a picture", h.colours(shot, rect))
    h.check(h.close_app(app) is not None, "the program ends when closed")
    values = harness.item_values(app.config, "RoundBackground", "Circle1") or {}
    h.check(values.get("IconPath/Default") == "Icon\\notepad.exe.ico",
            "the file keeps the cached picture relative to the program folder", values)

    moved = h.out / "after move"
    shutil.move(str(app.folder), str(moved))
    app = h.start_ready(moved)
    h.require(h.poll(lambda: "Circle1" in h.shown(), 5), "the item is there after the move")
    moved_rect, after, _ = item_picture(h, d, "02-moved")
    h.check(moved_rect == rect, "the item stands where it stood", (moved_rect, rect))
    differing = sum(1 for a, b in zip(before, after) if abs(a - b) > 12)
    h.check(len(after) == len(before) and differing <= len(before) // 50,
            "the moved program shows the same picture, not the placeholder",
            "%d of %d pixels differ" % (differing, len(before)))
    h.check(h.close_app(app) is not None, "the program ends when closed")


if __name__ == "__main__":
    harness.run_scenario("moved_folder", scenario, time_limit=200)
