#!/usr/bin/python3
"""System notifications while running: a resume from suspend and a change of
the display mode leave the program running with every window where it was
(the display change re-places them half a second later)."""

import time

import harness


def placement(h):
    main, others = h.program_windows()
    return main, {w.title: w.rect for w in others if w.visible}


def scenario(h):
    folder = h.fresh_copy()
    app = h.start_ready(folder)
    main, before = placement(h)
    h.require(main is not None and "BackGroundForm" in before, "the round window is up", before)

    resumed = h.wintool("power-resume")
    h.check(resumed.ok, "the resume notice is delivered", resumed)
    changed = h.wintool("display-change")
    h.check(changed.ok, "the display-change notice is delivered", changed)
    # The re-placement runs on a one-shot timer 500 ms later.
    time.sleep(1.0)
    h.check(app.running(), "the program keeps running")
    main_after, after = placement(h)
    h.check(main_after is not None and main_after.hwnd == main.hwnd, "the same main window is there")
    h.check(after == before, "every window stands where it stood", {"before": before, "after": after})
    shot = h.screenshot("after-notifications")
    skin = after.get("BackGroundForm")
    h.check(skin is not None and h.colours(shot, skin) > 32, "the ring skin is still drawn")

    code = h.close_app(app)
    h.check(code is not None, "the program ends when closed", code)


harness.run_scenario("notifications", scenario)
