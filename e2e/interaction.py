#!/usr/bin/python3
"""Real pointer and keyboard input on the round window (xdotool on the X
display): the wheel and the arrow keys turn the rings, an item dragged onto
another exchanges places with it, an item dropped on an empty part of the
ring goes back, an item thrown out of the ring is deleted after its
animation, a click launches an item (a program with arguments holding spaces
and a Chinese working directory), hovering dims an item and shows its name
under it, the Alt+letter hot key hides and shows every window, and a second
start shows them again.

The helpers at the top are shared with drop_and_delete.py."""

import math
import re
import shutil
import subprocess
import time
from xml.sax.saxutils import escape

import harness

# The main form's design size; its top-left comes from the file.
MAIN_W, MAIN_H = 194, 168
MIN_R, SEPARATION = 105, 35
ROTATION_STEP = 0.1
LIGHT_GREY = (0xE9, 0xE9, 0xE9)  # the label's factory colour


# --- geometry ---------------------------------------------------------------

def snap_trunc(value):
    """Toward zero, but a value within 1e-7 of a whole pixel is that pixel
    (sin and cos of the ring's angles miss exact values by an ulp or two)."""
    nearest = round(value)
    return int(nearest) if abs(value - nearest) < 1e-7 else int(value)


def slot_offset(slot, angle=0.0, min_r=MIN_R, separation=SEPARATION, main_w=MAIN_W, main_h=MAIN_H):
    """Top-left of a ring slot's window relative to the main form: inner ring
    at slot·π/4 + angle, outer ring at −angle + (slot − 8)·π/6."""
    if slot <= 8:
        a, r = slot * math.pi / 4 + angle, min_r
    else:
        a, r = -angle + (slot - 8) * math.pi / 6, min_r + separation + 50
    return snap_trunc(math.cos(a) * r - 25) + main_w // 2, snap_trunc(math.sin(a) * r - 25) + main_h // 2


def slot_rect(main_rect, slot, angle=0.0, **geometry):
    dx, dy = slot_offset(slot, angle, **geometry)
    return (main_rect[0] + dx, main_rect[1] + dy, main_rect[0] + dx + 50, main_rect[1] + dy + 50)


def turned(angle, forward, value_degrees=45):
    """The angle after one notch, stepped as the rotation timer steps it:
    0.1 rad per tick while the progress has not passed the set value."""
    target = value_degrees * math.pi / 180
    progress = 0.0
    while target >= progress:
        angle = angle + ROTATION_STEP if forward else angle - ROTATION_STEP
        progress += ROTATION_STEP
    if angle >= 2 * math.pi:
        angle -= 2 * math.pi
    if angle <= -2 * math.pi:
        angle += 2 * math.pi
    return angle


