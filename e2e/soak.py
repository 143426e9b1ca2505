#!/usr/bin/python3
"""Only Windows shows: the real program under a random stream of real X input
(xdotool) on a ring of 20 items and a dock of 8, all launching noop.exe:
pointer moves, clicks, wheel notches, arrow keys, exchanges, drags out and
back, menus dismissed, the hot key twice. Every few steps, with the windows
settled: each filled slot has one window on its ring, the file holds what the
exchanges made, no window leaked, the program alive and answering.

The seed is printed; --seed replays the same choices (not the same frames)."""

import math
import random
import time

import harness
from harness import Desktop, centre_of

DOCK_ITEMS = 8
SYSTOOLS = ("MyComputer", "MyNetwork", "MyDocuments", "RecycleBin", "ControlPanel", "MyFiles")
# The ring's centre at (640, 400).
SETTINGS = {("Position", "Left"): "543", ("Position", "Top"): "316", ("HotKey", "Key"): "Q",
            ("ShowRect", "IsShowRect"): "True"}


def add_options(parser):
    parser.add_argument("--seconds", type=float, default=40, help="how long to run the random input")
    parser.add_argument("--seed", type=int, default=None, help="seed of the random choices (default: a new one)")
    parser.add_argument("--check-every", type=int, default=6, help="steps between two checks")


def file_items(config):
    """({slot: Name} of the ring's filled elements, [(element, Name)] of the dock)."""
    root = harness.parse_config(config)
    ring = {s: e.findtext("Name") for s in range(1, 21)
            for e in [harness.find_path(root, "RoundBackground", "Circle%d" % s)] if e is not None and e.findtext("File")}
    return ring, [(e.tag, e.findtext("Name") or "") for e in root.find("RectBackground")]


