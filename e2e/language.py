#!/usr/bin/python3
"""Only Windows shows: the English interface pinned in the file. At 96 and 192
DPI the center's menu, the item property, about and settings dialogs (every
page) are opened through the real menus, in English, and photographed; the
system measures each control's text in the control's own font (wintool), and
every text must fit its control: check boxes and buttons their width, labels
that take their text's size must not run into another control or out of the
dialog."""

import time

import harness
from harness import choose, open_menu

DPIS = (96, 192)
ABOUT, PROPERTY, SETUP = "About Quorvel", "Properties: Quorvel", "Settings"
PAGE_COUNT = 5
RING = {1: harness.item("{app}\\docs\\note.txt", "Item 1", define=harness.TOOL % "MyDocuments")}
SETTINGS = {("Basic", "Language"): "English", ("Position", "Left"): "40", ("Position", "Top"): "200",
            ("ShowRect", "IsShowRect"): "False"}


def set_log_pixels(h, dpi):
    result = h.reg("add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
    h.require(result.returncode == 0, "LogPixels is set to %d" % dpi, result.returncode)


def overlaps(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def misfits(found, client, dpi):
    """The controls whose text does not fit: (name, text, text width, rect)."""
    room = {"check": 20, "button": 8, "group": 16}  # the check box's glyph and gap, a button's edges, a frame's inset
    bad = []
    shown = [c for c in found.values() if c.visible and c.name != "-"]
    for c in shown:
        if not c.text or c.text_width < 0:
            continue
        kind = "check" if c.value.startswith("checked=") else "group" if c.name.startswith("GroupBox") else \
            "button" if c.cls == "Button" else None
        if kind and c.text_width + room[kind] * dpi // 96 > c.rect[2]:
            bad.append((c.name, c.text, c.text_width, c.rect))
        if c.cls == "Static" and (c.rect[0] + c.rect[2] > client[0] or any(
                overlaps(c.rect, o.rect) for o in shown if o is not c and o.cls in ("Edit", "ComboBox", "Button",
                                                                                    "msctls_trackbar32")
                and not o.name.startswith("GroupBox"))):
            bad.append((c.name, c.text, c.text_width, c.rect))
    return bad


def look(h, dpi, title, shot):
    client, found = h.form_controls(title)
    time.sleep(0.5)
    h.screenshot("%d-%s" % (dpi, shot))
    bad = misfits(found, client, dpi)
    h.check(not bad, "%s at %d DPI: every text fits its control" % (shot, dpi), bad)
    return found


def menu(h, d, point, what, letter, shot):
    if open_menu(h, d, point, what, shot):
        choose(h, d, letter, what)


def at(h, d, dpi):
    set_log_pixels(h, dpi)
    app = h.program("at-%d" % dpi, ring=RING, settings=SETTINGS)
    menu(h, d, harness.centre_of(h.shown()["CenterForm"].rect), "the center", "a", "%d-center-menu" % dpi)
    h.require(h.wintool("form-wait", ABOUT, 30000).ok, "the English about box opens from the center's &About")
    look(h, dpi, ABOUT, "about")
    h.close_form(ABOUT, "BitBtnOK")
    d.park()
    menu(h, d, harness.centre_of(h.shown()["Circle1"].rect), "a ring item", "r", "%d-item-menu" % dpi)
    h.require(h.wintool("form-wait", PROPERTY, 30000).ok, "the English property dialog opens from P&roperties")
    look(h, dpi, PROPERTY, "properties")
    h.close_form(PROPERTY, "BitBtnCancel")
    harness.open_form_from_tray(h, d, "s", SETUP, "%d-tray-menu" % dpi)
    for page in range(PAGE_COUNT):
        h.require(h.wintool("form-page", SETUP, "PageControl1", page).ok, "page %d is shown" % page)
        found = look(h, dpi, SETUP, "page-%d" % page)
        if page == 0:
            auto = found["ChkBoxAuto"].text
            h.check(auto == "Start with Windows", "the settings show their English captions", auto)
            h.check(found["ComboBoxLanguage"].value == "selection=2", "the language box shows English",
                    found["ComboBoxLanguage"].value)
    h.close_form(SETUP, "BitBtnCancel")
    h.close_app(app)


def scenario(h):
    d = harness.Desktop(h)
    try:
        for dpi in DPIS:
            at(h, d, dpi)
    finally:
        set_log_pixels(h, 96)


if __name__ == "__main__":
    harness.run_scenario("language", scenario, time_limit=300, screen="2560x1600x24")
