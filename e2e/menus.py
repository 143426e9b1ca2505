#!/usr/bin/python3
"""Only Windows shows: the real popup menus (TrackPopupMenu) on the center and
in the tray window, chosen by their letters - clearing the ring after a
question box, the next skin, exit with the shutdown save."""

import harness
from harness import choose, menus_shown, open_menu, tray_point  # noqa: F401 - older names

SLOTS = (1, 3, 12)
# The ring stands right of the centred boxes: its layered windows stay above them under Wine.
SETTINGS = {("Position", "Left"): "943", ("Position", "Top"): "316", ("Background", "Index"): "1",
            ("ShowRect", "IsShowRect"): "False"}
RING = {s: harness.item("{app}\\docs\\note.txt", "Item %d" % s, define=harness.TOOL % "MyDocuments") for s in SLOTS}


def clear_all(h, d, app, centre):
    """The center menu's clear: asked first, answered Yes, every item plays its animation and goes."""
    if not open_menu(h, d, centre, "the center", "01-center-menu"):
        return
    choose(h, d, "c", "clear all")
    texts = h.wintool("dialog-text", "提示", 10000)
    h.check(texts.ok and texts.lines, "a question is asked first", texts)
    h.screenshot("02-question")
    items = h.shown()
    h.check(all("Circle%d" % s in items for s in SLOTS), "the items wait for the answer")
    press = h.spawn_wintool("dialog-press", "提示", 6)  # Yes
    pictures = harness.frames(d.grab(items["Circle%d" % SLOTS[0]].rect, 4.0, until=harness.flat))
    h.check(press.result(30).ok, "Yes is pressed")
    h.check(len(pictures) >= 3, "the item plays the clear animation before it goes", len(pictures))
    h.check(h.poll(lambda: not any(t.startswith("Circle") for t in h.shown()), 5), "every ring item is gone")
    h.screenshot("03-cleared")
    files = [harness.item_values(app.config, "RoundBackground", "Circle%d" % s)["File"] for s in SLOTS]
    h.check(files == ["", "", ""], "the file's ring items are empty", files)


def scenario(h):
    d = harness.Desktop(h)
    folder = h.prepare(ring=RING, settings=SETTINGS)
    config = folder / "Config" / "UserInfo.xml"
    d.park()
    app = h.start_ready(folder)
    centre = harness.centre_of(h.shown()["CenterForm"].rect)
    clear_all(h, d, app, centre)
    d.park()
    if open_menu(h, d, centre, "the center", "04-center-menu-again"):
        choose(h, d, "g", "the next skin")
    d.park()
    if open_menu(h, d, tray_point(h), "the tray icon", "05-tray-menu", attempts=3):
        choose(h, d, "x", "exit", "CenterForm")
        h.check(app.wait_exit(15) is not None, "exit ends the program")
        basic = harness.find_path(harness.parse_config(config), "Setup", "Basic")
        h.check(basic.find("Background").get("Index") == "2", "the shutdown save writes the skin chosen from the menu")
    if app.running():
        h.close_app(app)


if __name__ == "__main__":
    harness.run_scenario("menus", scenario, time_limit=280)
