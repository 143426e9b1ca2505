#!/usr/bin/python3
"""The dialogs on a scaled display. The prefix's LogPixels is set to 192, 144
and then 96 (what every other scenario runs at, and what it is left at); at
each, the program is started and its about dialog (the center's menu), item
property dialog (a ring item's menu) and settings dialog (the tray's menu,
every page) are opened with real X input and read with wintool. Each
control's rect at 192 and 144 is its rect at 96 times 2 and 1.5, within a
pixel; labels that take the size of their text grow with their font (never
past the scale, so no caption is cut); the client areas scale exactly; each
menu opens at the pointer. At 96 an open dialog is told that its DPI became
192 (as when it is moved to another monitor) and must lay itself out as the
dialog made at 192 was. The screen is 2560 x 1600, so the settings dialog
fits at 192. Screenshots: <dpi>-about, <dpi>-properties, <dpi>-page-<n>."""

import subprocess
import time

import harness
import interaction as ia
import menus

DPIS = (192, 144, 96)
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
ABOUT = "关于 Quorvel"
PROPERTY = "属性：Quorvel"
SETUP = "设置"
PAGE_COUNT = 5
# The ring stands in the top-left corner, clear of the centred dialogs at
# any scale.
RING = {("Position", "Left"): "40", ("Position", "Top"): "40"}


def set_log_pixels(h, dpi):
    result = subprocess.run(["wine", "reg", "add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi),
                             "/f"], env=h.env, capture_output=True, timeout=60)
    h.require(result.returncode == 0, "LogPixels is set to %d" % dpi, result.stderr)


def controls(h, title):
    result = h.wintool("form-controls", title)
    h.require(result.ok and result.lines, "wintool lists the controls of %s" % title, result)
    client = tuple(int(v) for v in result.lines[0].split("client=")[1].split(","))
    return client, {c.name: c for c in (harness.FormControl(line) for line in result.lines[1:] if line)}


def form_dpi(h, title):
    result = h.wintool("form-dpi", title)
    h.require(result.ok and result.lines, "wintool reads the DPI of %s" % title, result)
    return dict(part.split("=") for part in result.lines[0].split("\t"))


def menu_at_pointer(h, d, point, what, shot, attempts=1):
    """Opens a menu with a right click and checks that its top-left corner is
    at the pointer (the menus here open far from the screen's edges)."""
    opened = menus.open_menu(h, d, point, what, shot, attempts)
    if opened:
        menu = menus.menus_shown(h)[0].rect
        h.check(abs(menu[0] - point[0]) <= 2 and abs(menu[1] - point[1]) <= 2,
                "the %s menu opens at the pointer %s" % (what, point), menu)
    return opened


def record(h, dpi, title, shot):
    """The dialog's client size and controls, with its screenshot."""
    client, found = controls(h, title)
    time.sleep(0.5)
    h.screenshot("%d-%s" % (dpi, shot))
    return client, found


def open_all(h, d, dpi):
    """Every dialog once at this DPI: {dialog name: (client, controls)}."""
    set_log_pixels(h, dpi)
    folder, _ = menus.setup_program(h, "at-%d" % dpi, RING)
    d.park()
    app = h.start_ready(folder)
    seen = {}
    _, by_title = ia.ring_windows(h)
    h.require("CenterForm" in by_title and "Circle1" in by_title, "the ring and its first item are up")

    if menu_at_pointer(h, d, ia.centre_of(by_title["CenterForm"].rect), "the center", "%d-center-menu" % dpi):
        menus.choose(h, d, "a", "关于(&A)")
    h.require(h.wintool("form-wait", ABOUT, 30000).ok, "the about dialog opens at %d DPI" % dpi)
    measured = form_dpi(h, ABOUT)
    h.check(measured.get("window") == str(dpi) and measured.get("system") == str(dpi),
            "the about dialog's window is at %d DPI" % dpi, measured)
    seen["about"] = record(h, dpi, ABOUT, "about")
    if dpi == 96:
        # As if moved to a monitor of 192 DPI: laid out again, it must be the
        # dialog that was made at 192.
        h.require(h.wintool("form-send-dpi", ABOUT, 192).ok, "the about dialog hears of 192 DPI")
        seen["about@192"] = record(h, dpi, ABOUT, "about-moved-to-192")
    h.wintool("form-click", ABOUT, "BitBtnOK")
    h.check(h.wintool("wait-gone", "QuorvelForm", ABOUT, 10000).ok, "OK closes the about dialog")

    d.park()
    _, by_title = ia.ring_windows(h)
    if menu_at_pointer(h, d, ia.centre_of(by_title["Circle1"].rect), "a ring item", "%d-item-menu" % dpi):
        menus.choose(h, d, "r", "属性(&R)")
    h.require(h.wintool("form-wait", PROPERTY, 30000).ok, "the property dialog opens at %d DPI" % dpi)
    seen["properties"] = record(h, dpi, PROPERTY, "properties")
    h.wintool("form-click", PROPERTY, "BitBtnCancel")
    h.check(h.wintool("wait-gone", "QuorvelForm", PROPERTY, 10000).ok, "Cancel closes the property dialog")

    d.park()
    h.poll(lambda: h.tray_icons() == 1, 10)
    if menu_at_pointer(h, d, menus.tray_point(h), "the tray icon", "%d-tray-menu" % dpi, attempts=3):
        menus.choose(h, d, "s", "设置(&S)", focus_title="CenterForm")
    h.require(h.wintool("form-wait", SETUP, 30000).ok, "the settings dialog opens at %d DPI" % dpi)
    for page in range(PAGE_COUNT):
        h.require(h.wintool("form-page", SETUP, "PageControl1", page).ok, "page %d is shown" % page)
        seen["page-%d" % page] = record(h, dpi, SETUP, "page-%d" % page)
    if dpi == 96:
        h.require(h.wintool("form-send-dpi", SETUP, 192).ok, "the settings dialog hears of 192 DPI")
        for page in range(PAGE_COUNT):
            h.wintool("form-page", SETUP, "PageControl1", page)
            seen["page-%d@192" % page] = record(h, dpi, SETUP, "page-%d-moved-to-192" % page)
    h.wintool("form-click", SETUP, "BitBtnCancel")
    h.check(h.wintool("wait-gone", "QuorvelForm", SETUP, 10000).ok, "Cancel closes the settings dialog")
    h.close_app(app)
    return seen


