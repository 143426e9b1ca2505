#!/usr/bin/python3
"""Only Windows shows: the English interface pinned in the file. At 96 and 192
DPI the menus, the about, item property and settings dialogs (every page)
open in English and are photographed; the system measures each control's
text in its own font (wintool) and every text must fit: check boxes, buttons
and frames their width, labels sized to their text clear of the controls
and inside the dialog."""

import time

import harness
from harness import choose, open_menu

ABOUT, PROPERTY, SETUP = "About Quorvel", "Properties: Quorvel", "Settings"
RING = {1: harness.item("{app}\\docs\\note.txt", "Item 1", define=harness.TOOL % "MyDocuments")}
SETTINGS = {("Basic", "Language"): "English", ("Position", "Left"): "40", ("Position", "Top"): "200",
            ("ShowRect", "IsShowRect"): "False"}
ROOM = {"check": 20, "button": 8, "group": 16}  # a check box's glyph and gap, a button's edges, a frame's inset


def overlaps(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def misfits(found, client, dpi):
    shown = [c for c in found.values() if c.visible and c.name != "-" and c.text and c.text_width >= 0]
    fields = [c for c in found.values() if c.visible and c.cls in ("Edit", "ComboBox", "msctls_trackbar32")]
    bad = []
    for c in shown:
        kind = "check" if c.value.startswith("checked=") else "group" if c.name.startswith("GroupBox") else \
            "button" if c.cls == "Button" else None
        if kind and c.text_width + ROOM[kind] * dpi // 96 > c.rect[2] or c.cls == "Static" and (
                c.rect[0] + c.rect[2] > client[0] or any(overlaps(c.rect, o.rect) for o in fields)):
            bad.append((c.name, c.text, c.text_width, c.rect))
    return bad


def look(h, dpi, title, shot):
    client, found = h.form_controls(title)
    time.sleep(0.5)
    h.screenshot("%d-%s" % (dpi, shot))
    h.check(not misfits(found, client, dpi), "%s at %d DPI: every text fits" % (shot, dpi), misfits(found, client, dpi))
    return found


def opened(h, d, point, what, letter, title, shot):
    if open_menu(h, d, point, what, shot):
        choose(h, d, letter, what)
    h.require(h.wintool("form-wait", title, 30000).ok, "%s opens from %s's menu" % (title, what))


def at(h, d, dpi):
    h.reg("add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
    app = h.program("at-%d" % dpi, ring=RING, settings=SETTINGS)
    opened(h, d, harness.centre_of(h.shown()["CenterForm"].rect), "the center", "a", ABOUT, "%d-center-menu" % dpi)
    look(h, dpi, ABOUT, "about")
    h.close_form(ABOUT, "BitBtnOK")
    d.park()
    opened(h, d, harness.centre_of(h.shown()["Circle1"].rect), "a ring item", "r", PROPERTY, "%d-item-menu" % dpi)
    look(h, dpi, PROPERTY, "properties")
    h.close_form(PROPERTY, "BitBtnCancel")
    harness.open_form_from_tray(h, d, "s", SETUP, "%d-tray-menu" % dpi)
    for page in range(5):
        h.wintool("form-page", SETUP, "PageControl1", page)
        look(h, dpi, SETUP, "page-%d" % page)
    found = h.form_controls(SETUP)[1]
    got = (found["ChkBoxAuto"].text, found["ComboBoxLanguage"].value)
    h.check(got == ("Start with Windows", "selection=2"), "the settings are in English, English chosen", got)
    h.close_form(SETUP, "BitBtnCancel")
    h.close_app(app)


def scenario(h):
    d = harness.Desktop(h)
    try:
        for dpi in (96, 192):
            at(h, d, dpi)
    finally:
        h.reg("add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", "96", "/f")


if __name__ == "__main__":
    harness.run_scenario("language", scenario, time_limit=300, screen="2560x1600x24")
