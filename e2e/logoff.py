#!/usr/bin/python3
"""A Windows logoff ends the program, which writes its position first."""

import harness

POSITION = {("Position", "Left"): "140", ("Position", "Top"): "160"}


def scenario(h):
    folder = h.fresh_copy()
    config = folder / "Config" / "UserInfo.xml"
    harness.edit_config_attributes(config, POSITION)
    app = h.start_ready(folder)
    h.screenshot("started")

    answer = h.wintool("query-end-session", timeout=60)
    h.require(answer.ok, "the end-session query is delivered", answer)
    h.log("answers: %s" % answer.lines)
    h.check(answer.lines[:1] in (["query 1"], ["query gone"]), "the program permits the logoff", answer.lines)
    code = app.wait_exit(15)
    h.check(code is not None, "the program ends within 15 s of the query", code)
    h.check(h.poll(lambda: h.tray_icons() == 0, 5), "its tray icon is gone", h.tray_icons())
    h.check(h.main_window() is None, "its main window is gone")

    position = harness.find_path(harness.parse_config(config), "Setup", "Basic", "Position")
    h.require(position is not None, "the file still parses and holds Position")
    h.check((position.get("Left"), position.get("Top")) == ("140", "160"), "the file holds the position 140,160",
            position.attrib)


harness.run_scenario("logoff", scenario)
