#!/usr/bin/python3
"""A configuration file that does not parse is reported with the parser's
description and offset, and left exactly as it was."""

import re

import harness

CAPTION = "提示"
MESSAGE = "配置文件无法读取，请检查或重新下载。"


def scenario(h):
    folder = h.fresh_copy()
    config = folder / "Config" / "UserInfo.xml"
    data = config.read_bytes()
    # Cut inside the ring list: the document is well-formed up to there.
    cut = data.index(b"<Circle7>") + 4
    config.write_bytes(data[:cut])
    broken = config.read_bytes()

    app = h.start(folder)
    texts = h.wintool("dialog-text", CAPTION, 30000)
    h.require(texts.ok, "a message box captioned %s appears" % CAPTION, texts)
    text = "\n".join(harness.unescape(line) for line in texts.lines)
    lines = [line for line in text.replace("\r\n", "\n").split("\n") if line.strip()]
    h.check(lines[:1] == [MESSAGE], "it says the file cannot be read", lines)
    h.check(len(lines) >= 2 and re.search(r"\d", lines[1]) is not None,
            "the next line gives the parser's description and offset", lines[1:])
    boxes = [w for w in h.windows() if w.title == CAPTION and w.visible]
    shot = h.screenshot("message")
    h.check(len(boxes) == 1 and h.colours(shot, boxes[0].rect) > 8, "the box is on the screen", boxes)

    h.require(h.wintool("dialog-press", CAPTION, 1).ok, "OK closes the box")
    code = app.wait_exit(15)
    h.check(code is not None, "the program ends after OK", code)
    h.check(config.read_bytes() == broken, "the file is byte for byte as it was")
    h.check(h.config_files(folder) == ["UserInfo.xml"], "no other file left in Config", h.config_files(folder))


harness.run_scenario("unreadable_config", scenario)
