#!/usr/bin/python3
"""Only Windows shows, on one running program: the settings dialog's real
controls driven as a user does - the dock's page moving the real bar at once
and a ticked tool joining its row, the radius slider moving the ring and
Cancel putting it back, real keys in the hot-key edit and the new system hot
key, OK writing the file and the Run value, the defaults' question
whose box holds the whole program (a real click on the dialog under it does
nothing; the answers are checked headless); then the real popup menus (TrackPopupMenu) of the center and the
tray, chosen by their letters: clearing the ring after a question box, the
next skin, exit with the shutdown save."""

import time

import harness

TITLE = "设置"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
# The ring right of the centred dialog (its layered windows stay above it under Wine);
# a dock of two tools, so that others can be ticked in; values unlike the shipped ones.
SETTINGS = {("Position", "Left"): "1000", ("Position", "Top"): "420", ("IconElement", "MinR"): "150",
            ("HotKey", "Key"): "K"}
SLOTS = (1, 3, 12)
RING = {s: harness.item("{app}\\docs\\note.txt", "Item %d" % s, define=harness.TOOL % "Help") for s in SLOTS}
DOCK = [harness.item("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "computer", define=harness.TOOL % "MyComputer"),
        harness.item("::{645FF040-5081-101B-9F08-00AA002F954E}", "bin", define=harness.TOOL % "RecycleBin")]


def controls(h):
    return h.form_controls(TITLE)[1]


def rect(h, title):
    return h.shown()[title].rect if title in h.shown() else None


def dock(h, d, app):
    top = h.poll(lambda: rect(h, "RectForm"), 10)
    h.click_page(d, TITLE, 3)
    # The list opened by a click, the next entry taken with the keys.
    d.click(h.control_point(TITLE, "ComboBoxPosition"))
    time.sleep(0.5)
    d.key("Down", "Return")
    h.require(h.poll(lambda: controls(h)["ComboBoxPosition"].value == "selection=1", 5), "the bottom position is picked")
    h.check(h.poll(lambda: rect(h, "RectForm")[1] > top[1] + 300, 10), "the bar moves to the screen's bottom at once")
    d.click(h.control_point(TITLE, "RControlPanel", x=8))
    h.check(h.poll(lambda: controls(h)["RControlPanel"].value == "checked=1", 5), "a click ticks the control panel")
    h.screenshot("dock-page")
    width = rect(h, "RectForm")[2] - rect(h, "RectForm")[0]
    h.close_form(TITLE, "BitBtnOK")
    h.check(h.poll(lambda: rect(h, "Rect3"), 10), "the ticked tool has its window in the row")
    h.check(rect(h, "RectForm")[2] - rect(h, "RectForm")[0] == width + 50, "the bar widens by one item")


def cancel(h, d, app):
    at_start = rect(h, "Circle1")
    h.click_page(d, TITLE, 2)
    # A click on the slider takes the keyboard; End takes it to its largest radius.
    before = controls(h)["TrackBarMinR"].value
    d.click(h.control_point(TITLE, "TrackBarMinR"))
    d.key("End")
    h.require(h.poll(lambda: controls(h)["TrackBarMinR"].value != before, 5), "the radius slider moves", before)
    h.check(h.poll(lambda: rect(h, "Circle1") != at_start, 5), "the ring item moves outward at once")
    h.screenshot("minr-largest")
    h.close_form(TITLE, "BitBtnCancel")
    h.check(h.poll(lambda: rect(h, "Circle1") == at_start, 10), "Cancel puts the ring item back")


def hot_key(h, d, app):
    """Real keys in the hot-key edit, then the new letter toggling the windows."""
    edit_text = lambda: controls(h)["EditHot"].text
    h.check(edit_text() == "K", "the hot-key edit shows the stored letter", edit_text())
    client, found = h.form_controls(TITLE)
    x0, y0 = h.form_origin(TITLE, client)
    edit = found["EditHot"].rect
    d.click((x0 + edit[0] + edit[2] // 2, y0 + edit[1] + edit[3] // 2))
    d.key("j")
    h.check(h.poll(lambda: edit_text() == "J", 5), "a letter key sets the hot key's capital", edit_text())
    h.close_form(TITLE, "BitBtnOK")
    shown = lambda: "BackGroundForm" in h.shown()
    for focus, want, what in (("Circle1", False, "hides"), ("Wine System Tray", True, "shows again")):
        # On a busy machine the focus may land after the key: pressed again after a wait long enough for a late toggle.
        for _ in range(3):
            d.focus_on(focus)
            d.key("alt+j")
            if h.poll(lambda: shown() == want, 4):
                break
        h.check(shown() == want, "Alt+J %s the program's windows" % what)


def ok(h, d, app):
    h.click_page(d, TITLE, 0)
    d.click(h.control_point(TITLE, "ChkBoxAuto", x=8))
    h.check(h.poll(lambda: controls(h)["ChkBoxAuto"].value == "checked=1", 5), "a click ticks the start with Windows")
    h.close_form(TITLE, "BitBtnOK")
    value = h.reg("query", RUN_KEY, "/v", "Quorvel").stdout
    h.check("Quorvel.exe" in value, "OK writes the Run value with the program's path", value)


def shown(h, title):
    return [w for w in h.windows() if w.title == title and w.visible]


def defaults(h, d, app):
    # Out of the way of the box, which comes up in the middle of the screen.
    for xid in d.x_windows(TITLE):
        d.xdo("windowmove", "--sync", xid, 20, 20, check=False)
    time.sleep(0.5)
    client, found = h.form_controls(TITLE)
    x0, y0 = h.form_origin(TITLE, client)
    x, y, width, height = found["BitBtnCancel"].rect
    cancel = (x0 + x + width // 2, y0 + y + height // 2)
    before = app.config.read_bytes()
    d.click((x0 + found["BitBtnDefault"].rect[0] + found["BitBtnDefault"].rect[2] // 2,
             y0 + found["BitBtnDefault"].rect[1] + found["BitBtnDefault"].rect[3] // 2))
    h.require(h.wintool("dialog-text", "提示", 10000).ok, "the default button asks first")
    boxes = shown(h, "提示")
    h.check(boxes and not (boxes[0].rect[0] <= cancel[0] < boxes[0].rect[2]
                           and boxes[0].rect[1] <= cancel[1] < boxes[0].rect[3]),
            "the box does not cover the dialog's cancel button", (boxes, cancel))
    d.click(cancel)
    time.sleep(1.0)
    h.screenshot("defaults-clicked-under-box")
    h.check(shown(h, TITLE) and h.wintool("dialog-text", "提示", 1000).ok,
            "a click on the dialog's cancel button while the box is up does nothing: both stay")
    h.require(h.wintool("dialog-press", "提示", 7).ok, "No answers the box")
    h.check(shown(h, TITLE) and app.config.read_bytes() == before, "after No the dialog is open, the file as it was")


def clear_all(h, d, app):
    """The center menu's clear: asked first, answered Yes, every item plays its animation and goes."""
    if not harness.open_menu(h, d, harness.centre_of(h.shown()["CenterForm"].rect), "the center", "center-menu"):
        return
    harness.choose(h, d, "c", "clear all")
    texts = h.wintool("dialog-text", "提示", 10000)
    h.check(texts.ok and texts.lines, "a question is asked first", texts)
    h.screenshot("clear-question")
    items = h.shown()
    h.check(all("Circle%d" % s in items for s in SLOTS), "the items wait for the answer")
    press = h.spawn_wintool("dialog-press", "提示", 6)  # Yes
    pictures = harness.frames(d.grab(items["Circle%d" % SLOTS[0]].rect, 4.0, until=harness.flat))
    h.check(press.result(30).ok, "Yes is pressed")
    h.check(len(pictures) >= 3, "the item plays the clear animation before it goes", len(pictures))
    h.check(h.poll(lambda: not any(t.startswith("Circle") for t in h.shown()), 5), "every ring item is gone")
    h.screenshot("cleared")
    files = [harness.item_values(app.config, "RoundBackground", "Circle%d" % s)["File"] for s in SLOTS]
    h.check(files == ["", "", ""], "the file's ring items are empty", files)


def skin_and_exit(h, d, app):
    skin = lambda: int(harness.find_path(harness.parse_config(app.config), "Setup", "Basic", "Background").get("Index"))
    before = skin()
    d.park()
    if harness.open_menu(h, d, harness.centre_of(h.shown()["CenterForm"].rect), "the center", "center-menu-again"):
        harness.choose(h, d, "g", "the next skin")
    d.park()
    if harness.open_menu(h, d, harness.tray_point(h), "the tray icon", "tray-menu-exit", attempts=3):
        harness.choose(h, d, "x", "exit", "CenterForm")
        h.check(app.wait_exit(15) is not None, "exit ends the program")
        h.check(skin() == before + 1, "the shutdown save writes the skin chosen from the menu", (skin(), before))


def scenario(h):
    h.reg("delete", RUN_KEY, "/v", "Quorvel", "/f")
    d = harness.Desktop(h)
    app = h.program(ring=RING, dock=DOCK, settings=SETTINGS)

    def case(name, body):
        harness.open_form_from_tray(h, d, "s", TITLE)
        try:
            body(h, d, app)
        finally:
            if h.wintool("wait-window", "QuorvelForm", TITLE, 0).ok:
                h.close_form(TITLE, "BitBtnCancel")
            d.park()
            time.sleep(0.3)
    h.cases([("dock", dock), ("cancel", cancel), ("hot key", hot_key), ("ok", ok), ("defaults", defaults)], case)
    clear_all(h, d, app)
    skin_and_exit(h, d, app)
    if app.running():
        h.close_app(app)


if __name__ == "__main__":
    harness.run_scenario("settings", scenario, time_limit=480)
