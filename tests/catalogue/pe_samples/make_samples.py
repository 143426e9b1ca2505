#!/usr/bin/env python3
"""Writes the inputs of the small test programs: one .ico and one .rc per
program, and the C file they all link. The build compiles each .rc with
windres and links it for x86_64 (PE32+) and i686 (PE32).

Every image is drawn from its position in its file, so the tests can tell
which one was picked. Usage: make_samples.py OUT_DIR
"""

import struct
import sys
import zlib
from pathlib import Path

# name -> images in file order: (side, bits) with bits 0 for a PNG-stored one.
# The tests name the image each program must yield by its index here.
SAMPLES = {
    # 128 before 256 keeps 128; of the 128s the first strictly larger wins
    # (8-bit, then 32-bit A, an equal 32-bit B and a smaller 4-bit).
    "large128": [(16, 32), (32, 32), (48, 32), (128, 8), (128, 32), (128, 32), (128, 4), (256, 32)],
    # The first 256 is replaced by a larger 256; the later 128 never replaces it.
    "huge256": [(16, 32), (256, 8), (48, 32), (256, 32), (128, 32)],
    # No large image: the 32-bit 48 wins over the 24-bit one.
    "small48": [(16, 32), (32, 32), (48, 24), (48, 32)],
    # Of two 48s of the same size the later one wins; smaller depths lose.
    "equal48": [(48, 8), (48, 32), (48, 24), (48, 32), (48, 4)],
    # The only 48 is the 24-bit one: nothing usable.
    "only24": [(16, 32), (32, 32), (48, 24)],
    # The 48 is the 12th image and the 128 the 17th: neither search sees them.
    "beyond": [(32, 32)] * 11 + [(48, 32)] + [(16, 32)] * 4 + [(128, 32)],
    # The same shifted one place earlier: the 11th and the 16th are seen.
    "within": [(32, 32)] * 10 + [(48, 32)] + [(16, 32)] * 4 + [(128, 32)],
    # A PNG-stored 256 never counts as large.
    "pngonly": [(16, 32), (32, 32), (48, 32), (256, 0)],
}


def pixel(index, side, x, y):
    """Straight BGRA of one pixel: a colour per image, alpha varying."""
    b = (37 * index + 3 * x) & 0xFF
    g = (91 * index + 5 * y) & 0xFF
    r = (17 * index + side) & 0xFF
    a = 255 if (x + y) % 3 else (x * 7 + y * 3 + index) % 254 + 1
    return b, g, r, a


def dib(index, side, bits):
    rows = []
    stride = (side * bits + 31) // 32 * 4
    palette = b""
    if bits <= 8:
        palette = b"".join(bytes(((7 * k + index) & 0xFF, (13 * k) & 0xFF, (k * 29) & 0xFF, 0))
                           for k in range(1 << bits))
    for y in reversed(range(side)):
        row = bytearray(stride)
        for x in range(side):
            b, g, r, a = pixel(index, side, x, y)
            if bits == 32:
                row[4 * x:4 * x + 4] = bytes((b, g, r, a))
            elif bits == 24:
                row[3 * x:3 * x + 3] = bytes((b, g, r))
            elif bits == 8:
                row[x] = (x + y + index) & 0xFF
            elif bits == 4:
                row[x // 2] |= ((x + y) & 0xF) << (4 if x % 2 == 0 else 0)
        rows.append(bytes(row))
    mask_stride = (side + 31) // 32 * 4
    mask = bytearray(mask_stride * side)
    for y in range(side):  # a clear frame of one pixel, stored bottom row first
        for x in range(side):
            if x == 0 or y == 0 or x == side - 1 or y == side - 1:
                mask[(side - 1 - y) * mask_stride + x // 8] |= 0x80 >> (x % 8)
    header = struct.pack("<IiiHHIIiiII", 40, side, 2 * side, 1, bits, 0, 0, 0, 0, 0, 0)
    return header + palette + b"".join(rows) + bytes(mask)


def png(index, side):
    raw = b"".join(b"\0" + b"".join(bytes(pixel(index, side, x, y)[2::-1] + pixel(index, side, x, y)[3:])
                                    for x in range(side)) for y in range(side))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    ihdr = struct.pack(">IIBBBBB", side, side, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


def ico(images):
    blobs = [png(i, side) if bits == 0 else dib(i, side, bits) for i, (side, bits) in enumerate(images)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (side, bits), blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", side % 256, side % 256, 0, 0, 1, bits or 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


RC = """\
LANGUAGE 0, 0
1 ICON "{name}.ico"
7 GREETING {{ "hello" }}
LANGUAGE 7, 1
NOTES RCDATA {{ "quorvel" }}
"""


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for name, images in SAMPLES.items():
        (out / f"{name}.ico").write_bytes(ico(images))
        (out / f"{name}.rc").write_text(RC.format(name=name))
    (out / "main.c").write_text("int main(void) { return 0; }\n")


if __name__ == "__main__":
    main()
