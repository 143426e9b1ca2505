#!/usr/bin/python3
"""Only Windows shows: real input routed to the ring's layered windows - the
wheel and the arrow keys turning it, a hovered item dimmed by the window
system with its label under it, a click starting a real program, drags that
exchange (after all that input: a drag once missed its exchange there), put
back and throw out items. Where the items stand is asked of the running
program; the turn's geometry and timing are checked headless; the hot key is
the keyboard scenario's."""

import math
import shutil
import subprocess
import time

import harness
from harness import Desktop, centre_of, item

SLOT_MARKER, SLOT_A, SLOT_THROW, SLOT_B, SLOT_HOVER, SLOT_BACK = 1, 3, 5, 7, 11, 20
SLOTS = (SLOT_MARKER, SLOT_A, SLOT_THROW, SLOT_B, SLOT_HOVER, SLOT_BACK)
MARKER_ARGUMENTS = 'alpha "two words" 第三'
# The ring's centre at (640, 400).
SETTINGS = {("Position", "Left"): "543", ("Position", "Top"): "316", ("HotKey", "Key"): "Q",
            ("ShowRect", "IsShowRect"): "False"}
RING = {SLOT_MARKER: item("{app}\\工具\\marker.exe", "Marker", define=harness.TOOL % "MyComputer",
                          argument=MARKER_ARGUMENTS, initial="{app}\\工作 目录"),
        SLOT_A: item("{app}\\docs\\note.txt", "Alpha", define=harness.TOOL % "MyDocuments", argument="-a"),
        SLOT_THROW: item("{app}\\docs\\note.txt", "Throw Me", define=harness.TOOL % "RecycleBin"),
        SLOT_B: item("{app}\\docs\\note.txt", "Beta", define=harness.TOOL % "MyNetwork", initial="{app}\\docs"),
        SLOT_HOVER: item("{app}\\docs\\note.txt", "Hover Label", define=harness.TOOL % "ControlPanel"),
        SLOT_BACK: item("{app}\\docs\\note.txt", "Outer", define=harness.TOOL % "MyFiles")}


def start(h, name="app"):
    """The ring of six items, one of them starting marker.exe."""
    folder = h.prepare(name, ring=RING, settings=SETTINGS)
    (folder / "工具").mkdir()
    shutil.copy(h.tools / "marker.exe", folder / "工具" / "marker.exe")
    (folder / "工作 目录").mkdir()
    Desktop(h).park()
    return h.start_ready(folder)


def rects(h, unlike=None, timeout=6.0, slots=SLOTS):
    """{slot: rect} of the ring's items once they stand still (and differ from unlike)."""
    def read():
        shown = h.shown()
        return {s: shown["Circle%d" % s].rect if "Circle%d" % s in shown else None for s in slots}
    return h.settled(read, unlike, timeout)


def turn_of(h, before, after):
    """The signed turn of the inner and the outer ring between two placements,
    in radians, as the item windows moved around the main window's centre."""
    main = h.program_windows()[0]
    centre = centre_of(main.rect)

    def angle(rect):
        x, y = centre_of(rect)
        return math.atan2(y - centre[1], x - centre[0])
    return {s: math.remainder(angle(after[s]) - angle(before[s]), 2 * math.pi) for s in before}


