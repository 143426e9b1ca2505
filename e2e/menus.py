#!/usr/bin/python3
"""The context menus with real X input: a right click on the center opens
its menu, whose "清除所有图标(&C)" (chosen by its letter) asks first and,
answered Yes, empties the ring with the clear animation; "切换背景(&G)"
changes the ring's skin; a right click on the tray icon (in Wine's system
tray window) opens the tray menu, whose "退出(&X)" ends the program with the
shutdown save in the file; a center click with the center action 7 ends the
program."""

import subprocess
import time

import harness
import interaction as ia

# Ring centre at (1040, 400). Under Wine the ring's layered windows stay above
# managed windows, so the dialogs and message boxes (centred on the screen)
# would be covered in the screenshots: the ring stands right of them.
MAIN_LEFT, MAIN_TOP = 943, 316
SLOTS = (1, 3, 12)
QUESTION = "确定要清除所有图标吗？"
CAPTION = "提示"
IDYES = 6


def menus_shown(h):
    """The popup menus on the screen (Wine's menu window class)."""
    return [w for w in h.windows() if w.cls == "#32768" and w.visible]


def setup_program(h, name, changes=None):
    folder = h.fresh_copy(name)
    win = h.win_path(folder)
    sys_tool = win + "\\Icon\\SysTool\\"
    (folder / "docs").mkdir()
    (folder / "docs" / "note.txt").write_text("note")
    items = {slot: ia.item_xml(win + "\\docs\\note.txt", "Item %d" % slot, define=sys_tool + "MyDocuments.png")
             for slot in SLOTS}
    config = folder / "Config" / "UserInfo.xml"
    ia.put_items(config, items)
    values = {("Position", "Left"): str(MAIN_LEFT), ("Position", "Top"): str(MAIN_TOP),
              ("Background", "Index"): "1", ("ShowRect", "IsShowRect"): "False"}
    values.update(changes or {})
    harness.edit_config_attributes(config, values)
    return folder, config


def open_menu(h, d, point, what, shot, attempts=1):
    """Right click at point; returns once the menu is on the screen. Wine's
    tray window may take a moment to answer its first click after an icon
    of an earlier program went away, so the tray is given a few attempts."""
    opened = None
    for _ in range(attempts):
        d.click(point, button=3)
        opened = h.poll(lambda: menus_shown(h), 4)
        if opened:
            break
        d.key("Escape")
        d.park()
    h.check(opened, "a right click on %s opens a menu" % what)
    time.sleep(0.5)  # the menu takes the keyboard once it has drawn itself
    path = h.screenshot(shot)
    if opened:
        menu = menus_shown(h)[0]
        h.check(h.colours(path, menu.rect) > 4, "the %s menu is drawn" % what, menu.rect)
    return opened


def choose(h, d, letter, what, focus_title=None):
    closed = False
    # On a busy machine the focus can land after the key: the key is pressed
    # again only while the menu is still open, so it never reaches anything else.
    for attempt in range(3):
        # A window that came up meanwhile (Wine's tray window appears when the
        # first icon arrives) can hold the focus: from the second press on, the
        # focus goes to the program's center window first.
        if attempt > 0 and not focus_title and d.x_windows("CenterForm"):
            focus_title = "CenterForm"
        if focus_title:
            # Under Wine the X keyboard focus stays on the window clicked (the
            # tray's, another process's), where Windows would hand it to the menu
            # of the foreground thread: give it to one of the program's windows.
            focus = d.x_windows(focus_title)
            h.check(focus, "an X window titled %s takes the keyboard focus" % focus_title)
            if focus:
                d.focus(focus[0])
                time.sleep(0.2)
        d.key(letter)
        closed = h.poll(lambda: not menus_shown(h), 3)
        if closed:
            break
    h.check(closed, "the key %s chooses %s and closes the menu" % (letter, what))


