#!/usr/bin/python3
"""Closing the main window ends the program and writes the skin indexes,
sizes, center action and window position back into the file."""

import harness

# Values unlike the shipped ones, so that a write of defaults would show.
VALUES = {
    ("Background", "Index"): "2",
    ("Background", "Size"): "280",
    ("Center", "Index"): "3",
    ("Center", "Size"): "100",
    ("Center", "Action"): "5",
    ("Position", "Left"): "100",
    ("Position", "Top"): "120",
}


def scenario(h):
    folder = h.fresh_copy()
    config = folder / "Config" / "UserInfo.xml"
    harness.edit_config_attributes(config, VALUES)

    app = h.start_ready(folder)
    main, others = h.program_windows()
    h.require(main is not None, "exactly one main window")
    h.check((main.rect[0], main.rect[1]) == (100, 120), "the main window stands at 100,120", main.rect)
    shot = h.screenshot("started")
    skins = [w for w in others if w.visible and w.width == 280 and w.height == 280]
    h.check(len(skins) == 1, "the ring skin window is 280x280", [w.rect for w in others if w.visible])
    if skins:
        h.check(h.colours(shot, skins[0].rect) > 32, "the ring skin is drawn on the screen")

    h.require(h.wintool("close").ok, "the close command reaches the main window")
    code = app.wait_exit(15)
    h.check(code is not None, "the program ends within 15 s of the close", code)
    h.check(h.poll(lambda: h.tray_icons() == 0, 5), "its tray icon is gone", h.tray_icons())

    basic = harness.find_path(harness.parse_config(config), "Setup", "Basic")
    h.require(basic is not None, "the file still parses and holds Setup/Basic")
    for (element, attribute), value in VALUES.items():
        node = basic.find(element)
        written = node.get(attribute) if node is not None else None
        h.check(written == value, "%s %s is %s after closing" % (element, attribute, value), written)
    # The writer keeps the previous content as UserInfo.xml.bak; no temporary stays.
    h.check([f for f in h.config_files(folder) if f != "UserInfo.xml.bak"] == ["UserInfo.xml"],
            "no other file than the backup left in Config", h.config_files(folder))


harness.run_scenario("close_writes_back", scenario)
