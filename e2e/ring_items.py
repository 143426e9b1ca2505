#!/usr/bin/python3
"""The round window with a dozen items: PNG and ICO pictures, missing
pictures, Chinese names and a named program. Every item window shows its
picture on the real screen, and each center index shows its skin (the
clock's second hand moves). Where the slots stand and how the file is
completed on loading are checked headless (RingGeometryTest, LoadEntryTest)."""

import re
import shutil
import struct
import subprocess
import time
import zlib

import harness

MAIN_LEFT, MAIN_TOP, MAIN_W, MAIN_H = 600, 230, 194, 168
MIN_R, SEPARATION = 100, 30


def png_bytes(width, height, pixel):
    """A small straight RGBA PNG; pixel(x, y) gives (r, g, b, a)."""
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def dib_icon(size, pixel):
    """A one-image .ico with a 32-bit DIB entry and an all-zero mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colours = b"".join(bytes((b, g, r, a)) for y in reversed(range(size)) for x in range(size)
                       for (r, g, b, a) in [pixel(x, y)])
    mask = b"\0" * (((size + 31) // 32) * 4 * size)
    image = header + colours + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 22) + image


def png_icon(png, size):
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(png),
                                                      22) + png


def item(file, name, default="", define="", http="", initial=True, argument=""):
    parts = ["<File>%s</File>" % file, "<Argument>%s</Argument>" % argument, "<Name>%s</Name>" % name,
             "<IconPath><Default>%s</Default><Define>%s</Define></IconPath>" % (default, define),
             "<Http>%s</Http>" % http]
    if initial:
        parts.append("<InitialPosition></InitialPosition>")
    return "".join(parts)


def replace_item(text, name, body):
    """Puts body into the element <name>...</name> (or <name/>) of the file's text."""
    pattern = re.compile(r"<%s\s*/>|<%s>.*?</%s>" % (name, name, name), re.S)
    text, count = pattern.subn(lambda m: "<%s>%s</%s>" % (name, body, name), text, count=1)
    if count != 1:
        raise harness.Abort("no element %s in the file" % name)
    return text


def set_center_path(text, path):
    pattern = re.compile(r"(<Center\b[^>]*?)(/>|>.*?</Center>)", re.S)
    text, count = pattern.subn(lambda m: m.group(1).rstrip() + "><Path>%s</Path></Center>" % path, text, count=1)
    if count != 1:
        raise harness.Abort("no Center element in the file")
    return text


def pixel(image, x, y):
    done = subprocess.run(["convert", str(image), "-format", "%%[pixel:p{%d,%d}]" % (x, y), "info:"],
                          stdout=subprocess.PIPE, check=True)
    return done.stdout.decode().strip()


