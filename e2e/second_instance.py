#!/usr/bin/python3
"""Starting the program while it runs: the second process ends at once and
the first keeps running with its one window and one tray icon."""

import harness


def scenario(h):
    folder = h.fresh_copy()
    app = h.start_ready(folder)
    first = h.main_window()
    h.check(h.poll(lambda: h.tray_icons() == 1, 10), "one tray icon after the first start")

    second = h.wintool("launch-and-wait-exit", h.win_path(folder / "Quorvel.exe"), 20000)
    h.require(second.ok and len(second.lines) == 2, "the second instance ends by itself", second)
    ms = float(second.lines[0])
    h.log("second instance ran %.1f ms, exit code %s" % (ms, second.lines[1]))
    h.check(ms < 5000, "the second instance ends within 5 s", ms)

    h.check(app.running(), "the first instance keeps running")
    mains = [w for w in h.windows() if w.cls == harness.MAIN_CLASS and w.title == harness.MAIN_TITLE]
    h.check([w.hwnd for w in mains] == [first], "still one main window, the first one's", mains)
    h.check(h.poll(lambda: h.tray_icons() == 1, 3) and h.tray_icons() == 1, "still exactly one tray icon",
            h.tray_icons())
    main, others = h.program_windows()
    shot = h.screenshot("after-second-start")
    visible = [w for w in others if w.visible and w.width > 0]
    h.check(visible and max(h.colours(shot, w.rect) for w in visible) > 32,
            "the first instance's windows are on the screen", visible)

    code = h.close_app(app)
    h.check(code is not None, "the first instance ends when closed", code)


harness.run_scenario("second_instance", scenario)
