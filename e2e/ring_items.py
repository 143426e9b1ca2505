#!/usr/bin/python3
"""Only Windows shows: pictures of every kind pushed to real layered windows
and seen on the screen - PNG and ICO files (DIB and PNG images), the shipped
tool pictures, missing ones, a named program - and the center's own picture,
its empty hole and its clock's moving hand. Where the slots stand and how the
file is completed on loading are checked headless."""

import re
import struct
import subprocess
import time
import zlib

import harness


def png_bytes(width, height, pixel):
    """A straight RGBA PNG; pixel(x, y) gives (r, g, b, a)."""
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))
    chunk = lambda kind, data: (struct.pack(">I", len(data)) + kind + data +
                                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def icon(size, image):
    return struct.pack("<HHHBBBBHHII", 0, 1, 1, size % 256, size % 256, 0, 0, 1, 32, len(image), 22) + image


def dib_icon(size, pixel):
    """A one-image .ico with a 32-bit DIB and an all-zero mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colours = b"".join(bytes((b, g, r, a)) for y in reversed(range(size)) for x in range(size)
                       for (r, g, b, a) in [pixel(x, y)])
    return icon(size, header + colours + b"\0" * (((size + 31) // 32) * 4 * size))


TARGET = "{app}\\docs\\note.txt"
PICTURES = "{app}\\pictures\\"
RING = {1: harness.item(TARGET, "蓝色", define=PICTURES + "blue.png"),
        2: harness.item(TARGET, "暖色", default=PICTURES + "warm.ico"),
        3: harness.item(TARGET, "大图标", default=PICTURES + "big.ico"),
        4: harness.item("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "我的电脑", define=harness.TOOL % "MyComputer"),
        6: harness.item(TARGET, "没有图片", define=PICTURES + "missing.png"),
        7: harness.item("{app}\\gone.exe", "不在了", define=harness.TOOL % "RecycleBin"),
        14: harness.item(TARGET, "网络", define=harness.TOOL % "MyNetwork"),
        17: harness.item("", "QuorvelNoSuchProgram", http="http://example.invalid/"),
        20: harness.item(TARGET, "最后", default=PICTURES + "warm.ico")}
SETTINGS = {("Position", "Left"): "600", ("Position", "Top"): "230", ("ShowRect", "IsShowRect"): "False"}


def pixel(image, x, y):
    return subprocess.run(["convert", str(image), "-format", "%%[pixel:p{%d,%d}]" % (x, y), "info:"],
                          stdout=subprocess.PIPE, check=True).stdout


def differs(a, b, rect):
    crop = "%dx%d+%d+%d" % (rect[2] - rect[0], rect[3] - rect[1], rect[0], rect[1])
    done = subprocess.run(["compare", "-metric", "AE", "(", str(a), "-crop", crop, "+repage", ")",
                           "(", str(b), "-crop", crop, "+repage", ")", "null:"], stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE)
    return float(done.stderr.decode().split()[0] or 0) > 20


def ring(h):
    folder = h.prepare(ring=RING, settings={**SETTINGS, ("Center", "Index"): "5"})
    pictures = folder / "pictures"
    pictures.mkdir()
    disc = lambda x, y: (40, 160, 230, 255 if (x - 32) ** 2 + (y - 32) ** 2 < 29 ** 2 else 0)
    (pictures / "blue.png").write_bytes(png_bytes(64, 64, disc))
    (pictures / "warm.ico").write_bytes(dib_icon(48, lambda x, y: (240, 100 + 2 * x, 40 + 3 * y,
                                                                   200 if (x + y) % 7 else 255)))
    (pictures / "big.ico").write_bytes(icon(256, png_bytes(256, 256, lambda x, y: (x, y, 128, 255))))
    (pictures / "center.png").write_bytes((folder / "Icon" / "SysTool" / "Help.png").read_bytes())
    harness.Desktop(h).park()
    app = h.start_ready(folder)
    shot = h.screenshot("ring")
    shown = h.shown()
    for slot in sorted(RING):
        window = shown.get("Circle%d" % slot)
        # A named program draws its own picture from the tool folder, and this one has none.
        if h.check(window, "slot %d has a visible window" % slot):
            colours = h.colours(shot, window.rect)
            h.check(colours <= 4 if slot == 17 else colours > 8, "slot %d shows %s" % (
                slot, "an empty plate" if slot == 17 else "its picture"), colours)
    center = shown["CenterForm"].rect
    time.sleep(1.3)
    h.check(differs(shot, h.screenshot("clock-later"), center), "the clock's second hand moves")
    h.close_app(app)
    return app


def center(h, app, index, path=None):
    harness.edit_config_attributes(app.config, {("Center", "Index"): str(index)})
    if path:
        text = re.sub(r"(<Center\b[^>]*?)\s*(/>|>.*?</Center>)", lambda m: m.group(1) + "><Path>%s</Path></Center>" % path,
                      app.config.read_text(encoding="utf-8"), count=1, flags=re.S)
        app.config.write_text(text, encoding="utf-8")
    app = h.start_ready(app.folder)
    rect = h.shown()["CenterForm"].rect
    shot = h.screenshot("center-%d" % index)
    if path:
        h.check(h.colours(shot, rect) > 40, "the center shows the file's own picture", h.colours(shot, rect))
    else:
        mid = harness.centre_of(rect)
        h.check(pixel(shot, *mid) == pixel(shot, 5, 790), "the empty center lets the desktop show through")
    h.close_app(app)


def scenario(h):
    app = ring(h)
    h.cases([(0, h.win_path(app.folder / "pictures" / "center.png")), (4, None)],
            lambda index, path: center(h, app, index, path))


harness.run_scenario("ring_items", scenario)
