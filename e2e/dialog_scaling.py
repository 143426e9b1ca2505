#!/usr/bin/python3
"""Only Windows shows: the dialogs' real controls at the display's scale. The
prefix's LogPixels is set to 192, 144 and then 96 (where it is left); at each
the about, item property and settings dialogs (every page) are opened through
the real menus and read with wintool: every control at 192 and 144 is its
rect at 96 scaled, labels that fit their text grow with their font, menus
open at the pointer. At 96 the dialogs are also used: the version resource in
the about box (and its absence, with formhost-noversion.exe), a name typed
into the property dialog and saved, no black around its preview, no page
whose controls overlap or leave the dialog, and a dialog told of 192 DPI lays
itself out as the one made at 192."""

import subprocess
import time

import harness
from harness import choose, open_menu

DPIS = (192, 144, 96)
ABOUT, PROPERTY, SETUP = "关于 Quorvel", "属性：Quorvel", "设置"
PAGE_COUNT = 5
# The ring at the left, clear of the centred dialogs and of the tray window in the corner at any scale.
RING = {1: harness.item("{app}\\docs\\note.txt", "Item 1", define=harness.TOOL % "MyDocuments")}
SETTINGS = {("Position", "Left"): "40", ("Position", "Top"): "200", ("ShowRect", "IsShowRect"): "False"}


