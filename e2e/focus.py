#!/usr/bin/env python3
"""The keyboard after a click on the ring skin while another program holds the
foreground: the click brings the program forward, so the arrow keys (sent to
whatever has the X focus, never to a chosen window) turn the ring."""

import time
from pathlib import Path

import harness
from interaction import SLOTS, Desktop, item_rects, ring_windows, setup_program, slot_rect, turned, wait_positions

NOTEPAD = Path("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/notepad.exe")


def focused_name(d):
    xid = d.xdo("getwindowfocus", check=False).strip()
    return d.xdo("getwindowname", xid, check=False).strip() if xid else ""


def skin_point(h, main_rect):
    """A point on the ring skin half way between its centre and its top edge
    (between the center button and the inner items), or None when an item or
    the center button covers it."""
    main, by_title = ring_windows(h)
    left, top, right, bottom = by_title["BackGroundForm"].rect
    point = ((left + right) // 2, (top + (top + bottom) // 2) // 2)
    covers = [w.rect for title, w in by_title.items() if title != "BackGroundForm" and w.visible]
    covers += [slot_rect(main_rect, s) for s in SLOTS]
    clear = all(not (r[0] - 4 <= point[0] <= r[2] + 4 and r[1] - 4 <= point[1] <= r[3] + 4) for r in covers)
    return point if clear else None


def scenario(h):
    d = Desktop(h)
    folder, _, _ = setup_program(h)
    d.park()
    app = h.start_ready(folder)
    main, _ = ring_windows(h)
    h.require(main is not None, "the main window is there")
    main_rect = main.rect
    reached, _, last, wanted = wait_positions(h, main_rect, SLOTS, 0.0, timeout=3)
    h.require(reached, "the items stand at their unturned slots", (last, wanted))
    point = skin_point(h, main_rect)
    h.require(point is not None, "a point of the ring skin clear of the items is found")
    h.log("  ring skin point %s" % (point,))

    # Another program comes up after ours and takes the foreground.
    other = h.start(folder, exe=NOTEPAD)
    h.require(h.poll(lambda: "Notepad" in focused_name(d), 20), "notepad holds the keyboard focus",
              focused_name(d))
    h.screenshot("01-notepad-in-front")

    # Control: before the click the arrow keys reach the other program.
    d.key("Right")
    time.sleep(0.8)
    h.check(item_rects(h, SLOTS) == {s: slot_rect(main_rect, s, 0.0) for s in SLOTS},
            "Right with notepad in front leaves the ring alone")

    d.click(point)
    time.sleep(0.3)
    h.screenshot("02-after-skin-click")
    h.log("  focus after the click: %r" % focused_name(d))
    d.key("Right")
    angle = turned(0.0, True)
    reached, seconds, last, wanted = wait_positions(h, main_rect, SLOTS, angle)
    h.check(reached, "after a click on the ring skin, Right turns the ring forward",
            {s: (last.get(s), wanted[s]) for s in SLOTS if last.get(s) != wanted[s]})
    h.screenshot("03-after-right")
    if reached:
        d.key("Left")
        reached, _, last, wanted = wait_positions(h, main_rect, SLOTS, 0.0)
        h.check(reached, "and Left turns it back",
                {s: (last.get(s), wanted[s]) for s in SLOTS if last.get(s) != wanted[s]})

    h.check(other.running(), "notepad is still running")
    code = h.close_app(app)
    h.check(code is not None, "the program ends when closed", code)


if __name__ == "__main__":
    harness.run_scenario("focus", scenario, time_limit=200)
