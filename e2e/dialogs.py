#!/usr/bin/python3
"""The about dialog and the item property dialog as real windows under Wine,
opened through the program's own menus with real X input (a right click on
the center, "关于(&A)"; a right click on a ring item, "属性(&R)") and driven
by wintool: the about box's version text, a new name typed into the property
dialog's edit and OK, the file changed. The screenshots show both dialogs
above the ring.
formhost-noversion.exe (the launcher's code in a program without a version
resource) shows the about box's text for a missing version."""

import shutil
import subprocess
import time

import harness
import interaction as ia
import menus

ABOUT_TITLE = "关于 Quorvel"
PROPERTY_TITLE = "属性：Quorvel"


# One line of wintool form-controls.
Control = harness.FormControl


def controls(h, title):
    result = h.wintool("form-controls", title)
    h.require(result.ok and result.lines, "wintool lists the controls of %s" % title, result)
    return result.lines[0], {c.name: c for c in (Control(line) for line in result.lines[1:] if line)}


def overlaps(a, b):
    return a.rect[0] < b.rect[0] + b.rect[2] and b.rect[0] < a.rect[0] + a.rect[2] and \
        a.rect[1] < b.rect[1] + b.rect[3] and b.rect[1] < a.rect[1] + a.rect[3]


def check_about(h, found, version):
    h.check(found.get("LVersion") and found["LVersion"].text == version,
            "the version text reads %s" % version, found.get("LVersion"))
    links = [found.get(n) for n in ("LAddress", "LBrimwold", "LBBS")]
    h.check(all(l and l.text.startswith("quorvel.example") for l in links), "three links", links)
    labels = [c for c in found.values() if c.name != "Image1"]
    clashes = [(a.name, b.name) for a in labels for b in labels if a.name < b.name and overlaps(a, b)]
    h.check(not clashes, "no two controls of the about dialog overlap", clashes)
    ok = found.get("BitBtnOK")
    h.check(ok and ok.id == 1 and ok.text == "确  定", "OK is the default button", ok)


def black_pixels(image, rect):
    """Pure black pixels in rect (l, t, r, b) of the image."""
    left, top, right, bottom = rect
    done = subprocess.run(["convert", str(image), "-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top),
                           "+repage", "-fill", "white", "+opaque", "black", "-format", "%[fx:round((1-mean)*w*h)]",
                           "info:"], stdout=subprocess.PIPE, check=True)
    return int(done.stdout.decode().strip() or 0)


def client_origin(h, title, client_width):
    """Where the dialog's client area starts on the screen: the frame is as
    wide at the sides as at the bottom."""
    frames = [w for w in h.windows() if w.title == title and w.visible]
    if not frames:
        return None
    left, top, right, bottom = frames[0].rect
    side = (right - left - client_width) // 2
    return left + side, bottom - side


def about(h, d):
    folder, _ = menus.setup_program(h, "about")
    d.park()
    app = h.start_ready(folder)
    _, by_title = ia.ring_windows(h)
    h.require("CenterForm" in by_title, "the ring is up")
    if menus.open_menu(h, d, ia.centre_of(by_title["CenterForm"].rect), "the center", "about-01-menu"):
        menus.choose(h, d, "a", "关于(&A)")
    h.require(h.wintool("form-wait", ABOUT_TITLE, 30000, timeout=60).ok, "关于(&A) opens the about dialog")
    header, found = controls(h, ABOUT_TITLE)
    h.check(header.endswith("client=313,181"), "the about dialog's client area is 313 x 181", header)
    check_about(h, found, "版本：V 1.0")
    time.sleep(0.5)
    h.screenshot("about-02-open")  # the dialog stands above the ring
    h.wintool("form-click", ABOUT_TITLE, "BitBtnOK")
    h.check(h.wintool("wait-gone", "QuorvelForm", ABOUT_TITLE, 10000).ok, "OK closes the about dialog")
    h.close_app(app)

    # The launcher's code in a program without a version resource.
    folder = h.fresh_copy("about-noversion")
    shutil.copy2(h.tools / "formhost-noversion.exe", folder / "formhost-noversion.exe")
    app = h.start(folder, "formhost-noversion.exe", ("about",))
    h.require(h.wintool("form-wait", ABOUT_TITLE, 30000, timeout=60).ok, "formhost-noversion opens the about dialog")
    _, found = controls(h, ABOUT_TITLE)
    check_about(h, found, "版本：V 0")
    h.close_app(app)