class Soak:
    def __init__(self, h, rng, config, app):
        self.h = h
        self.d = Desktop(h)
        self.rng = rng
        self.config = config
        self.app = app
        self.steps = []  # what was done, for the report of a failure
        self.faults = 0
        self.baseline = None
        self.model, self.dock_model = file_items(config)

    # --- the program's windows ----------------------------------------------------------
    def snapshot(self):
        main, others = self.h.program_windows()
        return main, others

    def items(self):
        main, others = self.snapshot()
        ring = {int(w.title[6:]): w for w in others if w.title.startswith("Circle") and w.title[6:].isdigit()}
        dock = {int(w.title[4:]): w for w in others if w.title.startswith("Rect") and w.title[4:].isdigit()}
        return main, ring, dock

    def settle(self, timeout=4.0):
        """Waits until two window lists a moment apart are the same (no
        turn, bounce or magnification in progress)."""
        last = None
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            now = [(w.hwnd, w.title, w.rect, w.visible) for w in self.h.windows()]
            if now == last:
                return True
            last = now
            time.sleep(0.25)
        return False

    def menus(self):
        return [w for w in self.h.windows() if w.cls == "#32768" and w.visible]

    def focus_ring(self):
        _, ring, _ = self.items()
        for s in sorted(ring):
            xids = self.d.x_windows("Circle%d" % s)
            if xids:
                self.d.focus(xids[0])
                return True
        return False

    # --- the actions ------------------------------------------------------------------------
    def pick_item(self, ring):
        return self.rng.choice(sorted(ring)) if ring else None

    def act(self, step):
        main, ring, dock = self.items()
        if main is None:
            return "no main window"
        if main.rect[0] <= -30000:
            # Minimized: every place computed from it is off the screen. The check reports it.
            return "nothing: the main window is minimized at %s" % (main.rect[:2],)
        centre = centre_of(main.rect)
        kind = self.rng.choices(
            ["move", "click", "wheel", "key", "exchange", "out-and-back", "menu", "hotkey", "dock-move", "dock-click"],
            weights=[20, 8, 12, 12, 12, 6, 4, 2, 6, 3])[0]
        d = self.d
        if kind == "move":
            s = self.pick_item(ring)
            if s is None or self.rng.random() < 0.3:
                point = (self.rng.randint(centre[0] - 260, centre[0] + 260), self.rng.randint(centre[1] - 260,
                                                                                              centre[1] + 260))
                d.move(*point)
                return "move to %s" % (point,)
            point = centre_of(ring[s].rect)
            d.move(*point)
            return "move onto Circle%d at %s" % (s, point)
        if kind == "click":
            s = self.pick_item(ring)
            if s is None:
                return "click: no item"
            d.click(centre_of(ring[s].rect))
            return "click Circle%d at %s" % (s, centre_of(ring[s].rect))
        if kind == "wheel":
            # A notch over the bare desktop makes the window manager switch
            # desktops, which hides every window (and leaves the main window
            # minimized under Wine): over the skin's band any time (the gap
            # around the center button lets the pointer through), over an item
            # only once the rings stand still.
            down = self.rng.random() < 0.5
            if self.rng.random() < 0.5:
                angle, r = self.rng.uniform(0, 2 * math.pi), self.rng.uniform(80, 140)
                point = (int(centre[0] + r * math.cos(angle)), int(centre[1] + r * math.sin(angle)))
                d.wheel(point, down=down)
                return "wheel %s over the ring at %s" % ("down" if down else "up", point)
            self.settle()
            main, ring, dock = self.items()
            s = self.pick_item(ring)
            if s is None:
                return "wheel: no item"
            d.wheel(centre_of(ring[s].rect), down=down)
            return "wheel %s over Circle%d" % ("down" if down else "up", s)
        if kind == "key":
            key = self.rng.choice(["Left", "Right", "Up", "Down"])
            self.focus_ring()
            d.key(key)
            return "key %s" % key
        if kind == "exchange":
            if len(ring) < 2:
                return "exchange: fewer than two items"
            self.settle()
            main, ring, dock = self.items()
            a, b = self.rng.sample(sorted(ring), 2)
            ra, rb = ring[a].rect, ring[b].rect
            d.drag(centre_of(ra), centre_of(rb), steps=self.rng.randint(4, 14), pause=0.03)
            d.park()
            self.settle()
            self.model[a], self.model[b] = self.model.get(b), self.model.get(a)
            return "drag Circle%d %s onto Circle%d %s" % (a, centre_of(ra), b, centre_of(rb))
        if kind == "out-and-back":
            s = self.pick_item(ring)
            if s is None:
                return "out-and-back: no item"
            self.settle()
            main, ring, dock = self.items()
            if s not in ring:
                return "out-and-back: Circle%d gone" % s
            start = centre_of(ring[s].rect)
            angle = self.rng.uniform(0, 2 * math.pi)
            far = (int(centre[0] + 330 * math.cos(angle)), int(centre[1] + 330 * math.sin(angle)))
            d.move(*start)
            time.sleep(0.1)
            d.xdo("mousedown", 1)
            time.sleep(0.1)
            for point in (far, start):
                d.move(*point)
                time.sleep(0.15)
            d.xdo("mouseup", 1)
            d.park()
            return "drag Circle%d from %s out to %s and back" % (s, start, far)
        if kind == "menu":
            # A right click on the bare desktop opens the window manager's menu.
            self.settle()
            main, ring, dock = self.items()
            s = self.pick_item(ring)
            if s is None:
                return "menu: no item"
            d.click(centre_of(ring[s].rect), button=3)
            opened = self.h.poll(lambda: self.menus(), 3)
            time.sleep(0.4)
            self.focus_ring()
            d.key("Escape")
            closed = self.h.poll(lambda: not self.menus(), 3)
            if not closed:
                # Escape reached another window: a click elsewhere closes a menu too.
                d.click((5, 5))
                closed = self.h.poll(lambda: not self.menus(), 3)
            if opened and not closed:
                self.fault(step, "the menu of Circle%d stays open after Escape and a click elsewhere" % s)
            return "right click Circle%d, Escape (menu %s)" % (s, "shown" if opened else "not seen")
        if kind == "hotkey":
            # The key reaches Wine only through one of its windows that holds
            # the focus, and a busy window manager can hand the focus over
            # after the key: each press waits long enough to see a late
            # toggle and is made again only when none came.
            hidden = shown = False
            for _ in range(3):
                self.focus_ring()
                d.key("alt+q")
                hidden = self.h.poll(lambda: not any(w.visible for w in self.items()[1].values()), 4)
                if hidden:
                    break
            for _ in range(3 if hidden else 0):
                trays = d.x_windows("Wine System Tray")
                if trays:
                    d.focus(trays[0])
                    time.sleep(0.3)
                d.key("alt+q")
                shown = self.h.poll(lambda: any(w.visible for w in self.items()[1].values()), 4)
                if shown:
                    break
            if not (hidden and shown):
                self.fault(step, "the hot key twice: hidden %s, shown again %s" % (hidden, shown))
            return "hot key Alt+Q twice"
        if kind in ("dock-move", "dock-click"):
            if not dock:
                return "%s: no dock item" % kind
            j = self.rng.choice(sorted(dock))
            point = centre_of(dock[j].rect)
            if kind == "dock-move":
                d.move(*point)
            else:
                d.click(point)
            return "%s Rect%d at %s" % (kind, j, point)
        return kind

    # --- the invariants ----------------------------------------------------------------------
    def fault(self, step, text):
        self.faults += 1
        self.h.check(False, "step %d: %s" % (step, text), "last steps: %s" % self.steps[-8:])

    def check(self, step):
        h = self.h
        before = self.faults
        self.d.park()
        time.sleep(0.3)
        if not self.settle(6.0):
            h.log("  step %d: the windows did not settle in 6 s (checked anyway)" % step)
        if not self.app.running():
            self.fault(step, "the program ended (exit %s)" % self.app.process.returncode)
            raise harness.Abort("the program is gone", counted=True)
        answer = h.wintool("send", harness.MAIN_CLASS, harness.MAIN_TITLE, 0, 0, 0, timeout=30)
        if not answer.ok:
            self.fault(step, "the main window does not answer a message: %s" % answer)
        main, others = self.snapshot()
        if main is None:
            self.fault(step, "no main window")
            return
        if main.rect[0] <= -30000:
            self.fault(step, "the main window is minimized: %s" % main)
        ring_file, dock_file = file_items(self.config)
        titles = {}
        for w in others:
            titles.setdefault(w.title, []).append(w)
        for title, ws in titles.items():
            if (title.startswith("Circle") or title.startswith("Rect")) and title != "RectForm" and len(ws) > 1:
                self.fault(step, "%d windows named %s" % (len(ws), title))
        circles = {int(t[6:]) for t in titles if t.startswith("Circle") and t[6:].isdigit()}
        if circles != set(ring_file):
            self.fault(step, "ring windows %s, filled elements %s" % (sorted(circles), sorted(ring_file)))
        if ring_file != self.model:
            self.fault(step, "the file's ring %s, after the exchanges made it should be %s" % (ring_file, self.model))
            self.model = ring_file  # report each difference once
        if sorted(ring_file.values()) != sorted("Item %d" % s for s in self.initial_slots):
            self.fault(step, "the file's items changed: %s" % sorted(ring_file.values()))
        rects = {int(t[4:]) for t in titles if t.startswith("Rect") and t[4:].isdigit()}
        want_dock = [("Rect%d" % j, "Dock %d" % j) for j in range(1, DOCK_ITEMS + 1)]
        if dock_file != want_dock or rects != set(range(1, DOCK_ITEMS + 1)):
            self.fault(step, "dock: file %s, windows %s" % (dock_file, sorted(rects)))
        # Every ring window stands on its ring: the inner ones at one distance
        # from the centre, the outer ones at another.
        centre = centre_of(main.rect)
        radii = {"inner": [], "outer": []}
        for s in sorted(circles):
            w = titles["Circle%d" % s][0]
            if not w.visible or (w.width, w.height) != (50, 50):
                self.fault(step, "Circle%d hidden or not 50x50: %s" % (s, w))
                continue
            x, y = centre_of(w.rect)
            radii["inner" if s <= 8 else "outer"].append((s, math.hypot(x - centre[0], y - centre[1])))
        for ring_name, values in radii.items():
            if values and max(r for _, r in values) - min(r for _, r in values) > 2:
                self.fault(step, "the %s ring's items stand at different distances: %s" % (ring_name, values))
        if radii["inner"] and radii["outer"] and max(r for _, r in radii["inner"]) >= min(r for _, r in radii["outer"]):
            self.fault(step, "the outer ring is not outside the inner one: %s" % radii)
        # No window came or went besides the items, the popup menus and the
        # tooltip control, which is made the first time the pointer rests on a
        # window with a tip (its title is the text it last showed).
        rest = sorted((w.cls, w.title) for w in others
                      if not ((w.title.startswith("Circle") or w.title.startswith("Rect")) and w.title[-1].isdigit())
                      and w.cls not in ("#32768", "tooltips_class32"))
        if self.baseline is None:
            self.baseline = rest
        elif rest != self.baseline:
            self.fault(step, "the program's other windows changed: %s, at the start %s" % (rest, self.baseline))
            self.baseline = rest
        h.log("  check after step %d: %s (%d ring windows, %d dock windows)"
              % (step, "ok" if self.faults == before else "FAULT", len(circles), len(rects)))
        if self.faults != before:
            h.screenshot("fault-step-%d" % step)
            h.log("  the program's windows: %s" % ([main] + others))

    def run(self, seconds, check_every):
        h = self.h
        self.initial_slots = sorted(self.model)
        self.check(0)
        began = time.monotonic()
        step = 0
        while time.monotonic() - began < seconds:
            step += 1
            did = self.act(step)
            self.steps.append("%d: %s" % (step, did))
            h.log("  step %s" % self.steps[-1])
            if step % check_every == 0:
                self.check(step)
        self.check(step)
        return step


