#!/usr/bin/python3
"""A first start from a freshly unpacked program folder: the main window,
the round window appears, and the dock list of the configuration
file is filled with the five system tools."""

import harness

SYSTEM_TOOLS = [
    ("Rect1", "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "我的电脑"),
    ("Rect2", "::{208D2C60-3AEA-1069-A2D7-08002B30309D}", "网上邻居"),
    ("Rect3", "::{450D8FBA-AD25-11D0-98A8-0800361B1103}", "我的文档"),
    ("Rect4", "::{645FF040-5081-101B-9F08-00AA002F954E}", "回收站"),
    ("Rect5", "control.exe", "控制面板"),
]


def scenario(h):
    folder = h.fresh_copy()
    config = folder / "Config" / "UserInfo.xml"
    shipped = harness.parse_config(config)
    shipped_rect = shipped.find("RectBackground")
    h.check(shipped_rect is None or len(shipped_rect) == 0, "the shipped file has no dock items yet")

    app = h.start_ready(folder)
    main, others = h.program_windows()
    h.require(main is not None, "exactly one main window")
    h.check((main.rect[0], main.rect[1]) == (600, 368), "the main window stands at the file's position 600,368",
            main.rect)
    # The backend titles each window with its name, which tells them apart.
    shown = {w.title: w for w in others if w.visible and w.width > 0 and w.height > 0}
    for w in shown.values():
        h.log("  window %r" % w)
    shot = h.screenshot("started")
    skin = shown.get("BackGroundForm")
    h.check(skin is not None and (skin.width, skin.height) == (300, 300), "the ring skin is shown, 300x300",
            skin)
    if skin:
        h.check(h.colours(shot, skin.rect) > 32, "the ring skin is drawn on the screen")
    h.check("CenterForm" in shown, "the center button is shown")
    # The dock bar and its items are not built yet: only the file's dock list is checked below.
    h.check(h.poll(lambda: h.tray_icons() == 1, 10), "one tray icon")

    root = harness.parse_config(config)
    rect = root.find("RectBackground")
    h.require(rect is not None, "the file holds a RectBackground")
    found = [(item.tag, harness.find_path(item, "File").text or "", harness.find_path(item, "Name").text or "")
             for item in rect]
    h.check(found == SYSTEM_TOOLS, "the dock list holds the five system tools in order", found)
    for item in rect:
        children = [child.tag for child in item]
        h.check(children[-1:] == ["InitialPosition"] and "IconPath" in children,
                "%s has IconPath and ends with InitialPosition" % item.tag, children)
    ring = root.find("RoundBackground")
    h.check(ring is not None and [c.tag for c in ring] == ["Circle%d" % i for i in range(1, 21)],
            "the ring list still holds Circle1..Circle20")

    code = h.close_app(app)
    h.check(code is not None, "the program ends when its main window is closed", code)
    harness.parse_config(config)
    # The writer keeps the previous content as UserInfo.xml.bak; no temporary stays.
    h.check([f for f in h.config_files(folder) if f != "UserInfo.xml.bak"] == ["UserInfo.xml"],
            "no other file than the backup left in Config", h.config_files(folder))


harness.run_scenario("fresh_start", scenario)
