#!/usr/bin/python3
"""Only Windows shows: the real program under a random stream of real X input
(xdotool) on a ring of 20 items, all launching noop.exe: pointer moves,
clicks, wheel notches, arrow keys, exchanges, drags out and back, menus
dismissed. Every few steps, with the windows settled: each filled slot has
one window, the file holds what the exchanges made, no window leaked, the
program alive; at the end it still answers the close.

The seed is printed; --seed replays the same choices (not the same frames)."""

import collections
import math
import random
import time

import harness
from harness import Desktop, centre_of

SYSTOOLS = ("MyComputer", "MyNetwork", "MyDocuments", "RecycleBin", "ControlPanel", "MyFiles")
# The ring's centre at (640, 400).
SETTINGS = {("Position", "Left"): "543", ("Position", "Top"): "316", ("ShowRect", "IsShowRect"): "False"}


def add_options(parser):
    parser.add_argument("--seconds", type=float, default=40, help="how long to run the random input")
    parser.add_argument("--seed", type=int, default=None, help="seed of the random choices (default: a new one)")
    parser.add_argument("--check-every", type=int, default=6, help="steps between two checks")


def file_items(config):
    """{slot: Name} of the ring's filled elements."""
    root = harness.parse_config(config)
    return {s: e.findtext("Name") for s in range(1, 21)
            for e in [harness.find_path(root, "RoundBackground", "Circle%d" % s)] if e is not None and e.findtext("File")}


