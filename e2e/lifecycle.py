#!/usr/bin/python3
"""Only Windows shows: the real process's life - its windows and tray icon at
start, a place saved off every monitor brought back onto the real screen, the
real writer at close, and the message boxes of a missing or unreadable file.
Where a ring off the screen lands, and that a logoff closes, are checked
headless and in the backend's checks."""

import harness

# Without a file to read the language follows the display language: Wine's here is English.
BOX = "Notice"

# Unlike the shipped values, so that a write of defaults would show.
VALUES = {("Background", "Index"): "2", ("Background", "Size"): "280", ("Center", "Index"): "3",
          ("Center", "Size"): "100", ("Center", "Action"): "5", ("Position", "Left"): "100",
          ("Position", "Top"): "120"}
# Far right and above: a second monitor the system no longer has.
OFF_SCREEN = {("Position", "Left"): "2600", ("Position", "Top"): "-900"}


def written(config):
    basic = harness.find_path(harness.parse_config(config), "Setup", "Basic")
    return {key: basic.find(key[0]).get(key[1]) for key in VALUES}


def on_screen(rect):
    return rect[0] >= 0 and rect[1] >= 0 and rect[2] <= 1280 and rect[3] <= 800


def started(h, app, place):
    """The windows at start: the main one at place (None: somewhere on the screen), the skin drawn."""
    main, others = h.program_windows()
    h.require(main is not None, "the main window is up")
    h.check(main.rect[:2] == place if place else on_screen(main.rect),
            "the main window stands at %s" % (place or "a place on the screen",), main.rect)
    shot = h.screenshot("started-at-file-place" if place else "started-off-screen")
    skins = [w for w in others if w.visible and (w.width, w.height) == (280, 280)]
    h.check(len(skins) == 1 and on_screen(skins[0].rect) and h.colours(shot, skins[0].rect) > 32,
            "the 280x280 ring skin is drawn wholly on the screen", skins)
    h.check(h.poll(lambda: h.tray_icons() == 1, 10), "one tray icon")
    return main.rect[:2]


def ending(h, what, end, place):
    """Starts the copy, scrambles the file under the running program, ends it
    by end(app): only the shutdown save can put the values back."""
    app = h.start_ready(h.out / "app")
    at = started(h, app, place)
    if place:
        # The shipped file has no dock list: the first start fills it, one window per element.
        dock = harness.parse_config(app.config).find("RectBackground")
        shown = h.poll(lambda: dock is not None and all(e.tag in h.shown() for e in dock) and h.shown(), 5)
        h.check(dock is not None and len(dock) > 0 and all(e.findtext("File") for e in dock) and shown,
                "the first start fills the dock list, a window for each element",
                (dock is not None and [e.tag for e in dock], h.shown().keys()))
    harness.edit_config_attributes(app.config, {key: "1" for key in VALUES})
    end(app)
    h.check(app.wait_exit(15) is not None, "%s ends the program" % what)
    h.check(h.poll(lambda: h.tray_icons() == 0, 5), "%s takes the tray icon away" % what)
    want = {**VALUES, ("Position", "Left"): str(at[0]), ("Position", "Top"): str(at[1])}
    h.check(written(app.config) == want, "%s writes the values back, the place where it stood" % what,
            written(app.config))
    files = sorted(p.name for p in app.config.parent.iterdir())
    h.check(files == ["UserInfo.xml", "UserInfo.xml.bak"], "%s leaves the file and its one backup, no temporary" % what,
            files)


def refused(h, name, spoil):
    """A file the program cannot use: it says so in a box and ends, writing nothing."""
    folder = h.fresh_copy(name)
    config = folder / "Config" / "UserInfo.xml"
    spoil(config)
    before = sorted((p.name, p.read_bytes()) for p in config.parent.iterdir())
    app = h.start(folder)
    texts = h.wintool("dialog-text", BOX, 30000)
    h.require(texts.ok and texts.lines, "%s: a message box says so" % name, texts)
    boxes = [w for w in h.windows() if w.title == BOX and w.visible]
    shot = h.screenshot(name)
    h.check(len(boxes) == 1 and h.colours(shot, boxes[0].rect) > 8, "%s: the box is on the screen" % name, boxes)
    h.require(h.wintool("dialog-press", BOX, 1).ok, "%s: OK closes the box" % name)
    h.check(app.wait_exit(15) is not None, "%s: the program ends after OK" % name)
    after = sorted((p.name, p.read_bytes()) for p in config.parent.iterdir())
    h.check(after == before, "%s: the Config folder is byte for byte as it was" % name, [n for n, _ in after])


def scenario(h):
    config = h.prepare("app", settings=VALUES) / "Config" / "UserInfo.xml"
    close = lambda app: h.require(h.wintool("close").ok, "the close command reaches the main window")
    ending(h, "close", close, (100, 120))
    harness.edit_config_attributes(config, OFF_SCREEN)
    ending(h, "a close off screen", close, None)
    # Cut inside the ring list: well-formed up to there.
    cut = lambda config: config.write_bytes(config.read_bytes().split(b"<Circle7>")[0] + b"<Cir")
    refused(h, "missing", lambda config: config.unlink())
    refused(h, "unreadable", cut)


harness.run_scenario("lifecycle", scenario)