def centre_of(rect):
    return ((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)


# --- the configuration file ---------------------------------------------------

def item_xml(file="", name="", define="", default="", argument="", http="", initial=""):
    return ("<File>%s</File><Argument>%s</Argument><Name>%s</Name>"
            "<IconPath><Default>%s</Default><Define>%s</Define></IconPath><Http>%s</Http>"
            "<InitialPosition>%s</InitialPosition>") % tuple(
        escape(v) for v in (file, argument, name, default, define, http, initial))


def put_items(config, items):
    """Fills the Circle elements of the file: items maps slot to item_xml()."""
    text = config.read_text(encoding="utf-8")
    for slot, body in items.items():
        name = "Circle%d" % slot
        pattern = re.compile(r"<%s\s*/>|<%s>.*?</%s>" % (name, name, name), re.S)
        text, count = pattern.subn(lambda m: "<%s>%s</%s>" % (name, body, name), text, count=1)
        if count != 1:
            raise harness.Abort("no element %s in the file" % name)
    config.write_text(text, encoding="utf-8")


ITEM_FIELDS = ("File", "Argument", "Name", "IconPath/Default", "IconPath/Define", "Http", "InitialPosition")


def item_values(config, parent, name):
    """The texts of an item element's children, "" for empty ones; None
    when the element is missing."""
    root = harness.parse_config(config)
    element = harness.find_path(root, parent, name)
    if element is None:
        return None
    values = {}
    for field in ITEM_FIELDS:
        node = element.find(field)
        values[field] = None if node is None else (node.text or "")
    return values


# --- the X display --------------------------------------------------------------

class Desktop:
    """xdotool on the scenario's display, and pixels of screenshots."""

    def __init__(self, h):
        self.h = h

    def xdo(self, *args, check=True):
        done = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.h.env, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=30)
        if check and done.returncode != 0:
            raise harness.Abort("xdotool %s failed: %s" % (" ".join(map(str, args)), done.stderr.decode()))
        return done.stdout.decode()

    def x_windows(self, title, visible=True):
        """X windows whose name is exactly the title (Wine names each X window
        after its window's text)."""
        args = ["search"] + (["--onlyvisible"] if visible else []) + ["--name", "^%s$" % title]
        out = self.xdo(*args, check=False)
        return [int(v) for v in out.split()]

    def move(self, x, y):
        self.xdo("mousemove", int(x), int(y))

    def drag(self, start, end, steps=12, pause=0.03, hold=0.15, before_release=None):
        """Press at start, move in steps to end, release: the window under the
        pointer keeps the capture while the button is held. before_release()
        runs with the button still held at the end point."""
        self.move(*start)
        time.sleep(0.1)
        self.xdo("mousedown", 1)
        time.sleep(0.1)
        for i in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * i / steps
            y = start[1] + (end[1] - start[1]) * i / steps
            self.move(round(x), round(y))
            time.sleep(pause)
        time.sleep(hold)
        try:
            if before_release:
                before_release()
        finally:
            self.xdo("mouseup", 1)

    def click(self, point, button=1):
        self.move(*point)
        time.sleep(0.1)
        self.xdo("click", button)

    def wheel(self, point, down=True, notches=1):
        self.move(*point)
        time.sleep(0.1)
        self.xdo("click", "--repeat", notches, "--delay", 40, 5 if down else 4)

    def focus(self, xid):
        self.xdo("windowfocus", "--sync", xid, check=False)
        time.sleep(0.1)

    def key(self, *keys):
        self.xdo("key", "--delay", 60, *keys)

    def park(self):
        """Pointer to a place where the program has no window (the bare
        desktop: the wheel must not be turned here, the window manager
        switches desktops with it)."""
        self.move(5, 5)

    def grab(self, rect, seconds=0.0, until=None):
        """Pictures of a screen rectangle as the compositor shows it:
        [(time.monotonic(), raw bytes)], one about every 10 ms for the given
        time, or until until(bytes) holds."""
        from Xlib import X, display
        connection = display.Display(self.h.display)
        root = connection.screen().root
        left, top, right, bottom = rect
        pictures = []
        deadline = time.monotonic() + seconds
        try:
            while True:
                image = root.get_image(left, top, right - left, bottom - top, X.ZPixmap, 0xFFFFFFFF)
                pictures.append((time.monotonic(), bytes(image.data)))
                if pictures[-1][0] >= deadline or (until and until(pictures[-1][1])):
                    return pictures
                time.sleep(0.01)
        finally:
            connection.close()

    def shown_pixels(self, xid):
        """Pixels the X window shows: 0 when it is unmapped or its shape is
        empty (Wine shapes a layered window to its non-transparent pixels).
        The compositor may keep showing the old picture of a window whose
        shape became empty, so screenshots cannot tell."""
        from Xlib import X, display
        from Xlib.error import XError
        from Xlib.ext import shape
        connection = display.Display(self.h.display)
        try:
            window = connection.create_resource_object("window", xid)
            if window.get_attributes().map_state != X.IsViewable:
                return 0
            geometry = window.get_geometry()
            if not window.shape_query_extents().bounding_shaped:
                return geometry.width * geometry.height
            return sum(r.width * r.height for r in window.shape_get_rectangles(shape.SK.Bounding).rectangles)
        except XError:
            return 0
        finally:
            connection.close()


def crop_stats(image, rect):
    """(mean of the grey level 0..1, list of pixels as (r, g, b)) of the rectangle."""
    left, top, right, bottom = rect
    crop = "%dx%d+%d+%d" % (right - left, bottom - top, left, top)
    done = subprocess.run(["convert", str(image), "-crop", crop, "+repage", "-depth", "8", "rgb:-"],
                          stdout=subprocess.PIPE, check=True)
    data = done.stdout
    pixels = [tuple(data[i:i + 3]) for i in range(0, len(data) - 2, 3)]
    mean = sum(sum(p) for p in pixels) / (3 * 255 * max(1, len(pixels)))
    return mean, pixels