def tray_point(h):
    """The middle of our icon in Wine's system tray window (screen
    coordinates as Windows sees them; the X geometry counts the frame)."""
    trays = [w for w in h.windows() if w.cls == "__winex11_standalone_tray" and w.visible]
    h.require(trays, "Wine's system tray window is on the screen")
    left, top, right, bottom = trays[0].rect
    h.log("tray window at %s" % (trays[0].rect,))
    # One icon: it sits in the window's first square.
    side = bottom - top
    return left + side // 2, top + side // 2


def scenario(h):
    d = ia.Desktop(h)
    folder, config = setup_program(h, "app")
    d.park()
    app = h.start_ready(folder)
    main, by_title = ia.ring_windows(h)
    h.require(main is not None and "CenterForm" in by_title, "the ring is up")
    centre = ia.centre_of(by_title["CenterForm"].rect)
    h.require(all("Circle%d" % s in by_title for s in SLOTS), "the items are up", sorted(by_title))

    # --- the center menu: clear all, answered Yes -----------------------------------
    if open_menu(h, d, centre, "the center", "01-center-menu"):
        choose(h, d, "c", "清除所有图标(&C)")
        texts = h.wintool("dialog-text", CAPTION, 10000)
        h.check(texts.ok and [harness.unescape(t) for t in texts.lines] == [QUESTION],
                "the question is asked first", texts)
        h.screenshot("02-question")
        h.check(all("Circle%d" % s in ia.ring_windows(h)[1] for s in SLOTS), "the items wait for the answer")
        rect = by_title["Circle%d" % SLOTS[0]].rect
        press = h.spawn_wintool("dialog-press", CAPTION, IDYES)
        pictures = d.grab(rect, seconds=4.0, until=ia.flat)
        h.check(press.result(30).ok, "the Yes button is pressed")
        distinct = []
        for _, picture in pictures:
            if picture not in distinct and not ia.flat(picture):
                distinct.append(picture)
        h.check(len(distinct) >= 3, "the item plays the clear animation before it goes", len(distinct))
        gone = h.poll(lambda: not any(t.startswith("Circle") for t in ia.ring_windows(h)[1]), 5)
        h.check(gone, "every ring item is gone", sorted(ia.ring_windows(h)[1]))
        h.screenshot("03-cleared")
        files = [ia.item_values(config, "RoundBackground", "Circle%d" % s)["File"] for s in SLOTS]
        h.check(files == ["", "", ""], "the file's ring items are empty", files)

    # --- the center menu: the next skin, kept only in memory until the end ----------
    d.park()
    if open_menu(h, d, centre, "the center", "04-center-menu-again"):
        choose(h, d, "g", "切换背景(&G)")

    # --- the tray menu: exit --------------------------------------------------------
    d.park()
    point = tray_point(h)
    if open_menu(h, d, point, "the tray icon", "05-tray-menu", attempts=3):
        choose(h, d, "x", "退出(&X)", focus_title="CenterForm")
        code = app.wait_exit(15)
        h.check(code is not None, "退出(&X) ends the program", code)
        h.check(h.poll(lambda: h.tray_icons() == 0, 5), "its tray icon is gone", h.tray_icons())
        basic = harness.find_path(harness.parse_config(config), "Setup", "Basic")
        index = basic.find("Background").get("Index") if basic is not None else None
        h.check(index == "2", "the shutdown save wrote the ring skin chosen from the menu", index)
        left = basic.find("Position").get("Left") if basic is not None else None
        h.check(left == str(MAIN_LEFT), "and the position", left)
    if app.running():
        h.close_app(app)

    # --- a center click with the center action 7 ends the program -------------------
    folder, config = setup_program(h, "exit-on-click", {("Center", "Action"): "7"})
    app = h.start_ready(folder)
    main, by_title = ia.ring_windows(h)
    h.require("CenterForm" in by_title, "the second copy's ring is up")
    d.click(ia.centre_of(by_title["CenterForm"].rect))
    code = app.wait_exit(15)
    h.check(code is not None, "a center click with the action 7 ends the program", code)
    h.check(not menus_shown(h), "without a menu or a question")


if __name__ == "__main__":
    harness.run_scenario("menus", scenario, time_limit=280)
