#!/usr/bin/python3
"""Draws every picture Quorvel ships, from scratch, with cairo.

    generate.py OUTDIR

writes
    OUTDIR/resources/<NAME>.png   pictures built into the program (resource type "PNG";
                                  "PNG150" and "PNG200" for <NAME>_150.png and <NAME>_200.png)
    OUTDIR/Icon/...               the picture tree shipped beside the program
    OUTDIR/Quorvel.ico            the application icon "MAINICON"
    OUTDIR/quorvel_art.rc         resource lines for all of the above
    OUTDIR/preview.png            a contact sheet for review
    OUTDIR/preview@200.png        the pictures drawn for 200 % displays, side by side with the 1x ones

The pictures of the window skins, the item plate, the animation frames and the
dock themes are drawn three times, at 1x, 1.5x and 2x, each from the same
vectors: "<NAME>" resources of types "PNG150" / "PNG200" and "<name>@150.png" /
"<name>@200.png" files beside the 1x ones.  The clock (drawn at twice its
window's size) and the tool pictures (128 pixels) are large enough as they are.

Every picture is straight (not premultiplied) 8-bit RGBA.  The output is the
same, byte for byte, on every run: no clock, no unseeded randomness, no fonts.
"""

import math
import os
import struct
import sys
import zlib

import cairo

TAU = 2 * math.pi
SQRT3 = math.sqrt(3)

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

# The house palette.
RING_BLUE = (148, 222, 242)
RED = (234, 84, 74)
ORANGE = (246, 152, 56)
YELLOW = (247, 200, 58)
GREEN = (98, 188, 82)
BLUE = (58, 146, 230)
VIOLET = (148, 104, 214)
INK = (40, 48, 60)
STEEL = (112, 124, 140)
FOLDER_YELLOW = (250, 196, 72)
FOLDER_BLUE = (84, 160, 236)

# Resources built into the program: name -> size.
RING_SKINS = ("ROUNDINTERFACE", "THININTERFACE", "NOINTERFACE")
CENTER_SKINS = ("GRAYGROUNDCENTER", "PURITYCENTER", "WINCENTER", "NOCENTER")
DESTROY_FRAMES = tuple("DESTROYPNG%d" % i for i in range(1, 6))
CLEAR_FRAMES = tuple("CLEARPNG%d" % i for i in range(1, 7))

CLOCK = 230            # side of the clock pictures
SYSTOOL = 128          # side of the system-tool pictures
THEME_W, THEME_H = 128, 100
ICO_SIZES = (16, 24, 32, 48, 64, 256)


# ----------------------------------------------------------------- colours

def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def light(c, t):
    return mix(c, WHITE, t)


def dark(c, t):
    return mix(c, BLACK, t)


def rgba(c, a=1.0):
    return (c[0] / 255, c[1] / 255, c[2] / 255, a)


def source(ctx, c, a=1.0):
    ctx.set_source_rgba(*rgba(c, a))


def linear(x0, y0, x1, y1, *stops):
    """stops: (offset, colour) or (offset, colour, alpha)."""
    g = cairo.LinearGradient(x0, y0, x1, y1)
    for s in stops:
        g.add_color_stop_rgba(s[0], *rgba(s[1], s[2] if len(s) > 2 else 1.0))
    return g


def radial(x0, y0, r0, x1, y1, r1, *stops):
    g = cairo.RadialGradient(x0, y0, r0, x1, y1, r1)
    for s in stops:
        g.add_color_stop_rgba(s[0], *rgba(s[1], s[2] if len(s) > 2 else 1.0))
    return g


# ------------------------------------------------------------------- paths

# The scale the pictures are being drawn at.  Every size and coordinate in
# the drawing code is a 1x pixel; a surface made at another scale has more
# pixels and a device scale, so the same vectors fill it sharply.
SCALE = 1.0
SCALES = ((1.0, ""), (1.5, "150"), (2.0, "200"))


def px(n):
    """A 1x length in pixels of the scale being drawn."""
    return int(round(n * SCALE))


def new_surface(w, h):
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, px(w), px(h))
    if SCALE != 1.0:
        surf.set_device_scale(SCALE, SCALE)
    return surf


def logical_size(surface):
    """A surface's size in 1x pixels."""
    return surface.get_width() / SCALE, surface.get_height() / SCALE


def circle(ctx, cx, cy, r):
    ctx.new_sub_path()
    ctx.arc(cx, cy, r, 0, TAU)
    ctx.close_path()


def ellipse(ctx, cx, cy, rx, ry):
    ctx.save()
    ctx.translate(cx, cy)
    ctx.scale(rx, ry)
    ctx.new_sub_path()
    ctx.arc(0, 0, 1, 0, TAU)
    ctx.close_path()
    ctx.restore()


def rrect(ctx, x, y, w, h, r):
    r = min(r, w / 2, h / 2)
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 1.5 * math.pi)
    ctx.close_path()


def rpoly(ctx, pts, r):
    """A closed polygon whose corners are rounded by about r."""
    n = len(pts)
    ctx.new_sub_path()
    for i in range(n):
        px, py = pts[i - 1]
        vx, vy = pts[i]
        nx, ny = pts[(i + 1) % n]
        lp = math.hypot(px - vx, py - vy)
        ln = math.hypot(nx - vx, ny - vy)
        tp = min(r / lp, 0.5) if lp else 0
        tn = min(r / ln, 0.5) if ln else 0
        ax, ay = vx + (px - vx) * tp, vy + (py - vy) * tp
        bx, by = vx + (nx - vx) * tn, vy + (ny - vy) * tn
        if i == 0:
            ctx.move_to(ax, ay)
        else:
            ctx.line_to(ax, ay)
        ctx.curve_to(ax + (vx - ax) * 2 / 3, ay + (vy - ay) * 2 / 3,
                     bx + (vx - bx) * 2 / 3, by + (vy - by) * 2 / 3, bx, by)
    ctx.close_path()


def hexagon(cx, cy, r, rot=0.0):
    return [(cx + r * math.cos(rot + k * TAU / 6), cy + r * math.sin(rot + k * TAU / 6))
            for k in range(6)]


# -------------------------------------------------------------- softening

def blur(surface, radius):
    """A copy of surface softened by about `radius` pixels: area-averaged down
    to a coarse grid twice, then smoothly up-sampled (cheap and smooth enough for
    shadows and glows)."""
    cur = surface
    steps = []
    f = max(1.0, radius / 1.5)
    for _ in range(2):
        step = math.sqrt(f)
        cw, ch = logical_size(cur)
        sw, sh = int(math.ceil(cw / step)) + 2, int(math.ceil(ch / step)) + 2
        small = new_surface(sw, sh)
        c = cairo.Context(small)
        c.translate(1, 1)
        c.scale(1 / step, 1 / step)
        p = cairo.SurfacePattern(cur)
        p.set_filter(cairo.FILTER_GOOD)
        c.set_source(p)
        c.paint()
        steps.append((round(cw), round(ch), step))
        cur = small
    for pw, ph, step in reversed(steps):
        big = new_surface(pw, ph)
        c = cairo.Context(big)
        c.scale(step, step)
        c.translate(-1, -1)
        p = cairo.SurfacePattern(cur)
        p.set_filter(cairo.FILTER_BILINEAR)
        p.set_extend(cairo.EXTEND_PAD)
        c.set_source(p)
        c.paint()
        cur = big
    return cur


def shadow(ctx, path, blur_radius, dx, dy, colour=BLACK, alpha=0.35):
    """Paints a soft shadow of path (a function drawing into a context with the
    same transformation as ctx) offset by (dx, dy) device pixels."""
    w, h = logical_size(ctx.get_target())
    m = new_surface(round(w), round(h))
    mc = cairo.Context(m)
    mc.translate(dx, dy)
    mc.transform(ctx.get_matrix())
    path(mc)
    mc.set_source_rgba(0, 0, 0, 1)
    mc.fill()
    soft = blur(m, blur_radius)
    ctx.save()
    ctx.identity_matrix()
    source(ctx, colour, alpha)
    ctx.mask_surface(soft, 0, 0)
    ctx.restore()


def glow_stroke(ctx, path, width, blur_radius, colour, alpha):
    """A soft stroke of path: for glints and halos."""
    w, h = logical_size(ctx.get_target())
    m = new_surface(round(w), round(h))
    mc = cairo.Context(m)
    mc.set_matrix(ctx.get_matrix())
    path(mc)
    mc.set_line_width(width)
    mc.set_line_cap(cairo.LINE_CAP_ROUND)
    mc.set_source_rgba(0, 0, 0, 1)
    mc.stroke()
    soft = blur(m, blur_radius)
    ctx.save()
    ctx.identity_matrix()
    source(ctx, colour, alpha)
    ctx.mask_surface(soft, 0, 0)
    ctx.restore()


# ------------------------------------------------------------ PNG and ICO

