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
import interaction as ia

DRAGGED, LAUNCHED, TARGET, OUTER = 3, 4, 5, 9


def scenario(h):
    d = ia.Desktop(h)
    folder = h.fresh_copy()
    win = h.win_path(folder)
    shutil.copy(h.tools / "marker.exe", folder / "marker.exe")
    (folder / "docs").mkdir()
    (folder / "docs" / "note.txt").write_text("note")
    doc = win + "\\docs\\note.txt"
    sys_tool = win + "\\Icon\\SysTool\\"
    config = folder / "Config" / "UserInfo.xml"
    ia.put_items(config, {
        DRAGGED: ia.item_xml(doc, "Dragged", define=sys_tool + "MyDocuments.png"),
        LAUNCHED: ia.item_xml(win + "\\marker.exe", "Launched", define=sys_tool + "MyComputer.png", initial=win),
        TARGET: ia.item_xml(doc, "Target", define=sys_tool + "RecycleBin.png"),
        OUTER: ia.item_xml(doc, "Outer", define=sys_tool + "MyNetwork.png"),
    })
    harness.edit_config_attributes(config, {("Position", "Left"): str(ia.MAIN_LEFT),
                                            ("Position", "Top"): str(ia.MAIN_TOP),
                                            ("IconElement", "MinR"): str(ia.MIN_R),
                                            ("IconElement", "SeparationSize"): str(ia.SEPARATION),
                                            ("IconElement", "RotationValue"): "45",
                                            ("ShowRect", "IsShowRect"): "False"})
    before = {s: ia.item_values(config, "RoundBackground", "Circle%d" % s) for s in (DRAGGED, TARGET)}
    slots = (DRAGGED, LAUNCHED, TARGET, OUTER)

    d.park()
    h.start_ready(folder)
    main, _ = ia.ring_windows(h)
    h.require(main is not None, "the main window is there")
    main_rect = main.rect
    reached, _, last, wanted = ia.wait_positions(h, main_rect, slots, 0.0, timeout=3)
    h.require(reached, "the four items stand at their unturned slots", (last, wanted))
    d.move(*ia.centre_of(wanted[DRAGGED]))
    time.sleep(0.3)

    turned = ia.turned(0.0, True)
    d.wheel(ia.centre_of(wanted[DRAGGED]), down=True)
    reached, _, last, _ = ia.wait_positions(h, main_rect, slots, turned)
    h.require(reached, "one notch down turns the ring forward", last)
    d.move(*ia.centre_of(ia.slot_rect(main_rect, DRAGGED, turned)))
    time.sleep(0.3)
    d.key("Left")
    reached, _, last, _ = ia.wait_positions(h, main_rect, slots, 0.0)
    h.require(reached, "the Left arrow turns it back", last)

    d.move(*ia.centre_of(wanted[TARGET]))
    time.sleep(0.3)
    marker = folder / "marker.txt"
    d.click(ia.centre_of(wanted[LAUNCHED]))
    h.require(h.poll(marker.exists, 15), "a click on slot %d launches its program" % LAUNCHED)
    ia.wait_positions(h, main_rect, slots, 0.0, timeout=3)  # the bounce settles
    time.sleep(0.5)
    h.screenshot("01-before-drag")

    d.drag(ia.centre_of(wanted[DRAGGED]), ia.centre_of(wanted[TARGET]))
    time.sleep(0.8)
    h.screenshot("02-after-drag")
    main_after, _ = ia.ring_windows(h)
    h.check(main_after is not None and main_after.rect == main_rect, "the drag does not move the ring",
            main_after and (main_after.rect, main_rect))
    after = {s: ia.item_values(config, "RoundBackground", "Circle%d" % s) for s in (DRAGGED, TARGET)}
    h.check(after[DRAGGED] == before[TARGET] and after[TARGET] == before[DRAGGED],
            "slots %d and %d exchanged their items in the file" % (DRAGGED, TARGET), after)
    rects = ia.item_rects(h, (DRAGGED, TARGET))
    h.check(rects == {DRAGGED: wanted[DRAGGED], TARGET: wanted[TARGET]},
            "both items stand at their slots afterwards", rects)


harness.run_scenario("long_drag", scenario)
