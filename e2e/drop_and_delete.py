#!/usr/bin/python3
"""Only Windows shows: files dropped through the shell (an X file manager's
XDND drop that Wine turns into WM_DROPFILES) onto the ring and the dock, and
the shell's real icons cached for them, still found once the program folder
has moved (as a user copies it to another computer). Which slot a drop takes,
what the element holds and how the cache's path is stored are checked
headless; throwing an item out is interaction's."""

import shutil
import struct
import subprocess
import time

import harness
import xdnd_drop

RING = {s: harness.item("{app}\\docs\\note.txt", "Item %d" % s, define=harness.TOOL % "MyComputer") for s in (1, 3)}
# The ring's centre at (640, 400).
SETTINGS = {("Position", "Left"): "543", ("Position", "Top"): "316"}


def icon_file(path):
    """Whether the file holds an .ico directory whose first image lies inside it."""
    data = path.read_bytes() if path.exists() else b""
    if len(data) < 22 or struct.unpack_from("<HHH", data)[:2] != (0, 1):
        return False
    size, offset = struct.unpack_from("<II", data, 14)
    return offset + size <= len(data)


def item_picture(h, d, slot, name):
    """The item's rectangle and its grey levels, the pointer away."""
    d.park()
    time.sleep(0.5)
    window = h.shown().get("Circle%d" % slot)
    shot = h.screenshot(name)
    if not window:
        return None, b""
    left, top, right, bottom = window.rect
    return window.rect, subprocess.run(["convert", str(shot), "-crop", "%dx%d+%d+%d" % (
        right - left, bottom - top, left, top), "+repage", "-colorspace", "gray", "-depth", "8", "gray:-"],
        stdout=subprocess.PIPE, check=True).stdout


def scenario(h):
    d = harness.Desktop(h)
    drops = h.out / "drops"
    drops.mkdir()
    shutil.copy(harness.NOTEPAD, drops / "notepad.exe")
    (drops / "Games").mkdir()
    for name in ("计划 书.txt", "extra one.txt", "extra two.txt", "dock note.txt"):
        (drops / name).write_text("text", encoding="utf-8")
    app = h.program(ring=RING, settings=SETTINGS)
    icons = app.folder / "Icon"
    main = h.program_windows()[0]
    ring_point = (harness.centre_of(main.rect)[0], harness.centre_of(main.rect)[1] - 70)  # on the skin, off every item

    def drop(names, point, what):
        d.move(*point)
        time.sleep(0.2)
        failure = xdnd_drop.drop(h.display, [str(drops / n) for n in names], point=point)
        h.check(failure is None, "%s: the window under the pointer takes the drop" % what, failure)

    def ring_case(names, slot, cache):
        drop(names, ring_point, names[0])
        window = h.poll(lambda: h.shown().get("Circle%d" % slot), 5)
        h.check(window, "%s: a window Circle%d appears" % (names[0], slot))
        values = harness.item_values(app.config, "RoundBackground", "Circle%d" % slot)
        h.check(values["File"] == h.win_path(drops / names[0]), "%s: the file's Circle%d holds it" % (names[0], slot),
                values)
        if cache:
            h.check(h.poll(lambda: icon_file(icons / cache), 3), "%s: the shell's icon is cached" % names[0],
                    sorted(p.name for p in icons.iterdir()))
        else:
            h.check(not (icons / (names[0] + ".ico")).exists(), "%s: nothing is cached" % names[0])
        shot = h.screenshot("ring-%d" % slot)
        h.check(window and h.colours(shot, window.rect) > 16, "%s: the item shows a picture" % names[0])

    h.cases([(["notepad.exe"], 2, "notepad.exe.ico"), (["Games"], 4, None),
             (["计划 书.txt", "extra one.txt", "extra two.txt"], 5, "计划 书.txt.ico")], ring_case)
    time.sleep(0.5)
    h.check("Circle6" not in h.shown(), "the other files of a drop add nothing")

    bar = h.shown().get("RectForm")
    if h.check(bar, "the dock bar is shown to take a drop"):
        count = len(harness.parse_config(app.config).find("RectBackground"))
        drop(["dock note.txt"], harness.centre_of(bar.rect), "a document on the dock bar")
        h.check(h.poll(lambda: "Rect%d" % (count + 1) in h.shown(), 5), "a window Rect%d appears" % (count + 1))
        values = harness.item_values(app.config, "RectBackground", "Rect%d" % (count + 1))
        h.check(values and values["File"] == h.win_path(drops / "dock note.txt"), "the file's dock list gains it",
                values)
        h.screenshot("dock-drop")
    rect, before = item_picture(h, d, 2, "before-move")
    h.check(h.close_app(app) is not None, "the program ends when closed")
    values = harness.item_values(app.config, "RoundBackground", "Circle2")
    h.check(values["IconPath/Default"] == "Icon\\notepad.exe.ico",
            "the file keeps the cached picture relative to the program folder", values)

    moved = h.out / "after move"
    shutil.move(str(app.folder), str(moved))
    app = h.start_ready(moved)
    moved_rect, after = item_picture(h, d, 2, "after-move")
    differing = sum(1 for a, b in zip(before, after) if abs(a - b) > 12)
    h.check(moved_rect == rect and len(after) == len(before) and differing <= len(before) // 50,
            "after the move the program's item stands where it stood with the same picture, not the placeholder",
            (moved_rect, rect, "%d of %d pixels differ" % (differing, len(before))))
    h.close_app(app)


if __name__ == "__main__":
    harness.run_scenario("drop_and_delete", scenario, time_limit=280)
