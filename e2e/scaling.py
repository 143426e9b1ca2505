#!/usr/bin/python3
"""Only Windows shows: display scaling of the real windows and dialogs, in the
English interface pinned in the file, then again in the Chinese one. The prefix's LogPixels is set to 192 and
then 96 (where it is left; a new wineserver reads it), and each time the same
ring of 20 items starts: its windows are 2x their 96 DPI sizes around the same
logical centre, the label under a hovered item grows with the scale, and the
ring at 192 sits beside the one at 96 in side-by-side-96x2-vs-192.png. The
five context menus are pictured (the dock's two are closed unchosen). The
about, item property and settings dialogs (every page) are opened through the
real menus and read with wintool: every text fits (the system measures it in
the control's own font: check boxes, buttons and frames their width, labels
clear of the fields and inside the dialog), every control at 192 is its rect
at 96 scaled (the rounding at other scales is checked headless), labels that
fit their text grow with their font, menus open at the pointer. At 96 the
dialogs are also used: the item in the property dialog, no black around its preview, and a dialog
told of 192 DPI lays itself out as the one made at 192 (overlaps are checked headless).
The Chinese passes (shots named zh-...) make the same pictures and checks of
fit and scale; the move to 192 and the dialogs' use are the English passes'."""

import subprocess
import time

import harness
from harness import choose, open_menu

SCREEN = "2560x1600x24"
DPIS = (192, 96)
# Dialog titles, and the prefix of the screenshots, per language.
LANGUAGES = {"English": (("About Quorvel", "Properties: Quorvel", "Settings"), ""),
             "Chinese": (("关于 Quorvel", "属性：Quorvel", "设置"), "zh-")}
