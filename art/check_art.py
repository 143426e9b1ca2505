#!/usr/bin/python3
"""Checks the pictures that art/generate.py wrote against what the program
expects of them.

    check_art.py ARTDIR [--rerun GENERATOR]

ARTDIR is the generator's output folder.  With --rerun the generator is run
again into a scratch folder and every file must come out byte for byte the
same.  Exits 0 when everything holds, 1 with a list of failures otherwise.
Needs only the standard library.
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

RESOURCES = {
    "ROUNDINTERFACE": (300, 300), "THININTERFACE": (300, 300), "NOINTERFACE": (300, 300),
    "GRAYGROUNDCENTER": (115, 115), "PURITYCENTER": (115, 115), "WINCENTER": (115, 115),
    "NOCENTER": (115, 115), "ICONBACKGROUND": (50, 50), "ABOUTPICTURE": (100, 100),
}
RESOURCES.update({"DESTROYPNG%d" % i: (50, 50) for i in range(1, 6)})
RESOURCES.update({"CLEARPNG%d" % i: (50, 50) for i in range(1, 7)})
TRANSPARENT = ("NOINTERFACE", "NOCENTER", "ICONBACKGROUND")
# Drawn again at 1.5x and 2x for scaled displays.
SCALED_RESOURCES = tuple(name for name in RESOURCES if name != "ABOUTPICTURE")
CLOCK = ("trad", "trad_h", "trad_m", "trad_s", "trad_dot", "trad_highlights")
SYSTOOLS = ("Help", "MyFiles", "MyComputer", "MyNetwork", "MyDocuments", "RecycleBin", "ControlPanel")
ICO_SIZES = {16, 24, 32, 48, 64, 256}
THEMES = ("Default", "Glass", "Flat")

failures = []


def fail(message):
    failures.append(message)


def check(condition, message):
    if not condition:
        fail(message)
    return condition


# ------------------------------------------------------------------ PNG

class Image:
    def __init__(self, w, h, rgba):
        self.w, self.h, self.rgba = w, h, rgba

    def alpha(self, x, y):
        return self.rgba[(y * self.w + x) * 4 + 3]

    def pixel(self, x, y):
        i = (y * self.w + x) * 4
        return tuple(self.rgba[i:i + 4])

    def alphas(self):
        return self.rgba[3::4]


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def decode_png(data):
    """Decodes an 8-bit RGBA PNG (the only kind the program is given)."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, ihdr = 8, [], None
    while pos < len(data):
        length, tag = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        crc, = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
        if zlib.crc32(tag + body) != crc:
            raise ValueError("bad CRC in %r" % tag)
        if tag == b"IHDR":
            ihdr = struct.unpack(">IIBBBBB", body)
        elif tag == b"IDAT":
            idat.append(body)
        elif tag == b"IEND":
            break
        pos += 12 + length
    if ihdr is None:
        raise ValueError("no IHDR")
    w, h, depth, colour_type, _, _, interlace = ihdr
    if depth != 8 or colour_type != 6 or interlace != 0:
        raise ValueError("not 8-bit non-interlaced RGBA (depth %d, colour type %d)" % (depth, colour_type))
    raw = zlib.decompress(b"".join(idat))
    stride = w * 4
    out = bytearray(stride * h)
    prev = bytes(stride)
    for y in range(h):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if f == 1:
            for i in range(4, stride):
                line[i] = (line[i] + line[i - 4]) & 0xFF
        elif f == 2:
            line = bytearray((a + b) & 0xFF for a, b in zip(line, prev))
        elif f == 3:
            for i in range(stride):
                left = line[i - 4] if i >= 4 else 0
                line[i] = (line[i] + ((left + prev[i]) >> 1)) & 0xFF
        elif f == 4:
            for i in range(stride):
                left = line[i - 4] if i >= 4 else 0
                upleft = prev[i - 4] if i >= 4 else 0
                line[i] = (line[i] + paeth(left, prev[i], upleft)) & 0xFF
        elif f != 0:
            raise ValueError("bad filter %d" % f)
        out[y * stride:(y + 1) * stride] = line
        prev = bytes(line)
    return Image(w, h, bytes(out))


