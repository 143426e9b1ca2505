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
    # No pipes: the first Wine program of a prefix starts its services, which
    # would hold them open long after reg has ended.
    result = subprocess.run(["wine", "reg", "add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi),
                             "/f"], env=h.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    h.require(result.returncode == 0, "LogPixels is set to %d" % dpi, result.returncode)


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
    # Wine answers a window's DPI to other processes with 96 whatever it is:
    # the system's DPI says the setting took, the rects below that the form used it.
    measured = form_dpi(h, ABOUT)
    h.check(measured.get("system") == str(dpi), "the display is at %d DPI" % dpi, measured)
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

    h.poll(lambda: h.tray_icons() == 1, 10)
    opened = False
    # The key may reach the menu before it has the keyboard: it closes
    # without a choice then, and is opened again.
    for attempt in range(3):
        d.park()
        if menu_at_pointer(h, d, menus.tray_point(h), "the tray icon", "%d-tray-menu" % dpi, attempts=3):
            menus.choose(h, d, "s", "设置(&S)", focus_title="CenterForm")
        opened = h.wintool("form-wait", SETUP, 10000).ok
        if opened:
            break
    h.require(opened, "the settings dialog opens at %d DPI" % dpi)
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


def overlaps(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def clashes(found):
    """Pairs of visible controls that overlap, but for the frames that hold others."""
    shown = [c for c in found.values() if c.visible and c.name != "-" and c.cls != "SysTabControl32"
             and not c.name.startswith("GroupBox") and c.name != "PanelPreview"]
    return {(a.name, b.name) for a in shown for b in shown if a.name < b.name and overlaps(a.rect, b.rect)}


def compare(h, what, base, other, dpi):
    """other (made at dpi) against base (made at 96)."""
    (client96, controls96), (client, found) = base, other
    want = (scaled(client96[0], dpi), scaled(client96[1], dpi))
    h.check(client == want, "%s: the client area is %s at %d DPI" % (what, want, dpi), client)
    off, text = [], []
    for name, c96 in controls96.items():
        c = found.get(name)
        # Unnamed children are the controls' own parts (a page control's arrows).
        if c is None or not c96.visible or name == "-":
            continue
        want_rect = expected_rect(c96.rect, dpi)
        got = c.rect
        if c.cls == "Static" and got[:2] == want_rect[:2] and got[2:] != want_rect[2:]:
            # A label that takes its text's size: that grows with the font,
            # which has whole pixels, so by a few per cent more or less than the rest.
            ratio = dpi / 96
            if not all(c96.rect[i] * ratio * 0.9 - 1 <= got[i] <= c96.rect[i] * ratio * 1.05 + 1 for i in (2, 3)):
                text.append((name, c96.rect, got))
            continue
        # A closed combo box is a field that follows the font and a frame of
        # Wine's own, which does not scale: its height is set to within a few pixels.
        slack = (1, 1, 1, 3) if c.cls == "ComboBox" else (1, 1, 1, 1)
        if any(abs(a - b) > n for a, b, n in zip(got, want_rect, slack)):
            off.append((name, c96.rect, got, want_rect))
    h.check(not off, "%s: every control at %d DPI is its rect at 96 scaled, within a pixel" % (what, dpi), off)
    h.check(not text, "%s: the labels that fit their text grow with it at %d DPI" % (what, dpi), text)
    new = clashes(found) - clashes(controls96)
    h.check(not new, "%s: no controls overlap at %d DPI that did not at 96" % (what, dpi), new)


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
            made = {n: c.rect for n, c in seen[192][what][1].items() if n != "-" and c.visible}
            again = {n: c.rect for n, c in moved[1].items() if n != "-" and c.visible}
            h.check(made == again, "%s laid out again at 192 DPI is the dialog made at 192" % what,
                    [(n, r, again.get(n)) for n, r in made.items() if again.get(n) != r])


if __name__ == "__main__":
    harness.run_scenario("dialog_scaling", scenario, time_limit=420, screen="2560x1600x24")
