#!/usr/bin/python3
"""Only Windows shows: display scaling of the real windows. The prefix's
LogPixels set to 96, 144 and 192 in turn (a new wineserver reads it), the same
full ring each time: its windows are 1.5x and 2x their 100 % sizes around the
same logical centre, the label under a hovered item grows with the scale, and
the ring at 200 % halved is the ring at 100 % (side-by-side-100x2-vs-200.png).
The value is put back as it was at the end."""

import re
import subprocess
import time

import harness

# A screen large enough for the whole ring at 200 %: 960 x 600 logical pixels.
SCREEN = "1920x1200x24"
CENTRE = (480, 300)             # the ring's centre, logical
RING_REACH = 230                # the outer items end about 215 from the centre
DPIS = (96, 144, 192)
DESKTOP_KEY = "HKCU\\Control Panel\\Desktop"
TOOLS = ("MyComputer", "MyNetwork", "MyDocuments", "RecycleBin", "ControlPanel", "MyFiles")
HOVER_SLOT = 10
RING = {s: harness.item("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "Item%d" % s, define=harness.TOOL % TOOLS[s % 6])
        for s in range(1, 21)}


def read_log_pixels(h):
    done = h.reg("query", DESKTOP_KEY, "/v", "LogPixels")
    match = re.search(r"LogPixels\s+REG_DWORD\s+0x([0-9a-fA-F]+)", done.stdout)
    return int(match.group(1), 16) if match else None


def set_log_pixels(h, dpi):
    """Writes the value and restarts the wineserver: Wine reads the scale
    when its server and the display driver start."""
    if dpi is None:
        h.reg("delete", DESKTOP_KEY, "/v", "LogPixels", "/f")
    else:
        h.reg("add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
    subprocess.run(["wineserver", "-k"], env=h.env, stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], env=h.env, stderr=subprocess.DEVNULL, timeout=30)
    subprocess.run(["wineserver", "-p"], env=h.env, check=False)


def crop(h, shot, name, box):
    left, top, right, bottom = box
    path = h.out / (name + ".png")
    subprocess.run(["convert", str(shot), "-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage",
                    str(path)], check=True)
    return path


def run_at(h, dpi):
    set_log_pixels(h, dpi)
    main_size = (194, 168)  # the main form's size at 100 %, around the ring's centre
    app = h.program("app-%d" % dpi, ring=RING, settings={("Position", "Left"): str(CENTRE[0] - main_size[0] // 2),
                                                          ("Position", "Top"): str(CENTRE[1] - main_size[1] // 2)})
    time.sleep(0.5)
    windows = h.shown()
    k = dpi / 96
    box = tuple(int(round(v * k)) for v in (CENTRE[0] - RING_REACH, CENTRE[1] - RING_REACH,
                                             CENTRE[0] + RING_REACH, CENTRE[1] + RING_REACH))
    ring = crop(h, h.screenshot("screen-%d" % dpi), "ring-%d" % dpi, box)
    # The label under an item, with the pointer on the item's middle.
    target, d = windows["Circle%d" % HOVER_SLOT], harness.Desktop(h)
    d.move(*harness.centre_of(target.rect))
    label = h.poll(lambda: [w for t, w in h.shown().items() if t == "FormHint" and w.rect[1] == target.rect[3]], 3)
    label = label[0] if label else None
    d.park()
    h.close_app(app)
    return windows, ring, label


def scenario(h):
    original = read_log_pixels(h)
    h.log("LogPixels was %s" % original)
    runs = {}
    try:
        for dpi in DPIS:
            runs[dpi] = run_at(h, dpi)
    finally:
        set_log_pixels(h, original)
    h.check(read_log_pixels(h) == original, "LogPixels is back as it was", (read_log_pixels(h), original))

    base, base_ring, base_label = runs[96]
    ring_names = ["BackGroundForm", "CenterForm"] + ["Circle%d" % s for s in range(1, 21)]
    for name in ring_names:
        h.require(name in base, "%s is shown at 100 %%" % name, sorted(base))
    for dpi in DPIS[1:]:
        windows, _, label = runs[dpi]
        k = dpi / 96
        bad = []
        for name in ring_names:
            w, b = windows.get(name), base[name]
            if w is None:
                bad.append((name, "missing"))
                continue
            want_size = (round(b.width * k), round(b.height * k))
            centre = ((w.rect[0] + w.rect[2]) / 2 / k, (w.rect[1] + w.rect[3]) / 2 / k)
            base_centre = ((b.rect[0] + b.rect[2]) / 2, (b.rect[1] + b.rect[3]) / 2)
            if (abs(w.width - want_size[0]) > 1 or abs(w.height - want_size[1]) > 1 or
                    abs(centre[0] - base_centre[0]) > 1 or abs(centre[1] - base_centre[1]) > 1):
                bad.append((name, w.rect, b.rect))
        h.check(not bad, "at %d DPI every ring window is %.1fx its 100 %% size around the same centre" % (dpi, k), bad)
        if h.check(label is not None and base_label is not None, "a label shows under the hovered item at %d DPI" % dpi,
                   (label, base_label)):
            h.check(abs(label.height - base_label.height * k) <= 2 + k,
                    "the label's text is %.1fx as tall at %d DPI" % (k, dpi), (label.height, base_label.height))

    # Side by side: the 100 % ring enlarged 2x (pixels doubled) beside the 200 % one.
    ring96, ring192 = runs[96][1], runs[192][1]
    side = h.out / "side-by-side-100x2-vs-200.png"
    subprocess.run(["convert", "(", str(ring96), "-scale", "200%", ")", str(ring192), "+append", str(side)], check=True)
    # The 200 % ring halved is the 100 % ring, within what resampling changes.
    done = subprocess.run(["compare", "-metric", "RMSE", "(", str(ring192), "-resize", "50%", ")", str(ring96),
                           "null:"], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    match = re.search(r"\(([0-9.]+)\)", done.stderr.decode())
    rmse = float(match.group(1)) if match else 1.0
    h.check(rmse < 0.06, "the ring at 200 %, halved, is the ring at 100 %", rmse)


harness.run_scenario("scaling", scenario, time_limit=280, screen=SCREEN)
