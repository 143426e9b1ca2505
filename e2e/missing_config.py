#!/usr/bin/python3
"""Without its configuration file the program says so and ends, writing
nothing."""

import harness

CAPTION = "提示"
MESSAGE = "配置文件丢失，请重新下载。"


def scenario(h):
    folder = h.fresh_copy()
    (folder / "Config" / "UserInfo.xml").unlink()

    app = h.start(folder)
    texts = h.wintool("dialog-text", CAPTION, 30000)
    h.require(texts.ok, "a message box captioned %s appears" % CAPTION, texts)
    h.check([harness.unescape(line) for line in texts.lines] == [MESSAGE], "it says the file is missing", texts.lines)
    boxes = [w for w in h.windows() if w.title == CAPTION and w.visible]
    shot = h.screenshot("message")
    h.check(len(boxes) == 1 and h.colours(shot, boxes[0].rect) > 8, "the box is on the screen", boxes)

    h.require(h.wintool("dialog-press", CAPTION, 1).ok, "OK closes the box")
    code = app.wait_exit(15)
    h.check(code is not None, "the program ends after OK", code)
    h.check(not (folder / "Config" / "UserInfo.xml").exists(), "no configuration file was written")
    h.check(h.config_files(folder) == [], "nothing was written into Config", h.config_files(folder))


harness.run_scenario("missing_config", scenario)