def near(colour, wanted, tolerance):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, wanted))


def flat(picture):
    """Whether a grabbed picture is one colour (nothing drawn on the desktop)."""
    first = picture[:4]
    return all(picture[i:i + 3] == first[:3] for i in range(0, len(picture), 4))


def watch_delete_animation(d, point, released_at, save_as=None):
    """After an item was released at point: grabs the 50×50 square around
    it until it is bare desktop. Returns (number of distinct pictures shown
    there before, seconds from the release to the bare desktop or None).
    save_as: a PNG path for the distinct pictures side by side."""
    rect = (point[0] - 25, point[1] - 25, point[0] + 25, point[1] + 25)
    pictures = d.grab(rect, seconds=3.0, until=flat)
    distinct = []
    for _, picture in pictures:
        if picture not in distinct:
            distinct.append(picture)
    if save_as and distinct:
        strip = b"".join(b"".join(p[row * 200:(row + 1) * 200] for p in distinct) for row in range(50))
        subprocess.run(["convert", "-size", "%dx50" % (50 * len(distinct)), "-depth", "8", "bgra:-",
                        "-alpha", "off", str(save_as)], input=strip, check=False)
    last_time, last = pictures[-1]
    return len([p for p in distinct if not flat(p)]), (last_time - released_at if flat(last) else None)


