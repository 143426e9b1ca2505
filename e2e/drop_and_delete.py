#!/usr/bin/python3
"""Files dropped on the program from an X file manager (the XDND protocol,
through xdnd_drop.py): a program, a folder and a document become ring items
in the lowest free slots, with their windows, the program's icon in the icon
cache and their elements in the configuration file; only the first file of a
drop counts; a drop on the dock bar adds to the dock; an item thrown out of
the ring with a real drag is gone everywhere and its slot is the next one
filled."""

import shutil
import struct
import time
from pathlib import Path

import harness
import interaction as ia
import xdnd_drop

NOTEPAD = Path("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/notepad.exe")
RING_DROP_OFFSET = (0, -70)  # from the ring centre: on the skin, inside the main form, off every item


# --- what the icon cache must hold for a program --------------------------------

def rt_icon_images(data):
    """The RT_ICON resources of a PE file, in the order of its resource
    directory (types, names, languages as stored)."""
    if data[:2] != b"MZ":
        return []
    nt = struct.unpack_from("<I", data, 0x3C)[0]
    if data[nt:nt + 4] != b"PE\0\0":
        return []
    sections = struct.unpack_from("<H", data, nt + 6)[0]
    optional_size = struct.unpack_from("<H", data, nt + 20)[0]
    optional = nt + 24
    pe32plus = struct.unpack_from("<H", data, optional)[0] == 0x20B
    directories = optional + (112 if pe32plus else 96)
    resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    table = []
    for i in range(sections):
        virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from("<IIII", data,
                                                                                 optional + optional_size + 40 * i + 8)
        table.append((virtual_address, max(virtual_size, raw_size), raw_offset))

    def file_offset(rva):
        for address, size, raw in table:
            if address <= rva < address + size:
                return rva - address + raw
        return None

    base = file_offset(resource_rva) if resource_rva else None
    if base is None:
        return []

    def entries(offset):
        named, ids = struct.unpack_from("<HH", data, base + offset + 12)
        for i in range(named + ids):
            yield struct.unpack_from("<II", data, base + offset + 16 + 8 * i)

    images = []
    for type_name, type_target in entries(0):
        if not type_target & 0x80000000:
            continue
        is_icon = not type_name & 0x80000000 and type_name == 3
        for _, name_target in entries(type_target & 0x7FFFFFFF):
            if not name_target & 0x80000000:
                continue
            for _, leaf in entries(name_target & 0x7FFFFFFF):
                if leaf & 0x80000000:
                    continue
                rva, size = struct.unpack_from("<II", data, base + leaf)
                if is_icon:
                    offset = file_offset(rva)
                    images.append(data[offset:offset + size])
    return images


def single_icon_file(image, width):
    """One-image .ico: the 22-byte header, then the RT_ICON bytes unchanged."""
    bit_count = struct.unpack_from("<H", image, 14)[0]
    return struct.pack("<HHHBBBBHHII", 0, 1, 1, width % 256, width % 256, 0, 0, 1, bit_count, len(image), 22) + image


