#!/usr/bin/python3
"""A dropped program's item keeps its picture when the program folder is
moved, as a user copies it to another computer: the cache file's path is
kept relative to the program folder. How each writer stores the path and
how it is read back is checked headless (ItemFileTest)."""

import shutil
import time
from pathlib import Path

import harness
import interaction as ia
import xdnd_drop

NOTEPAD = Path("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/notepad.exe")
RING_DROP_OFFSET = (0, -70)  # from the ring centre: on the skin, off every item


def item_picture(h, image, slot):
    """The grey levels of the item's window on a screenshot, and its rectangle."""
    rect = ia.item_rects(h, [slot])[slot]
    return rect, (ia.crop_stats(image, rect)[1] if rect else [])


def scenario(h):
    d = ia.Desktop(h)
    folder = h.fresh_copy("before")
    config = folder / "Config" / "UserInfo.xml"
    harness.edit_config_attributes(config, {("Position", "Left"): str(ia.MAIN_LEFT),
                                            ("Position", "Top"): str(ia.MAIN_TOP),
                                            ("IconElement", "MinR"): str(ia.MIN_R),
                                            ("IconElement", "SeparationSize"): str(ia.SEPARATION)})
    drops = h.out / "drops"
    if drops.exists():
        shutil.rmtree(drops)
    drops.mkdir()
    program = drops / "notepad.exe"
    shutil.copy(NOTEPAD, program)

    d.park()
    app = h.start_ready(folder)
    main, _ = ia.ring_windows(h)
    h.require(main is not None, "the main window is there")
    centre = ia.centre_of(main.rect)
    point = (centre[0] + RING_DROP_OFFSET[0], centre[1] + RING_DROP_OFFSET[1])
    d.move(*point)
    time.sleep(0.2)
    result = xdnd_drop.drop(h.display, [str(program)], point=point)
    if not result.ok:
        main_x = d.x_windows(harness.MAIN_TITLE)
        h.require(main_x, "an X window for the main form")
        result = xdnd_drop.drop(h.display, [str(program)], window=main_x[0], point=point)
    h.require(result.ok, "the ring takes the dropped program", result)
    h.require(h.poll(lambda: ia.item_rects(h, [1])[1], 5), "the program becomes the item of slot 1")
    d.park()
    time.sleep(0.5)
    shot = h.screenshot("01-dropped")
    rect, before = item_picture(h, shot, 1)
    h.check(h.colours(shot, rect) > 8, "the item shows a picture", h.colours(shot, rect))
    h.check(h.close_app(app) is not None, "the program ends when closed")
    values = ia.item_values(config, "RoundBackground", "Circle1") or {}
    h.check(values.get("IconPath/Default") == "Icon\\notepad.exe.ico",
            "the file keeps the cached picture relative to the program folder", values)

    moved = h.out / "after move"
    if moved.exists():
        shutil.rmtree(moved)
    shutil.move(str(folder), str(moved))
    app = h.start_ready(moved)
    h.require(h.poll(lambda: ia.item_rects(h, [1])[1], 5), "the item is there after the move")
    d.park()
    time.sleep(0.5)
    shot = h.screenshot("02-moved")
    moved_rect, after = item_picture(h, shot, 1)
    h.check(moved_rect == rect, "the item stands where it stood", (moved_rect, rect))
    differing = sum(1 for a, b in zip(before, after) if not ia.near(a, b, 12))
    h.check(len(after) == len(before) and differing <= len(before) // 50,
            "the moved program shows the same picture, not the placeholder",
            "%d of %d pixels differ" % (differing, len(before)))
    h.check(h.close_app(app) is not None, "the program ends when closed")


if __name__ == "__main__":
    harness.run_scenario("moved_folder", scenario, time_limit=200)