def scaled(value, dpi):
    """As the program scales a logical number: half away from zero."""
    return (value * dpi + 48) // 96


def expected_rect(rect, dpi):
    left, top = scaled(rect[0], dpi), scaled(rect[1], dpi)
    return left, top, scaled(rect[0] + rect[2], dpi) - left, scaled(rect[1] + rect[3], dpi) - top


def autosized(name, control):
    """Labels the layout gives no width take the size of their text."""
    return control.cls == "Static" and name in AUTOSIZED


# The labels of the designs without a width (they take their text's size).
AUTOSIZED = {"LName", "LVersion", "LInitiator", "Label1", "Label2", "Label3", "LAddress", "LBrimwold", "LBBS",
             "LabelName", "LabelArgument", "LabelIcon", "LabelTarget"}


def compare(h, what, base, other, dpi):
    """other (made at dpi) against base (made at 96)."""
    (client96, controls96), (client, found) = base, other
    want = (scaled(client96[0], dpi), scaled(client96[1], dpi))
    h.check(client == want, "%s: the client area is %s at %d DPI" % (what, want, dpi), client)
    off, text = [], []
    for name, c96 in controls96.items():
        c = found.get(name)
        if c is None or not c96.visible:
            continue
        if autosized(name, c96):
            # Its place scales; its size is its text's, which grows with the
            # font but, with whole-pixel font heights, a little less than the rest.
            left, top, _, _ = expected_rect(c96.rect, dpi)
            ratio = dpi / 96
            fits = all(c96.rect[i] * ratio * 0.8 <= c.rect[i] <= c96.rect[i] * ratio + 1 for i in (2, 3))
            if abs(c.rect[0] - left) > 1 or abs(c.rect[1] - top) > 1 or not fits:
                text.append((name, c96.rect, c.rect))
            continue
        want_rect = expected_rect(c96.rect, dpi)
        if c.cls == "ComboBox":
            # A closed combo box is as tall as its font makes it.
            want_rect, got = want_rect[:3], c.rect[:3]
        else:
            got = c.rect
        if any(abs(a - b) > 1 for a, b in zip(got, want_rect)):
            off.append((name, c96.rect, c.rect, want_rect))
    h.check(not off, "%s: every control at %d DPI is its rect at 96 scaled, within a pixel" % (what, dpi), off)
    h.check(not text, "%s: the labels that fit their text grow with it at %d DPI" % (what, dpi), text)


def scenario(h):
    d = ia.Desktop(h)
    seen = {}
    try:
        for dpi in DPIS:
            seen[dpi] = open_all(h, d, dpi)
    finally:
        set_log_pixels(h, 96)
    for dpi in (192, 144):
        for what in seen[dpi]:
            compare(h, what, seen[96][what], seen[dpi][what], dpi)
    for what in seen[192]:
        moved = seen[96].get(what + "@192")
        if moved:
            compare(h, what + " moved from 96", seen[96][what], moved, 192)
            h.check(moved[1].keys() == seen[192][what][1].keys() and
                    all(moved[1][n].rect == c.rect for n, c in seen[192][what][1].items()),
                    "%s laid out again at 192 DPI is the dialog made at 192" % what,
                    [(n, c.rect, moved[1][n].rect) for n, c in seen[192][what][1].items()
                     if n in moved[1] and moved[1][n].rect != c.rect])


if __name__ == "__main__":
    harness.run_scenario("dialog_scaling", scenario, time_limit=420, screen="2560x1600x24")
