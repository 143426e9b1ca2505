#!/usr/bin/python3
"""The dock bar under real X input: a fresh start shows the bar with the five
system tools at the top of the screen; the pointer over an item magnifies
it most, its neighbours less on both sides, the bar staying centred; leaving
through the top margin brings the row back to rest."""

import time

import harness
from interaction import Desktop

SCREEN_WIDTH = 1280


def dock_windows(h):
    _, others = h.program_windows()
    shown = {w.title: w for w in others if w.visible and w.width > 0}
    return shown.get("RectForm"), [shown.get("Rect%d" % j) for j in range(1, 6)]


def scenario(h):
    folder = h.fresh_copy()
    app = h.start_ready(folder)
    desk = Desktop(h)
    bar, items = dock_windows(h)
    h.require(bar is not None, "the dock bar RectForm is shown")
    h.check(all(items), "the five system tools have their windows", items)
    h.require(all(items), "five items")
    h.check(bar.rect[1] == -25, "the bar hangs 25 pixels above the screen's top edge", bar.rect)
    h.check(abs(bar.rect[0] + bar.width // 2 - SCREEN_WIDTH // 2) <= 1, "the bar is centred", bar.rect)
    h.check(all((w.width, w.height) == (50, 50) and w.rect[1] == 6 for w in items),
            "items rest at 50x50, 6 pixels below the top edge", [w.rect for w in items])
    rest = h.screenshot("rest")
    h.check(h.colours(rest, (bar.rect[0], 0, bar.rect[0] + bar.width, bar.rect[1] + bar.height)) > 16, "the bar is drawn")

    third = items[2]
    desk.move(third.rect[0] + 25, third.rect[1] + 25)
    time.sleep(0.3)
    desk.move(third.rect[0] + 26, third.rect[1] + 25)
    h.poll(lambda: dock_windows(h)[1][2] and dock_windows(h)[1][2].width > 50, 5)
    bar2, magnified = dock_windows(h)
    sizes = [w.width for w in magnified]
    h.log("magnified sizes %s, bar %s" % (sizes, bar2.rect))
    h.check(sizes[2] == max(sizes) and sizes[2] > 50, "the item under the pointer is the largest", sizes)
    h.check(sizes[1] <= sizes[2] and sizes[0] <= sizes[1] and sizes[3] <= sizes[2] and sizes[4] <= sizes[3],
            "sizes fall off on both sides", sizes)
    h.check(abs(bar2.rect[0] + bar2.width // 2 - SCREEN_WIDTH // 2) <= 1, "the widened bar stays centred", bar2.rect)
    h.screenshot("magnified")

    # At the top of the screen the bar's top margin lies above the screen;
    # its bottom margin is the way out that the pointer can take.
    desk.move(third.rect[0] + 30, bar2.rect[1] + bar2.height - 6)
    time.sleep(0.5)
    h.check(h.poll(lambda: all(w and w.width == 50 for w in dock_windows(h)[1]), 5),
            "leaving through the bar's margin collapses the row", [w.rect for w in dock_windows(h)[1] if w])
    h.screenshot("collapsed")
    h.close_app(app)


harness.run_scenario("dock", scenario)
