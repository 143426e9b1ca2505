#!/usr/bin/python3
"""Closing the main window, and a Windows logoff, end the program, which
writes the skin indexes, sizes, center action and window position back into
the file through the real writer. The file is scrambled while the program
runs, so only the shutdown save can put the values back."""

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
SCRAMBLED = {key: "1" for key in VALUES}


def start_and_scramble(h, folder, config):
    app = h.start_ready(folder)
    h.require(h.main_window() is not None, "the main window is up")
    harness.edit_config_attributes(config, SCRAMBLED)
    return app


def check_written(h, config, when):
    basic = harness.find_path(harness.parse_config(config), "Setup", "Basic")
    h.require(basic is not None, "the file still parses and holds Setup/Basic after %s" % when)
    written = {key: (basic.find(key[0]).get(key[1]) if basic.find(key[0]) is not None else None) for key in VALUES}
    h.check(written == VALUES, "the values are written back on %s" % when,
            {"%s %s" % k: v for k, v in written.items() if v != VALUES[k]})


def scenario(h):
    folder = h.fresh_copy()
    config = folder / "Config" / "UserInfo.xml"
    harness.edit_config_attributes(config, VALUES)

    app = start_and_scramble(h, folder, config)
    main, others = h.program_windows()
    h.check((main.rect[0], main.rect[1]) == (100, 120), "the main window stands at 100,120", main.rect)
    shot = h.screenshot("started")
    skins = [w for w in others if w.visible and w.width == 280 and w.height == 280]
    h.check(len(skins) == 1 and h.colours(shot, skins[0].rect) > 32, "the 280x280 ring skin is drawn on the screen",
            [w.rect for w in others if w.visible])
    h.require(h.wintool("close").ok, "the close command reaches the main window")
    h.check(app.wait_exit(15) is not None, "the program ends within 15 s of the close")
    h.check(h.poll(lambda: h.tray_icons() == 0, 5), "its tray icon is gone", h.tray_icons())
    check_written(h, config, "closing")
    # A save keeps the file it replaced as the one backup; no temporary stays.
    h.check(h.config_files(folder) == ["UserInfo.xml", "UserInfo.xml.bak"], "only the file and its backup in Config",
            h.config_files(folder))

    app = start_and_scramble(h, folder, config)
    answer = h.wintool("query-end-session", timeout=60)
    h.require(answer.ok, "the end-session query is delivered", answer)
    h.check(answer.lines[:1] in (["query 1"], ["query gone"]), "the program permits the logoff", answer.lines)
    h.check(app.wait_exit(15) is not None, "the program ends within 15 s of the query")
    h.check(h.main_window() is None, "its main window is gone")
    check_written(h, config, "a logoff")


harness.run_scenario("close_writes_back", scenario)