def expected_program_icon(program):
    """The cache file's bytes for a program: the large search (128 or 256
    pixels, among the first 16 images), else the small one (48 pixels, at
    most 9640 bytes and not 7336, among the first 11); None when the shell's
    icon is to be used."""
    images = rt_icon_images(program.read_bytes())
    chosen = None
    for image in images[:16]:
        width = struct.unpack_from("<i", image, 4)[0]
        if width not in (128, 256):
            continue
        if chosen is None or (width == chosen[1] and len(image) > len(chosen[0])):
            chosen = (image, width)
    if chosen:
        return single_icon_file(*chosen)
    best = None
    for image in images[:11]:
        width = struct.unpack_from("<i", image, 4)[0]
        if width == 48 and len(image) <= 9640 and len(image) != 7336:
            if best is None or len(image) >= len(best):
                best = image
    return single_icon_file(best, 48) if best else None


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
    later = drops / "later.txt"
    later.write_text("later")
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
                                   default=program_dir + "Icon\\notepad.exe.ico", initial=drops_win)
    cache = folder / "Icon" / "notepad.exe.ico"
    h.check(h.poll(cache.exists, 3), "the program's icon is cached as Icon\\notepad.exe.ico",
            sorted(p.name for p in (folder / "Icon").iterdir()))
    if cache.exists():
        wanted = expected_program_icon(program)
        data = cache.read_bytes()
        if wanted is not None:
            h.check(data == wanted, "the cache file holds the program's 32-bit 48-pixel image under a one-entry "
                    "header", (len(data), data[:22].hex(), len(wanted), wanted[:22].hex()))
        else:
            h.check(is_icon_file(data), "the cache file is an icon file")
    shot = h.screenshot("02-program-dropped")
    if program_rect:
        h.check(h.colours(shot, program_rect) > 16, "the program's item shows its icon", h.colours(shot, program_rect))

    # --- a folder: slot 4, the folder picture -------------------------------------------------
    drop([games], ring_point, "a folder dropped on the ring", fallback)
    folder_rect = check_ring_item(4, "the folder", drops_win + "\\Games", "Games",
                                  define=program_dir + "Icon\\SysTool\\MyFiles.png", initial=drops_win)
    h.check(not (folder / "Icon" / "Games.ico").exists(), "nothing is cached for a folder")

    # --- three files at once: only the first, a document with a Chinese name, counts ---------
    drop([document] + extras, ring_point, "a document and two more files dropped at once", fallback)
    doc_rect = check_ring_item(5, "the document", drops_win + "\\计划 书.txt", "计划 书",
                               default=program_dir + "Icon\\计划 书.txt.ico", initial=drops_win)
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

    # --- thrown out of the ring with a real drag: gone everywhere ------------------------------
    main, by_title = ia.ring_windows(h)
    thrown = by_title.get("Circle4")
    if h.check(thrown is not None and folder_rect is not None, "the folder item is there to throw out"):
        far = (centre[0] + 420, centre[1] + 300)
        held = {}
        d.drag(ia.centre_of(folder_rect), far, before_release=lambda: held.update(ia.item_rects(h, [4])))
        released = time.monotonic()
        pictures, bare = ia.watch_delete_animation(d, far, released, h.out / "04-delete-animation.png")
        h.log("  %d pictures where the item was released; bare desktop after %s s" % (pictures, bare))
        followed = h.check(held.get(4) == (far[0] - 25, far[1] - 25, far[0] + 25, far[1] + 25),
                           "the item follows the pointer out of the ring", held)
        gone = h.wintool("wait-gone", "-", "Circle4", 5000)
        if h.check(gone.ok, "the thrown item's window goes away", gone):
            h.log("  gone %.2f s after the release" % (time.monotonic() - released))
        d.park()
        main, by_title = ia.ring_windows(h)
        h.check(all(w.hwnd != thrown.hwnd for w in by_title.values()) and "Circle4" not in by_title,
                "no window of the thrown item remains", sorted(by_title))
        values = ia.item_values(config, "RoundBackground", "Circle4")
        h.check(values is not None and all(v == "" for v in values.values()),
                "the thrown item's element is emptied in the file", values)
        h.check(cache.exists(), "the icon cache keeps its files")
        others = {s: ia.slot_rect(main_rect, s) for s in (1, 2, 3, 5)}
        h.check(ia.item_rects(h, list(others)) == others, "the other items stay where they are")
        shot = h.screenshot("04-thrown-out")
        if followed:
            h.check(h.colours(shot, (far[0] - 40, far[1] - 40, far[0] + 40, far[1] + 40)) <= 2,
                    "nothing is left where the item was thrown")
            h.check(pictures >= 4 and bare is not None and 0.15 <= bare <= 1.5,
                    "the item plays its delete animation before it goes", (pictures, bare))
        if gone.ok:
            # The gap is the lowest free slot now.
            drop([later], ring_point, "a file dropped after the delete", fallback)
            check_ring_item(4, "the gap", drops_win + "\\later.txt", "later",
                            default=program_dir + "Icon\\later.txt.ico", initial=drops_win)
        else:
            h.log("  the item was not deleted: the drop into its gap is not tried")

    # --- the dock bar at the top of the screen --------------------------------------------------
    main, by_title = ia.ring_windows(h)
    bar = by_title.get("RectForm")
    root = harness.parse_config(config)
    dock_before = [c.tag for c in root.find("RectBackground")]
    if bar is not None and bar.visible:
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
                        "IconPath/Default": program_dir + "Icon\\dock note.txt.ico", "IconPath/Define": "",
                        "Http": "", "InitialPosition": drops_win}, "the dock element holds the item", got)
        h.screenshot("05-dock-drop")
    else:
        # No bar is built: a drop with the pointer where it would stand can only
        # reach the main form, and then it is not on the bar.
        h.log("  no dock bar window: the drop at the top of the screen goes to the main form")
        top_point = (centre[0], 30)
        if fallback:
            d.move(*top_point)
            time.sleep(0.2)
            ring = harness.parse_config(config).find("RoundBackground")
            free = next(n for n in range(1, 21) if not ring.find("Circle%d" % n).findtext("File"))
            result = xdnd_drop.drop(h.display, [str(dock_doc)], window=fallback, point=top_point)
            h.log("  drop on the main form with the pointer at %s: %r" % (top_point, result))
            rect, _ = wait_item(free)
            root = harness.parse_config(config)
            dock_after = [c.tag for c in root.find("RectBackground")]
            name = root.find("RoundBackground").find("Circle%d" % free).findtext("Name")
            h.log("  ring slot %d: window %s, name %r; dock list %s -> %s" % (free, rect, name, dock_before,
                                                                            dock_after))
            h.check(rect is not None and name == "dock note" and dock_after == dock_before,
                    "without a bar the drop goes to the ring's lowest free slot, %d" % free,
                    (rect, name, dock_after))
        h.screenshot("05-no-dock")

    d.park()
    code = h.close_app(app)
    h.check(code is not None, "the program ends when closed", code)
    values = ia.item_values(config, "RoundBackground", "Circle2")
    h.check(values is not None and values["Name"] == "notepad", "the dropped items stay in the file after the close")


if __name__ == "__main__":
    harness.run_scenario("drop_and_delete", scenario, time_limit=280)