# UNPREMULTIPLY[a][v]: the straight channel of premultiplied value v at alpha a.
UNPREMULTIPLY = [bytes(256)] + [bytes(min(255, (v * 255 + a // 2) // a) for v in range(256))
                                for a in range(1, 256)]


def straight_rgba(surface):
    """The surface's pixels as straight RGBA bytes, row by row."""
    surface.flush()
    w, h, stride = surface.get_width(), surface.get_height(), surface.get_stride()
    data = bytes(surface.get_data())
    out = bytearray(w * h * 4)
    for y in range(h):
        row = data[y * stride:y * stride + w * 4]
        o = y * w * 4
        e = o + w * 4
        if sys.byteorder == "little":   # cairo stores native 32-bit ARGB words
            out[o:e:4], out[o + 1:e:4], out[o + 2:e:4], out[o + 3:e:4] = \
                row[2::4], row[1::4], row[0::4], row[3::4]
        else:
            out[o:e:4], out[o + 1:e:4], out[o + 2:e:4], out[o + 3:e:4] = \
                row[1::4], row[2::4], row[3::4], row[0::4]
        alpha = out[o + 3:e:4]
        for i, a in enumerate(alpha):
            if 0 < a < 255:
                t = UNPREMULTIPLY[a]
                j = o + 4 * i
                out[j] = t[out[j]]
                out[j + 1] = t[out[j + 1]]
                out[j + 2] = t[out[j + 2]]
    return out


def png_bytes(w, h, rgba_bytes):
    """An 8-bit RGBA PNG, each row with the 'Up' filter (small and exact)."""
    stride = w * 4
    rows = []
    prev = bytes(stride)
    for y in range(h):
        row = bytes(rgba_bytes[y * stride:(y + 1) * stride])
        rows.append(b"\x02" + bytes((a - b) & 0xFF for a, b in zip(row, prev)))
        prev = row
    raw = b"".join(rows)

    def chunk(tag, body):
        return struct.pack(">I", len(body)) + tag + body + struct.pack(">I", zlib.crc32(tag + body))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


class Picture:
    """A finished picture: size and straight RGBA bytes."""

    def __init__(self, w, h, rgba_bytes):
        self.w, self.h, self.rgba = w, h, rgba_bytes

    @classmethod
    def of(cls, surface):
        return cls(surface.get_width(), surface.get_height(), straight_rgba(surface))

    def surface(self):
        """Back to a (premultiplied) cairo surface, for the contact sheet."""
        s = new_surface(self.w, self.h)
        stride = s.get_stride()
        buf = bytearray(stride * self.h)
        for y in range(self.h):
            for x in range(self.w):
                i = (y * self.w + x) * 4
                r, g, b, a = self.rgba[i:i + 4]
                if a == 0:
                    continue
                r, g, b = (r * a + 127) // 255, (g * a + 127) // 255, (b * a + 127) // 255
                o = y * stride + x * 4
                if sys.byteorder == "little":
                    buf[o:o + 4] = bytes((b, g, r, a))
                else:
                    buf[o:o + 4] = bytes((a, r, g, b))
        s.get_data()[:] = bytes(buf)
        s.mark_dirty()
        return s

    def png(self):
        return png_bytes(self.w, self.h, self.rgba)


def ico_dib(pic):
    """A 32-bit icon image entry: BITMAPINFOHEADER, bottom-up BGRA, AND mask."""
    w, h = pic.w, pic.h
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for y in reversed(range(h)):
        for x in range(w):
            i = (y * w + x) * 4
            r, g, b, a = pic.rgba[i:i + 4]
            pixels += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(h)):
        row = bytearray(mask_stride)
        for x in range(w):
            if pic.rgba[(y * w + x) * 4 + 3] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(pixels) + bytes(mask)


def ico_bytes(pictures):
    """An .ico holding the pictures: PNG-compressed at 256, DIB below."""
    entries, blobs = [], []
    offset = 6 + 16 * len(pictures)
    for pic in pictures:
        blob = pic.png() if pic.w >= 256 else ico_dib(pic)
        entries.append(struct.pack("<BBBBHHII", pic.w % 256, pic.h % 256, 0, 0, 1, 32,
                                   len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(pictures)) + b"".join(entries) + b"".join(blobs)


# ------------------------------------------------------------ ring skins

def smoothstep(e0, e1, x):
    t = min(1.0, max(0.0, (x - e0) / (e1 - e0)))
    return t * t * (3 - 2 * t)


def bump(x, centre, width):
    return math.exp(-((x - centre) / width) ** 2)


def ring_alpha(r):
    """Alpha (0-167) of the ring at radius r: soft edges, half-way at 61 and
    147, and a brighter rim of glass just inside each edge."""
    edge = smoothstep(57.5, 64.5, r) * (1 - smoothstep(143.5, 150.5, r))
    body = 138 + 29 * bump(r, 65, 4.5) + 29 * bump(r, 142.5, 4.5)
    return min(167.0, body) * edge


def ring_whiteness(r):
    """How far the ring's colour is lifted toward white at radius r."""
    return 0.55 * bump(r, 60, 5) + 0.5 * bump(r, 148, 5)


def ring_skin():
    """The light-blue glass ring behind the inner ring of items (300 x 300)."""
    s, c = 300, 150.0
    colour = new_surface(s, s)
    cc = cairo.Context(colour)
    rmax = 213.0
    body = cairo.RadialGradient(c, c, 0, c, c, rmax)
    mask = cairo.RadialGradient(c, c, 0, c, c, rmax)
    for r in [0] + [50 + 0.5 * k for k in range(211)] + [rmax]:
        tint = light(RING_BLUE, ring_whiteness(r))
        tint = mix(tint, (96, 184, 220), 0.14 * bump(r, 104, 22))   # the glass is thickest mid-way
        body.add_color_stop_rgba(r / rmax, *rgba(tint))
        mask.add_color_stop_rgba(r / rmax, 0, 0, 0, ring_alpha(r) / 255)
    cc.set_source(body)
    cc.paint()
    # Light from the upper left, a deeper tint toward the lower right.
    cc.set_source(linear(40, 40, 260, 260,
                         (0, WHITE, 0.4), (0.45, WHITE, 0.0),
                         (0.55, (70, 160, 205), 0.0), (1, (70, 160, 205), 0.36)))
    cc.paint()
    # Soft glints: a long one on the upper left of the outer rim, a short
    # one on the inner rim opposite.
    glow_stroke(cc, lambda x: x.arc(c, c, 134, math.radians(192), math.radians(256)),
                9, 4, WHITE, 0.75)
    glow_stroke(cc, lambda x: x.arc(c, c, 72, math.radians(22), math.radians(68)),
                7, 3.5, WHITE, 0.6)

    out = new_surface(s, s)
    oc = cairo.Context(out)
    oc.set_source_surface(colour, 0, 0)
    oc.mask(mask)
    return Picture.of(out)


def thin_ring(ring):
    """The same ring, almost invisible: alpha scaled from at most 167 down to at most 17."""
    data = bytearray(ring.rgba)
    data[3::4] = bytes(a * 17 // 167 for a in ring.rgba[3::4])
    for i in range(0, len(data), 4):
        if data[i + 3] == 0:
            data[i:i + 3] = b"\0\0\0"
    return Picture(ring.w, ring.h, data)


def transparent(w, h):
    return Picture(px(w), px(h), bytearray(px(w) * px(h) * 4))


# ---------------------------------------------------------- center skins

HEX_COLOURS = (RED, ORANGE, YELLOW, GREEN, BLUE, VIOLET)


def hex_tile(ctx, cx, cy, r, colour, outline=0.06):
    pts = hexagon(cx, cy, r, 0)
    corner = r * 0.2

    def path(x):
        rpoly(x, pts, corner)

    path(ctx)
    ctx.set_source(linear(cx, cy - r, cx, cy + r, (0, light(colour, 0.32)), (0.5, colour),
                          (1, dark(colour, 0.16))))
    ctx.fill_preserve()
    source(ctx, dark(colour, 0.38), 0.9)
    ctx.set_line_width(max(0.6, r * outline))
    ctx.stroke()
    # A gloss across the upper half.
    ctx.save()
    rpoly(ctx, hexagon(cx, cy, r * 0.8, 0), corner * 0.8)
    ctx.clip()
    ctx.rectangle(cx - r, cy - r, 2 * r, r * 0.92)
    ctx.set_source(linear(cx, cy - r, cx, cy, (0, WHITE, 0.55), (1, WHITE, 0.05)))
    ctx.fill()
    ctx.restore()


def hex_emblem(ctx, cx, cy, size, shadow_alpha=0.35):
    """Quorvel's emblem: six coloured hexagons around a pearl one."""
    gap = size * 0.045
    r = size / (SQRT3 + 1 + 0.1)
    d = SQRT3 * r + gap
    centres = [(cx + d * math.cos(math.radians(-90 + 60 * k)),
                cy + d * math.sin(math.radians(-90 + 60 * k))) for k in range(6)]

    def all_hexes(x):
        for hx, hy in centres + [(cx, cy)]:
            rpoly(x, hexagon(hx, hy, r, 0), r * 0.2)

    shadow(ctx, all_hexes, max(1.5, size * 0.06), 0, max(1.0, size * 0.045),
           alpha=shadow_alpha)
    for (hx, hy), colour in zip(centres, HEX_COLOURS):
        hex_tile(ctx, hx, hy, r, colour)
    hex_tile(ctx, cx, cy, r, (236, 241, 247))


def flag_emblem(ctx, cx, cy, size):
    """A waving flag of four rounded panes: red, green, blue and yellow."""
    w = size * 1.9
    h = size * 1.62
    gap = size * 0.09
    amp = size * 0.1
    x0, x1 = cx - w / 2, cx + w / 2

    def wave(x):
        t = (x - x0) / w
        return amp * math.sin(t * math.pi * 1.6 - 0.55) + size * 0.05 * t

    def pane(x, left, right, top, bottom, corner):
        # top(xx) and bottom(xx): edge heights; rounded corners of about `corner`
        n = 14
        x.move_to(left + corner, top(left + corner))
        for k in range(1, n + 1):
            xx = left + corner + (right - left - 2 * corner) * k / n
            x.line_to(xx, top(xx))
        x.curve_to(right, top(right), right, top(right), right, top(right) + corner)
        x.line_to(right, bottom(right) - corner)
        x.curve_to(right, bottom(right), right, bottom(right), right - corner, bottom(right - corner))
        for k in range(1, n + 1):
            xx = right - corner - (right - left - 2 * corner) * k / n
            x.line_to(xx, bottom(xx))
        x.curve_to(left, bottom(left), left, bottom(left), left, bottom(left) - corner)
        x.line_to(left, top(left) + corner)
        x.curve_to(left, top(left), left, top(left), left + corner, top(left + corner))
        x.close_path()

    top = cy - h / 2
    mid = cy
    panes = (
        (x0, cx - gap / 2, lambda xx: top + wave(xx), lambda xx: mid - gap / 2 + wave(xx), RED),
        (cx + gap / 2, x1, lambda xx: top + wave(xx), lambda xx: mid - gap / 2 + wave(xx), GREEN),
        (x0, cx - gap / 2, lambda xx: mid + gap / 2 + wave(xx), lambda xx: top + h + wave(xx), BLUE),
        (cx + gap / 2, x1, lambda xx: mid + gap / 2 + wave(xx), lambda xx: top + h + wave(xx), YELLOW),
    )
    corner = size * 0.12

    def all_panes(x):
        for left, right, t, b, _ in panes:
            pane(x, left, right, t, b, corner)

    shadow(ctx, all_panes, max(1.5, size * 0.06), 0, max(1.0, size * 0.05), alpha=0.35)
    for left, right, t, b, colour in panes:
        pane(ctx, left, right, t, b, corner)
        ctx.set_source(linear(left, t(left), right, b(right),
                              (0, light(colour, 0.3)), (0.55, colour), (1, dark(colour, 0.14))))
        ctx.fill_preserve()
        source(ctx, dark(colour, 0.35), 0.85)
        ctx.set_line_width(max(0.6, size * 0.028))
        ctx.stroke()
    # One sheen across the whole flag.
    ctx.save()
    all_panes(ctx)
    ctx.clip()
    ctx.set_source(linear(x0, top, x0 + w * 0.5, top + h * 0.9, (0, WHITE, 0.3), (0.5, WHITE, 0.08),
                          (0.51, WHITE, 0), (1, WHITE, 0)))
    ctx.paint()
    ctx.restore()


def glass_button(ctx, cx, cy, r, face_light, face_dark, emblem):
    """A round glass button of radius r with a metal bezel; emblem(ctx) draws
    the picture on its face under the gloss."""
    shadow(ctx, lambda x: circle(x, cx, cy, r), r * 0.09, 0, r * 0.05, alpha=0.5)
    # Bezel.
    circle(ctx, cx, cy, r)
    ctx.set_source(linear(cx, cy - r, cx, cy + r, (0, (252, 253, 255)), (0.5, (214, 219, 226)),
                          (1, (150, 158, 170))))
    ctx.fill()
    circle(ctx, cx, cy, r - 0.5)
    source(ctx, (88, 96, 110), 0.55)
    ctx.set_line_width(1.0)
    ctx.stroke()
    fr = r * 0.885
    # The face sits a little lower than the bezel.
    circle(ctx, cx, cy, fr + 1.2)
    ctx.set_source(linear(cx, cy - fr, cx, cy + fr, (0, (128, 136, 150)), (1, (246, 248, 251))))
    ctx.fill()
    circle(ctx, cx, cy, fr)
    ctx.set_source(radial(cx - fr * 0.3, cy - fr * 0.45, 0, cx, cy, fr * 1.25,
                          (0, face_light), (1, face_dark)))
    ctx.fill()
    ctx.save()
    circle(ctx, cx, cy, fr)
    ctx.clip()
    # Light gathered at the bottom of the glass, a shade under the top edge.
    ctx.set_source(radial(cx, cy + fr * 0.95, 0, cx, cy + fr * 0.95, fr * 0.9,
                          (0, WHITE, 0.55), (1, WHITE, 0)))
    ctx.paint()
    ctx.set_source(radial(cx, cy + fr * 0.1, fr * 0.9, cx, cy + fr * 0.1, fr * 1.15,
                          (0, BLACK, 0), (1, BLACK, 0.3)))
    ctx.paint()
    emblem(ctx)
    # The gloss: a lens of light over the upper half.
    ellipse(ctx, cx, cy - fr * 0.47, fr * 0.86, fr * 0.56)
    ctx.set_source(linear(cx, cy - fr * 1.03, cx, cy + fr * 0.1, (0, WHITE, 0.85),
                          (0.55, WHITE, 0.22), (1, WHITE, 0.04)))
    ctx.fill()
    ctx.restore()


def center_skin(kind):
    s = 115
    surf = new_surface(s, s)
    ctx = cairo.Context(surf)
    c = s / 2
    if kind == "GRAYGROUNDCENTER":
        glass_button(ctx, c, c - 1.5, 51, (226, 230, 236), (150, 158, 170),
                     lambda x: hex_emblem(x, c, c - 1.5, 35))
    elif kind == "WINCENTER":
        glass_button(ctx, c, c - 1.5, 51, (244, 248, 252), (176, 192, 212),
                     lambda x: flag_emblem(x, c, c - 1.5, 23))
    elif kind == "PURITYCENTER":
        hex_emblem(ctx, c, c - 1, 46, shadow_alpha=0.45)
    return Picture.of(surf)


# ------------------------------------------------------------------ clock

def clock_face():
    s = CLOCK
    surf = new_surface(s, s)
    ctx = cairo.Context(surf)
    c = s / 2
    shadow(ctx, lambda x: circle(x, c, c, 110), 5, 0, 3, alpha=0.45)
    # Bezel, then a groove that catches the light the other way.
    circle(ctx, c, c, 111)
    ctx.set_source(linear(c, c - 111, c, c + 111, (0, (252, 253, 255)), (0.5, (210, 216, 224)),
                          (1, (138, 147, 160))))
    ctx.fill()
    circle(ctx, c, c, 110.5)
    source(ctx, (80, 88, 102), 0.6)
    ctx.set_line_width(1)
    ctx.stroke()
    circle(ctx, c, c, 104.5)
    ctx.set_source(linear(c, c - 104, c, c + 104, (0, (112, 120, 134)), (1, (246, 248, 251))))
    ctx.fill()
    # Dial.
    circle(ctx, c, c, 101.5)
    ctx.set_source(radial(c, c - 30, 0, c, c, 110, (0, WHITE), (0.7, (246, 248, 250)),
                          (1, (222, 228, 236))))
    ctx.fill()
    ctx.save()
    circle(ctx, c, c, 101.5)
    ctx.clip()
    ctx.set_source(radial(c, c + 6, 92, c, c + 6, 106, (0, BLACK, 0), (1, BLACK, 0.22)))
    ctx.paint()
    ctx.restore()
    # A fine light-blue chapter ring.
    circle(ctx, c, c, 97.5)
    source(ctx, light(BLUE, 0.35), 0.55)
    ctx.set_line_width(1.2)
    ctx.stroke()
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    for i in range(60):
        a = i * TAU / 60 - math.pi / 2
        ca, sa = math.cos(a), math.sin(a)
        if i % 15 == 0:
            r0, r1, width, colour = 70, 93, 7.0, INK
        elif i % 5 == 0:
            r0, r1, width, colour = 78, 93, 5.0, INK
        else:
            r0, r1, width, colour = 88, 93, 1.8, (124, 134, 148)
        ctx.move_to(c + ca * r0, c + sa * r0)
        ctx.line_to(c + ca * r1, c + sa * r1)
        source(ctx, colour)
        ctx.set_line_width(width)
        ctx.stroke()
    # The brand's blue at twelve.
    ctx.move_to(c, c - 70)
    ctx.line_to(c, c - 93)
    source(ctx, BLUE)
    ctx.set_line_width(7)
    ctx.stroke()
    return Picture.of(surf)


def hand(kind):
    """A hand as a strip a tenth of the clock wide: pivot at the middle of the
    strip, pointing up."""
    w, h = CLOCK // 10, CLOCK
    surf = new_surface(w, h)
    ctx = cairo.Context(surf)
    cx, cy = w / 2, h / 2
    if kind == "s":
        def path(x):
            x.move_to(cx - 1.1, cy + 30)
            x.line_to(cx - 0.9, cy - 96)
            x.line_to(cx + 0.9, cy - 96)
            x.line_to(cx + 1.1, cy + 30)
            x.close_path()
            circle(x, cx, cy + 21, 4.6)
        shadow(ctx, path, 2, 0, 0, alpha=0.3)
        path(ctx)
        source(ctx, (218, 50, 40))
        ctx.fill()
        circle(ctx, cx, cy + 21, 2.4)
        source(ctx, (255, 170, 160), 0.55)
        ctx.fill()
        return Picture.of(surf)
    if kind == "h":
        tail, base, tip_w, tip, point = 20, 5.6, 2.6, 60, 52
        colour = (34, 40, 50)
    else:
        tail, base, tip_w, tip, point = 22, 4.3, 1.7, 88, 82
        colour = (44, 52, 64)

    def path(x):
        x.move_to(cx - base * 0.62, cy + tail - 2)
        x.line_to(cx - base, cy)
        x.line_to(cx - tip_w, cy - tip)
        x.curve_to(cx - tip_w * 0.6, cy - point - 2, cx - 0.6, cy - point - 4, cx, cy - point - 4)
        x.curve_to(cx + 0.6, cy - point - 4, cx + tip_w * 0.6, cy - point - 2, cx + tip_w, cy - tip)
        x.line_to(cx + base, cy)
        x.line_to(cx + base * 0.62, cy + tail - 2)
        x.curve_to(cx + base * 0.6, cy + tail + 1, cx - base * 0.6, cy + tail + 1,
                   cx - base * 0.62, cy + tail - 2)
        x.close_path()

    shadow(ctx, path, 2.5, 0, 0, alpha=0.4)
    path(ctx)
    ctx.set_source(linear(cx - base, 0, cx + base, 0, (0, light(colour, 0.3)), (0.5, colour),
                          (0.51, dark(colour, 0.25)), (1, dark(colour, 0.2))))
    ctx.fill()
    # A lit ridge down the middle.
    ctx.move_to(cx - 0.3, cy - 4)
    ctx.line_to(cx - 0.3, cy - tip + 4)
    source(ctx, WHITE, 0.22)
    ctx.set_line_width(0.9)
    ctx.stroke()
    return Picture.of(surf)


def clock_dot():
    w, h = CLOCK // 10, CLOCK
    surf = new_surface(w, h)
    ctx = cairo.Context(surf)
    cx, cy = w / 2, h / 2
    shadow(ctx, lambda x: circle(x, cx, cy, 7.5), 2, 0, 0.8, alpha=0.45)
    circle(ctx, cx, cy, 7.5)
    ctx.set_source(radial(cx - 2.5, cy - 3, 0, cx, cy, 8, (0, (250, 251, 253)), (0.55, (170, 178, 190)),
                          (1, (70, 78, 92))))
    ctx.fill()
    circle(ctx, cx, cy, 3.4)
    ctx.set_source(radial(cx - 1, cy - 1.2, 0, cx, cy, 3.6, (0, (255, 120, 108)), (1, (196, 40, 32))))
    ctx.fill()
    return Picture.of(surf)


def clock_highlights():
    s = CLOCK
    surf = new_surface(s, s)
    ctx = cairo.Context(surf)
    c = s / 2
    ctx.save()
    circle(ctx, c, c, 101)
    ctx.clip()
    # A broad reflection of a window over the upper dial.
    ellipse(ctx, c, c - 44, 99, 62)
    ctx.set_source(linear(c, c - 106, c, c + 18, (0, WHITE, 0.62), (0.5, WHITE, 0.2), (1, WHITE, 0.0)))
    ctx.fill()
    # A thin bright rim of light at the bottom of the glass.
    circle(ctx, c, c, 101)
    circle(ctx, c, c - 7, 101)
    ctx.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
    ctx.set_source(linear(c, c + 60, c, c + 101, (0, WHITE, 0), (1, WHITE, 0.5)))
    ctx.fill()
    ctx.restore()
    return Picture.of(surf)


# ----------------------------------------------------- system-tool pictures

def tool_surface():
    surf = new_surface(SYSTOOL, SYSTOOL)
    return surf, cairo.Context(surf)


def outline(ctx, colour, width=2.2, a=0.85):
    source(ctx, colour, a)
    ctx.set_line_width(width)
    ctx.stroke()


def help_picture():
    surf, ctx = tool_surface()

    def tile(x):
        rrect(x, 12, 12, 104, 104, 26)

    shadow(ctx, tile, 5, 0, 4, alpha=0.4)
    tile(ctx)
    ctx.set_source(linear(0, 12, 0, 116, (0, (104, 186, 250)), (1, (34, 108, 204))))
    ctx.fill_preserve()
    outline(ctx, (26, 84, 164), 2.2, 0.9)
    ctx.save()
    tile(ctx)
    ctx.clip()
    ctx.set_source(radial(64, 126, 0, 64, 126, 60, (0, (150, 220, 255), 0.6), (1, (150, 220, 255), 0)))
    ctx.paint()
    ctx.restore()

    def mark(x):
        x.new_sub_path()
        x.arc(64, 50, 18, math.radians(192), math.radians(380))
        x.curve_to(64 + 18 * math.cos(math.radians(20)) - 3, 72, 64, 66, 64, 78)

    def dot(x):
        circle(x, 64, 96, 7.5)

    # The mark's shadow, then the mark lifted a little above it.
    glow_stroke(ctx, mark, 13, 2.5, (10, 50, 120), 0.45)
    shadow(ctx, dot, 2.5, 0, 2.5, colour=(10, 50, 120), alpha=0.45)
    ctx.save()
    ctx.translate(0, -1.5)
    mark(ctx)
    ctx.set_line_width(13)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    source(ctx, WHITE)
    ctx.stroke()
    dot(ctx)
    ctx.fill()
    ctx.restore()
    gloss_tile(ctx, 12, 12, 104, 104, 26)
    return Picture.of(surf)


def gloss_tile(ctx, x, y, w, h, r):
    ctx.save()
    rrect(ctx, x, y, w, h, r)
    ctx.clip()
    ellipse(ctx, x + w / 2, y + h * 0.08, w * 0.72, h * 0.5)
    ctx.set_source(linear(0, y, 0, y + h * 0.58, (0, WHITE, 0.55), (1, WHITE, 0.06)))
    ctx.fill()
    ctx.restore()
    rrect(ctx, x + 1.6, y + 1.6, w - 3.2, h - 3.2, r - 1.6)
    ctx.set_source(linear(0, y, 0, y + h, (0, WHITE, 0.6), (0.5, WHITE, 0.0), (1, WHITE, 0.15)))
    ctx.set_line_width(1.6)
    ctx.stroke()


def folder_picture(body, paper):
    surf, ctx = tool_surface()
    edge = dark(body, 0.42)

    def back(x):
        rpoly(x, [(10, 20), (50, 20), (58, 30), (118, 30), (118, 108), (10, 108)], 7)

    def front(x):
        rpoly(x, [(10, 44), (118, 44), (118, 110), (10, 110)], 7)

    def whole(x):
        back(x)
        front(x)

    shadow(ctx, whole, 5, 0, 4, alpha=0.38)
    back(ctx)
    ctx.set_source(linear(0, 20, 0, 108, (0, dark(body, 0.06)), (1, dark(body, 0.3))))
    ctx.fill_preserve()
    outline(ctx, edge)
    if paper:
        ctx.save()
        ctx.translate(64, 60)
        ctx.rotate(math.radians(-4))

        def sheet(x):
            rrect(x, -40, -34, 80, 70, 4)
        shadow(ctx, sheet, 2.5, 0, 1.5, alpha=0.3)
        sheet(ctx)
        ctx.set_source(linear(0, -34, 0, 30, (0, WHITE), (1, (226, 232, 240))))
        ctx.fill_preserve()
        outline(ctx, (140, 152, 168), 1.6)
        rrect(ctx, -32, -26, 30, 8, 2)
        source(ctx, BLUE)
        ctx.fill()
        for k in range(4):
            ctx.move_to(-32, -10 + 9 * k)
            ctx.line_to(30 - (14 if k == 3 else 0), -10 + 9 * k)
        source(ctx, (150, 162, 178))
        ctx.set_line_width(3.2)
        ctx.set_line_cap(cairo.LINE_CAP_ROUND)
        ctx.stroke()
        ctx.restore()
    else:
        # The inside of the folder.
        rpoly(ctx, [(16, 36), (112, 36), (112, 100), (16, 100)], 4)
        ctx.set_source(linear(0, 36, 0, 60, (0, (255, 253, 246)), (1, (236, 232, 220))))
        ctx.fill()
    # The front flap leans toward the viewer.
    ctx.save()
    shadow(ctx, lambda x: rpoly(x, [(8, 46), (120, 46), (116, 110), (12, 110)], 7),
           3, 0, -1.5, alpha=0.25)
    rpoly(ctx, [(8, 46), (120, 46), (116, 110), (12, 110)], 7)
    ctx.set_source(linear(0, 46, 0, 110, (0, light(body, 0.3)), (0.5, body), (1, dark(body, 0.1))))
    ctx.fill_preserve()
    outline(ctx, edge)
    rpoly(ctx, [(10.5, 48.5), (117.5, 48.5), (114, 107.5), (14, 107.5)], 5.5)
    ctx.set_source(linear(0, 48, 0, 108, (0, WHITE, 0.7), (0.25, WHITE, 0.0), (1, WHITE, 0.12)))
    ctx.set_line_width(1.6)
    ctx.stroke()
    ctx.restore()
    return Picture.of(surf)


def monitor(ctx, x, y, w, h, screen_top, screen_bottom, stand=True):
    """A flat monitor with a screen of the given colours; returns the screen box."""
    unit = w / 104

    def body(c):
        rrect(c, x, y, w, h, 8 * unit)
        if stand:
            c.move_to(x + w / 2 - 10 * unit, y + h - 2)
            c.line_to(x + w / 2 + 10 * unit, y + h - 2)
            c.line_to(x + w / 2 + 14 * unit, y + h + 14 * unit)
            c.line_to(x + w / 2 - 14 * unit, y + h + 14 * unit)
            c.close_path()
            rrect(c, x + w / 2 - 30 * unit, y + h + 11 * unit, 60 * unit, 10 * unit, 5 * unit)

    shadow(ctx, body, 5 * unit, 0, 4 * unit, alpha=0.4)
    if stand:
        ctx.move_to(x + w / 2 - 10 * unit, y + h - 2)
        ctx.line_to(x + w / 2 + 10 * unit, y + h - 2)
        ctx.line_to(x + w / 2 + 14 * unit, y + h + 14 * unit)
        ctx.line_to(x + w / 2 - 14 * unit, y + h + 14 * unit)
        ctx.close_path()
        ctx.set_source(linear(x + w / 2 - 14 * unit, 0, x + w / 2 + 14 * unit, 0,
                              (0, (150, 158, 172)), (0.4, (214, 220, 228)), (1, (118, 126, 140))))
        ctx.fill()
        rrect(ctx, x + w / 2 - 30 * unit, y + h + 11 * unit, 60 * unit, 10 * unit, 5 * unit)
        ctx.set_source(linear(0, y + h + 11 * unit, 0, y + h + 21 * unit,
                              (0, (236, 240, 245)), (1, (140, 150, 164))))
        ctx.fill_preserve()
        outline(ctx, (84, 94, 110), 1.6 * max(unit, 0.6), 0.8)
    rrect(ctx, x, y, w, h, 8 * unit)
    ctx.set_source(linear(0, y, 0, y + h, (0, (84, 92, 108)), (1, (34, 40, 50))))
    ctx.fill_preserve()
    outline(ctx, (22, 26, 34), 2.0 * max(unit, 0.6), 0.9)
    b = 7 * unit
    sx, sy, sw, sh = x + b, y + b, w - 2 * b, h - 2 * b
    rrect(ctx, sx, sy, sw, sh, 3 * unit)
    ctx.set_source(linear(0, sy, 0, sy + sh, (0, screen_top), (1, screen_bottom)))
    ctx.fill()
    return sx, sy, sw, sh


def my_computer_picture():
    surf, ctx = tool_surface()
    sx, sy, sw, sh = monitor(ctx, 12, 14, 104, 76, (104, 190, 248), (30, 104, 198))
    ctx.save()
    rrect(ctx, sx, sy, sw, sh, 3)
    ctx.clip()
    # A calm landscape of two hills and the house ring on the screen.
    ctx.move_to(sx, sy + sh * 0.7)
    ctx.curve_to(sx + sw * 0.3, sy + sh * 0.5, sx + sw * 0.55, sy + sh * 0.62, sx + sw, sy + sh * 0.48)
    ctx.line_to(sx + sw, sy + sh)
    ctx.line_to(sx, sy + sh)
    ctx.close_path()
    source(ctx, (120, 210, 240), 0.75)
    ctx.fill()
    ctx.move_to(sx, sy + sh * 0.86)
    ctx.curve_to(sx + sw * 0.35, sy + sh * 0.7, sx + sw * 0.7, sy + sh * 0.9, sx + sw, sy + sh * 0.76)
    ctx.line_to(sx + sw, sy + sh)
    ctx.line_to(sx, sy + sh)
    ctx.close_path()
    source(ctx, (190, 236, 250), 0.8)
    ctx.fill()
    circle(ctx, sx + sw * 0.74, sy + sh * 0.3, sh * 0.16)
    source(ctx, WHITE, 0.9)
    ctx.set_line_width(3)
    ctx.stroke()
    # Glare.
    ctx.move_to(sx, sy)
    ctx.line_to(sx + sw * 0.62, sy)
    ctx.line_to(sx + sw * 0.3, sy + sh)
    ctx.line_to(sx, sy + sh)
    ctx.close_path()
    ctx.set_source(linear(sx, sy, sx + sw * 0.5, sy + sh, (0, WHITE, 0.3), (1, WHITE, 0.04)))
    ctx.fill()
    ctx.restore()
    # Bezel highlight.
    rrect(ctx, 13.5, 15.5, 101, 73, 7)
    ctx.set_source(linear(0, 14, 0, 90, (0, WHITE, 0.35), (0.2, WHITE, 0), (1, WHITE, 0)))
    ctx.set_line_width(1.4)
    ctx.stroke()
    return Picture.of(surf)


def globe(ctx, cx, cy, r):
    shadow(ctx, lambda x: circle(x, cx, cy, r), r * 0.12, 0, r * 0.09, alpha=0.4)
    circle(ctx, cx, cy, r)
    ctx.set_source(radial(cx - r * 0.35, cy - r * 0.4, 0, cx, cy, r * 1.05,
                          (0, (130, 214, 252)), (0.6, (46, 142, 222)), (1, (22, 82, 170))))
    ctx.fill()
    ctx.save()
    circle(ctx, cx, cy, r)
    ctx.clip()
    source(ctx, (200, 240, 255), 0.55)
    ctx.set_line_width(max(1.0, r * 0.055))
    for k in (0.0, 0.45, 0.82):
        ellipse(ctx, cx, cy, r * max(k, 0.001), r)
        if k == 0.0:
            ctx.new_path()
            ctx.move_to(cx, cy - r)
            ctx.line_to(cx, cy + r)
        ctx.stroke()
    for t in (-0.55, 0.0, 0.55):
        y = cy + r * t
        half = r * math.sqrt(1 - t * t)
        ctx.move_to(cx - half, y)
        ctx.curve_to(cx - half * 0.5, y + r * 0.08, cx + half * 0.5, y + r * 0.08, cx + half, y)
        ctx.stroke()
    ellipse(ctx, cx - r * 0.12, cy - r * 0.5, r * 0.7, r * 0.42)
    ctx.set_source(linear(0, cy - r, 0, cy - r * 0.1, (0, WHITE, 0.6), (1, WHITE, 0.02)))
    ctx.fill()
    ctx.restore()
    circle(ctx, cx, cy, r)
    outline(ctx, (18, 70, 150), max(1.0, r * 0.05), 0.85)


def my_network_picture():
    surf, ctx = tool_surface()
    globe(ctx, 52, 50, 40)
    # The neighbour: a small monitor joined to the globe by a cable.
    ctx.move_to(52, 92)
    ctx.curve_to(52, 112, 70, 114, 84, 112)
    source(ctx, (70, 80, 96))
    ctx.set_line_width(3.2)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.stroke()
    sx, sy, sw, sh = monitor(ctx, 64, 62, 56, 40, (130, 226, 196), (26, 150, 128))
    ctx.save()
    rrect(ctx, sx, sy, sw, sh, 2)
    ctx.clip()
    ctx.move_to(sx, sy)
    ctx.line_to(sx + sw * 0.6, sy)
    ctx.line_to(sx + sw * 0.3, sy + sh)
    ctx.line_to(sx, sy + sh)
    ctx.close_path()
    source(ctx, WHITE, 0.22)
    ctx.fill()
    ctx.restore()
    return Picture.of(surf)


def recycle_bin_picture():
    surf, ctx = tool_surface()
    top, bottom = 32, 114
    tl, tr, bl, br = 26, 102, 34, 94

    def body(x):
        rpoly(x, [(tl, top), (tr, top), (br, bottom), (bl, bottom)], 8)

    def lid(x):
        rrect(x, 18, 20, 92, 15, 6)
        rrect(x, 48, 11, 32, 12, 5)

    def whole(x):
        body(x)
        lid(x)

    shadow(ctx, whole, 5, 0, 4, alpha=0.4)
    body(ctx)
    ctx.set_source(linear(tl, 0, tr, 0, (0, (198, 210, 224)), (0.35, (246, 249, 252)),
                          (0.7, (206, 216, 228)), (1, (142, 156, 176))))
    ctx.fill_preserve()
    outline(ctx, (86, 100, 122))
    # Ribs.
    ctx.save()
    body(ctx)
    ctx.clip()
    for k in range(1, 5):
        t = k / 5
        xt = tl + (tr - tl) * t
        xb = bl + (br - bl) * t
        ctx.move_to(xt, top + 8)
        ctx.line_to(xb, bottom - 8)
        source(ctx, (90, 106, 130), 0.35)
        ctx.set_line_width(2.6)
        ctx.stroke()
        ctx.move_to(xt + 2.2, top + 8)
        ctx.line_to(xb + 2.0, bottom - 8)
        source(ctx, WHITE, 0.7)
        ctx.set_line_width(1.4)
        ctx.stroke()
    ctx.restore()
    # Recycling badge: two chasing arrows round a circle.
    bx, by, r = 64, 74, 17
    circle(ctx, bx, by, r + 7)
    source(ctx, WHITE, 0.92)
    ctx.fill_preserve()
    outline(ctx, (120, 136, 158), 1.4, 0.7)
    green = (60, 168, 72)
    for k in range(2):
        a0 = math.radians(-70 + 180 * k)
        a1 = a0 + math.radians(120)
        ctx.new_sub_path()
        ctx.arc(bx, by, r - 4, a0, a1)
        source(ctx, green)
        ctx.set_line_width(5.5)
        ctx.set_line_cap(cairo.LINE_CAP_BUTT)
        ctx.stroke()
        hx, hy = bx + (r - 4) * math.cos(a1), by + (r - 4) * math.sin(a1)
        tx, ty = -math.sin(a1), math.cos(a1)          # tangent, direction of travel
        nx, ny = math.cos(a1), math.sin(a1)           # outward normal
        ctx.move_to(hx + tx * 8, hy + ty * 8)
        ctx.line_to(hx + nx * 6.5, hy + ny * 6.5)
        ctx.line_to(hx - nx * 6.5, hy - ny * 6.5)
        ctx.close_path()
        ctx.fill()
    # Lid.
    rrect(ctx, 48, 11, 32, 12, 5)
    rrect(ctx, 54, 16, 20, 7, 2)
    ctx.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
    ctx.set_source(linear(0, 11, 0, 23, (0, (190, 200, 214)), (1, (110, 124, 146))))
    ctx.fill_preserve()
    ctx.set_fill_rule(cairo.FILL_RULE_WINDING)
    outline(ctx, (76, 90, 112), 1.8)
    rrect(ctx, 18, 20, 92, 15, 6)
    ctx.set_source(linear(0, 20, 0, 35, (0, (236, 241, 247)), (0.5, (186, 198, 214)),
                          (1, (126, 140, 162))))
    ctx.fill_preserve()
    outline(ctx, (76, 90, 112))
    return Picture.of(surf)


def control_panel_picture():
    surf, ctx = tool_surface()

    def tile(x):
        rrect(x, 12, 12, 104, 104, 22)

    shadow(ctx, tile, 5, 0, 4, alpha=0.4)
    tile(ctx)
    ctx.set_source(linear(0, 12, 0, 116, (0, (250, 252, 254)), (1, (204, 214, 228))))
    ctx.fill_preserve()
    outline(ctx, (112, 126, 148))
    for y, knob, colour in ((40, 82, RED), (64, 46, GREEN), (88, 68, BLUE)):
        rrect(ctx, 28, y - 3.5, 72, 7, 3.5)
        ctx.set_source(linear(0, y - 3.5, 0, y + 3.5, (0, (120, 132, 150)), (1, (178, 188, 204))))
        ctx.fill()
        rrect(ctx, 28, y - 3.5, knob - 28, 7, 3.5)
        ctx.set_source(linear(0, y - 3.5, 0, y + 3.5, (0, dark(colour, 0.15)), (1, light(colour, 0.2))))
        ctx.fill()
        shadow(ctx, lambda x, k=knob, yy=y: circle(x, k, yy, 10), 2.2, 0, 2, alpha=0.4)
        circle(ctx, knob, y, 10)
        ctx.set_source(radial(knob - 3, y - 4, 0, knob, y, 11, (0, light(colour, 0.55)), (0.6, colour),
                              (1, dark(colour, 0.2))))
        ctx.fill_preserve()
        outline(ctx, dark(colour, 0.45), 1.6)
        ellipse(ctx, knob, y - 4.5, 6, 3.6)
        source(ctx, WHITE, 0.5)
        ctx.fill()
    gloss_tile(ctx, 12, 12, 104, 104, 22)
    return Picture.of(surf)


# ------------------------------------------------------------ dock theme

# The bar's body spans rows 13-86 of the 100-row picture, the same distance
# from both edges: 25 rows hang off the screen at either edge, which leaves
# the items (rows 31-80 at the top, 19-68 at the bottom) six pixels of body
# beyond them on the inner side and the screen's edge on the other.
BODY_TOP, BODY_BOTTOM = 13, 87
THEME_DRAW_W = 400


def theme_from_wide(full):
    """Caps from the ends of a wide drawing, the middle from its centre
    column, so every middle column is the same and the middle stretches cleanly."""
    wide, h = full.w, full.h
    cap, width = px(25), px(THEME_W)
    out = bytearray(width * h * 4)
    centre = wide // 2
    for y in range(h):
        src = full.rgba[y * wide * 4:(y + 1) * wide * 4]
        row = bytearray(src[:cap * 4])
        row += src[centre * 4:centre * 4 + 4] * (width - 2 * cap)
        row += src[(wide - cap) * 4:]
        out[y * width * 4:(y + 1) * width * 4] = row
    return Picture(width, h, out)


def theme_canvas(radius, inset_x, shadow_blur, shadow_alpha, shadow_colour=BLACK):
    """A wide surface with a soft shadow all round the body (never under it,
    so translucent bodies stay clean) and a function tracing the body."""
    wide, h = THEME_DRAW_W, THEME_H
    surf = new_surface(wide, h)
    ctx = cairo.Context(surf)

    def body(x, grow=0.0):
        rrect(x, inset_x - grow, BODY_TOP - grow, wide - 2 * inset_x + 2 * grow,
              BODY_BOTTOM - BODY_TOP + 2 * grow, radius + grow)

    if shadow_alpha > 0:
        ctx.save()
        ctx.rectangle(0, 0, wide, h)
        body(ctx)
        ctx.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
        ctx.clip()
        shadow(ctx, body, shadow_blur, 0, 0, colour=shadow_colour, alpha=shadow_alpha)
        ctx.restore()
    return surf, ctx, body


def theme_default():
    """Frosted light-blue glass in the ring's colour: translucent, a bright
    rim just inside the edge, a soft band of light through the middle."""
    surf, ctx, body = theme_canvas(radius=16, inset_x=4.5, shadow_blur=3.5, shadow_alpha=0.42,
                                   shadow_colour=(10, 40, 70))
    top, bottom = BODY_TOP, BODY_BOTTOM
    body(ctx)
    ctx.set_source(linear(0, top, 0, bottom,
                          (0, (214, 240, 252), 0.80), (0.5, (150, 206, 234), 0.66),
                          (1, (200, 232, 248), 0.78)))
    ctx.fill()
    ctx.save()
    body(ctx)
    ctx.clip()
    mid = (top + bottom) / 2
    ctx.rectangle(0, mid - 14, THEME_DRAW_W, 28)
    ctx.set_source(linear(0, mid - 14, 0, mid + 14, (0, WHITE, 0), (0.5, WHITE, 0.20), (1, WHITE, 0)))
    ctx.fill()
    ctx.restore()
    ctx.save()
    body(ctx, -1.3)
    source(ctx, WHITE, 0.8)
    ctx.set_line_width(1.4)
    ctx.stroke()
    ctx.restore()
    body(ctx, 0.5)
    source(ctx, (28, 70, 110), 0.6)
    ctx.set_line_width(1.0)
    ctx.stroke()
    return theme_from_wide(Picture.of(surf))


def theme_glass():
    """Dark smoked glass: deep and translucent, a fine light edge and a
    faint sheen, so light and dark desktops both read through it."""
    surf, ctx, body = theme_canvas(radius=14, inset_x=4.5, shadow_blur=4.0, shadow_alpha=0.55)
    top, bottom = BODY_TOP, BODY_BOTTOM
    body(ctx)
    ctx.set_source(linear(0, top, 0, bottom,
                          (0, (58, 64, 78), 0.84), (0.45, (26, 30, 40), 0.80),
                          (1, (16, 18, 26), 0.86)))
    ctx.fill()
    ctx.save()
    body(ctx)
    ctx.clip()
    # A sheen over the upper part, and a cool glow along the lower edge.
    ctx.rectangle(0, top, THEME_DRAW_W, (bottom - top) * 0.5)
    ctx.set_source(linear(0, top, 0, top + (bottom - top) * 0.5, (0, WHITE, 0.16), (1, WHITE, 0.0)))
    ctx.fill()
    ctx.rectangle(0, bottom - 16, THEME_DRAW_W, 16)
    ctx.set_source(linear(0, bottom - 16, 0, bottom, (0, (90, 170, 255), 0.0), (1, (90, 170, 255), 0.20)))
    ctx.fill()
    ctx.restore()
    ctx.save()
    body(ctx, -1.0)
    ctx.set_source(linear(0, top, 0, bottom, (0, WHITE, 0.42), (0.5, WHITE, 0.10), (1, WHITE, 0.24)))
    ctx.set_line_width(1.0)
    ctx.stroke()
    ctx.restore()
    body(ctx, 0.5)
    source(ctx, BLACK, 0.75)
    ctx.set_line_width(1.0)
    ctx.stroke()
    return theme_from_wide(Picture.of(surf))


def theme_flat():
    """Light and flat: a near-white plate with a hairline border and a
    short, soft shadow, no gloss."""
    surf, ctx, body = theme_canvas(radius=10, inset_x=5.5, shadow_blur=3.0, shadow_alpha=0.24,
                                   shadow_colour=(30, 40, 60))
    body(ctx)
    source(ctx, (246, 247, 250), 0.94)
    ctx.fill()
    body(ctx, -0.5)
    source(ctx, (170, 178, 192), 0.9)
    ctx.set_line_width(1.0)
    ctx.stroke()
    return theme_from_wide(Picture.of(surf))


DOCK_THEMES = (("Default", theme_default), ("Glass", theme_glass), ("Flat", theme_flat))


# --------------------------------------------------------------- animations

def puff(ctx, blobs, alpha):
    """A soft white cloud made of overlapping circles (x, y, r), lit from the
    upper left."""
    def shape(x):
        for bx, by, br in blobs:
            circle(x, bx, by, br)
    shadow(ctx, shape, 2.0, 0, 0.8, colour=(60, 80, 110), alpha=0.5 * alpha)
    xs = [b[0] - b[2] for b in blobs] + [b[0] + b[2] for b in blobs]
    ys = [b[1] - b[2] for b in blobs] + [b[1] + b[2] for b in blobs]
    x0, x1, y0, y1 = min(xs), max(xs), min(ys), max(ys)
    surf = new_surface(50, 50)
    c = cairo.Context(surf)
    shape(c)
    c.set_source(linear(x0, y0, x1, y1, (0, WHITE), (0.55, (244, 247, 251)), (1, (200, 212, 228))))
    c.fill()
    # Each bubble of the cloud a little rounder: a soft light on its upper
    # left and a soft shade on its lower right, inside the cloud only.
    lights = new_surface(50, 50)
    lc = cairo.Context(lights)
    for bx, by, br in blobs:
        circle(lc, bx - br * 0.25, by - br * 0.3, br * 0.55)
    lc.set_source_rgba(1, 1, 1, 1)
    lc.fill()
    shades = new_surface(50, 50)
    sc = cairo.Context(shades)
    for bx, by, br in blobs:
        circle(sc, bx + br * 0.45, by + br * 0.5, br * 0.45)
    sc.set_source_rgba(0, 0, 0, 1)
    sc.fill()
    c.set_operator(cairo.OPERATOR_ATOP)
    source(c, (182, 196, 216), 0.45)
    c.mask_surface(blur(shades, 1.8), 0, 0)
    source(c, WHITE, 0.9)
    c.mask_surface(blur(lights, 1.8), 0, 0)
    ctx.set_source_surface(surf, 0, 0)
    ctx.paint_with_alpha(alpha)


# Directions (degrees) and speeds of the fragments of the bursting puff: an
# irregular spread, the same in every frame so that each fragment flies on.
PUFF_FRAGMENTS = ((-104, 1.0), (-30, 0.78), (14, 1.08), (70, 0.86), (128, 1.04), (172, 0.7),
                  (214, 0.98), (-66, 0.62), (104, 0.58), (40, 0.55), (250, 0.66), (-8, 0.5))


def destroy_frame(n):
    """Frame n (1-5): the puff bursts into ever smaller puffs and vanishes."""
    surf = new_surface(50, 50)
    ctx = cairo.Context(surf)
    c = 25.0
    if n == 1:
        blobs = [(c - 7, c + 3, 9), (c + 6, c + 3.5, 9.5), (c - 0.5, c - 5, 10.5), (c - 11.5, c - 1, 6.5),
                 (c + 11.5, c - 2.5, 6.8), (c + 1, c + 8, 8), (c + 7, c - 9, 6)]
        puff(ctx, blobs, 1.0)
        return Picture.of(surf)
    count = (0, 0, 7, 9, 12, 12)[n]
    dist = (0, 0, 14.0, 16.5, 18.5, 20.0)[n]
    size = (0, 0, 5.0, 4.0, 2.8, 1.8)[n]
    alpha = (0, 0, 1.0, 0.85, 0.62, 0.34)[n]
    blobs = []
    if n == 2:   # what is left of the core
        blobs += [(c - 1.5, c + 1, 5.5), (c + 2.5, c + 1.5, 4.8), (c + 0.5, c - 2.5, 4.8)]
    for k, (deg, speed) in enumerate(PUFF_FRAGMENTS[:count]):
        a = math.radians(deg + 9 * n)
        d = dist * speed
        r = size * (0.75 + 0.35 * speed) * (0.8 if k >= 8 else 1.0)
        px, py = c + d * math.cos(a), c + d * math.sin(a)
        blobs.append((px, py, r))
        if n <= 4:   # each fragment is a small puff of two or three bubbles
            blobs.append((px + r * 0.75 * math.cos(a + 1.9), py + r * 0.75 * math.sin(a + 1.9), r * 0.72))
        if n == 3 and k % 2 == 0:
            blobs.append((px + r * 0.7 * math.cos(a - 1.7), py + r * 0.7 * math.sin(a - 1.7), r * 0.6))
    puff(ctx, blobs, alpha)
    return Picture.of(surf)


def bubble(ctx, x, y, r, alpha):
    shadow(ctx, lambda c: circle(c, x, y, r), max(1.0, r * 0.15), 0, 0, colour=(40, 70, 110),
           alpha=0.2 * alpha)
    circle(ctx, x, y, r)
    ctx.set_source(radial(x, y, 0, x, y, r, (0, WHITE, 0.06 * alpha), (0.7, (236, 246, 255), 0.2 * alpha),
                          (1, (220, 238, 252), 0.6 * alpha)))
    ctx.fill()
    # A faint dark edge outside the white rim keeps the bubble visible on white.
    circle(ctx, x, y, r + 0.2)
    source(ctx, (70, 110, 160), 0.45 * alpha)
    ctx.set_line_width(0.7)
    ctx.stroke()
    circle(ctx, x, y, r - 0.5)
    source(ctx, WHITE, 0.92 * alpha)
    ctx.set_line_width(max(0.8, r * 0.1))
    ctx.stroke()
    ellipse(ctx, x - r * 0.38, y - r * 0.42, r * 0.3, r * 0.2)
    source(ctx, WHITE, 0.95 * alpha)
    ctx.fill()
    circle(ctx, x + r * 0.42, y + r * 0.45, r * 0.09)
    source(ctx, WHITE, 0.7 * alpha)
    ctx.fill()


def sparkle(ctx, x, y, r, alpha):
    """A four-pointed star with a soft glow."""
    def star(c):
        c.move_to(x, y - r)
        c.curve_to(x + r * 0.12, y - r * 0.12, x + r * 0.12, y - r * 0.12, x + r, y)
        c.curve_to(x + r * 0.12, y + r * 0.12, x + r * 0.12, y + r * 0.12, x, y + r)
        c.curve_to(x - r * 0.12, y + r * 0.12, x - r * 0.12, y + r * 0.12, x - r, y)
        c.curve_to(x - r * 0.12, y - r * 0.12, x - r * 0.12, y - r * 0.12, x, y - r)
        c.close_path()
    shadow(ctx, star, 1.4, 0, 0, colour=(30, 90, 170), alpha=0.8 * alpha)
    circle(ctx, x, y, r * 0.6)
    ctx.set_source(radial(x, y, 0, x, y, r * 0.6, (0, WHITE, 0.6 * alpha), (1, WHITE, 0)))
    ctx.fill()
    star(ctx)
    source(ctx, WHITE, alpha)
    ctx.fill()


CLEAR_BUBBLES = ((26, 25, 1.0), (13, 15, 0.6), (37, 14, 0.72), (37, 37, 0.5), (14, 36, 0.66), (25, 9, 0.34))


def clear_frame(n):
    """Frame n (1-6): bubbles swell and fade, then end in small sparkles."""
    surf = new_surface(50, 50)
    ctx = cairo.Context(surf)
    if n <= 4:
        size = (0, 7.0, 9.5, 11.5, 13.0)[n]
        alpha = (0, 1.0, 0.95, 0.75, 0.45)[n]
        spread = (0, 0.8, 0.9, 1.0, 1.08)[n]
        for x, y, s in CLEAR_BUBBLES:
            bubble(ctx, 25 + (x - 25) * spread, 25 + (y - 25) * spread, size * s, alpha)
    else:
        r = (0, 0, 0, 0, 0, 5.5, 3.2)[n]
        alpha = (0, 0, 0, 0, 0, 0.95, 0.55)[n]
        spread = (0, 0, 0, 0, 0, 1.12, 1.25)[n]
        for k, (x, y, s) in enumerate(CLEAR_BUBBLES):
            sx, sy = 25 + (x - 25) * spread, 25 + (y - 25) * spread
            sparkle(ctx, sx, sy, r * (0.7 + 0.3 * s), alpha)
            dx, dy = (3.5, -4.5) if k % 2 else (-4, 3.5)
            circle(ctx, sx + dx * spread, sy + dy * spread, 0.9 if n == 5 else 0.6)
            source(ctx, WHITE, alpha)
            ctx.fill()
    return Picture.of(surf)


# --------------------------------------------------------- application icon

def pinwheel(ctx, cx, cy, r):
    """The emblem reduced for tiny sizes: six coloured wedges round a white hub."""
    for k, colour in enumerate(HEX_COLOURS):
        a0 = math.radians(-120 + 60 * k)
        ctx.move_to(cx, cy)
        ctx.arc(cx, cy, r, a0, a0 + math.radians(60))
        ctx.close_path()
        source(ctx, light(colour, 0.08))
        ctx.fill()
    circle(ctx, cx, cy, r)
    ctx.set_source(linear(cx, cy - r, cx, cy + r, (0, WHITE, 0.35), (0.5, WHITE, 0.0), (1, BLACK, 0.12)))
    ctx.fill()


def app_icon(size):
    """The ring with the center button, drawn afresh for each size so that
    the small ones stay crisp."""
    surf = new_surface(size, size)
    ctx = cairo.Context(surf)
    s = float(size)
    c = s / 2
    small = size < 48
    ro = s * (0.47 if small else 0.455)
    ri = s * (0.285 if small else 0.29)
    line = max(1.0, s / 64)

    def ring(x):
        x.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
        circle(x, c, c, ro)
        circle(x, c, c, ri)

    if not small:
        shadow(ctx, ring, s * 0.03, 0, s * 0.02, alpha=0.45)
    ring(ctx)
    ctx.set_source(linear(c - ro, c - ro, c + ro, c + ro, (0, (128, 218, 252)), (0.5, (52, 156, 228)),
                          (1, (26, 100, 192))))
    ctx.fill()
    if not small:
        ctx.save()
        ring(ctx)
        ctx.clip()
        # The glass ring's body: darker toward its inner edge, lit along the upper left.
        ctx.set_source(radial(c, c, ri, c, c, ro, (0, (10, 50, 120), 0.35), (0.35, (10, 50, 120), 0.0),
                              (0.8, WHITE, 0.0), (1, WHITE, 0.18)))
        ctx.paint()
        ctx.new_path()
        ctx.arc(c, c, (ro + ri) / 2 + (ro - ri) * 0.14, math.radians(188), math.radians(262))
        source(ctx, WHITE, 0.6)
        ctx.set_line_width((ro - ri) * 0.22)
        ctx.set_line_cap(cairo.LINE_CAP_ROUND)
        ctx.stroke()
        ctx.restore()
    ctx.set_fill_rule(cairo.FILL_RULE_WINDING)
    circle(ctx, c, c, ro - line / 2)
    source(ctx, (16, 72, 152), 0.75)
    ctx.set_line_width(line)
    ctx.stroke()
    circle(ctx, c, c, ri + line / 2)
    source(ctx, (16, 72, 152), 0.55)
    ctx.stroke()
    if size >= 48:
        # Items on the ring.
        rm = (ro + ri) / 2
        dot = (ro - ri) * 0.27
        for k, colour in enumerate(HEX_COLOURS):
            a = math.radians(-90 + 60 * k)
            x, y = c + rm * math.cos(a), c + rm * math.sin(a)
            circle(ctx, x, y, dot)
            ctx.set_source(radial(x - dot * 0.3, y - dot * 0.4, 0, x, y, dot * 1.1,
                                  (0, light(colour, 0.5)), (0.6, colour), (1, dark(colour, 0.2))))
            ctx.fill_preserve()
            source(ctx, WHITE, 0.75)
            ctx.set_line_width(max(0.8, s / 110))
            ctx.stroke()
        br = ri * 0.8
        glass_button(ctx, c, c, br, (236, 240, 246), (160, 168, 180),
                     lambda x: hex_emblem(x, c, c, br * 0.66, shadow_alpha=0.3))
    else:
        # The center button: a white bezel round the emblem's colours.
        br = ri - max(1.0, s * 0.06)
        circle(ctx, c, c, br)
        ctx.set_source(linear(c, c - br, c, c + br, (0, WHITE), (1, (180, 190, 204))))
        ctx.fill()
        pinwheel(ctx, c, c, br - max(0.9, s * 0.045))
        if size >= 24:
            circle(ctx, c, c, br * 0.28)
            source(ctx, WHITE)
            ctx.fill()
    return Picture.of(surf)


# --------------------------------------------------------------- contact sheet

def checkerboard(ctx, x, y, w, h, cell=8):
    ctx.save()
    ctx.rectangle(x, y, w, h)
    ctx.clip()
    source(ctx, (255, 255, 255))
    ctx.paint()
    source(ctx, (214, 218, 224))
    for j in range(int(h // cell) + 1):
        for i in range(int(w // cell) + 1):
            if (i + j) % 2:
                ctx.rectangle(x + i * cell, y + j * cell, cell, cell)
    ctx.fill()
    ctx.restore()


def desktop(ctx, x, y, w, h):
    ctx.save()
    ctx.rectangle(x, y, w, h)
    ctx.clip()
    ctx.set_source(linear(x, y, x + w * 0.6, y + h, (0, (22, 44, 74)), (0.6, (18, 66, 96)),
                          (1, (36, 30, 70))))
    ctx.paint()
    ctx.set_source(radial(x + w * 0.7, y + h * 0.2, 0, x + w * 0.7, y + h * 0.2, w * 0.6,
                          (0, (80, 150, 190), 0.35), (1, (80, 150, 190), 0)))
    ctx.paint()
    ctx.restore()


def place(ctx, surf, x, y, scale=1.0, w=None, h=None):
    ctx.save()
    ctx.translate(x, y)
    sw, sh = surf.get_width(), surf.get_height()
    if w is not None:
        ctx.scale(w / sw, h / sh)
        pattern = cairo.SurfacePattern(surf)
        pattern.set_filter(cairo.FILTER_BEST)
    else:
        ctx.scale(scale, scale)
        pattern = cairo.SurfacePattern(surf)
        pattern.set_filter(cairo.FILTER_NEAREST if scale >= 1 else cairo.FILTER_GOOD)
    ctx.set_source(pattern)
    ctx.paint()
    ctx.restore()


def ring_scene(pics, size_bg=300):
    """The round window as the program assembles it: skin, center button,
    eight items at radius 105 and twelve at 190."""
    s = 440
    surf = new_surface(s, s)
    ctx = cairo.Context(surf)
    c = s / 2
    place(ctx, pics["ring"], c - size_bg / 2, c - size_bg / 2)
    place(ctx, pics["GRAYGROUNDCENTER"], c - 57, c - 57)
    tools = pics["tools"]
    for i in range(1, 9):
        a = i * math.pi / 4
        x, y = int(math.cos(a) * 105 - 25 + c), int(math.sin(a) * 105 - 25 + c)
        place(ctx, tools[i % len(tools)], x + 1, y + 1, w=48, h=48)
    for i in range(9, 21):
        a = (i - 8) * math.pi / 6
        x, y = int(math.cos(a) * 190 - 25 + c), int(math.sin(a) * 190 - 25 + c)
        place(ctx, tools[(i * 3) % len(tools)], x + 1, y + 1, w=48, h=48)
    return surf


def dock_scene(pics, items, at_top, theme_name="Default"):
    """The dock bar three-sliced to hold `items` items, with the tools on it,
    cut as the screen edge cuts it: at the top the upper 25 rows are off
    screen, at the bottom the lower 25."""
    theme = pics[theme_name]
    tw, th = theme.get_width(), theme.get_height()
    width = items * 50 + 50
    surf = new_surface(width, th - 25)
    ctx = cairo.Context(surf)
    if at_top:
        ctx.translate(0, -25)
    for sx, sw, dx, dw in ((0, 25, 0, 25), (25, tw - 50, 25, width - 50), (tw - 25, 25, width - 25, 25)):
        ctx.save()
        ctx.rectangle(dx, 0, dw, th)
        ctx.clip()
        ctx.translate(dx, 0)
        ctx.scale(dw / sw, 1)
        ctx.translate(-sx, 0)
        p = cairo.SurfacePattern(theme)
        p.set_filter(cairo.FILTER_BILINEAR)
        p.set_extend(cairo.EXTEND_PAD)
        ctx.set_source(p)
        ctx.paint()
        ctx.restore()
    offset_y = 6 if at_top else -6
    for k in range(items):
        place(ctx, pics["tools"][k % len(pics["tools"])], 25 + 50 * k + 1, 25 + offset_y + 1, w=48, h=48)
    return surf


def clock_scene(pics, s):
    surf = new_surface(s, s)
    ctx = cairo.Context(surf)
    place(ctx, pics["trad"], 0, 0, w=s, h=s)
    ctx.translate(s / 2, s / 2)
    for name, deg in (("trad_h", 10 * 30 + 8 / 60 * 30), ("trad_m", 8 / 60 * 360), ("trad_s", 37 * 6)):
        ctx.save()
        ctx.rotate(math.radians(deg))
        place(ctx, pics[name], -s / 20, -s / 2, w=s / 10, h=s)
        ctx.restore()
    place(ctx, pics["trad_dot"], -s / 20, -s / 2, w=s / 10, h=s)
    ctx.translate(-s / 2, -s / 2)
    place(ctx, pics["trad_highlights"], 0, 0, w=s, h=s)
    return surf


def contact_sheet(sections, width=1900):
    """Sections of (surface, scale) laid out in wrapping rows, once on a
    checkerboard and once on a dark desktop."""
    gap = 14
    layout, y = [], gap
    for section in sections:
        x, row_h = gap, 0
        for surf, k in section:
            w, h = int(surf.get_width() * k), int(surf.get_height() * k)
            if x > gap and x + w + gap > width:
                x, y, row_h = gap, y + row_h + gap, 0
            layout.append((surf, k, x, y))
            x += w + gap
            row_h = max(row_h, h)
        y += row_h + 2 * gap
    height = y
    sheet = new_surface(width * 2, height)
    ctx = cairo.Context(sheet)
    for p, background in enumerate((checkerboard, desktop)):
        background(ctx, p * width, 0, width, height)
        for surf, k, x, y in layout:
            place(ctx, surf, p * width + x, y, k)
    return sheet


# ------------------------------------------------------------------- main

def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: generate.py OUTDIR\n")
        return 2
    out = os.path.abspath(argv[1])
    global SCALE

    variants = {}
    for scale, suffix in SCALES[1:]:
        SCALE = scale
        variants[suffix] = (scaled_resources(), scaled_tree())
    SCALE = 1.0

    resources = {}
    ring = ring_skin()
    resources["ROUNDINTERFACE"] = ring
    resources["THININTERFACE"] = thin_ring(ring)
    resources["NOINTERFACE"] = transparent(300, 300)
    for name in ("GRAYGROUNDCENTER", "PURITYCENTER", "WINCENTER"):
        resources[name] = center_skin(name)
    resources["NOCENTER"] = transparent(115, 115)
    resources["ICONBACKGROUND"] = transparent(50, 50)
    for i, name in enumerate(DESTROY_FRAMES, 1):
        resources[name] = destroy_frame(i)
    for i, name in enumerate(CLEAR_FRAMES, 1):
        resources[name] = clear_frame(i)
    # The about box's picture: the application icon drawn at its own size.
    resources["ABOUTPICTURE"] = app_icon(100)

    tree = {
        "ClockRes/trad.png": clock_face(),
        "ClockRes/trad_h.png": hand("h"),
        "ClockRes/trad_m.png": hand("m"),
        "ClockRes/trad_s.png": hand("s"),
        "ClockRes/trad_dot.png": clock_dot(),
        "ClockRes/trad_highlights.png": clock_highlights(),
        "SysTool/Help.png": help_picture(),
        "SysTool/MyFiles.png": folder_picture(FOLDER_YELLOW, paper=False),
        "SysTool/MyComputer.png": my_computer_picture(),
        "SysTool/MyNetwork.png": my_network_picture(),
        "SysTool/MyDocuments.png": folder_picture(FOLDER_BLUE, paper=True),
        "SysTool/RecycleBin.png": recycle_bin_picture(),
        "SysTool/ControlPanel.png": control_panel_picture(),
    }
    for name, draw in DOCK_THEMES:
        tree["RectangleBackground/%s.png" % name] = draw()
    icons = [app_icon(s) for s in ICO_SIZES]

    for name, pic in resources.items():
        write(os.path.join(out, "resources", name + ".png"), pic.png())
    for rel, pic in tree.items():
        write(os.path.join(out, "Icon", *rel.split("/")), pic.png())
    for suffix, (scaled, scaled_files) in variants.items():
        for name, pic in scaled.items():
            write(os.path.join(out, "resources", "%s_%s.png" % (name, suffix)), pic.png())
        for rel, pic in scaled_files.items():
            write(os.path.join(out, "Icon", *variant_path(rel, suffix).split("/")), pic.png())
    ico_path = os.path.join(out, "Quorvel.ico")
    write(ico_path, ico_bytes(icons))

    def rc_path(p):
        return p.replace("\\", "/").replace('"', '\\"')

    lines = ["// Generated by art/generate.py: the program's built-in pictures.",
             'MAINICON ICON "%s"' % rc_path(ico_path)]
    for name in resources:
        lines.append('%s PNG "%s"' % (name, rc_path(os.path.join(out, "resources", name + ".png"))))
    # A type of their own for each scale: the resource compiler orders the
    # data by type, so the 1x pictures a start reads lie together.
    for suffix, (scaled, _) in variants.items():
        for name in scaled:
            variant = "%s_%s" % (name, suffix)
            lines.append('%s PNG%s "%s"' % (name, suffix, rc_path(os.path.join(out, "resources", variant + ".png"))))
    write(os.path.join(out, "quorvel_art.rc"), ("\n".join(lines) + "\n").encode())

    # The contact sheet.
    pics = {name: pic.surface() for name, pic in resources.items()}
    for rel, pic in tree.items():
        pics[rel.split("/")[-1][:-4]] = pic.surface()
    for s, pic in zip(ICO_SIZES, icons):
        pics["ico%d" % s] = pic.surface()
    pics["ring"] = pics["ROUNDINTERFACE"]
    tool_names = ("MyComputer", "MyNetwork", "MyDocuments", "RecycleBin", "ControlPanel", "MyFiles", "Help")
    pics["tools"] = [pics[n] for n in tool_names]
    pics["scene_ring"] = ring_scene(pics)
    dock_scenes = []
    for name, _ in DOCK_THEMES:
        dock_scenes += [(dock_scene(pics, 7, True, name), 1), (dock_scene(pics, 7, False, name), 1)]
    pics["scene_clock115"] = clock_scene(pics, 115)
    pics["scene_clock230"] = clock_scene(pics, 230)
    every = (("ROUNDINTERFACE", "THININTERFACE", "NOINTERFACE", "GRAYGROUNDCENTER", "PURITYCENTER",
              "WINCENTER", "NOCENTER", "trad", "trad_highlights", "trad_h", "trad_m", "trad_s", "trad_dot")
             + tool_names + tuple(name for name, _ in DOCK_THEMES) + DESTROY_FRAMES + ("ICONBACKGROUND",) + CLEAR_FRAMES
             + tuple("ico%d" % s for s in ICO_SIZES) + ("ABOUTPICTURE",))
    sections = [
        [(pics[n], 1) for n in every],
        [(pics[n], 2) for n in every],
        [(pics["scene_ring"], 1), (pics["scene_clock115"], 1), (pics["scene_clock115"], 2),
         (pics["scene_clock230"], 1)] + dock_scenes,
    ]
    sheet = contact_sheet(sections)
    tmp = os.path.join(out, "preview.png.tmp")
    sheet.write_to_png(tmp)
    os.replace(tmp, os.path.join(out, "preview.png"))

    # Each 2x picture beside its 1x one enlarged: the 2x must be as sharp
    # as the 1x and show the same thing.
    scaled, scaled_files = variants["200"]
    pairs = []
    for name, pic in list(scaled.items()) + list(scaled_files.items()):
        one = resources.get(name) or tree.get(name)
        pairs += [(one.surface(), 2), (pic.surface(), 1)]
    sheet = contact_sheet([pairs])
    tmp = os.path.join(out, "preview@200.png.tmp")
    sheet.write_to_png(tmp)
    os.replace(tmp, os.path.join(out, "preview@200.png"))
    return 0


def variant_path(rel, suffix):
    """"RectangleBackground/Glass.png" -> "RectangleBackground/Glass@150.png"."""
    return rel[:-4] + "@" + suffix + ".png"


# The pictures drawn again at the scale in SCALE.
def scaled_resources():
    ring = ring_skin()
    pics = {"ROUNDINTERFACE": ring, "THININTERFACE": thin_ring(ring), "NOINTERFACE": transparent(300, 300)}
    for name in ("GRAYGROUNDCENTER", "PURITYCENTER", "WINCENTER"):
        pics[name] = center_skin(name)
    pics["NOCENTER"] = transparent(115, 115)
    pics["ICONBACKGROUND"] = transparent(50, 50)
    for i, name in enumerate(DESTROY_FRAMES, 1):
        pics[name] = destroy_frame(i)
    for i, name in enumerate(CLEAR_FRAMES, 1):
        pics[name] = clear_frame(i)
    return pics


def scaled_tree():
    return {"RectangleBackground/%s.png" % name: draw() for name, draw in DOCK_THEMES}


if __name__ == "__main__":
    sys.exit(main(sys.argv))
