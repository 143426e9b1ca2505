#!/usr/bin/python3
"""A drag after a long run of other input still exchanges two items: four
items on the ring (slots 3, 4, 5 and 9; slot 4 a program that exits at
once), the pointer resting on slot 3, one wheel notch down, the pointer onto
where slot 3 then stands, Left arrow (the ring turns back), the pointer onto
slot 5, a click on slot 4 (it launches), then slot 3 dragged onto slot 5:
the two items change places in the file and on the screen, and the ring
stays where it is."""

import shutil
import time

import harness
import interaction
from harness import centre_of, item, item_values

DRAGGED, LAUNCHED, TARGET, OUTER = 3, 4, 5, 9
SLOTS = (DRAGGED, LAUNCHED, TARGET, OUTER)
RING = {DRAGGED: item("{app}\\docs\\note.txt", "Dragged", define=harness.TOOL % "MyDocuments"),
        LAUNCHED: item("{app}\\marker.exe", "Launched", define=harness.TOOL % "MyComputer", initial="{app}"),
        TARGET: item("{app}\\docs\\note.txt", "Target", define=harness.TOOL % "RecycleBin"),
        OUTER: item("{app}\\docs\\note.txt", "Outer", define=harness.TOOL % "MyNetwork")}
# The ring's centre at (640, 400); a notch turns it by 45 degrees.
SETTINGS = {("Position", "Left"): "543", ("Position", "Top"): "316", ("IconElement", "RotationValue"): "45",
            ("ShowRect", "IsShowRect"): "False"}


def rects(h, unlike=None, timeout=6.0):
    return interaction.rects(h, unlike, timeout, SLOTS)


def scenario(h):
    d = harness.Desktop(h)
    folder = h.prepare(ring=RING, settings=SETTINGS)
    shutil.copy(h.tools / "marker.exe", folder / "marker.exe")
    config = folder / "Config" / "UserInfo.xml"
    before = {s: item_values(config, "RoundBackground", "Circle%d" % s) for s in (DRAGGED, TARGET)}
    d.park()
    h.start_ready(folder)
    main = h.program_windows()[0]
    h.require(main is not None, "the main window is there")
    rest = rects(h)
    h.require(all(rest.values()), "the four items have windows", rest)
    d.move(*centre_of(rest[DRAGGED]))
    time.sleep(0.3)

    d.wheel(centre_of(rest[DRAGGED]), down=True)
    turned = rects(h, unlike=rest, timeout=3)
    h.require(turned != rest and all(turned.values()), "one notch down turns the ring", turned)
    d.move(*centre_of(turned[DRAGGED]))
    time.sleep(0.3)
    # The keyboard focus goes to the hovered item; a busy window manager can
    # hand it over after the key, which is then pressed again.
    for _ in range(2):
        d.focus_on("Circle%d" % DRAGGED)
        d.key("Left")
        back = rects(h, unlike=turned, timeout=3)
        if back != turned:
            break
    h.require(back == rest, "the Left arrow turns it back", (back, rest))

    d.move(*centre_of(rest[TARGET]))
    time.sleep(0.3)
    marker = folder / "marker.txt"
    d.click(centre_of(rest[LAUNCHED]))
    h.require(h.poll(marker.exists, 15), "a click on slot %d launches its program" % LAUNCHED)
    h.poll(lambda: rects(h) == rest, 3)  # the bounce settles
    time.sleep(0.5)
    h.screenshot("01-before-drag")

    d.drag(centre_of(rest[DRAGGED]), centre_of(rest[TARGET]))
    time.sleep(0.8)
    h.screenshot("02-after-drag")
    main_after = h.program_windows()[0]
    h.check(main_after is not None and main_after.rect == main.rect, "the drag does not move the ring",
            main_after and (main_after.rect, main.rect))
    after = {s: item_values(config, "RoundBackground", "Circle%d" % s) for s in (DRAGGED, TARGET)}
    h.check(after[DRAGGED] == before[TARGET] and after[TARGET] == before[DRAGGED],
            "slots %d and %d exchanged their items in the file" % (DRAGGED, TARGET), after)
    now = rects(h)
    h.check(now == rest, "every item stands at its slot afterwards", (now, rest))


if __name__ == "__main__":
    harness.run_scenario("long_drag", scenario)