def differs(a, b, rect):
    left, top, right, bottom = rect
    crop = "%dx%d+%d+%d" % (right - left, bottom - top, left, top)
    done = subprocess.run(["compare", "-metric", "AE", "(", str(a), "-crop", crop, "+repage", ")",
                           "(", str(b), "-crop", crop, "+repage", ")", "null:"],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return float(done.stderr.decode().split()[0] or 0) > 20


def scenario(h):
    folder = h.fresh_copy()
    win = h.win_path(folder)
    pictures = folder / "pictures"
    pictures.mkdir()
    # A ring of soft colour with real alpha, as .png, as a 32-bit DIB .ico and as a PNG .ico.
    disc = lambda x, y, n: (40, 160, 230, 255 if (x - n / 2) ** 2 + (y - n / 2) ** 2 < (n / 2.2) ** 2 else 0)
    (pictures / "blue.png").write_bytes(png_bytes(64, 64, lambda x, y: disc(x, y, 64)))
    (pictures / "warm.ico").write_bytes(
        dib_icon(48, lambda x, y: (240, 100 + 2 * x, 40 + 3 * y, 200 if (x + y) % 7 else 255)))
    (pictures / "big.ico").write_bytes(png_icon(png_bytes(256, 256, lambda x, y: (x, y, 128, 255)), 256))
    (folder / "targets").mkdir()
    (folder / "targets" / "工具.txt").write_text("x")
    target = win + "\\targets\\工具.txt"
    sys_tool = win + "\\Icon\\SysTool\\"
    items = {
        1: item(target, "蓝色", define=win + "\\pictures\\blue.png"),
        2: item(target, "暖色", default=win + "\\pictures\\warm.ico"),
        3: item(target, "大图标", default=win + "\\pictures\\big.ico"),
        4: item("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "我的电脑", define=sys_tool + "MyComputer.png"),
        5: item("control.exe", "控制面板", define=sys_tool + "ControlPanel.png", initial=False),
        6: item(target, "没有图片", define=win + "\\pictures\\missing.png"),
        7: item(win + "\\targets\\gone.exe", "不在了", define=sys_tool + "RecycleBin.png"),
        9: item(target, "Folder", define=sys_tool + "MyFiles.png"),
        11: item(target, "Docs", define=sys_tool + "MyDocuments.png"),
        14: item(target, "网络", define=sys_tool + "MyNetwork.png"),
        17: item("", "QuorvelNoSuchProgram", http="http://example.invalid/"),
        20: item(target, "最后", default=win + "\\pictures\\warm.ico"),
    }
    config = folder / "Config" / "UserInfo.xml"
    text = config.read_text(encoding="utf-8")
    for slot, body in items.items():
        text = replace_item(text, "Circle%d" % slot, body)
    config.write_text(text, encoding="utf-8")
    harness.edit_config_attributes(config, {("Position", "Left"): str(MAIN_LEFT), ("Position", "Top"): str(MAIN_TOP),
                                            ("IconElement", "MinR"): str(MIN_R),
                                            ("IconElement", "SeparationSize"): str(SEPARATION),
                                            ("ShowRect", "IsShowRect"): "False"})

    app = h.start_ready(folder)
    main, others = h.program_windows()
    h.require(main is not None, "the main window is there")
    h.check((main.rect[0], main.rect[1]) == (MAIN_LEFT, MAIN_TOP), "the main window stands at the file's position",
            main.rect)
    shot = h.screenshot("ring")
    by_title = {w.title: w for w in others}
    for slot in range(1, 21):
        window = by_title.get("Circle%d" % slot)
        if slot not in items:
            h.check(window is None, "empty slot %d has no window" % slot)
            continue
        if not h.check(window is not None and window.visible, "slot %d has a visible window" % slot):
            continue
        if slot == 17:
            # A named program draws its own picture from the tool folder, and this one has none.
            h.check(h.colours(shot, window.rect) <= 4, "slot 17 shows an empty plate")
        else:
            h.check(h.colours(shot, window.rect) > 8, "slot %d shows a picture" % slot)
    h.close_app(app)

    # Each center index, one start each.
    for index in range(0, 6):
        harness.edit_config_attributes(config, {("Center", "Index"): str(index)})
        if index == 0:
            shutil.copy(folder / "Icon" / "SysTool" / "Help.png", pictures / "center.png")
            text = config.read_text(encoding="utf-8")
            text = set_center_path(text, win + "\\pictures\\center.png")
            config.write_text(text, encoding="utf-8")
        app = h.start_ready(folder)
        main, others = h.program_windows()
        center = {w.title: w for w in others}.get("CenterForm")
        h.require(center is not None, "center index %d has a center window" % index)
        first = h.screenshot("center-%d" % index)
        colours = h.colours(first, center.rect)
        if index == 4:
            # The empty center lets the desktop show through the ring's hole.
            mid = ((center.rect[0] + center.rect[2]) // 2, (center.rect[1] + center.rect[3]) // 2)
            h.check(pixel(first, *mid) == pixel(first, 5, 790), "center index 4 draws nothing of its own",
                    (pixel(first, *mid), pixel(first, 5, 790)))
        else:
            h.check(colours > 40, "center index %d shows a picture" % index, colours)
        if index == 5:
            time.sleep(1.3)
            second = h.screenshot("center-5-later")
            h.check(differs(first, second, center.rect), "the clock's second hand moves")
        h.close_app(app)


harness.run_scenario("ring_items", scenario)