def load(root, rel, size=None):
    path = os.path.join(root, *rel.split("/"))
    if not check(os.path.isfile(path), "%s is missing" % rel):
        return None
    try:
        with open(path, "rb") as f:
            img = decode_png(f.read())
    except (ValueError, zlib.error, struct.error) as e:
        fail("%s: %s" % (rel, e))
        return None
    if size is not None and not check((img.w, img.h) == size,
                                      "%s is %dx%d, expected %dx%d" % (rel, img.w, img.h, *size)):
        return None
    return img


# --------------------------------------------------------------- checks

def ring_alpha_by_radius(img):
    """Largest alpha found in each whole-pixel radius band, measured from the
    picture's centre through pixel centres."""
    c = img.w / 2
    bands = {}
    for y in range(img.h):
        for x in range(img.w):
            r = int(math.hypot(x + 0.5 - c, y + 0.5 - c))
            a = img.alpha(x, y)
            if a > bands.get(r, -1):
                bands[r] = a
    return bands


def check_ring(name, img, lowest_max, highest_max):
    peak = max(img.alphas())
    check(lowest_max <= peak <= highest_max,
          "%s: largest alpha %d, expected %d..%d" % (name, peak, lowest_max, highest_max))
    bands = ring_alpha_by_radius(img)
    inside = max(a for r, a in bands.items() if r < 55)
    outside = max(a for r, a in bands.items() if r > 152)
    check(inside <= 2, "%s: alpha %d inside radius 55 (the hole must be clear)" % (name, inside))
    check(outside <= 2, "%s: alpha %d beyond radius 152" % (name, outside))
    # All round the ring at mid radius: high and near the ring's light blue.
    c = img.w / 2
    for k in range(16):
        t = k * 2 * math.pi / 16
        x, y = int(c + 104 * math.cos(t)), int(c + 104 * math.sin(t))
        r, g, b, a = img.pixel(x, y)
        if not check(a >= peak * 0.6, "%s: alpha only %d at radius 104, angle %d" % (name, a, k * 360 // 16)):
            break
        check(abs(r - 148) <= 50 and abs(g - 222) <= 35 and abs(b - 242) <= 30,
              "%s: colour (%d, %d, %d) at radius 104 is not the ring's light blue" % (name, r, g, b))
    # The soft edges: half-way around radii 61 and 147.
    def radius_where_alpha_crosses(r0, r1, level):
        step = 1 if r1 > r0 else -1
        for r in range(r0, r1, step):
            if bands.get(r, 0) >= level:
                return r
        return None
    inner = radius_where_alpha_crosses(50, 104, peak / 2)
    outer = radius_where_alpha_crosses(160, 104, peak / 2)
    check(inner is not None and 57 <= inner <= 65, "%s: inner edge at radius %s, expected about 61" % (name, inner))
    check(outer is not None and 143 <= outer <= 151, "%s: outer edge at radius %s, expected about 147" % (name, outer))


def coverage(img):
    return sum(img.alphas()) / 255.0


def check_resources(root):
    images = {}
    for name, size in RESOURCES.items():
        images[name] = load(root, "resources/%s.png" % name, size)
    for name in TRANSPARENT:
        if images[name] is not None:
            check(max(images[name].alphas()) == 0, "%s must be fully transparent" % name)
    # The scaled drawings: their size is the 1x size scaled, and what is
    # transparent at 1x stays so.
    for name in SCALED_RESOURCES:
        w, h = RESOURCES[name]
        for scale, suffix in ((1.5, "150"), (2.0, "200")):
            img = load(root, "resources/%s_%s.png" % (name, suffix), (int(round(w * scale)), int(round(h * scale))))
            if img is not None and name in TRANSPARENT:
                check(max(img.alphas()) == 0, "%s_%s must be fully transparent" % (name, suffix))
    if images["ROUNDINTERFACE"] is not None:
        check_ring("ROUNDINTERFACE", images["ROUNDINTERFACE"], 120, 167)
    if images["THININTERFACE"] is not None:
        check_ring("THININTERFACE", images["THININTERFACE"], 1, 17)
    for name in ("GRAYGROUNDCENTER", "WINCENTER"):
        img = images[name]
        if img is not None:
            check(img.alpha(57, 57) == 255, "%s: the button must be opaque in the middle" % name)
            check(img.alpha(0, 0) == 0 and img.alpha(114, 114) == 0,
                  "%s: the button must be round (corners transparent)" % name)
    if images["PURITYCENTER"] is not None:
        img = images["PURITYCENTER"]
        check(img.alpha(57, 57) == 255 and img.alpha(0, 0) == 0, "PURITYCENTER: the emblem must sit in the middle")
    frames = [images["DESTROYPNG%d" % i] for i in range(1, 6)]
    if all(frames):
        cov = [coverage(f) for f in frames]
        check(all(c > 0 for c in cov), "DESTROYPNG: every frame must show something")
        check(all(cov[i] > cov[i + 1] for i in range(1, 4)) and cov[4] < cov[0] * 0.25,
              "DESTROYPNG: the puff must fade away frame by frame (coverage %s)" % [round(c) for c in cov])
    frames = [images["CLEARPNG%d" % i] for i in range(1, 7)]
    if all(frames):
        cov = [coverage(f) for f in frames]
        check(all(c > 0 for c in cov), "CLEARPNG: every frame must show something")
        check(cov[5] < cov[4] < cov[3] and cov[5] < cov[0],
              "CLEARPNG: the bubbles must fade into ever fainter sparkles (coverage %s)" % [round(c) for c in cov])
    return images


def opaque_rows(img, level=64):
    rows = []
    for y in range(img.h):
        for x in range(img.w):
            if img.alpha(x, y) >= level:
                rows.append((x, y))
    return rows


def check_clock(root):
    face = load(root, "Icon/ClockRes/trad.png")
    highlights = load(root, "Icon/ClockRes/trad_highlights.png")
    if face is None:
        return
    s = face.w
    check(face.h == s and s >= 115, "trad.png must be square and at least 115 wide, is %dx%d" % (face.w, face.h))
    check(face.alpha(s // 2, s // 2) == 255, "trad.png: the dial must be opaque")
    check(face.alpha(0, 0) == 0, "trad.png: the face must be round (corners transparent)")
    if highlights is not None:
        check((highlights.w, highlights.h) == (s, s), "trad_highlights.png must be the face's size")
        check(max(highlights.alphas()) < 255 and max(highlights.alphas()) > 0,
              "trad_highlights.png must be a translucent glaze")
    strip = (s // 10, s)
    tops = {}
    for name in ("trad_h", "trad_m", "trad_s"):
        img = load(root, "Icon/ClockRes/%s.png" % name, strip)
        if img is None:
            continue
        pts = opaque_rows(img)
        if not check(pts, "%s.png is empty" % name):
            continue
        above = sum(1 for _, y in pts if y < s / 2)
        top, bottom = min(y for _, y in pts), max(y for _, y in pts)
        check(above >= 0.6 * len(pts) and s / 2 - top > 2 * (bottom + 1 - s / 2),
              "%s.png: the hand must point up from the middle, its tail short (%d of %d pixels above, "
              "rows %d-%d)" % (name, above, len(pts), top, bottom))
        cx = sum(x + 0.5 for x, _ in pts) / len(pts)
        check(abs(cx - img.w / 2) <= 1.0, "%s.png: the hand must be centred in its strip (centre %.1f of %d)"
              % (name, cx, img.w))
        check(bottom < s * 0.75, "%s.png: the tail reaches too far below the pivot" % name)
        check(img.alpha(img.w // 2, s // 2 - 2) >= 64, "%s.png: the hand must start at the pivot" % name)
        tops[name] = top
    if "trad_h" in tops and "trad_m" in tops:
        check(tops["trad_h"] > tops["trad_m"], "the hour hand must be shorter than the minute hand")
    dot = load(root, "Icon/ClockRes/trad_dot.png", strip)
    if dot is not None:
        pts = opaque_rows(dot)
        if check(pts, "trad_dot.png is empty"):
            check(all(abs(y + 0.5 - s / 2) <= strip[0] for _, y in pts),
                  "trad_dot.png: the cap must sit at the middle of its strip")


def check_icon_tree(root):
    sizes = set()
    for name in SYSTOOLS:
        img = load(root, "Icon/SysTool/%s.png" % name)
        if img is None:
            continue
        sizes.add((img.w, img.h))
        check(img.w == img.h and img.w in (48, 128), "SysTool/%s.png is %dx%d, expected 48 or 128 square"
              % (name, img.w, img.h))
        check(max(img.alphas()) == 255, "SysTool/%s.png shows nothing opaque" % name)
    check(len(sizes) <= 1, "the system-tool pictures differ in size: %s" % sorted(sizes))
    for name in THEMES:
        check_theme(root, name)
        one = load(root, "Icon/RectangleBackground/%s.png" % name)
        for scale, suffix in ((1.5, "150"), (2.0, "200")):
            if one is not None:
                load(root, "Icon/RectangleBackground/%s@%s.png" % (name, suffix),
                     (int(round(one.w * scale)), int(round(one.h * scale))))


def check_theme(root, name):
    rel = "Icon/RectangleBackground/%s.png" % name
    theme = load(root, rel)
    if theme is None:
        return
    # The bar uses a theme 51..any wide and 94..400 tall; narrower or shorter
    # ones are refused and the bar shown without a picture.
    check(theme.w >= 51, "%s: wider than its two 25-pixel caps, please (is %d)" % (rel, theme.w))
    check(94 <= theme.h <= 400, "%s is %d tall, the bar takes 94..400" % (rel, theme.h))
    # The middle is stretched: every column of it must be the same.
    middle = [b"".join(theme.rgba[(y * theme.w + x) * 4:(y * theme.w + x) * 4 + 4]
                       for y in range(theme.h)) for x in range(25, theme.w - 25)]
    check(all(col == middle[0] for col in middle),
          "%s: the middle columns differ, so it would not stretch cleanly" % rel)
    # Items sit 6 pixels below the screen edge at the top (rows 31-80 of the
    # bar) and 6 pixels above it at the bottom (rows 19-68): the bar must be
    # behind both, all along.
    for x in (12, theme.w // 2, theme.w - 13):
        covered = all(theme.alpha(x, y) >= 40 for y in range(19, min(81, theme.h)))
        check(covered, "%s: column %d does not stand behind the items (rows 19-80)" % (rel, x))
    # Rounded ends: the outer corners of the caps are clear.
    for x, y in ((0, 0), (theme.w - 1, 0), (0, theme.h - 1), (theme.w - 1, theme.h - 1)):
        check(theme.alpha(x, y) <= 8, "%s: corner (%d, %d) is not clear" % (rel, x, y))


def check_ico(root):
    path = os.path.join(root, "Quorvel.ico")
    if not check(os.path.isfile(path), "Quorvel.ico is missing"):
        return
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    if not check(reserved == 0 and kind == 1 and count > 0, "Quorvel.ico: bad header"):
        return
    sizes = set()
    for i in range(count):
        w, h, colours, _, planes, bpp, length, offset = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        w, h = w or 256, h or 256
        blob = data[offset:offset + length]
        if not check(len(blob) == length and offset >= 6 + 16 * count,
                     "Quorvel.ico: entry %d lies outside the file" % i):
            continue
        if blob[:8] == b"\x89PNG\r\n\x1a\n":
            try:
                img = decode_png(blob)
                check((img.w, img.h) == (w, h), "Quorvel.ico: entry %d says %d but holds %dx%d" % (i, w, img.w, img.h))
            except (ValueError, zlib.error) as e:
                fail("Quorvel.ico: entry %d: %s" % (i, e))
        elif check(length >= 40, "Quorvel.ico: entry %d is too short for a bitmap" % i):
            size, bw, bh, _, bits = struct.unpack("<IiiHH", blob[:16])
            check(size == 40 and bw == w and bh == 2 * h and bits == 32,
                  "Quorvel.ico: entry %d is not a 32-bit %dx%d bitmap" % (i, w, h))
            mask = ((w + 31) // 32) * 4 * h
            check(length == 40 + w * h * 4 + mask, "Quorvel.ico: entry %d has the wrong length" % i)
        check(w == h and bpp == 32 and planes == 1, "Quorvel.ico: entry %d is not a square 32-bit image" % i)
        sizes.add(w)
    check(sizes == ICO_SIZES, "Quorvel.ico holds sizes %s, expected %s" % (sorted(sizes), sorted(ICO_SIZES)))


def check_rc(root):
    path = os.path.join(root, "quorvel_art.rc")
    if not check(os.path.isfile(path), "quorvel_art.rc is missing"):
        return
    seen = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("//"):
                continue
            parts = line.split(None, 2)
            if not check(len(parts) == 3 and parts[2].startswith('"') and parts[2].endswith('"'),
                         "quorvel_art.rc: cannot read %r" % line):
                continue
            name, kind, file = parts[0], parts[1], parts[2][1:-1]
            check(os.path.isabs(file) and os.path.isfile(file), "quorvel_art.rc: %s names a missing file" % name)
            check(name not in seen, "quorvel_art.rc: %s twice" % name)
            seen[name] = kind
    expected = {name: "PNG" for name in RESOURCES}
    expected.update({"%s_%s" % (name, suffix): "PNG" for name in SCALED_RESOURCES for suffix in ("150", "200")})
    expected["MAINICON"] = "ICON"
    missing = sorted(set(expected.items()) - set(seen.items()))
    extra = sorted(set(seen.items()) - set(expected.items()))
    check(not missing and not extra, "quorvel_art.rc: missing %s, unexpected %s" % (missing, extra))


def all_files(root):
    out = []
    for base, _, files in os.walk(root):
        for name in files:
            out.append(os.path.relpath(os.path.join(base, name), root))
    return sorted(out)


def check_rerun(root, generator):
    scratch = tempfile.mkdtemp(prefix="quorvel-art-")
    try:
        run = subprocess.run([sys.executable, generator, scratch], capture_output=True)
        if not check(run.returncode == 0, "the generator failed on a rerun: %s" % run.stderr.decode(errors="replace")):
            return
        mine, again = all_files(root), all_files(scratch)
        check(mine == again, "a rerun wrote other files: %s" % sorted(set(mine) ^ set(again)))
        for rel in set(mine) & set(again):
            with open(os.path.join(root, rel), "rb") as f:
                a = f.read()
            with open(os.path.join(scratch, rel), "rb") as f:
                b = f.read()
            if rel == "quorvel_art.rc":
                a = a.replace(os.path.abspath(root).encode(), b"@")
                b = b.replace(os.path.abspath(scratch).encode(), b"@")
            check(a == b, "%s differs between two runs of the generator" % rel)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


def main(argv):
    args = argv[1:]
    generator = None
    if "--rerun" in args:
        i = args.index("--rerun")
        if i + 1 >= len(args):
            sys.stderr.write(__doc__)
            return 2
        generator = args[i + 1]
        del args[i:i + 2]
    if len(args) != 1:
        sys.stderr.write(__doc__)
        return 2
    root = args[0]
    check_resources(root)
    check_clock(root)
    check_icon_tree(root)
    check_ico(root)
    check_rc(root)
    check(os.path.isfile(os.path.join(root, "preview.png")), "preview.png is missing")
    check(os.path.isfile(os.path.join(root, "preview@200.png")), "preview@200.png is missing")
    if generator:
        check_rerun(root, generator)
    if failures:
        for message in failures:
            print("FAIL:", message)
        return 1
    print("art: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
