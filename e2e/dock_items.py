#!/usr/bin/python3
"""Only Windows shows: the dock's real layered windows under real pointer
input - magnification as the windows move, clicks routed to the item under
the pointer, a transparent bar (a drag off the bar is checked headless, a real
throw out in interaction).
Where each window should stand is asked of the running program (its window
list); the layout's numbers are checked headless."""

import shutil

import harness

COUNT = 30
PARK = (1200, 420)  # bare desktop between the two edges
PICTURES = ("MyComputer", "MyNetwork", "MyDocuments", "RecycleBin", "ControlPanel", "MyFiles", "Help")


def row(h, count, unlike=None):
    """(bar rect, [item rect]) once the windows stand still (and differ from unlike)."""
    def read():
        shown = h.shown()
        return (shown["RectForm"].rect if "RectForm" in shown else None,
                [shown["Rect%d" % j].rect if "Rect%d" % j in shown else None for j in range(1, count + 1)])
    return h.settled(read, unlike)


def under(rects, x):
    return next((i for i, r in enumerate(rects) if r and r[0] <= x < r[2]), None)


def check_row(h, what, bar, rects):
    """The bar and a window for every item, in a closed row: the real windows follow the layout."""
    h.require(bar and all(rects), "%s: the bar and every item have windows" % what, (bar, rects.count(None)))
    gaps = [i + 1 for i in range(len(rects) - 1) if rects[i][2] != rects[i + 1][0]]
    h.check(not gaps, "%s: the items make a closed row" % what, gaps)


def check_bar(h, shot, what, bar, rects, drawn):
    """The strip between the items and the bar's far edge shows the bar, or nothing."""
    strip = (bar[0] + 30, rects[0][3] + 1, bar[2] - 30, min(bar[3], 800, rects[0][3] + 6))
    colours = h.colours(shot, strip)
    h.check(colours > 4 if drawn else colours == 1, "%s: the bar %s" % (what, "is drawn" if drawn else "shows nothing"),
            colours)
    seen = [h.colours(shot, r) for r in rects[::5] if r[0] >= 0 and r[2] <= 1280]
    h.check(seen and min(seen) > 16, "%s: the items show their pictures" % what, seen)


def magnify(h, d, what, pointer, bottom, rest):
    d.move(*pointer)
    bar, rects = row(h, COUNT, unlike=rest)
    check_row(h, what, bar, rects)
    sizes = [r[2] - r[0] for r in rects]
    k = under(rects, pointer[0])
    h.require(k is not None, "%s: an item lies under the pointer" % what)
    h.check(sizes[k] == max(sizes) > 50, "%s: Rect%d under the pointer is the largest" % (what, k + 1), sizes)
    h.check(all(sizes[i] <= sizes[i + 1] for i in range(k)) and all(sizes[i] >= sizes[i + 1] for i in range(k, COUNT - 1))
            and sizes[0] == sizes[-1] == 50, "%s: sizes fall off on both sides down to 50" % what, sizes)
    h.screenshot("%s-magnified" % what)
    # The way out is the bar's margin on the screen's side.
    d.move(pointer[0], bar[1] + 6 if bottom else bar[3] - 6)
    h.check(row(h, COUNT, unlike=(bar, rects)) == rest, "%s: the pointer in the bar's margin brings the row back to rest" % what)


def launch(h, d, what, app, x, y, rest):
    """Onto the bar again: the click goes to the item under the pointer once the row settled there."""
    marker = app.folder / "工作 目录" / "marker.txt"
    marker.unlink(missing_ok=True)
    d.move(x, y)
    k = under(row(h, COUNT, unlike=rest)[1], x)
    d.xdo("click", 1)
    if h.check(h.poll(marker.exists, 15), "%s: a click starts the item's program" % what):
        lines = dict(line.split("=", 1) for line in marker.read_text(encoding="utf-8").splitlines() if "=" in line)
        h.check(lines.get("arg1") == str(k + 1), "%s: it is Rect%d's, under the pointer" % (what, k + 1), lines)


def start(h, name, position, transparence):
    dock = [harness.item("{app}\\marker.exe", "Item %d" % j, define=harness.TOOL % PICTURES[j % len(PICTURES)],
                         argument='%d "two words"' % j, initial="{app}\\工作 目录") for j in range(1, COUNT + 1)]
    folder = h.prepare(name, dock=dock, settings={("ShowRect", "RectPosition"): str(position),
                                                   ("ShowRect", "RectTransparence"): str(transparence),
                                                   ("ShowRound", "IsShowRound"): "False"})
    (folder / "工作 目录").mkdir()
    shutil.copy(h.tools / "marker.exe", folder / "marker.exe")
    harness.Desktop(h).move(*PARK)
    return h.start_ready(folder)


def edge(h, d, what, bottom):
    name = what
    app = start(h, name, int(bottom), 0 if bottom else 100)
    rest = row(h, COUNT)
    check_row(h, what + " at rest", *rest)
    h.check([r[2] - r[0] for r in rest[1]] == [50] * COUNT, "%s: every item rests at one size" % what)
    check_bar(h, h.screenshot(name + "-rest"), what + " at rest", *rest, not bottom)
    pointer = harness.centre_of(rest[1][15])
    magnify(h, d, what, pointer, bottom, rest)
    launch(h, d, what, app, pointer[0] + 1, pointer[1], rest)
    d.move(*PARK)
    h.close_app(app)


def scenario(h):
    d = harness.Desktop(h)
    h.cases([("top", False), ("bottom", True)], lambda name, bottom: edge(h, d, name, bottom))


if __name__ == "__main__":
    harness.run_scenario("dock_items", scenario, time_limit=200)
