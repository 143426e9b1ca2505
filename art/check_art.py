#!/usr/bin/python3
"""check_art.py ARTDIR [--rerun GENERATOR]: every picture the program asks for
is there at every scale, at its size, and shows what it should; with --rerun
the generator's second run writes the same bytes.  Exits 1 with the failures."""

import io
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile

import cairo

# Resource pictures: the 1x size and what each must look like (see LOOKS).
RESOURCES = {"ROUNDINTERFACE": (300, "a ring"), "THININTERFACE": (300, "a faint ring"),
             "NOINTERFACE": (300, "clear"), "GRAYGROUNDCENTER": (115, "a button"),
             "PURITYCENTER": (115, "a button"), "WINCENTER": (115, "a button"), "NOCENTER": (115, "clear"),
             "ICONBACKGROUND": (50, "clear"), "ABOUTPICTURE": (100, "a picture")}
RESOURCES.update({"DESTROYPNG%d" % i: (50, "a picture") for i in range(1, 6)})
RESOURCES.update({"CLEARPNG%d" % i: (50, "a picture") for i in range(1, 7)})
SCALES = {"150": 1.5, "200": 2.0}  # every resource but the about picture, and the dock themes
SYSTOOLS = ("Help", "MyFiles", "MyComputer", "MyNetwork", "MyDocuments", "RecycleBin", "ControlPanel")
THEMES = ("Default", "Glass", "Flat")
ICO_SIZES = {16, 24, 32, 48, 64, 256}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


