#!/usr/bin/python3
"""A position saved on a monitor that is no longer there: the ring starts
wholly on the 1280x800 screen, and the place it came to is what the close
writes back. Where exactly it lands is checked headless (ScreenFitTest)."""

import harness

SCREEN = (0, 0, 1280, 800)


def on_screen(rect):
    return rect[0] >= SCREEN[0] and rect[1] >= SCREEN[1] and rect[2] <= SCREEN[2] and rect[3] <= SCREEN[3]


def scenario(h):
    folder = h.fresh_copy()
    config = folder / "Config" / "UserInfo.xml"
    # Far right and above: a second monitor the system no longer has.
    harness.edit_config_attributes(config, {("Position", "Left"): "2600", ("Position", "Top"): "-900"})

    app = h.start_ready(folder)
    main, others = h.program_windows()
    h.require(main is not None, "the main window is up")
    shot = h.screenshot("started")
    h.check(on_screen(main.rect), "the main window is on the screen", main.rect)
    skins = [w for w in others if w.visible and w.width == 300 and w.height == 300]
    h.check(len(skins) == 1 and on_screen(skins[0].rect) and h.colours(shot, skins[0].rect) > 32,
            "the 300x300 ring skin is drawn wholly on the screen", [w.rect for w in others if w.visible])

    h.require(h.wintool("close").ok, "the close command reaches the main window")
    h.check(app.wait_exit(15) is not None, "the program ends within 15 s of the close")
    position = harness.find_path(harness.parse_config(config), "Setup", "Basic", "Position")
    written = (int(position.get("Left")), int(position.get("Top"))) if position is not None else None
    h.check(written == main.rect[:2], "the new place is written back", (written, main.rect))


harness.run_scenario("offscreen", scenario)
