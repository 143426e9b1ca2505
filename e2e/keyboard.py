#!/usr/bin/python3
"""Only Windows shows: the keyboard alone. The system hot key shows the ring
with the keyboard on it while another program held it; Tab moves a focus
ring drawn on the items' windows, Enter starts a ring item and then a dock
item, Escape hides. The order of the focus is checked headless."""

import shutil
import subprocess
import time

import harness

SETTINGS = {("Position", "Left"): "543", ("Position", "Top"): "316", ("HotKey", "Key"): "C"}
RING = {2: harness.item("{app}\\docs\\note.txt", "Alpha", define=harness.TOOL % "MyDocuments"),
        4: harness.item("{app}\\marker.exe", "Ring Marker", define=harness.TOOL % "MyComputer", argument="ring",
                        initial="{app}\\ring"),
        9: harness.item("{app}\\docs\\note.txt", "Gamma", define=harness.TOOL % "ControlPanel")}
DOCK = [harness.item("{app}\\docs\\note.txt", "Dock One", define=harness.TOOL % "MyNetwork"),
        harness.item("{app}\\marker.exe", "Dock Marker", define=harness.TOOL % "RecycleBin", argument="dock",
                     initial="{app}\\dock")]


def focused_name(d):
    xid = d.xdo("getwindowfocus", check=False).strip()
    return d.xdo("getwindowname", xid, check=False).strip() if xid else ""


def ring_share(image, rect):
    """The share of the rectangle's pixels in the focus ring's blue."""
    crop = "%dx%d+%d+%d" % (rect[2] - rect[0], rect[3] - rect[1], rect[0], rect[1])
    done = subprocess.run(["convert", str(image), "-crop", crop, "-fx", "b>0.75 && r<0.15 && g>0.38 && g<0.56",
                           "-format", "%[fx:mean]", "info:"], stdout=subprocess.PIPE, check=True)
    return float(done.stdout)


def launched(h, folder, argument, what):
    marker = folder / "marker.txt"
    if h.check(h.poll(marker.exists, 15), "Enter starts the focused %s item" % what):
        lines = dict(line.split("=", 1) for line in marker.read_text(encoding="utf-8").splitlines() if "=" in line)
        h.check(lines.get("arg1") == argument, "it is the focused %s item's program" % what, lines)


def scenario(h):
    d = harness.Desktop(h)
    folder = h.prepare(ring=RING, dock=DOCK, settings=SETTINGS)
    shutil.copy(h.tools / "marker.exe", folder / "marker.exe")
    (folder / "ring").mkdir()
    (folder / "dock").mkdir()
    d.park()
    app = h.start_ready(folder)
    shown = h.shown()
    items = {t: shown[t].rect for t in ("Circle2", "Circle4", "Circle9", "Rect1", "Rect2")}
    # Hidden by the hot key; another program takes the keyboard.
    d.focus_on("Circle2")
    d.key("alt+c")
    h.require(h.poll(lambda: "BackGroundForm" not in h.shown(), 5), "Alt+C hides the ring")
    h.start(folder, exe=harness.NOTEPAD)
    h.require(h.poll(lambda: "Notepad" in focused_name(d), 20), "notepad holds the keyboard", focused_name(d))
    d.key("alt+c")
    h.require(h.poll(lambda: "BackGroundForm" in h.shown(), 5), "Alt+C shows the ring again")
    time.sleep(0.5)
    before = h.screenshot("01-shown-by-hot-key")
    h.check(focused_name(d) != "Untitled - Notepad", "the keyboard left notepad", focused_name(d))

    d.key("Tab", "Tab")
    time.sleep(0.5)
    ringed = h.screenshot("02-tab-tab-on-ring-item")
    share = {t: round(ring_share(ringed, r), 3) for t, r in items.items()}
    h.check(share["Circle4"] > 0.1 and ring_share(before, items["Circle4"]) < 0.01,
            "two Tabs draw the focus ring on the second ring item", share)
    h.check(all(v < 0.01 for t, v in share.items() if t != "Circle4"), "and on no other item", share)
    d.key("Return")
    launched(h, folder / "ring", "ring", "ring")

    time.sleep(1.0)  # the bounce ends
    d.key("Tab", "Tab", "Tab")
    time.sleep(0.5)
    docked = h.screenshot("03-tab-to-dock-item")
    share = {t: round(ring_share(docked, r), 3) for t, r in items.items()}
    h.check(share["Rect2"] > 0.1 and all(v < 0.01 for t, v in share.items() if t != "Rect2"),
            "three more Tabs take the focus ring to the second dock item", share)
    d.key("Return")
    launched(h, folder / "dock", "dock", "dock")

    time.sleep(1.0)
    d.key("Escape")
    h.check(h.poll(lambda: "BackGroundForm" not in h.shown(), 5), "Escape hides what the hot key showed")
    h.screenshot("04-escape")
    h.check(h.close_app(app) is not None, "the program ends when closed")


if __name__ == "__main__":
    harness.run_scenario("keyboard", scenario, time_limit=200)