def soak(h):
    options = h.options
    seed = options.seed if options.seed is not None else random.SystemRandom().randrange(1 << 31)
    h.log("soak seed %d, %.0f s (replay: --seed %d --seconds %.0f)" % (seed, options.seconds, seed, options.seconds))
    print("soak seed %d" % seed, flush=True)
    noop = "{app}\\noop.exe"
    app = h.program(ring={s: harness.item(noop, "Item %d" % s, define=harness.TOOL % SYSTOOLS[s % 6]) for s in range(1, 21)},
                    dock=[harness.item(noop, "Dock %d" % j, define=harness.TOOL % SYSTOOLS[j % 6])
                          for j in range(1, DOCK_ITEMS + 1)], settings=SETTINGS)
    (app.folder / "noop.exe").write_bytes((h.tools / "noop.exe").read_bytes())
    time.sleep(1.0)
    s = Soak(h, random.Random(seed), app.config, app)
    steps = s.run(options.seconds, options.check_every)
    h.screenshot("soak-end")
    h.log("soak seed %d: %d steps, %d faults" % (seed, steps, s.faults))
    h.check(s.faults == 0, "seed %d: %d steps without a fault" % (seed, steps))
    code = h.close_app(app)
    h.check(code is not None, "the program ends when closed", code)


if __name__ == "__main__":
    harness.run_scenario("soak", soak, time_limit=lambda o: int(o.seconds * 3) + 200, add_options=add_options)