def set_log_pixels(h, dpi):
    result = h.reg("add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
    h.require(result.returncode == 0, "LogPixels is set to %d" % dpi, result.returncode)


def record(h, dpi, title, shot):
    found = h.form_controls(title)
    time.sleep(0.5)
    h.screenshot("%d-%s" % (dpi, shot))
    return found


def menu(h, d, point, what, letter, shot):
    """Opens a menu with a right click, checks it opens at the pointer, chooses by letter."""
    opened = open_menu(h, d, point, what, shot)
    if opened:
        h.check(abs(opened[0].rect[0] - point[0]) <= 2 and abs(opened[0].rect[1] - point[1]) <= 2,
                "the %s menu opens at the pointer %s" % (what, point), opened[0].rect)
        choose(h, d, letter, what)
    return opened


def about(h, dpi, seen):
    seen["about"] = record(h, dpi, ABOUT, "about")
    if dpi == 96:
        version = seen["about"][1]["LVersion"].text
        h.check(any(c.isdigit() and c != "0" for c in version), "the about box shows the version resource", version)
        h.require(h.wintool("form-send-dpi", ABOUT, 192).ok, "the about dialog hears of 192 DPI")
        seen["about@192"] = record(h, dpi, ABOUT, "about-moved-to-192")
    h.close_form(ABOUT, "BitBtnOK")


def properties(h, app, dpi, seen):
    seen["properties"] = record(h, dpi, PROPERTY, "properties")
    if dpi != 96:
        return h.close_form(PROPERTY, "BitBtnCancel")
    client, found = seen["properties"]
    got = (found["EditName"].text, found["EditTarget"].text)
    h.check(got == ("Item 1", h.win_path(app.folder) + "\\docs\\note.txt"), "the fields hold the item", got)
    x0, y0 = h.form_origin(PROPERTY, client)
    left, top, width, height = found["ImageIcon"].rect
    shot = h.out / ("%d-properties.png" % dpi)
    # Around the picture, inside its group box: the box's face, never the black of a place nobody painted.
    black = sum(int(subprocess.run(["convert", str(shot), "-crop", "%dx%d+%d+%d" % (r - l, b - t, x0 + l, y0 + t),
                                    "+repage", "-fill", "white", "+opaque", "black", "-format",
                                    "%[fx:round((1-mean)*w*h)]", "info:"], stdout=subprocess.PIPE).stdout or 0)
                for l, t, r, b in ((left - 3, top - 3, left + width + 3, top), (left - 3, top, left, top + height),
                                   (left + width, top, left + width + 3, top + height)))
    h.check(black == 0, "no black around the preview picture", black)
    h.require(h.wintool("form-set-text", PROPERTY, "EditName", "  after 之后 ").ok, "a new name is typed")
    h.close_form(PROPERTY, "BitBtnOK")
    h.check(h.poll(lambda: harness.item_values(app.config, "RoundBackground", "Circle1")["Name"] == "after 之后", 10),
            "the file holds the new name, trimmed")


def pages(h, dpi, seen):
    for page in range(PAGE_COUNT):
        h.require(h.wintool("form-page", SETUP, "PageControl1", page).ok, "page %d is shown" % page)
        seen["page-%d" % page] = client, found = record(h, dpi, SETUP, "page-%d" % page)
        if dpi == 96:
            h.check(not clashes(found), "no two controls of page %d overlap" % page, clashes(found))
            outside = [c.name for c in found.values() if c.visible and c.name != "-" and
                       (c.rect[0] + c.rect[2] > client[0] or c.rect[1] + c.rect[3] > client[1])]
            h.check(not outside, "every control of page %d lies inside the dialog" % page, outside)
    if dpi == 96:
        h.require(h.wintool("form-send-dpi", SETUP, 192).ok, "the settings dialog hears of 192 DPI")
        for page in range(PAGE_COUNT):
            h.wintool("form-page", SETUP, "PageControl1", page)
            seen["page-%d@192" % page] = record(h, dpi, SETUP, "page-%d-moved-to-192" % page)
    h.close_form(SETUP, "BitBtnCancel")


def open_all(h, d, dpi):
    """Every dialog once at this DPI: {dialog: (client, controls)}."""
    set_log_pixels(h, dpi)
    app = h.program("at-%d" % dpi, ring=RING, settings=SETTINGS)
    seen = {}
    menu(h, d, harness.centre_of(h.shown()["CenterForm"].rect), "the center", "a", "%d-center-menu" % dpi)
    h.require(h.wintool("form-wait", ABOUT, 30000).ok, "the about dialog opens at %d DPI" % dpi)
    about(h, dpi, seen)
    d.park()
    menu(h, d, harness.centre_of(h.shown()["Circle1"].rect), "a ring item", "r", "%d-item-menu" % dpi)
    h.require(h.wintool("form-wait", PROPERTY, 30000).ok, "the property dialog opens at %d DPI" % dpi)
    properties(h, app, dpi, seen)
    harness.open_form_from_tray(h, d, "s", SETUP, "%d-tray-menu" % dpi)
    pages(h, dpi, seen)
    h.close_app(app)
    return seen


def scaled(value, dpi):
    """As the program scales a logical number: half away from zero."""
    return (value * dpi + 48) // 96


def overlaps(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def clashes(found):
    """Pairs of visible controls that overlap, but for the frames that hold others."""
    shown = [c for c in found.values() if c.visible and c.name not in ("-", "Image1", "PanelPreview")
             and c.cls != "SysTabControl32" and not c.name.startswith("GroupBox")]
    return {(a.name, b.name) for a in shown for b in shown if a.name < b.name and overlaps(a.rect, b.rect)}


def compare(h, what, base, other, dpi):
    """other (made at dpi) against base (made at 96)."""
    (client96, controls96), (client, found) = base, other
    want = (scaled(client96[0], dpi), scaled(client96[1], dpi))
    h.check(client == want, "%s: the client area is %s at %d DPI" % (what, want, dpi), client)
    off, text = [], []
    for name, c96 in controls96.items():
        c = found.get(name)
        if c is None or not c96.visible or name == "-":  # unnamed: a control's own parts
            continue
        r = c96.rect
        want_rect = (scaled(r[0], dpi), scaled(r[1], dpi), scaled(r[0] + r[2], dpi) - scaled(r[0], dpi),
                     scaled(r[1] + r[3], dpi) - scaled(r[1], dpi))
        if c.cls == "Static" and c.rect[:2] == want_rect[:2] and c.rect[2:] != want_rect[2:]:
            # A label that takes its text's size grows with the font, which has whole pixels.
            if not all(r[i] * dpi / 96 * 0.9 - 1 <= c.rect[i] <= r[i] * dpi / 96 * 1.05 + 1 for i in (2, 3)):
                text.append((name, r, c.rect))
            continue
        # A closed combo box's frame is Wine's own and does not scale: its height within a few pixels.
        slack = (1, 1, 1, 3) if c.cls == "ComboBox" else (1, 1, 1, 1)
        if any(abs(a - b) > n for a, b, n in zip(c.rect, want_rect, slack)):
            off.append((name, r, c.rect, want_rect))
    h.check(not off, "%s: every control at %d DPI is its rect at 96 scaled, within a pixel" % (what, dpi), off)
    h.check(not text, "%s: the labels that fit their text grow with it at %d DPI" % (what, dpi), text)
    h.check(not clashes(found) - clashes(controls96), "%s: no controls overlap at %d DPI that did not at 96" % (what, dpi),
            clashes(found) - clashes(controls96))


def no_version(h, version):
    """The launcher's code in a program without a version resource."""
    folder = h.fresh_copy("about-noversion")
    (folder / "formhost-noversion.exe").write_bytes((h.tools / "formhost-noversion.exe").read_bytes())
    app = h.start(folder, "formhost-noversion.exe", ("about",))
    h.require(h.wintool("form-wait", ABOUT, 30000, timeout=60).ok, "formhost-noversion opens the about dialog")
    text = h.form_controls(ABOUT)[1]["LVersion"].text
    h.check(text != version and text.rstrip().endswith("0"), "without a version resource the about box says 0", text)
    h.close_app(app)


def scenario(h):
    d = harness.Desktop(h)
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
    no_version(h, seen[96]["about"][1]["LVersion"].text)


if __name__ == "__main__":
    harness.run_scenario("dialog_scaling", scenario, time_limit=420, screen="2560x1600x24")
