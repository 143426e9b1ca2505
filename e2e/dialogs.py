#!/usr/bin/python3
"""The about dialog and the item property dialog as real windows under Wine,
opened by formhost.exe (the launcher with one dialog open at start, through
the program's own code) and driven by wintool: the about box's version text,
a new name typed into the property dialog's edit and OK, the file changed."""

import shutil

import harness

ABOUT_TITLE = "关于 Quorvel"
PROPERTY_TITLE = "属性：Quorvel"


class Control:
    def __init__(self, line):
        parts = line.split("\t")
        self.name, self.cls, self.id = parts[0], parts[1], int(parts[2])
        self.text = harness.unescape(parts[3])
        self.value = parts[4]
        self.rect = tuple(int(v) for v in parts[5].split(","))  # left, top, width, height in the client area
        self.visible = parts[6] == "visible"

    def __repr__(self):
        return "<%s %s %r %s>" % (self.name, self.cls, self.text, self.rect)


def controls(h, title):
    result = h.wintool("form-controls", title)
    h.require(result.ok and result.lines, "wintool lists the controls of %s" % title, result)
    return result.lines[0], {c.name: c for c in (Control(line) for line in result.lines[1:] if line)}


def host(h, folder, exe, *args):
    shutil.copy2(h.tools / exe, folder / exe)
    return h.start(folder, exe, args)


def overlaps(a, b):
    return a.rect[0] < b.rect[0] + b.rect[2] and b.rect[0] < a.rect[0] + a.rect[2] and \
        a.rect[1] < b.rect[1] + b.rect[3] and b.rect[1] < a.rect[1] + a.rect[3]


def about(h):
    for exe, version in (("formhost.exe", "版本：V 1.1"), ("formhost-noversion.exe", "版本：V 0")):
        folder = h.fresh_copy("about-" + exe[:-4])
        app = host(h, folder, exe, "about")
        h.require(h.wintool("form-wait", ABOUT_TITLE, 30000, timeout=60).ok, "%s opens the about dialog" % exe)
        header, found = controls(h, ABOUT_TITLE)
        h.check(header.endswith("client=313,181"), "the about dialog's client area is 313 x 181", header)
        h.check(found.get("LVersion") and found["LVersion"].text == version,
                "%s: the version text reads %s" % (exe, version), found.get("LVersion"))
        links = [found.get(n) for n in ("LAddress", "LBrimwold", "LBBS")]
        h.check(all(l and l.text.startswith("quorvel.example") for l in links), "three links", links)
        labels = [c for c in found.values() if c.name != "Image1"]
        clashes = [(a.name, b.name) for a in labels for b in labels if a.name < b.name and overlaps(a, b)]
        h.check(not clashes, "no two controls of the about dialog overlap", clashes)
        ok = found.get("BitBtnOK")
        h.check(ok and ok.id == 1 and ok.text == "确  定", "OK is the default button", ok)
        h.screenshot("about-" + exe[:-4])
        if exe == "formhost.exe":
            h.wintool("form-click", ABOUT_TITLE, "BitBtnOK")
            h.check(h.wintool("wait-gone", "QuorvelForm", ABOUT_TITLE, 10000).ok, "OK closes the about dialog")
        h.close_app(app)


def properties(h):
    folder = h.fresh_copy("properties")
    target = folder / "Icon" / "SysTool" / "Help.png"
    harness_config = folder / "Config" / "UserInfo.xml"
    text = harness_config.read_text(encoding="utf-8")
    # One ring item: the help picture as its target and its picture.
    win_target = h.win_path(target)
    item = ("<Circle1><File>%s</File><Argument /><Name>before</Name><IconPath><Default /><Define>%s</Define>"
            "</IconPath><Http /><InitialPosition /></Circle1>") % (win_target, win_target)
    start = text.index("<Circle1>")
    end = text.index("</Circle1>") + len("</Circle1>")
    harness_config.write_text(text[:start] + item + text[end:], encoding="utf-8")

    app = host(h, folder, "formhost.exe", "properties", 1)
    h.require(h.wintool("form-wait", PROPERTY_TITLE, 30000, timeout=60).ok, "the property dialog opens for slot 1")
    header, found = controls(h, PROPERTY_TITLE)
    h.check(header.endswith("client=469,318"), "the property dialog's client area is 469 x 318", header)
    h.check(found.get("EditName") and found["EditName"].text == "before", "the name field holds the item's name",
            found.get("EditName"))
    h.check(found.get("EditTarget") and found["EditTarget"].text == win_target, "the target field holds its target",
            found.get("EditTarget"))
    places = {n: found[n].rect for n in ("EditName", "EditIcon", "BitBtnOK", "BitBtnCancel") if n in found}
    h.check(places == {"EditName": (180, 60, 258, 21), "EditIcon": (32, 181, 329, 21),
                       "BitBtnOK": (282, 277, 75, 25), "BitBtnCancel": (363, 277, 75, 25)},
            "the controls stand where the layout puts them", places)
    h.screenshot("properties-open")

    typed = h.wintool("form-set-text", PROPERTY_TITLE, "EditName", "  after 之后 ")
    h.require(typed.ok, "wintool types a new name", typed)
    h.screenshot("properties-typed")
    h.wintool("form-click", PROPERTY_TITLE, "BitBtnOK")
    h.check(h.wintool("wait-gone", "QuorvelForm", PROPERTY_TITLE, 10000).ok, "OK closes the property dialog")
    saved = h.poll(lambda: "<Name>after 之后</Name>" in harness_config.read_text(encoding="utf-8"), 10)
    h.check(saved, "the file holds the new name, trimmed",
            harness_config.read_text(encoding="utf-8")[start:start + 400])
    h.close_app(app)


def scenario(h):
    about(h)
    properties(h)


harness.run_scenario("dialogs", scenario)