class Picture:
    """An 8-bit RGBA PNG; alpha(x, y) is exact (cairo premultiplies only the colour)."""

    def __init__(self, data):
        if data[12:16] != b"IHDR" or data[24:26] != b"\x08\x06" or data[28] != 0:
            raise ValueError("not 8-bit non-interlaced RGBA")
        surface = cairo.ImageSurface.create_from_png(io.BytesIO(data))
        self.w, self.h = surface.get_width(), surface.get_height()
        self.data = bytes(surface.get_data())  # ARGB32 rows have no padding
        self.alphas = self.data[3::4]

    def alpha(self, x, y):
        return self.alphas[y * self.w + x]

    def points(self, level=64):
        return [(i % self.w, i // self.w) for i, a in enumerate(self.alphas) if a >= level]


def load(root, rel, size=None):
    try:
        with open(os.path.join(root, *rel.split("/")), "rb") as f:
            picture = Picture(f.read())
    except Exception as e:  # missing, truncated, bad CRC, wrong kind
        return check(False, "%s: %s" % (rel, e)) or None
    if size is None or check((picture.w, picture.h) == size, "%s is %dx%d, expected %dx%d"
                             % (rel, picture.w, picture.h, *size)):
        return picture
    return None


def ring(p, lowest, highest):
    """Clear in the hole and round the outside, seen all round in between."""
    k, c, peak = p.w / 300, p.w / 2, max(p.alphas)
    radius = [math.hypot(i % p.w + 0.5 - c, i // p.w + 0.5 - c) / k for i in range(len(p.alphas))]
    hole = max(a for a, r in zip(p.alphas, radius) if r < 55 or r > 152)
    around = min(p.alpha(int(c + 104 * k * math.cos(t)), int(c + 104 * k * math.sin(t)))
                 for t in (i * math.pi / 8 for i in range(16)))
    return lowest <= peak <= highest and hole <= 2 and around >= peak * 0.6


LOOKS = {"a ring": lambda p: ring(p, 120, 167), "a faint ring": lambda p: ring(p, 1, 17),
         "clear": lambda p: max(p.alphas) == 0, "a picture": lambda p: max(p.alphas) > 0,
         "a button": lambda p: p.alpha(p.w // 2, p.h // 2) == 255
         and p.alpha(0, 0) == p.alpha(p.w - 1, p.h - 1) == 0}


def check_resources(root):
    fading = {}
    for name, (size, look) in RESOURCES.items():
        scaled = [] if name == "ABOUTPICTURE" else [("_" + s, k) for s, k in SCALES.items()]
        for suffix, scale in [("", 1)] + scaled:
            side = int(round(size * scale))
            p = load(root, "resources/%s%s.png" % (name, suffix), (side, side))
            if p:
                check(LOOKS[look](p), "%s%s is not %s" % (name, suffix, look))
                fading.setdefault(name.rstrip("0123456789") + suffix, []).append(sum(p.alphas))
    for name, cover in fading.items():  # the animations fade away frame by frame
        check(len(cover) < 5 or cover[-1] < cover[-2] < cover[-3] and cover[-1] < cover[0] / 2,
              "%s does not fade: %s" % (name, cover))


def check_clock(root):
    face = load(root, "Icon/ClockRes/trad.png")
    if not face:
        return
    s = face.w
    check(face.h == s >= 115 and LOOKS["a button"](face), "trad.png: not a round opaque dial 115+ wide")
    glaze = load(root, "Icon/ClockRes/trad_highlights.png", (s, s))
    check(not glaze or 0 < max(glaze.alphas) < 255, "trad_highlights.png is not a translucent glaze")
    tops = {}
    for name in ("trad_h", "trad_m", "trad_s"):
        p = load(root, "Icon/ClockRes/%s.png" % name, (s // 10, s))
        points = p.points() if p else []
        if not check(points, "%s.png is missing or empty" % name):
            continue
        ys = [y + 0.5 - s / 2 for _, y in points]  # up is negative, from the pivot
        centre = sum(x + 0.5 for x, _ in points) / len(points)
        tops[name] = min(ys)
        check(-min(ys) > 2 * max(ys) and max(ys) < s / 4 and abs(centre - p.w / 2) <= 1
              and p.alpha(p.w // 2, s // 2 - 2) >= 64,
              "%s.png: not a centred hand pointing up from the pivot (rows %d..%d, centre %.1f)"
              % (name, min(ys), max(ys), centre))
    check(tops.get("trad_h", 0) > tops.get("trad_m", 0), "the hour hand is not shorter than the minute hand")


def check_icon_tree(root):
    sizes = set()
    for name in SYSTOOLS:
        p = load(root, "Icon/SysTool/%s.png" % name)
        if p and check(p.w == p.h and p.w in (48, 128) and max(p.alphas) == 255,
                       "SysTool/%s.png: not 48 or 128 square, or nothing opaque" % name):
            sizes.add(p.w)
    check(len(sizes) <= 1, "the system-tool pictures differ in size: %s" % sorted(sizes))
    for name in THEMES:
        rel = "Icon/RectangleBackground/%s" % name
        p = load(root, rel + ".png")
        if not p:
            continue
        for suffix, scale in SCALES.items():
            load(root, "%s@%s.png" % (rel, suffix), (int(round(p.w * scale)), int(round(p.h * scale))))
        # The bar takes 51+ by 94..400 (two 25-pixel caps, a middle stretched
        # column by column); items cover rows 19..80; the caps are rounded.
        columns = {b"".join(p.data[(y * p.w + x) * 4:(y * p.w + x) * 4 + 4] for y in range(p.h))
                   for x in range(25, p.w - 25)}
        check(p.w >= 51 and 94 <= p.h <= 400, "%s.png is %dx%d" % (rel, p.w, p.h))
        check(len(columns) == 1, "%s.png: the middle columns differ, it would not stretch cleanly" % rel)
        check(all(p.alpha(x, y) >= 40 for x in (12, p.w // 2, p.w - 13) for y in range(19, min(81, p.h))),
              "%s.png does not stand behind the items" % rel)
        check(max(p.alpha(x, y) for x in (0, p.w - 1) for y in (0, p.h - 1)) <= 8,
              "%s.png: corners not clear" % rel)


def check_ico(root):
    with open(os.path.join(root, "Quorvel.ico"), "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    sizes = []
    for i in range(count if reserved == 0 and kind == 1 else 0):
        w, h, _, _, planes, bits, length, offset = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        w, h, blob = w or 256, h or 256, data[offset:offset + length]
        if blob[:4] == b"\x89PNG":
            p = Picture(blob)
            whole = (p.w, p.h) == (w, h)
        else:  # a 32-bit DIB of both halves and its 1-bit mask
            header = struct.unpack("<IiiHH", blob[:16])
            whole = header == (40, w, 2 * h, 1, 32) and length == 40 + w * h * 4 + (w + 31) // 32 * 4 * h
        inside = len(blob) == length and offset >= 6 + 16 * count
        check(whole and inside and w == h and (planes, bits) == (1, 32),
              "Quorvel.ico: entry %d (%dx%d) is broken" % (i, w, h))
        sizes.append(w)
    check(set(sizes) == ICO_SIZES, "Quorvel.ico holds sizes %s" % sizes)


def files_of(root):
    found = {}
    for base, _, names in os.walk(root):
        for name in names:
            with open(os.path.join(base, name), "rb") as f:
                found[os.path.relpath(os.path.join(base, name), root)] = f.read().replace(
                    os.path.abspath(root).encode(), b"@")
    return found


def check_rerun(root, generator):
    scratch = tempfile.mkdtemp(prefix="quorvel-art-")
    try:
        run = subprocess.run([sys.executable, generator, scratch], capture_output=True)
        if check(run.returncode == 0, "a rerun failed: %s" % run.stderr.decode(errors="replace")):
            mine, again = files_of(root), files_of(scratch)
            check(mine == again, "a rerun wrote other bytes in %s"
                  % sorted(n for n in mine.keys() | again.keys() if mine.get(n) != again.get(n)))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


def main(args):
    root = args[0]
    for step in (check_resources, check_clock, check_icon_tree, check_ico):
        try:
            step(root)
        except Exception as e:  # a missing or unreadable file
            check(False, "%s: %r" % (step.__name__, e))
    if args[1:2] == ["--rerun"]:
        check_rerun(root, args[2])
    for message in failures:
        print("FAIL:", message)
    print("art: %d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