def skin_point(h):
    """Half way between the ring skin's centre and its top edge, clear of every item."""
    shown = h.shown()
    skin = shown["BackGroundForm"].rect
    point = ((skin[0] + skin[2]) // 2, (skin[1] * 3 + skin[3]) // 4)
    covered = [t for t, w in shown.items() if t not in ("BackGroundForm", harness.MAIN_TITLE)
               and w.rect[0] - 4 <= point[0] <= w.rect[2] + 4 and w.rect[1] - 4 <= point[1] <= w.rect[3] + 4]
    h.require(not covered, "a point of the ring skin clear of the items", covered)
    return point


def rotations(h, d, rest):
    """Each input turns the ring: a forward turn moves the inner items one way
    and the outer ones the other, and the opposite input brings them back.
    The keys once a click on the skin brought the program forward, as a user does."""
    item_at = lambda: centre_of(rects(h)[SLOT_BACK])
    focus = lambda: (d.click(skin_point(h)), d.focus_on("Circle%d" % SLOT_BACK))
    table = [("wheel down over an item", lambda: d.wheel(item_at(), down=True), "wheel up", lambda: d.wheel(item_at(), down=False)),
             ("key Down", lambda: (focus(), d.key("Down")), "key Up", lambda: d.key("Up"))]

    def case(forward, act, backward, undo):
        # A busy window manager can hand the keyboard focus over after the key: pressed again when no turn came.
        for _ in range(2):
            act()
            d.park()
            turned = rects(h, unlike=rest, timeout=3)
            if turned != rest:
                break
        turns = turn_of(h, rest, turned)
        inner = [t for s, t in turns.items() if s <= 8]
        outer = [t for s, t in turns.items() if s > 8]
        h.require(all(t > 0.1 for t in inner) and all(t < -0.1 for t in outer) and max(inner) - min(inner) < 0.05,
                  "%s turns the inner ring forward, the outer back, every item alike" % forward, turns)
        undo()
        d.park()
        h.check(rects(h, unlike=turned) == rest, "%s turns it back to where it stood" % backward)
    h.cases(table, case)
    h.screenshot("01-after-turns")


def hover(h, d, spot):
    """The hovered item fades (the window system's constant alpha) and its label stands under it."""
    before = h.screenshot("02-before-hover")
    d.move(*centre_of(spot))
    label = h.poll(lambda: [w for w in h.shown().values() if w.rect[1] == spot[3] and not w.title.startswith("Circle")],
                   3)
    time.sleep(0.3)
    hovered = h.screenshot("03-hover")
    if h.check(label, "a label window stands right under the hovered item", h.shown()):
        lw = label[0]
        h.check(h.colours(hovered, lw.rect) > 4 and h.colours(before, lw.rect) == 1, "the label shows its text",
                h.colours(hovered, lw.rect))
    h.check(brightness(hovered, spot) < brightness(before, spot) - 0.02, "the hovered item is dimmed",
            (brightness(hovered, spot), brightness(before, spot)))
    d.park()
    time.sleep(0.6)
    h.check(abs(brightness(h.screenshot("04-hover-left"), spot) - brightness(before, spot)) < 0.01,
            "leaving the item restores it")


def brightness(image, rect):
    crop = "%dx%d+%d+%d" % (rect[2] - rect[0], rect[3] - rect[1], rect[0], rect[1])
    done = subprocess.run(["convert", str(image), "-crop", crop, "-colorspace", "gray", "-format", "%[fx:mean]",
                           "info:"], stdout=subprocess.PIPE, check=True)
    return float(done.stdout)


def launch(h, d, app, spot):
    """A click starts the item's program with its arguments in its working directory; the item bounces."""
    marker = app.folder / "工作 目录" / "marker.txt"
    # The strip just above the item, grabbed as the screen shows it until the bouncing item enters it.
    strip = (spot[0], spot[1] - 8, spot[2], spot[1])
    still = d.grab(strip, 0)[0]
    d.click(centre_of(spot))
    bounced = d.grab(strip, 5.0, until=lambda picture: picture != still)[-1] != still
    if h.check(h.poll(marker.exists, 15), "a click on the item starts its program in its working directory"):
        lines = dict(line.split("=", 1) for line in marker.read_text(encoding="utf-8").splitlines() if "=" in line)
        got = (harness.unescape(lines.get("cwd", "")), harness.unescape(lines.get("args", "")), lines.get("argc"))
        h.check(got == (h.win_path(marker.parent), MARKER_ARGUMENTS, "3"), "with its arguments as written", got)
    h.check(bounced, "the launched item bounces up")
    h.check(h.poll(lambda: rects(h)[SLOT_MARKER] == spot, 3), "and comes back to its place")
    d.park()


def drags(h, d, app, rest, centre):
    """An item dropped on another exchanges with it; on an empty part of the
    ring it goes back; out of the ring it is deleted after its animation. The
    file's side of each is checked headless."""
    before = h.shown()
    held = {}
    d.drag(centre_of(rest[SLOT_A]), centre_of(rest[SLOT_B]), before_release=lambda: held.update(rects(h)))
    d.park()
    time.sleep(0.5)
    h.check(held.get(SLOT_A) == rest[SLOT_B], "the dragged item follows the pointer onto the other", held.get(SLOT_A))
    after = {w.hwnd: (t, w.rect) for t, w in h.shown().items()}
    h.check(after.get(before["Circle%d" % SLOT_A].hwnd) == ("Circle%d" % SLOT_B, rest[SLOT_B]) and
            after.get(before["Circle%d" % SLOT_B].hwnd) == ("Circle%d" % SLOT_A, rest[SLOT_A]),
            "the two windows exchange their names and places")
    h.screenshot("05-exchanged")

    empty = (centre[0] + 150, centre[1] - 40)
    h.require(all(not (r[0] <= empty[0] < r[2] and r[1] <= empty[1] < r[3]) for r in rest.values()),
              "the empty point is clear of every item")
    d.drag(centre_of(rest[SLOT_BACK]), empty)
    d.park()
    h.check(h.poll(lambda: rects(h)[SLOT_BACK] == rest[SLOT_BACK], 3), "an item dropped on the empty ring goes back")

    far = (centre[0] - 400, centre[1] - 250)
    d.drag(centre_of(rest[SLOT_THROW]), far)
    pictures = harness.frames(d.grab((far[0] - 25, far[1] - 25, far[0] + 25, far[1] + 25), 3.0, until=harness.flat))
    h.check(len(pictures) >= 2, "the thrown item plays its delete animation where it was let go", len(pictures))
    h.check(h.wintool("wait-gone", "-", "Circle%d" % SLOT_THROW, 5000).ok, "the thrown item's window goes away")
    d.park()
    h.check(rects(h) == {**rest, SLOT_THROW: None}, "the other items stay where they are")
    h.screenshot("06-after-throw")


def scenario(h):
    d = Desktop(h)
    app = start(h)
    rest = rects(h)
    h.require(all(rest.values()), "the six items have windows", rest)
    shot = h.screenshot("00-start")
    h.check(all(h.colours(shot, r) > 8 for r in rest.values()), "every item shows a picture")
    centre = centre_of(h.program_windows()[0].rect)
    rotations(h, d, rest)
    hover(h, d, rest[SLOT_HOVER])
    launch(h, d, app, rest[SLOT_MARKER])
    drags(h, d, app, rest, centre)
    h.check(h.close_app(app) is not None, "the program ends when closed")


if __name__ == "__main__":
    harness.run_scenario("interaction", scenario, time_limit=280)
