#!/usr/bin/python3
"""Only Windows shows: the foreground. While another program holds it the
arrow keys go there; a click on the ring skin brings the program forward,
and the keys turn the ring."""

import time

import harness
import interaction


def focused_name(d):
    xid = d.xdo("getwindowfocus", check=False).strip()
    return d.xdo("getwindowname", xid, check=False).strip() if xid else ""


def scenario(h):
    d = harness.Desktop(h)
    app = interaction.start(h)
    rest = interaction.rects(h)
    shown = h.shown()
    skin = shown["BackGroundForm"].rect
    # Half way between the skin's centre and its top edge, clear of every other window.
    point = ((skin[0] + skin[2]) // 2, (skin[1] * 3 + skin[3]) // 4)
    covered = [t for t, w in shown.items() if t not in ("BackGroundForm", harness.MAIN_TITLE)
               and w.rect[0] - 4 <= point[0] <= w.rect[2] + 4 and w.rect[1] - 4 <= point[1] <= w.rect[3] + 4]
    h.require(not covered, "a point of the ring skin clear of the items", covered)

    h.start(app.folder, exe=harness.NOTEPAD)
    h.require(h.poll(lambda: "Notepad" in focused_name(d), 20), "notepad holds the keyboard focus", focused_name(d))
    h.screenshot("01-notepad-in-front")
    d.key("Right")
    time.sleep(0.8)
    h.check(interaction.rects(h) == rest, "Right with notepad in front leaves the ring alone")

    d.click(point)
    h.screenshot("02-after-skin-click")
    d.key("Right")
    turned = interaction.rects(h, unlike=rest)
    h.check(turned != rest, "after a click on the ring skin, Right turns the ring", turned)
    h.check(h.close_app(app) is not None, "the program ends when closed")


if __name__ == "__main__":
    harness.run_scenario("focus", scenario, time_limit=200)
