#!/usr/bin/python3
"""Files dropped on the program from an X file manager (the XDND protocol,
through xdnd_drop.py): a program, a folder and a document become ring items
in the lowest free slots, with their windows, an icon file in the icon cache
and their elements written to the configuration file by the real writer; only
the first file of a drop counts; a drop on the dock bar adds to the dock. Which
image of a program is cached, and which slot a drop takes after a removal, are
checked headless (IconExtractionTest, DropTest); throwing an item out with a
real drag is interaction.py's."""

import shutil
import struct
import time
from pathlib import Path

import harness
import interaction as ia
import xdnd_drop

NOTEPAD = Path("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/notepad.exe")
RING_DROP_OFFSET = (0, -70)  # from the ring centre: on the skin, inside the main form, off every item


def is_icon_file(data):
    if len(data) < 22:
        return False
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1 or count < 1:
        return False
    size, offset = struct.unpack_from("<II", data, 14)
    return offset + size <= len(data)


# --- the scenario --------------------------------------------------------------------

def scenario(h):
    d = ia.Desktop(h)
    folder = h.fresh_copy()
    win = h.win_path(folder)
    program_dir = win + "\\"
    config = folder / "Config" / "UserInfo.xml"
    sys_tool = program_dir + "Icon\\SysTool\\"
    docs = folder / "docs"
    docs.mkdir()
    (docs / "note.txt").write_text("note")
    ia.put_items(config, {
        1: ia.item_xml(win + "\\docs\\note.txt", "First", define=sys_tool + "MyComputer.png"),
        3: ia.item_xml(win + "\\docs\\note.txt", "Third", define=sys_tool + "MyNetwork.png"),
    })
    harness.edit_config_attributes(config, {("Position", "Left"): str(ia.MAIN_LEFT),
                                            ("Position", "Top"): str(ia.MAIN_TOP),
                                            ("IconElement", "MinR"): str(ia.MIN_R),
                                            ("IconElement", "SeparationSize"): str(ia.SEPARATION)})

    # What a user drags from a file manager.
    drops = h.out / "drops"
    drops.mkdir()
    program = drops / "notepad.exe"
    shutil.copy(NOTEPAD, program)
    games = drops / "Games"
    games.mkdir()
    document = drops / "计划 书.txt"
    document.write_text("plan", encoding="utf-8")
    extras = [drops / "extra one.txt", drops / "extra two.txt"]
    for extra in extras:
        extra.write_text("extra")
    dock_doc = drops / "dock note.txt"
    dock_doc.write_text("dock")
    drops_win = h.win_path(drops)

    d.park()
    app = h.start_ready(folder)
    main, by_title = ia.ring_windows(h)
    h.require(main is not None, "the main window is there")
    main_rect = main.rect
    centre = (main_rect[0] + main.width // 2, main_rect[1] + main.height // 2)
    ring_point = (centre[0] + RING_DROP_OFFSET[0], centre[1] + RING_DROP_OFFSET[1])
    main_x = d.x_windows(harness.MAIN_TITLE)
    h.check(len(main_x) == 1, "one X window for the main form", main_x)
    h.screenshot("01-start")

    def drop(paths, point, what, fallback_window=None):
        """Drops as a file manager does: the pointer at the point, the XDND
        messages to the window there. When that window refuses, the drop is
        repeated on fallback_window so that the later checks still run."""
        d.move(*point)
        time.sleep(0.2)
        result = xdnd_drop.drop(h.display, [str(p) for p in paths], point=point)
        target = d.xdo("getwindowname", result.target, check=False).strip() if result.target else None
        h.log("  drop %s at %s on the X window of %r: %r" % (what, point, target, result))
        accepted = h.check(result.ok, "%s: the window under the pointer takes the drop" % what, result)
        if not accepted and fallback_window:
            result = xdnd_drop.drop(h.display, [str(p) for p in paths], window=fallback_window, point=point)
            h.log("  again on the main form's X window: %r" % result)
            h.check(result.ok, "%s: the main form takes the drop" % what, result)
        return result

    def wait_item(slot, timeout=5.0):
        began = time.monotonic()
        rect = h.poll(lambda: ia.item_rects(h, [slot])[slot], timeout)
        return rect, time.monotonic() - began

    def check_ring_item(slot, what, file, name, default="", define="", initial=""):
        rect, seconds = wait_item(slot)
        wanted = ia.slot_rect(main_rect, slot)
        if h.check(rect == wanted, "%s: a window Circle%d appears at its slot" % (what, slot), (rect, wanted)):
            h.log("  Circle%d after %.2f s" % (slot, seconds))
        values = ia.item_values(config, "RoundBackground", "Circle%d" % slot)
        expected = {"File": file, "Argument": "", "Name": name, "IconPath/Default": default,
                    "IconPath/Define": define, "Http": "", "InitialPosition": initial}
        h.check(values == expected, "%s: the file's Circle%d holds the item" % (what, slot),
                {k: (values or {}).get(k) for k in expected if (values or {}).get(k) != expected[k]})
        return rect

    fallback = main_x[0] if main_x else None

    # --- a program: the lowest free slot is 2; its icon goes into the cache ----------------
    drop([program], ring_point, "a program dropped on the ring", fallback)
    program_rect = check_ring_item(2, "the program", drops_win + "\\notepad.exe", "notepad",
                                   default="Icon\\notepad.exe.ico", initial=drops_win)
    cache = folder / "Icon" / "notepad.exe.ico"
    h.check(h.poll(cache.exists, 3), "the program's icon is cached as Icon\\notepad.exe.ico",
            sorted(p.name for p in (folder / "Icon").iterdir()))
    if cache.exists():
        h.check(is_icon_file(cache.read_bytes()), "the cache file is an icon file")
    shot = h.screenshot("02-program-dropped")
    if program_rect:
        h.check(h.colours(shot, program_rect) > 16, "the program's item shows its icon", h.colours(shot, program_rect))

    # --- a folder: slot 4, the folder picture -------------------------------------------------
    drop([games], ring_point, "a folder dropped on the ring", fallback)
    folder_rect = check_ring_item(4, "the folder", drops_win + "\\Games", "Games",
                                  define="Icon\\SysTool\\MyFiles.png", initial=drops_win)
    h.check(not (folder / "Icon" / "Games.ico").exists(), "nothing is cached for a folder")

    # --- three files at once: only the first, a document with a Chinese name, counts ---------
    drop([document] + extras, ring_point, "a document and two more files dropped at once", fallback)
    doc_rect = check_ring_item(5, "the document", drops_win + "\\计划 书.txt", "计划 书",
                               default="Icon\\计划 书.txt.ico", initial=drops_win)
    doc_cache = folder / "Icon" / "计划 书.txt.ico"
    h.check(h.poll(doc_cache.exists, 3) and is_icon_file(doc_cache.read_bytes()),
            "the document's shell icon is cached under its file name",
            sorted(p.name for p in (folder / "Icon").iterdir()))
    time.sleep(0.5)
    h.check(ia.item_rects(h, [6])[6] is None, "the other files of that drop add nothing")
    values6 = ia.item_values(config, "RoundBackground", "Circle6")
    h.check(values6 is not None and values6["File"] == "", "the file's Circle6 stays empty", values6)
    shot = h.screenshot("03-three-dropped")
    for rect, what in ((folder_rect, "folder"), (doc_rect, "document")):
        if rect:
            h.check(h.colours(shot, rect) > 16, "the %s item shows a picture" % what, h.colours(shot, rect))

    # --- the dock bar at the top of the screen --------------------------------------------------
    main, by_title = ia.ring_windows(h)
    bar = by_title.get("RectForm")
    root = harness.parse_config(config)
    dock_before = [c.tag for c in root.find("RectBackground")]
    if h.check(bar is not None and bar.visible, "the dock bar is shown to take a drop"):
        bar_point = ia.centre_of(bar.rect)
        drop([dock_doc], bar_point, "a document dropped on the dock bar", fallback)
        k = len(dock_before) + 1
        rect = h.poll(lambda: {w.title: w for w in ia.ring_windows(h)[1].values()}.get("Rect%d" % k), 5)
        h.check(rect is not None, "a window Rect%d appears in the dock" % k)
        root = harness.parse_config(config)
        dock = root.find("RectBackground")
        names = [c.tag for c in dock]
        h.check(names == dock_before + ["Rect%d" % k], "the file's dock list gains the element Rect%d" % k, names)
        element = dock.find("Rect%d" % k)
        got = {f: (element.findtext(f) if element is not None else None) for f in ia.ITEM_FIELDS}
        h.check(got == {"File": drops_win + "\\dock note.txt", "Argument": "", "Name": "dock note",
                        "IconPath/Default": "Icon\\dock note.txt.ico", "IconPath/Define": "",
                        "Http": "", "InitialPosition": drops_win}, "the dock element holds the item", got)
        h.screenshot("05-dock-drop")

    d.park()
    code = h.close_app(app)
    h.check(code is not None, "the program ends when closed", code)
    values = ia.item_values(config, "RoundBackground", "Circle2")
    h.check(values is not None and values["Name"] == "notepad", "the dropped items stay in the file after the close")


if __name__ == "__main__":
    harness.run_scenario("drop_and_delete", scenario, time_limit=280)