def dimming(before, after, rect, background):
    """How much the picture in rect faded toward the background: over a
    background B a window pushed with constant alpha k shows
    B + k·(S − αB), so (after − B) / (before − B) is k/255 for every pixel
    that differs from the background. The median over those pixels."""
    _, old = crop_stats(before, rect)
    _, new = crop_stats(after, rect)
    ratios = []
    for p, q in zip(old, new):
        for a, b, g in zip(p, q, background):
            if abs(a - g) >= 40:
                ratios.append((b - g) / (a - g))
    ratios.sort()
    return ratios[len(ratios) // 2] if ratios else None, len(ratios)


# --- windows ------------------------------------------------------------------------

def ring_windows(h):
    """{title: Window} of the program's windows, and the main window."""
    main, others = h.program_windows()
    return main, {w.title: w for w in others}


def item_rects(h, slots):
    main, by_title = ring_windows(h)
    return {s: (by_title["Circle%d" % s].rect if "Circle%d" % s in by_title else None) for s in slots}


def wait_positions(h, main_rect, slots, angle, timeout=5.0):
    """Polls until every item window stands at its slot for the angle;
    returns (reached, seconds, last rects, wanted rects)."""
    wanted = {s: slot_rect(main_rect, s, angle) for s in slots}
    began = time.monotonic()
    last = {}
    while True:
        last = item_rects(h, slots)
        if last == wanted:
            return True, time.monotonic() - began, last, wanted
        if time.monotonic() - began > timeout:
            return False, time.monotonic() - began, last, wanted
        time.sleep(0.05)


def shown_program_windows(h):
    """The program's windows that are visible and have a size."""
    main, others = h.program_windows()
    if main is None:
        return None
    return [w for w in [main] + others if w.visible and w.width > 0 and w.height > 0]


# --- the scenario -----------------------------------------------------------------

MAIN_LEFT, MAIN_TOP = 543, 316  # ring centre at (640, 400)
SLOT_MARKER, SLOT_A, SLOT_THROW, SLOT_B, SLOT_HOVER, SLOT_BACK = 1, 3, 5, 7, 11, 20
SLOTS = (SLOT_MARKER, SLOT_A, SLOT_THROW, SLOT_B, SLOT_HOVER, SLOT_BACK)
HOT_KEY = "Q"
MARKER_ARGUMENTS = 'alpha "two words" 第三'


def setup_program(h):
    folder = h.fresh_copy()
    win = h.win_path(folder)
    tools_dir = folder / "工具"
    tools_dir.mkdir()
    shutil.copy(h.tools / "marker.exe", tools_dir / "marker.exe")
    workdir = folder / "工作 目录"
    workdir.mkdir()
    (folder / "docs").mkdir()
    (folder / "docs" / "note.txt").write_text("note")
    doc = win + "\\docs\\note.txt"
    sys_tool = win + "\\Icon\\SysTool\\"
    items = {
        SLOT_MARKER: item_xml(win + "\\工具\\marker.exe", "Marker", define=sys_tool + "MyComputer.png",
                              argument=MARKER_ARGUMENTS, initial=win + "\\工作 目录"),
        SLOT_A: item_xml(doc, "Alpha", define=sys_tool + "MyDocuments.png", argument="-a"),
        SLOT_THROW: item_xml(doc, "Throw Me", define=sys_tool + "RecycleBin.png"),
        SLOT_B: item_xml(doc, "Beta", define=sys_tool + "MyNetwork.png", initial=win + "\\docs"),
        SLOT_HOVER: item_xml(doc, "Hover Label", define=sys_tool + "ControlPanel.png"),
        SLOT_BACK: item_xml(doc, "Outer", define=sys_tool + "MyFiles.png"),
    }
    config = folder / "Config" / "UserInfo.xml"
    put_items(config, items)
    harness.edit_config_attributes(config, {("Position", "Left"): str(MAIN_LEFT), ("Position", "Top"): str(MAIN_TOP),
                                            ("IconElement", "MinR"): str(MIN_R),
                                            ("IconElement", "SeparationSize"): str(SEPARATION),
                                            ("IconElement", "RotationValue"): "45",
                                            ("HotKey", "Key"): HOT_KEY,
                                            ("ShowRect", "IsShowRect"): "False"})
    return folder, config, workdir


def check_rotation(h, d, main_rect, what, angle, act):
    wanted = {s: slot_rect(main_rect, s, angle) for s in SLOTS}
    if item_rects(h, SLOTS) == wanted:
        # Only when an earlier turn went wrong: this one could not be seen.
        h.check(False, "%s: the items stand elsewhere before the turn (an earlier turn failed)" % what)
        return False
    act()
    reached, seconds, last, wanted = wait_positions(h, main_rect, SLOTS, angle)
    h.check(reached, "%s: every item stands at its slot turned to %.1f rad (inner +, outer -)" % (what, angle),
            {s: (last.get(s), wanted[s]) for s in SLOTS if last.get(s) != wanted[s]})
    if reached:
        h.log("  %s: positions reached after %.2f s" % (what, seconds))
        time.sleep(0.4)
        h.check(item_rects(h, SLOTS) == wanted, "%s: the rings stop there" % what)
    return reached


def scenario(h):
    d = Desktop(h)
    folder, config, workdir = setup_program(h)
    d.park()
    app = h.start_ready(folder)
    main, by_title = ring_windows(h)
    h.require(main is not None, "the main window is there")
    main_rect = main.rect
    h.check(main_rect[:2] == (MAIN_LEFT, MAIN_TOP) and (main.width, main.height) == (MAIN_W, MAIN_H),
            "the main form stands at the file's position with its design size", main_rect)
    centre = (main_rect[0] + main.width // 2, main_rect[1] + main.height // 2)
    angle = 0.0
    reached, _, last, wanted = wait_positions(h, main_rect, SLOTS, angle, timeout=2)
    h.require(reached, "the six items stand at their unturned slots", (last, wanted))
    start_shot = h.screenshot("01-start")
    for slot in SLOTS:
        h.check(h.colours(start_shot, wanted[slot]) > 8, "slot %d shows a picture at the start" % slot)

    # --- the wheel over an item: one notch down turns forward -------------------------
    angle = turned(angle, True)
    check_rotation(h, d, main_rect, "wheel down over an item", angle,
                   lambda: d.wheel(centre_of(slot_rect(main_rect, SLOT_BACK, 0.0)), down=True))
    d.park()
    h.screenshot("02-after-wheel")

    # --- the arrow keys, with the keyboard focus on a program window -------------------
    targets = d.x_windows("Circle%d" % SLOT_BACK) or d.x_windows(harness.MAIN_TITLE)
    h.check(targets, "the item window has an X window to focus")
    if targets:
        d.focus(targets[0])
    angle = turned(angle, False)
    check_rotation(h, d, main_rect, "key Left turns backward", angle, lambda: d.key("Left"))
    angle = turned(angle, True)
    check_rotation(h, d, main_rect, "key Down turns forward", angle, lambda: d.key("Down"))
    h.screenshot("03-after-key-down")
    angle = turned(angle, False)
    check_rotation(h, d, main_rect, "key Up turns backward", angle, lambda: d.key("Up"))
    angle = turned(angle, True)
    check_rotation(h, d, main_rect, "key Right turns forward", angle, lambda: d.key("Right"))
    # Over the item where it stands now: the wheel over the bare desktop would
    # switch the window manager's desktops.
    over_item = centre_of(slot_rect(main_rect, SLOT_HOVER, angle))
    angle = turned(angle, False)
    check_rotation(h, d, main_rect, "wheel up over an item turns backward", angle,
                   lambda: d.wheel(over_item, down=False))
    d.park()
    time.sleep(0.3)
    rects = {s: slot_rect(main_rect, s, angle) for s in SLOTS}

    # --- hover: the item dims and its name shows under it --------------------------------
    hover_rect = rects[SLOT_HOVER]
    before = h.screenshot("04-before-hover")
    d.move(*centre_of(hover_rect))
    label = h.poll(lambda: [w for w in (shown_program_windows(h) or [])
                            if w.rect[1] == hover_rect[3] and not w.title.startswith("Circle")], 3)
    time.sleep(0.3)
    hovered = h.screenshot("05-hover")
    if h.check(label, "a label window stands right under the hovered item", shown_program_windows(h)):
        lw = label[0]
        h.log("  label window %r" % lw)
        want_left = hover_rect[0] + 25 - lw.width // 2
        h.check(lw.rect[0] == want_left, "the label is centred under the item", (lw.rect, want_left))
        mean, pixels = crop_stats(hovered, lw.rect)
        light = sum(1 for p in pixels if near(p, LIGHT_GREY, 40))
        _, pixels_before = crop_stats(before, lw.rect)
        light_before = sum(1 for p in pixels_before if near(p, LIGHT_GREY, 40))
        h.check(light >= 20 and light_before == 0, "the label shows light grey text under the item",
                (light, light_before))
        magenta = sum(1 for p in pixels if near(p, (255, 0, 255), 60))
        h.check(magenta == 0, "the label's key colour is not seen", magenta)
    desktop = crop_stats(before, (1275, 795, 1276, 796))[1][0]
    ratio, counted = dimming(before, hovered, hover_rect, desktop)
    dimmed = h.check(ratio is not None and abs(ratio - 200 / 255) < 0.04,
                     "the hovered item is dimmed to alpha 200 (%s of %d channels)" % (ratio, counted))
    d.park()
    if label:
        label_x = d.x_windows(label[0].title, visible=False)
        h.check(label_x and h.poll(lambda: d.shown_pixels(label_x[0]) == 0, 3),
                "leaving the item takes the label's text away (the label window shows no pixel)",
                label_x and d.shown_pixels(label_x[0]))
    time.sleep(0.6)
    left_shot = h.screenshot("06-hover-left")
    if dimmed:
        ratio, _ = dimming(before, left_shot, hover_rect, desktop)
        h.check(ratio is not None and abs(ratio - 1) < 0.02, "leaving the item restores it", ratio)

    # --- a click launches the item with its arguments and working directory -------------
    marker = workdir / "marker.txt"
    marker_rect = rects[SLOT_MARKER]
    d.click(centre_of(marker_rect))
    clicked = time.monotonic()
    tops = []
    for _ in range(12):
        rect = item_rects(h, [SLOT_MARKER])[SLOT_MARKER]
        if rect:
            tops.append(rect[1])
        if marker.exists() and len(tops) >= 4:
            break
    if h.check(h.poll(marker.exists, 15), "a click on the item starts its program (marker.txt in the working "
                                          "directory)", sorted(p.name for p in folder.rglob("marker.txt"))):
        h.log("  marker.txt after %.2f s" % (time.monotonic() - clicked))
        lines = dict(line.split("=", 1) for line in marker.read_text(encoding="utf-8").splitlines() if "=" in line)
        h.check(harness.unescape(lines.get("cwd", "")) == h.win_path(workdir), "the program ran in the Chinese "
                "working directory", lines.get("cwd"))
        h.check(harness.unescape(lines.get("args", "")) == MARKER_ARGUMENTS, "the program got the arguments as "
                "written", lines.get("args"))
        h.check(lines.get("argc") == "3" and lines.get("arg2") == "two words", "the quoted argument with a space "
                "stays one argument", lines)
    h.check(any(t < marker_rect[1] for t in tops), "the launched item bounces up", tops)
    h.check(h.poll(lambda: item_rects(h, [SLOT_MARKER])[SLOT_MARKER] == marker_rect, 3),
            "the item comes back to its place after the bounce", item_rects(h, [SLOT_MARKER]))
    d.park()

    # --- dragging item A onto item B exchanges them ----------------------------------------
    main, by_title = ring_windows(h)
    window_a, window_b = by_title.get("Circle%d" % SLOT_A), by_title.get("Circle%d" % SLOT_B)
    values_a, values_b = item_values(config, "RoundBackground", "Circle%d" % SLOT_A), \
        item_values(config, "RoundBackground", "Circle%d" % SLOT_B)
    if h.check(window_a and window_b, "both items to exchange have windows"):
        held = {}
        d.drag(centre_of(rects[SLOT_A]), centre_of(rects[SLOT_B]),
               before_release=lambda: held.update(item_rects(h, [SLOT_A])))
        h.check(held.get(SLOT_A) == rects[SLOT_B], "the dragged item follows the pointer onto the other item",
                (held.get(SLOT_A), rects[SLOT_B]))
        d.park()
        time.sleep(0.5)
        main, by_title = ring_windows(h)
        now_a = {w.hwnd: w for w in by_title.values()}.get(window_a.hwnd)
        now_b = {w.hwnd: w for w in by_title.values()}.get(window_b.hwnd)
        h.check(now_a is not None and now_a.title == "Circle%d" % SLOT_B and now_a.rect == rects[SLOT_B],
                "the dragged window is now Circle%d at that slot" % SLOT_B, now_a)
        h.check(now_b is not None and now_b.title == "Circle%d" % SLOT_A and now_b.rect == rects[SLOT_A],
                "the other window is now Circle%d at the dragged item's slot" % SLOT_A, now_b)
        after_a = item_values(config, "RoundBackground", "Circle%d" % SLOT_A)
        after_b = item_values(config, "RoundBackground", "Circle%d" % SLOT_B)
        h.check(after_a == values_b and after_b == values_a, "the file's two elements exchanged their texts",
                (after_a, after_b))
        swapped = h.screenshot("07-exchanged")
        h.check(h.colours(swapped, rects[SLOT_A]) > 8 and h.colours(swapped, rects[SLOT_B]) > 8,
                "both exchanged items still show their pictures")

    # --- dropped on an empty part of the ring, an item goes back ----------------------------
    back_rect = rects[SLOT_BACK]
    before_file = config.read_bytes()
    empty_point = (centre[0] + 150, centre[1] - 40)
    held = {}
    d.drag(centre_of(back_rect), empty_point, before_release=lambda: held.update(item_rects(h, [SLOT_BACK])))
    d.park()
    h.check(held.get(SLOT_BACK) == (empty_point[0] - 25, empty_point[1] - 25, empty_point[0] + 25,
                                    empty_point[1] + 25), "the dragged item follows the pointer", held)
    h.check(h.poll(lambda: item_rects(h, [SLOT_BACK])[SLOT_BACK] == back_rect, 3),
            "an item dropped on an empty part of the ring goes back to its slot", item_rects(h, [SLOT_BACK]))
    h.check(config.read_bytes() == before_file, "putting an item back leaves the file alone")

    # --- thrown out of the ring, an item is deleted after its animation ---------------------
    throw_rect = rects[SLOT_THROW]
    rest = [s for s in SLOTS if s != SLOT_THROW]
    rest_before = item_rects(h, rest)
    throw_window = by_title.get("Circle%d" % SLOT_THROW)
    far = (centre[0] - 400, centre[1] - 250)  # 470 px from the centre
    held = {}
    d.drag(centre_of(throw_rect), far, before_release=lambda: held.update(item_rects(h, [SLOT_THROW])))
    released = time.monotonic()
    pictures, bare = watch_delete_animation(d, far, released, h.out / "08-delete-animation.png")
    h.log("  %d pictures where the item was released; bare desktop after %s s" % (pictures, bare))
    followed = h.check(held.get(SLOT_THROW) == (far[0] - 25, far[1] - 25, far[0] + 25, far[1] + 25),
                       "the thrown item follows the pointer out of the ring", held)
    h.screenshot("08-thrown")
    gone = h.wintool("wait-gone", "-", "Circle%d" % SLOT_THROW, 5000)
    waited = time.monotonic() - released
    if h.check(gone.ok, "the thrown item's window goes away", gone):
        h.log("  window gone %.2f s after the release" % waited)
    d.park()
    main, by_title = ring_windows(h)
    h.check(throw_window is None or all(w.hwnd != throw_window.hwnd for w in by_title.values()),
            "no window of the thrown item remains", by_title.keys())
    values = item_values(config, "RoundBackground", "Circle%d" % SLOT_THROW)
    h.check(values is not None and all(v == "" for v in values.values()),
            "the thrown item's element is emptied in the file", values)
    h.check(item_rects(h, rest) == rest_before, "the other items stay where they are",
            (item_rects(h, rest), rest_before))
    after_throw = h.screenshot("09-after-throw")
    if followed:
        h.check(h.colours(after_throw, (far[0] - 40, far[1] - 40, far[0] + 40, far[1] + 40)) <= 2,
                "nothing is left on the screen where the item was thrown")
        # Five frames at 40 ms, the removal at 240 ms: the item's own picture
        # and a few frames are seen before the desktop is bare.
        h.check(pictures >= 4 and bare is not None and 0.15 <= bare <= 1.5,
                "the item plays its delete animation before it goes", (pictures, bare))

    # --- the hot key Alt+letter hides and shows every window ---------------------------------
    ring_shown = lambda: any(w.title == "BackGroundForm" for w in shown_program_windows(h) or [])
    h.check(ring_shown(), "the ring is shown before the hot key")

    def press_hot_key(letter, focus_title):
        focus = d.x_windows(focus_title)
        h.check(focus, "an X window titled %s takes the keyboard focus" % focus_title)
        if focus:
            d.focus(focus[0])
        d.key("alt+" + letter.lower())

    shown_rects = item_rects(h, rest)
    press_hot_key(HOT_KEY, "Circle%d" % SLOT_HOVER)
    hidden = h.poll(lambda: shown_program_windows(h) == [], 5)
    h.check(hidden, "Alt+%s hides every window of the program" % HOT_KEY, shown_program_windows(h))
    hidden_shot = h.screenshot("10-hidden")
    ring_area = (centre[0] - 220, centre[1] - 220, centre[0] + 220, centre[1] + 220)
    h.check(h.colours(hidden_shot, ring_area) <= 2, "nothing of the ring is left on the screen")
    h.check(h.tray_icons() == 1, "the tray icon stays")
    if hidden:
        # The program's windows are all hidden: the tray window takes the focus.
        press_hot_key(HOT_KEY, "Wine System Tray")
        shown = h.poll(ring_shown, 5)
        h.check(shown, "Alt+%s again shows the windows" % HOT_KEY, shown_program_windows(h))
        again = h.screenshot("11-shown-again")
        h.check(h.colours(again, rects[SLOT_HOVER]) > 8, "the items are back on the screen")
        h.check(item_rects(h, rest) == shown_rects, "the items are back at their places",
                (item_rects(h, rest), shown_rects))

        press_hot_key("C", "Circle%d" % SLOT_HOVER)
        time.sleep(1.0)
        h.check(ring_shown(), "Alt+C does nothing when the file names %s" % HOT_KEY)

        # --- a second start shows the hidden windows -----------------------------------------
        press_hot_key(HOT_KEY, "Circle%d" % SLOT_HOVER)
        if h.check(h.poll(lambda: shown_program_windows(h) == [], 5), "hidden again with the hot key"):
            second = h.wintool("launch-and-wait-exit", h.win_path(folder / "Quorvel.exe"), 20000)
            h.check(second.ok, "the second start ends by itself", second)
            shown = h.poll(ring_shown, 5)
            h.check(shown, "the second start shows the first one's windows", shown_program_windows(h))
            restored = h.screenshot("12-restored-by-second-start")
            h.check(h.colours(restored, rects[SLOT_HOVER]) > 8, "the items are on the screen again")

    code = h.close_app(app)
    h.check(code is not None, "the program ends when closed", code)
    after_a = item_values(config, "RoundBackground", "Circle%d" % SLOT_A)
    h.check(after_a == values_b, "the exchange is still in the file after the close", after_a)


if __name__ == "__main__":
    harness.run_scenario("interaction", scenario, time_limit=280)