PAGE_COUNT = 5
# The ring's centre in logical pixels, left of the centred dialogs and below the tray window in the corner.
CENTRE = (240, 310)
RING_REACH = 230  # the outer items end about 215 from the centre
MAIN_SIZE = (194, 168)  # the main form at 96 DPI, around the ring's centre
TOOLS = ("MyComputer", "MyNetwork", "MyDocuments", "RecycleBin", "ControlPanel", "MyFiles")
HOVER_SLOT = 10
RING = {s: harness.item("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "Item%d" % s, define=harness.TOOL % TOOLS[s % 6])
        for s in range(2, 21)}
RING[1] = harness.item("{app}\\docs\\note.txt", "Item 1", define=harness.TOOL % "MyDocuments")
SETTINGS = {("Position", "Left"): str(CENTRE[0] - MAIN_SIZE[0] // 2),
            ("Position", "Top"): str(CENTRE[1] - MAIN_SIZE[1] // 2)}
ROOM = {"check": 20, "button": 8, "group": 16}  # a check box's glyph and gap, a button's edges, a frame's inset


def set_log_pixels(h, dpi):
    """Writes the value and restarts the wineserver, which reads it when it starts."""
    result = h.reg("add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
    h.require(result.returncode == 0, "LogPixels is set to %d" % dpi, result.returncode)
    subprocess.run(["wineserver", "-k"], env=h.env, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], env=h.env, stderr=subprocess.DEVNULL, timeout=30)
    subprocess.run(["wineserver", "-p"], env=h.env, check=False)


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


class Pass:
    """One start of the ring at a scale and in a language."""

    def __init__(self, dpi, language):
        self.dpi, self.language = dpi, language
        (self.about, self.property, self.setup), self.prefix = LANGUAGES[language]
        self.english = language == "English"

    def shot(self, name):
        return "%s%d-%s" % (self.prefix, self.dpi, name)


def record(h, run, title, shot):
    client, found = h.form_controls(title)
    dpi = run.dpi
    time.sleep(0.5)
    h.screenshot(run.shot(shot))
    h.check(not misfits(found, client, dpi), "%s at %d DPI: every text fits" % (shot, dpi), misfits(found, client, dpi))
    return client, found


def menu(h, d, point, what, letter, shot):
    """Opens a menu with a right click, checks it opens at the pointer, chooses by letter."""
    opened = open_menu(h, d, point, what, shot)
    if opened:
        h.check(abs(opened[0].rect[0] - point[0]) <= 2 and abs(opened[0].rect[1] - point[1]) <= 2,
                "the %s menu opens at the pointer %s" % (what, point), opened[0].rect)
        choose(h, d, letter, what)
    return opened


def ring(h, d, run):
    """The ring's windows, a crop of it and the label under a hovered item."""
    dpi = run.dpi
    time.sleep(0.5)
    windows = h.shown()
    box = tuple(int(round(v * dpi / 96)) for v in (CENTRE[0] - RING_REACH, CENTRE[1] - RING_REACH,
                                                    CENTRE[0] + RING_REACH, CENTRE[1] + RING_REACH))
    crop = h.out / ("%sring-%d.png" % (run.prefix, dpi))
    subprocess.run(["convert", str(h.screenshot(run.shot("screen"))), "-crop", "%dx%d+%d+%d" % (
        box[2] - box[0], box[3] - box[1], box[0], box[1]), "+repage", str(crop)], check=True)
    target = windows["Circle%d" % HOVER_SLOT]
    d.move(*harness.centre_of(target.rect))
    label = h.poll(lambda: [w for t, w in h.shown().items() if t == "FormHint" and w.rect[1] == target.rect[3]], 3)
    d.park()
    return windows, crop, label[0] if label else None


def about(h, run, seen):
    seen["about"] = record(h, run, run.about, "about")
    if run.dpi == 96 and run.english:
        h.require(h.wintool("form-send-dpi", run.about, 192).ok, "the about dialog hears of 192 DPI")
        seen["about@192"] = record(h, run, run.about, "about-moved-to-192")
    h.close_form(run.about, "BitBtnOK")


def properties(h, app, run, seen):
    PROPERTY, dpi = run.property, run.dpi
    seen["properties"] = record(h, run, PROPERTY, "properties")
    if dpi != 96 or not run.english:
        return h.close_form(PROPERTY, "BitBtnCancel")
    client, found = seen["properties"]
    got = (found["EditName"].text, found["EditTarget"].text)
    h.check(got == ("Item 1", h.win_path(app.folder) + "\\docs\\note.txt"), "the fields hold the item", got)
    x0, y0 = h.form_origin(PROPERTY, client)
    left, top, width, height = found["ImageIcon"].rect
    shot = h.out / (run.shot("properties") + ".png")
    # Around the picture, inside its group box: the box's face, never the black of a place nobody painted.
    black = sum(int(subprocess.run(["convert", str(shot), "-crop", "%dx%d+%d+%d" % (r - l, b - t, x0 + l, y0 + t),
                                    "+repage", "-fill", "white", "+opaque", "black", "-format",
                                    "%[fx:round((1-mean)*w*h)]", "info:"], stdout=subprocess.PIPE).stdout or 0)
                for l, t, r, b in ((left - 3, top - 3, left + width + 3, top), (left - 3, top, left, top + height),
                                   (left + width, top, left + width + 3, top + height)))
    h.check(black == 0, "no black around the preview picture", black)
    h.close_form(PROPERTY, "BitBtnOK")


def dock_menus(h, d, run):
    """The dock's two menus, pictured and closed unchosen by a click beside them."""
    def item_point():
        # The dock magnifies under the pointer: the item is found where it settled.
        d.move(*harness.centre_of(h.shown()["Rect1"].rect))
        time.sleep(1.0)
        return harness.centre_of(h.shown()["Rect1"].rect)

    bar = h.shown()["RectForm"].rect
    for what, point, shot in (("the dock", lambda: (bar[0] + 6 * run.dpi // 96, (bar[1] + bar[3]) // 2), "dock-menu"),
                              ("a dock item", item_point, "dock-item-menu")):
        d.park()
        if open_menu(h, d, point(), what, run.shot(shot)):
            d.click((int(SCREEN.split("x")[0]) - 10, int(SCREEN.split("x")[1]) - 10))
            h.check(h.poll(lambda: not harness.menus_shown(h), 4), "a click beside the menu of %s closes it" % what)
    d.park()


def pages(h, d, run, seen):
    SETUP = run.setup
    for page in range(PAGE_COUNT):
        h.click_page(d, SETUP, page)
        seen["page-%d" % page] = record(h, run, SETUP, "page-%d" % page)
    if run.dpi == 96 and run.english:
        h.require(h.wintool("form-send-dpi", SETUP, 192).ok, "the settings dialog hears of 192 DPI")
        for page in range(PAGE_COUNT):
            h.click_page(d, SETUP, page)
            seen["page-%d@192" % page] = record(h, run, SETUP, "page-%d-moved-to-192" % page)
    h.close_form(SETUP, "BitBtnCancel")


def run_at(h, d, run):
    """The ring and every dialog once: (ring, {dialog: (client, controls)})."""
    dpi = run.dpi
    set_log_pixels(h, dpi)
    settings = dict(SETTINGS)
    settings[("Basic", "Language")] = run.language
    app = h.program("%sat-%d" % (run.prefix, dpi), ring=RING, settings=settings)
    seen, shown = {}, ring(h, d, run)
    menu(h, d, harness.centre_of(h.shown()["CenterForm"].rect), "the center", "a", run.shot("center-menu"))
    h.require(h.wintool("form-wait", run.about, 30000).ok, "the about dialog opens at %d DPI" % dpi)
    about(h, run, seen)
    d.park()
    menu(h, d, harness.centre_of(h.shown()["Circle1"].rect), "a ring item", "r", run.shot("item-menu"))
    h.require(h.wintool("form-wait", run.property, 30000).ok, "the property dialog opens at %d DPI" % dpi)
    properties(h, app, run, seen)
    dock_menus(h, d, run)
    harness.open_form_from_tray(h, d, "s", run.setup, run.shot("tray-menu"))
    pages(h, d, run, seen)
    h.close_app(app)
    return shown, seen


def overlaps(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def edges(rect):
    return rect[0], rect[1], rect[0] + rect[2], rect[1] + rect[3]


def compare(h, what, base, other, dpi):
    """other (made at dpi) against base (made at 96): every edge k times as far, within a pixel."""
    (client96, controls96), (client, found) = base, other
    k = dpi / 96
    h.check(all(abs(c - b * k) <= 1 for c, b in zip(client, client96)), "%s: the client area at %d DPI is %.1fx" % (
        what, dpi, k), (client, client96))
    off, text = [], []
    for name, c96 in controls96.items():
        c = found.get(name)
        if c is None or not c96.visible or name == "-":  # unnamed: a control's own parts
            continue
        r = c96.rect
        if c.cls == "Static" and all(abs(a - b * k) <= 1 for a, b in zip(c.rect[:2], r[:2])) and \
                any(abs(a - b * k) > 1 for a, b in zip(edges(c.rect)[2:], edges(r)[2:])):
            # A label that takes its text's size grows with the font (Latin text hinted a little narrower).
            if not all(r[i] * k * 0.8 - 1 <= c.rect[i] <= r[i] * k * 1.05 + 1 for i in (2, 3)):
                text.append((name, r, c.rect))
            continue
        # A closed combo box's frame is Wine's own and does not scale: its height within a few pixels.
        slack = (1, 1, 1, 3) if c.cls == "ComboBox" else (1, 1, 1, 1)
        if any(abs(a - b * k) > n for a, b, n in zip(edges(c.rect), edges(r), slack)):
            off.append((name, r, c.rect))
    h.check(not off, "%s: every control at %d DPI is its rect at 96 scaled, within a pixel" % (what, dpi), off)
    h.check(not text, "%s: the labels that fit their text grow with it at %d DPI" % (what, dpi), text)


def compare_ring(h, base, other, dpi):
    (windows96, _, label96), (windows, _, label) = base, other
    k, bad = dpi / 96, []
    for name in ["BackGroundForm", "CenterForm"] + ["Circle%d" % s for s in range(1, 21)]:
        w, b = windows.get(name), windows96.get(name)
        if w is None or b is None:
            bad.append((name, "missing"))
        elif any(abs(a - v * k) > 1 for a, v in zip((w.width, w.height), (b.width, b.height))) or \
                any(abs((w.rect[i] + w.rect[i + 2]) / 2 / k - (b.rect[i] + b.rect[i + 2]) / 2) > 1 for i in (0, 1)):
            bad.append((name, w.rect, b.rect))
    h.check(not bad, "at %d DPI every ring window is %.1fx its 96 DPI size around the same centre" % (dpi, k), bad)
    if h.check(label and label96, "a label shows under the hovered item at %d DPI" % dpi, (label, label96)):
        h.check(abs(label.height - label96.height * k) <= 2 + k, "the label's text is %.1fx as tall at %d DPI" % (
            k, dpi), (label.height, label96.height))


def scenario(h):
    d = harness.Desktop(h)
    for language in LANGUAGES:
        scaled(h, d, language)


def scaled(h, d, language):
    """Both scales in one language, compared."""
    runs = {}
    try:
        for dpi in DPIS:
            runs[dpi] = run_at(h, d, Pass(dpi, language))
    finally:
        if 96 not in runs:
            set_log_pixels(h, 96)
    rings, seen = {dpi: r for dpi, (r, _) in runs.items()}, {dpi: s for dpi, (_, s) in runs.items()}
    compare_ring(h, rings[96], rings[192], 192)
    for what in seen[192]:
        compare(h, what, seen[96][what], seen[192][what], 192)
    for what in seen[192]:
        moved = seen[96].get(what + "@192")
        if moved:
            made = {n: c.rect for n, c in seen[192][what][1].items() if n != "-" and c.visible}
            again = {n: c.rect for n, c in moved[1].items() if n != "-" and c.visible}
            h.check(made == again, "%s laid out again at 192 DPI is the dialog made at 192" % what,
                    [(n, r, again.get(n)) for n, r in made.items() if again.get(n) != r])
    # For the eye: the 96 DPI ring enlarged 2x (pixels doubled) beside the 192 one.
    subprocess.run(["convert", "(", str(rings[96][1]), "-scale", "200%", ")", str(rings[192][1]), "+append",
                    str(h.out / ("%sside-by-side-96x2-vs-192.png" % LANGUAGES[language][1]))], check=True)


if __name__ == "__main__":
    harness.run_scenario("scaling", scenario, time_limit=700, screen=SCREEN)