class Soak:
    def __init__(self, h, rng, app):
        self.h, self.d, self.rng, self.app = h, Desktop(h), rng, app
        self.steps = []  # what was done, for the report of a fault
        self.faults = 0
        self.baseline = None
        self.model = file_items(app.config)
        self.names = sorted(self.model.values())

    def items(self):
        main, others = self.h.program_windows()
        return main, {int(w.title[6:]): w for w in others if w.title[:6] == "Circle" and w.title[6:].isdigit()}

    def settle(self, timeout=4.0):
        """Whether the windows stopped moving (no turn, bounce or magnification) within the timeout."""
        read = lambda: [(w.hwnd, w.title, w.rect, w.visible) for w in self.h.windows()]
        return self.h.poll(lambda: read() == read(), timeout, interval=0.1)

    def focus_ring(self):
        xids = [x for s in sorted(self.items()[1]) for x in self.d.x_windows("Circle%d" % s)]
        if xids:
            self.d.focus(xids[0])

    def pick(self, settle=False):
        """A ring item's number and centre, with the rings standing still when asked."""
        if settle:
            self.settle()
        ring = self.items()[1]
        if not ring:
            return None, None
        s = self.rng.choice(sorted(ring))
        return s, centre_of(ring[s].rect)

    def around(self, centre, low, high):
        """A point at a random angle, low to high pixels from the centre."""
        angle, r = self.rng.uniform(0, 2 * math.pi), self.rng.uniform(low, high)
        return int(centre[0] + r * math.cos(angle)), int(centre[1] + r * math.sin(angle))

    # --- the actions: each returns what it did ---

    def move(self, centre):
        s, point = self.pick()
        if s is None or self.rng.random() < 0.3:
            point = (centre[0] + self.rng.randint(-260, 260), centre[1] + self.rng.randint(-260, 260))
        self.d.move(*point)
        return "move to %s" % (point,)

    def click(self, centre):
        s, point = self.pick()
        if s:
            self.d.click(point)
        return "click Circle%s" % s

    def wheel(self, centre):
        # A notch over the bare desktop makes the window manager switch desktops:
        # over the skin's band any time, over an item once the rings stand still.
        down = self.rng.random() < 0.5
        point = self.around(centre, 80, 140) if self.rng.random() < 0.5 else self.pick(settle=True)[1]
        if point:
            self.d.wheel(point, down=down)
        return "wheel %s at %s" % ("down" if down else "up", point)

    def key(self, centre):
        key = self.rng.choice(["Left", "Right", "Up", "Down"])
        self.focus_ring()
        self.d.key(key)
        return "key %s" % key

    def exchange(self, centre):
        self.settle()
        ring = self.items()[1]
        if len(ring) < 2:
            return "exchange: fewer than two items"
        a, b = self.rng.sample(sorted(ring), 2)
        self.d.drag(centre_of(ring[a].rect), centre_of(ring[b].rect), steps=self.rng.randint(4, 14))
        self.d.park()
        self.settle()
        self.model[a], self.model[b] = self.model.get(b), self.model.get(a)
        return "drag Circle%d onto Circle%d" % (a, b)

    def out_and_back(self, centre):
        s, start = self.pick(settle=True)
        if s is None:
            return "out-and-back: no item"
        far = self.around(centre, 330, 330)
        self.d.drag(start, far, steps=1, hold=0.1, before_release=lambda: (self.d.move(*start), time.sleep(0.1)))
        self.d.park()
        return "drag Circle%d out to %s and back" % (s, far)

    def menu(self, centre):
        # On an item: a right click on the bare desktop opens the window manager's menu.
        s, point = self.pick(settle=True)
        if s is None:
            return "menu: no item"
        self.d.click(point, button=3)
        opened = self.h.poll(lambda: harness.menus_shown(self.h), 3)
        time.sleep(0.4)
        self.focus_ring()
        self.d.key("Escape")
        if not self.h.poll(lambda: not harness.menus_shown(self.h), 3):
            self.d.click((5, 5))  # Escape reached another window: a click elsewhere closes a menu too
            if opened and not self.h.poll(lambda: not harness.menus_shown(self.h), 3):
                self.fault("the menu of Circle%d stays open after Escape and a click elsewhere" % s)
        return "right click Circle%d, Escape" % s

    ACTIONS = ((move, 20), (click, 8), (wheel, 12), (key, 12), (exchange, 12), (out_and_back, 6), (menu, 4))

    def act(self):
        main = self.items()[0]
        if main is None or main.rect[0] <= -30000:
            return "nothing: no main window or minimized (the check reports it)"
        action = self.rng.choices([a for a, _ in self.ACTIONS], weights=[w for _, w in self.ACTIONS])[0]
        return action(self, centre_of(main.rect))

    # --- the invariants ---

    def fault(self, text):
        self.faults += 1
        self.h.check(False, "step %d: %s" % (len(self.steps), text), "last steps: %s" % self.steps[-8:])

    def check(self):
        h, before = self.h, self.faults
        self.d.park()
        time.sleep(0.3)
        if not self.settle(6.0):
            h.log("  the windows did not settle in 6 s (checked anyway)")
        if not self.app.running():
            self.fault("the program ended (exit %s)" % self.app.process.returncode)
            raise harness.Abort("the program is gone", counted=True)
        main, others = h.program_windows()
        if main is None or main.rect[0] <= -30000:
            return self.fault("no main window, or it is minimized: %s" % main)
        titles = collections.Counter(w.title for w in others if w.title[-1:].isdigit())
        doubled = [t for t, n in titles.items() if n > 1]
        if doubled:
            self.fault("more than one window named %s" % doubled)
        ring_file = file_items(self.app.config)
        ring = self.items()[1]
        if set(ring) != set(ring_file) or ring_file != self.model or sorted(ring_file.values()) != self.names:
            self.fault("ring windows %s, the file's ring %s, after the exchanges %s" % (sorted(ring), ring_file,
                                                                                       self.model))
            self.model = ring_file  # each difference reported once
        for s, w in ring.items():
            if not w.visible or (w.width, w.height) != (50, 50):
                self.fault("Circle%d hidden or not 50x50: %s" % (s, w))
        # No window came or went but the items, popup menus and the tooltip control.
        rest = sorted((w.cls, w.title) for w in others if not w.title[-1:].isdigit()
                      and w.cls not in ("#32768", "tooltips_class32"))
        if self.baseline not in (None, rest):
            self.fault("the program's other windows changed: %s, at the start %s" % (rest, self.baseline))
        self.baseline = rest
        if self.faults != before:
            h.screenshot("fault-step-%d" % len(self.steps))

    def run(self, seconds, check_every):
        self.check()
        began = time.monotonic()
        while time.monotonic() - began < seconds:
            self.steps.append("%d: %s" % (len(self.steps) + 1, self.act()))
            self.h.log("  step " + self.steps[-1])
            if len(self.steps) % check_every == 0:
                self.check()
        self.check()
        return len(self.steps)


def soak(h):
    options = h.options
    seed = options.seed if options.seed is not None else random.SystemRandom().randrange(1 << 31)
    h.log("soak seed %d, %.0f s (replay: --seed %d --seconds %.0f)" % (seed, options.seconds, seed, options.seconds))
    print("soak seed %d" % seed, flush=True)
    noop = "{app}\\noop.exe"
    folder = h.prepare(ring={s: harness.item(noop, "Item %d" % s, define=harness.TOOL % SYSTOOLS[s % 6])
                             for s in range(1, 21)}, settings=SETTINGS)
    (folder / "noop.exe").write_bytes((h.tools / "noop.exe").read_bytes())
    Desktop(h).park()
    app = h.start_ready(folder)
    time.sleep(1.0)
    s = Soak(h, random.Random(seed), app)
    steps = s.run(options.seconds, options.check_every)
    h.screenshot("soak-end")
    h.check(s.faults == 0, "seed %d: %d steps without a fault" % (seed, steps))
    code = h.close_app(app)
    h.check(code is not None, "the program ends when closed", code)


if __name__ == "__main__":
    harness.run_scenario("soak", soak, time_limit=lambda o: int(o.seconds * 3) + 200, add_options=add_options)