def properties(h, d):
    folder, config = menus.setup_program(h, "properties")
    text = config.read_text(encoding="utf-8")
    start = text.index("<Circle1>")
    d.park()
    app = h.start_ready(folder)
    _, by_title = ia.ring_windows(h)
    h.require("Circle1" in by_title, "the ring's first item is up", sorted(by_title))
    item = by_title["Circle1"]
    if menus.open_menu(h, d, ia.centre_of(item.rect), "a ring item", "properties-01-menu"):
        menus.choose(h, d, "r", "属性(&R)")
    h.require(h.wintool("form-wait", PROPERTY_TITLE, 30000, timeout=60).ok, "属性(&R) opens the property dialog")
    header, found = controls(h, PROPERTY_TITLE)
    h.check(header.endswith("client=469,318"), "the property dialog's client area is 469 x 318", header)
    h.check(found.get("EditName") and found["EditName"].text == "Item 1", "the name field holds the item's name",
            found.get("EditName"))
    win_target = h.win_path(folder) + "\\docs\\note.txt"
    h.check(found.get("EditTarget") and found["EditTarget"].text == win_target, "the target field holds its target",
            found.get("EditTarget"))
    places = {n: found[n].rect for n in ("EditName", "EditIcon", "BitBtnOK", "BitBtnCancel") if n in found}
    h.check(places == {"EditName": (180, 60, 258, 21), "EditIcon": (32, 181, 329, 21),
                       "BitBtnOK": (282, 277, 75, 25), "BitBtnCancel": (363, 277, 75, 25)},
            "the controls stand where the layout puts them", places)
    time.sleep(0.5)
    shot = h.screenshot("properties-02-open")  # the dialog stands above the ring
    origin = client_origin(h, PROPERTY_TITLE, 469)
    if h.check(origin and "ImageIcon" in found, "the property dialog and its preview are found", origin):
        x0, bottom = origin
        y0 = bottom - 318
        pl, pt, pw, ph = found["ImageIcon"].rect
        # Around the picture, inside its group box: the group box's own face
        # colour, never the black of a place nobody painted.
        ring = [(pl - 3, pt - 3, pl + pw + 3, pt), (pl - 3, pt, pl, pt + ph), (pl + pw, pt, pl + pw + 3, pt + ph)]
        black = sum(black_pixels(shot, (x0 + l, y0 + t, x0 + r, y0 + b)) for l, t, r, b in ring)
        h.check(black == 0, "no black around the preview picture", black)

    typed = h.wintool("form-set-text", PROPERTY_TITLE, "EditName", "  after 之后 ")
    h.require(typed.ok, "wintool types a new name", typed)
    h.screenshot("properties-03-typed")
    h.wintool("form-click", PROPERTY_TITLE, "BitBtnOK")
    h.check(h.wintool("wait-gone", "QuorvelForm", PROPERTY_TITLE, 10000).ok, "OK closes the property dialog")
    saved = h.poll(lambda: ia.item_values(config, "RoundBackground", "Circle1")["Name"] == "after 之后", 10)
    h.check(saved, "the file holds the new name, trimmed", ia.item_values(config, "RoundBackground", "Circle1"))
    h.screenshot("properties-04-saved")
    h.close_app(app)


def scenario(h):
    d = ia.Desktop(h)
    about(h, d)
    properties(h, d)


if __name__ == "__main__":
    harness.run_scenario("dialogs", scenario, time_limit=280)
