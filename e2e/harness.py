"""Runs the Windows build of Quorvel under Wine on a private X display.

run_scenario() parses the options, starts Xvfb (-noreset) with openbox and
xcompmgr, takes the Wine prefix all scenarios share (made once, under a lock)
and keeps its wineserver up, runs the scenario, stops everything it started
whatever happened, and prints "N passed, N failed" last (exit code 1 on any
failure). The scenario gets the started-program fixture (program()), the one
item writer (item(), put_items()), real input (Desktop), the context menus,
wintool, screenshots, checks and tables of cases (cases()).

Run with Debian's /usr/bin/python3 (python3-xlib lives there)."""

import argparse
import fcntl
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback
import xml.etree.ElementTree as ET
from pathlib import Path
from xml.sax.saxutils import escape

MAIN_CLASS = "TFormRoundHot"
MAIN_TITLE = "Quorvel"
SCREEN = "1280x800x24"
NOTEPAD = Path("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/notepad.exe")
# The pictures the program ships, for items: TOOL % "MyComputer".
TOOL = "{app}\\Icon\\SysTool\\%s.png"
ITEM_FIELDS = ("File", "Argument", "Name", "IconPath/Default", "IconPath/Define", "Http", "InitialPosition")


class Abort(Exception):
    """What later steps depend on did not happen; counted: a check already counted it."""

    def __init__(self, message, counted=False):
        super().__init__(message)
        self.counted = counted


def unescape(text):
    """Reverses wintool's escaping of \\, \n, \r and \t."""
    return re.sub(r"\\([\\nrt])", lambda m: {"\\": "\\", "n": "\n", "r": "\r", "t": "\t"}[m.group(1)], text)


def centre_of(rect):
    return ((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)


# --- the configuration file -------------------------------------------------

def config_encoding(data):
    """The declared encoding of an XML file's bytes, 'utf-8' when none."""
    match = re.match(rb'^\s*<\?xml[^>]*encoding\s*=\s*["\']([A-Za-z0-9._-]+)["\']', data)
    return "utf-8-sig" if data.startswith(b"\xef\xbb\xbf") else match.group(1).decode().lower() if match else "utf-8"


def parse_config(path):
    """Parses the file whatever its declared encoding (expat alone knows few)."""
    data = Path(path).read_bytes()
    return ET.fromstring(re.sub(r"^\s*<\?xml[^>]*\?>", "", data.decode(config_encoding(data)), count=1))


def edit_config_attributes(path, changes):
    """Sets attributes in place, the file's bytes kept otherwise: changes maps
    (element, attribute) to the value; each element occurs once and has it."""
    data = Path(path).read_bytes()
    encoding = config_encoding(data)
    text = data.decode(encoding)
    for (element, attribute), value in changes.items():
        tags = list(re.finditer(r"<%s\b[^>]*>" % re.escape(element), text))
        if len(tags) != 1:
            raise Abort("expected one <%s> in %s, found %d" % (element, path, len(tags)))
        new_tag, count = re.subn(r'(\b%s\s*=\s*)(["\'])[^"\']*\2' % re.escape(attribute),
                                 lambda m: m.group(1) + m.group(2) + value + m.group(2), tags[0].group(0))
        if count != 1:
            raise Abort("<%s> has no attribute %s" % (element, attribute))
        text = text[:tags[0].start()] + new_tag + text[tags[0].end():]
    Path(path).write_bytes(text.encode(encoding))


def pin_language(path, language):
    """Gives <Basic> the interface's language, which settings may then change."""
    data = Path(path).read_bytes()
    encoding = config_encoding(data)
    text = re.sub(r"<Basic\b(?![^>]*\bLanguage=)", '<Basic Language="%s"' % language, data.decode(encoding), count=1)
    Path(path).write_bytes(text.encode(encoding))


def find_path(root, *names):
    """The first element along names (each the first child of that name)."""
    for name in names:
        root = root.find(name) if root is not None else None
    return root


def item(file="", name="", define="", default="", argument="", http="", initial=""):
    """The body of one ring or dock element."""
    return ("<File>%s</File><Argument>%s</Argument><Name>%s</Name><IconPath><Default>%s</Default><Define>%s</Define>"
            "</IconPath><Http>%s</Http><InitialPosition>%s</InitialPosition>") % tuple(
        escape(v) for v in (file, argument, name, default, define, http, initial))


def put_items(config, ring, dock=None):
    """The one item writer: the file's Circle elements from ring {slot: item()}
    and, unless dock is None, its dock list replaced by dock [item()]."""
    text = config.read_text(encoding="utf-8")
    for slot, body in ring.items():
        name = "Circle%d" % slot
        text, count = re.subn(r"<%s\s*/>|<%s>.*?</%s>" % (name, name, name), lambda m: "<%s>%s</%s>" % (name, body, name),
                              text, count=1, flags=re.S)
        if count != 1:
            raise Abort("no element %s in the file" % name)
    if dock is not None:
        text = re.sub(r"<RectBackground\s*/>|<RectBackground>.*?</RectBackground>", "", text, flags=re.S)
        text = text.replace("</Quorvel>", "<RectBackground>%s</RectBackground></Quorvel>" % "".join(
            "<Rect%d>%s</Rect%d>" % (j, body, j) for j, body in enumerate(dock, 1)))
    config.write_text(text, encoding="utf-8")


def item_values(config, parent, name):
    """{field: text} of an item element ("" for empty fields), None when missing."""
    element = find_path(parse_config(config), parent, name)
    return None if element is None else {f: element.findtext(f) for f in ITEM_FIELDS}


# --- what wintool lists -------------------------------------------------------

class Window:
    def __init__(self, line):
        parts = line.split("\t")
        self.hwnd, self.cls, self.title = int(parts[0], 16), unescape(parts[1]), unescape(parts[2])
        self.visible = parts[3] == "1"
        self.rect = tuple(int(v) for v in parts[4].split(","))
        self.pid = int(parts[5])
        self.width, self.height = self.rect[2] - self.rect[0], self.rect[3] - self.rect[1]

    def __repr__(self):
        return "<%#x %s %r %s %s>" % (self.hwnd, self.cls, self.title, "visible" if self.visible else "hidden", self.rect)


class FormControl:
    """One control of a dialog as wintool's form-controls lists it."""

    def __init__(self, line):
        parts = line.split("\t")
        self.name, self.cls, self.id, self.text, self.value = parts[0], parts[1], int(parts[2]), unescape(parts[3]), \
            parts[4]
        self.rect = tuple(int(v) for v in parts[5].split(","))  # left, top, width, height in the client area
        self.visible = parts[6] == "visible"
        self.text_width = int(parts[8]) if len(parts) > 8 else -1  # the text in the control's font, in pixels

    def __repr__(self):
        return "<%s %s %r %s %s>" % (self.name, self.cls, self.text, self.value, self.rect)


class ToolRun:
    """A Windows console program whose output goes to files, not pipes: the
    first program of a Wine session starts its services, which inherit the
    handles and would hold a pipe open long after it ended. result() gives
    code, ok, lines (stdout's) and stderr."""

    def __init__(self, command, env):
        self.out, self.err = tempfile.TemporaryFile(), tempfile.TemporaryFile()
        self.process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=self.out, stderr=self.err)

    def result(self, timeout):
        try:
            self.code = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            self.code = -1
        out, err = (f.seek(0) or f.read().decode("utf-8", errors="replace") for f in (self.out, self.err))
        self.out.close()
        self.err.close()
        self.ok, self.lines = self.code == 0, [line.rstrip("\r") for line in out.splitlines()]
        self.stderr = err + ("timed out" if self.code == -1 else "")
        return self

    def __repr__(self):
        return "exit %d: %s" % (self.code, self.lines)


class App:
    """One program started with `wine` (the Unix process ends with the Windows one)."""

    def __init__(self, process, folder, log):
        self.process, self.folder, self.log = process, folder, log
        self.config = folder / "Config" / "UserInfo.xml"

    def running(self):
        return self.process.poll() is None

    def wait_exit(self, timeout):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None


class Harness:
    def __init__(self, name, options, needs_program=True, screen=SCREEN):
        self.name, self.options, self.screen, self.needs_program = name, options, screen, needs_program
        self.dist, self.tools, self.out = (Path(p).resolve() for p in (options.dist, options.tools, options.out))
        self.work = Path(options.work).resolve() if options.work else self.out.parent.parent / "e2e-work"
        self.prefix = self.work / "wineprefix"
        self.passed = self.failed = 0
        self.display, self.env, self.lock = None, None, None
        self.helpers, self.apps = [], []  # (name, Popen) of the display and window manager; the programs
        self.started = time.monotonic()

    # -- reporting --

    def log(self, message):
        print("[%6.1fs] %s" % (time.monotonic() - self.started, message), flush=True)

    def check(self, condition, message, detail=None):
        if condition:
            self.passed += 1
            self.log("ok   " + message)
        else:
            self.failed += 1
            self.log("FAIL " + message + ("" if detail is None else ": %s" % (detail,)))
        return bool(condition)

    def require(self, condition, message, detail=None):
        if not self.check(condition, message, detail):
            raise Abort(message, counted=True)

    def cases(self, rows, body):
        """body(*row) for each row of a table; a row that ends early is counted
        failed and the next row still runs."""
        for row in rows:
            try:
                body(*row)
            except Abort as error:
                self.log("case %s ended early: %s" % (row[0], error))
                self.failed += 0 if error.counted else 1

    # -- set-up and tear-down --

    def setup(self):
        self.out.mkdir(parents=True, exist_ok=True)
        for child in self.out.iterdir():
            shutil.rmtree(child) if child.is_dir() and not child.is_symlink() else child.unlink()
        self.work.mkdir(parents=True, exist_ok=True)
        for path in [self.tools / "wintool.exe"] + ([self.dist / "Quorvel.exe"] if self.needs_program else []):
            if not path.is_file():
                raise Abort("no %s" % path)
        # One scenario at a time owns the prefix and its wineserver.
        self.lock = open(self.work / "wine.lock", "w")
        fcntl.flock(self.lock, fcntl.LOCK_EX)
        self.start_display()
        self.env = {k: v for k, v in os.environ.items() if not k.startswith("WINE")}
        # Wine turns the arguments into UTF-16 with the locale's charset.
        self.env.update(DISPLAY=self.display, WINEPREFIX=str(self.prefix), WINEDEBUG="-all", LANG="C.UTF-8",
                        LC_ALL="C.UTF-8")
        # A server left by a run that was killed would hold the old display.
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([str(Path(__file__).resolve().parent.parent / "scripts" / "setup-wine-prefix.sh")], env=self.env,
                       check=True)
        subprocess.run(["wineserver", "-p"], env=self.env, check=False)

    def start_display(self):
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen, "-noreset",
                                 "-nolisten", "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                                stderr=open(self.out / "xvfb.log", "w"))
        os.close(write_end)
        self.helpers.append(("Xvfb", xvfb))
        with os.fdopen(read_end, "rb") as pipe:
            number = pipe.readline().strip()
        if not number:
            raise Abort("Xvfb did not start (see xvfb.log)")
        self.display = ":" + number.decode()
        self.wait_until(lambda: subprocess.run(["xdpyinfo", "-display", self.display], stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL).returncode == 0, 10, "the X display")
        for name in ("openbox", "xcompmgr"):
            self.helpers.append((name, subprocess.Popen([name], env=dict(os.environ, DISPLAY=self.display),
                                                        stdout=subprocess.DEVNULL,
                                                        stderr=open(self.out / (name + ".log"), "w"))))
        self.log("display %s with openbox and xcompmgr" % self.display)

    def teardown(self):
        # Ends every Wine process of the prefix (the program, explorer, ...).
        if self.env is not None:
            subprocess.run(["wineserver", "-k"], env=self.env, check=False, stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], env=self.env, check=False, timeout=30)
        for app in self.apps:
            if app.running():
                app.process.kill()
            app.wait_exit(5)
            app.log.close()
        for name, process in reversed(self.helpers):
            process.terminate()
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        if self.lock:
            self.lock.close()

    # -- waiting --

    def poll(self, predicate, timeout, interval=0.05):
        """predicate()'s first true value, or its last value after the timeout."""
        deadline = time.monotonic() + timeout
        while True:
            value = predicate()
            if value or time.monotonic() > deadline:
                return value
            time.sleep(interval)

    def wait_until(self, predicate, timeout, what):
        value = self.poll(predicate, timeout)
        if not value:
            raise Abort("timed out after %.0f s waiting for %s" % (timeout, what))
        return value

    def settled(self, read, unlike=None, timeout=6.0):
        """read() once it differs from unlike (when given) and two reads a
        moment apart agree: windows that stopped moving."""
        deadline = time.monotonic() + timeout
        last = read()
        while unlike is not None and last == unlike and time.monotonic() < deadline:
            time.sleep(0.05)
            last = read()
        while time.monotonic() < deadline:
            time.sleep(0.15)
            now = read()
            if now == last:
                break
            last = now
        return last

    # -- the program --

    def win_path(self, path):
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")

    def fresh_copy(self, name="app"):
        """A fresh copy of the program folder, as a user unpacks it."""
        folder = self.out / name
        if folder.exists():
            shutil.rmtree(folder)
        shutil.copytree(self.dist, folder)
        # Wine's display language is English; the scenarios read the Chinese texts.
        pin_language(folder / "Config" / "UserInfo.xml", "Chinese")
        return folder

    def prepare(self, name="app", ring=None, dock=None, settings=None):
        """A fresh copy whose file holds the ring {slot: item()}, the dock
        [item()] (None keeps the file's) and settings {(element, attribute):
        value}; "{app}" in an item stands for the copy's Windows path. The
        copy holds docs\\note.txt for items to open."""
        folder = self.fresh_copy(name)
        (folder / "docs").mkdir()
        (folder / "docs" / "note.txt").write_text("note")
        config = folder / "Config" / "UserInfo.xml"
        win = self.win_path(folder)
        put_items(config, {s: body.replace("{app}", win) for s, body in (ring or {}).items()},
                  None if dock is None else [body.replace("{app}", win) for body in dock])
        edit_config_attributes(config, settings or {})
        return folder

    def program(self, name="app", ring=None, dock=None, settings=None):
        """The started-program fixture: prepare(), the pointer parked, the
        program started and ready. Returns the App."""
        folder = self.prepare(name, ring, dock, settings)
        Desktop(self).park()
        return self.start_ready(folder)

    def start(self, folder, exe="Quorvel.exe", args=()):
        log = open(self.out / ("%s-%d.log" % (Path(exe).stem, len(self.apps) + 1)), "w")
        process = subprocess.Popen(["wine", str(folder / exe)] + [str(a) for a in args], cwd=folder, env=self.env,
                                   stdout=log, stderr=subprocess.STDOUT)
        self.apps.append(App(process, folder, log))
        return self.apps[-1]

    def start_ready(self, folder, timeout=60):
        """Starts the program; returns once its main window reports that
        everything visible has been built."""
        app = self.start(folder)
        deadline = time.monotonic() + timeout
        while not self.wintool("wait-window", MAIN_CLASS, MAIN_TITLE, 1000).ok:
            if not app.running():
                raise Abort("the program exited with code %s before its main window appeared"
                            % app.process.returncode)
            if time.monotonic() > deadline:
                raise Abort("no main window after %d s" % timeout)
        ready = self.wintool("wait-ready", int(max(1, deadline - time.monotonic()) * 1000), timeout=timeout + 30)
        self.require(ready.ok, "the program starts and reports ready", ready)
        return app

    def close_app(self, app, timeout=15):
        """Closes the program as its window's close command does and waits."""
        if not app.running():
            return app.process.returncode
        self.wintool("close")
        return app.wait_exit(timeout)

    # -- windows --

    def wintool(self, *args, timeout=60):
        return self.spawn_wintool(*args).result(timeout)

    def uiaclient(self, *args, timeout=60):
        """The assistive client: what UI Automation tells of the program."""
        return ToolRun(["wine", str(self.tools / "uiaclient.exe")] + [str(a) for a in args], self.env).result(timeout)

    def spawn_wintool(self, *args):
        """Starts wintool without waiting; .result(timeout) collects it."""
        return ToolRun(["wine", str(self.tools / "wintool.exe")] + [str(a) for a in args], self.env)

    def windows(self):
        return [Window(line) for line in self.wintool("windows").lines if line]

    def program_windows(self, windows=None):
        """The main window and the other top-level windows of its process."""
        windows = self.windows() if windows is None else windows
        mains = [w for w in windows if w.cls == MAIN_CLASS and w.title == MAIN_TITLE]
        if len(mains) != 1:
            return None, []
        return mains[0], [w for w in windows if w.pid == mains[0].pid and w.hwnd != mains[0].hwnd and w.cls != "IME"]

    def shown(self):
        """{title: Window} of the program's shown windows (visible, with a size)."""
        main, others = self.program_windows()
        return {w.title: w for w in ([main] if main else []) + others if w.visible and w.width > 0 and w.height > 0}

    def tray_icons(self):
        result = self.wintool("tray-icons")
        return int(result.lines[-1]) if result.ok and result.lines else None

    def reg(self, *args):
        """wine reg; its output goes through a file, since the Wine services it
        starts keep a pipe open long after it ends."""
        with tempfile.TemporaryFile() as out:
            done = subprocess.run(["wine", "reg"] + list(args), env=self.env, stdout=out, stderr=subprocess.DEVNULL,
                                  timeout=60)
            out.seek(0)
            done.stdout = out.read().decode(errors="replace")
        return done

    # -- the program's dialogs --

    def form_controls(self, title):
        """(client size, {name: FormControl}) of the program's dialog of that title."""
        result = self.wintool("form-controls", title)
        self.require(result.ok and result.lines, "wintool lists the controls of %s" % title, result)
        client = tuple(int(v) for v in result.lines[0].split("client=")[1].split(","))
        return client, {c.name: c for c in (FormControl(line) for line in result.lines[1:] if line)}

    def form_origin(self, title, client):
        """The screen point of the dialog's client area, from its frame."""
        frame = [w for w in self.windows() if w.title == title and w.visible][0].rect
        side = (frame[2] - frame[0] - client[0]) // 2  # the frame is as wide at the sides as at the bottom
        return frame[0] + side, frame[3] - side - client[1]

    def click_page(self, d, title, page):
        """Shows a page of the dialog's page control by clicking its tab, as a user does."""
        point = self.wintool("form-tab-point", title, "PageControl1", page)
        self.require(point.ok and point.lines, "the tab of page %d of %s is found" % (page, title), point)
        d.click(tuple(int(v) for v in point.lines[0].split(",")))
        self.require(self.poll(lambda: self.form_controls(title)[1]["PageControl1"].value == "page=%d" % page, 5),
                     "a click on its tab shows page %d of %s" % (page, title))

    def control_point(self, title, name, x=None):
        """The screen point of a dialog's control: its middle, or x pixels in from its left edge."""
        client, found = self.form_controls(title)
        left, top = self.form_origin(title, client)
        r = found[name].rect
        return left + r[0] + (r[2] // 2 if x is None else x), top + r[1] + r[3] // 2

    def close_form(self, title, button):
        Desktop(self).click(self.control_point(title, button))
        self.check(self.wintool("wait-gone", "QuorvelForm", title, 10000).ok, "%s closes %s" % (button, title))

    # -- the screen --

    def screenshot(self, name):
        path = self.out / (name + ".png")
        subprocess.run(["import", "-window", "root", "-display", self.display, str(path)], check=True,
                       stderr=subprocess.DEVNULL)
        self.log("screenshot %s" % path)
        return path

    def colours(self, image, rect=None):
        """Distinct colours in the image or in rect (l, t, r, b): 1 is a flat area, nothing drawn."""
        command = ["convert", str(image)]
        if rect:
            left, top, right, bottom = (max(0, v) for v in rect)
            if right <= left or bottom <= top:
                return 0
            command += ["-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage"]
        done = subprocess.run(command + ["-format", "%k", "info:"], stdout=subprocess.PIPE, check=True)
        return int(done.stdout.decode().strip() or 0)


def _stop(signum, frame):
    raise Abort("stopped by signal %d" % signum if signum != signal.SIGALRM else "the scenario ran out of time")


def run_scenario(name, body, time_limit=240, needs_program=True, add_options=None, screen=SCREEN):
    """Parses the common options, runs body(harness) and exits with the result.
    add_options(parser) adds a scenario's own options (harness.options);
    screen: WIDTHxHEIGHTxDEPTH; time_limit: seconds, or a function of the options."""
    parser = argparse.ArgumentParser(description="Quorvel end-to-end scenario: " + name)
    parser.add_argument("--dist", required=True, help="folder of the Windows program (Quorvel.exe, Config, Icon)")
    parser.add_argument("--tools", required=True, help="folder of wintool.exe, noop.exe, marker.exe")
    parser.add_argument("--out", required=True, help="folder for logs, screenshots and the program's copy")
    parser.add_argument("--work", help="folder holding the shared Wine prefix (default: OUT/../../e2e-work)")
    if add_options:
        add_options(parser)
    options = parser.parse_args()
    harness = Harness(name, options, needs_program, screen)
    for number in (signal.SIGALRM, signal.SIGTERM, signal.SIGINT):
        signal.signal(number, _stop)
    signal.alarm(time_limit(options) if callable(time_limit) else time_limit)
    try:
        harness.setup()
        body(harness)
    except Abort as error:
        harness.log("scenario ended early: %s" % error)
        harness.failed += 0 if error.counted else 1
    except Exception:  # noqa: BLE001 - any fault of the harness or the program ends the scenario as failed
        harness.failed += 1
        harness.log("error:\n" + traceback.format_exc())
    finally:
        signal.alarm(0)
        try:
            harness.teardown()
        except Exception:  # noqa: BLE001
            harness.failed += 1
            harness.log("clean-up failed:\n" + traceback.format_exc())
    print("%s: %d passed, %d failed" % (name, harness.passed, harness.failed), flush=True)
    sys.exit(1 if harness.failed or not harness.passed else 0)


class Desktop:
    """Real input through xdotool on the scenario's display, and its pixels."""

    def __init__(self, h):
        self.h = h

    def xdo(self, *args, check=True):
        done = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.h.env, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=30)
        if check and done.returncode != 0:
            raise Abort("xdotool %s failed: %s" % (" ".join(map(str, args)), done.stderr.decode()))
        return done.stdout.decode()

    def x_windows(self, title):
        """Visible X windows named exactly title (Wine names each after its window's text)."""
        out = self.xdo("search", "--onlyvisible", "--name", "^%s$" % title, check=False)
        return [int(v) for v in out.split()]

    def move(self, x, y):
        self.xdo("mousemove", int(x), int(y))

    def drag(self, start, end, steps=12, before_release=None):
        """Press at start, move in steps to end, release; before_release()
        runs with the button still held at the end point."""
        self.move(*start)
        time.sleep(0.1)
        self.xdo("mousedown", 1)
        time.sleep(0.1)
        for i in range(1, steps + 1):
            self.move(round(start[0] + (end[0] - start[0]) * i / steps), round(start[1] + (end[1] - start[1]) * i / steps))
            time.sleep(0.03)
        time.sleep(0.15)
        try:
            if before_release:
                before_release()
        finally:
            self.xdo("mouseup", 1)

    def click(self, point, button=1):
        self.move(*point)
        time.sleep(0.1)
        self.xdo("click", button)

    def wheel(self, point, down=True):
        self.move(*point)
        time.sleep(0.1)
        self.xdo("click", 5 if down else 4)

    def focus(self, xid):
        self.xdo("windowfocus", "--sync", xid, check=False)
        time.sleep(0.1)

    def focus_on(self, title):
        """The keyboard focus to the program's X window of that title."""
        xids = self.x_windows(title)
        self.h.check(xids, "an X window titled %s takes the keyboard focus" % title)
        if xids:
            self.focus(xids[0])

    def key(self, *keys):
        self.xdo("key", "--delay", 60, *keys)

    def park(self):
        """The pointer where the program has no window (the wheel must not
        turn there: the window manager switches desktops with it)."""
        self.move(5, 5)

    def grab(self, rect, seconds, until=None):
        """Raw pictures of a screen rectangle as the compositor shows it,
        about every 10 ms for the given time or until until(picture)."""
        from Xlib import X, display
        connection = display.Display(self.h.display)
        left, top, right, bottom = rect
        pictures, deadline = [], time.monotonic() + seconds
        try:
            while True:
                image = connection.screen().root.get_image(left, top, right - left, bottom - top, X.ZPixmap,
                                                           0xFFFFFFFF)
                pictures.append(bytes(image.data))
                if time.monotonic() >= deadline or (until and until(pictures[-1])):
                    return pictures
                time.sleep(0.01)
        finally:
            connection.close()


def flat(picture):
    """Whether a grabbed picture is one colour (nothing drawn there)."""
    return all(picture[i:i + 3] == picture[:3] for i in range(0, len(picture), 4))


def frames(pictures):
    """The distinct pictures that are not flat, in order."""
    seen = []
    for picture in pictures:
        if picture not in seen and not flat(picture):
            seen.append(picture)
    return seen


# --- the context menus -------------------------------------------------------

def menus_shown(h):
    """The popup menus on the screen (the system's menu window class)."""
    return [w for w in h.windows() if w.cls == "#32768" and w.visible]


def open_menu(h, d, point, what, shot, attempts=1):
    """Right click at point until a menu shows (Wine's tray window may miss
    its first click after another program's icon went away)."""
    opened = None
    for _ in range(attempts):
        d.click(point, button=3)
        opened = h.poll(lambda: menus_shown(h), 4)
        if opened:
            break
        d.key("Escape")
        d.park()
    h.check(opened, "a right click on %s opens a menu" % what)
    time.sleep(0.5)  # the menu takes the keyboard once it has drawn itself
    path = h.screenshot(shot)
    if opened:
        h.check(h.colours(path, opened[0].rect) > 4, "%s: the menu is drawn" % what, opened[0].rect)
    return opened


def choose(h, d, letter, what, focus_title=None):
    """Chooses a menu entry by its letter. Under Wine the X focus stays on the
    window clicked where Windows hands it to the menu: for a menu opened from
    another process's window (the tray's), one of the program's windows takes
    it first. The key is pressed again only while the menu is still open, from
    the second press on with the focus on the center."""
    closed = False
    for attempt in range(3):
        focus_title = focus_title or ("CenterForm" if attempt else None)
        if focus_title and d.x_windows(focus_title):
            d.focus(d.x_windows(focus_title)[0])
            time.sleep(0.2)
        d.key(letter)
        closed = h.poll(lambda: not menus_shown(h), 3)
        if closed:
            break
    h.check(closed, "the key %s chooses %s and closes the menu" % (letter, what))


def tray_point(h):
    """The middle of the program's icon, the first square of the row at the
    bottom of Wine's tray window (under its caption, which grows with the
    display's scale): the row's height is its X window's."""
    trays = [w for w in h.windows() if w.cls == "__winex11_standalone_tray" and w.visible]
    h.require(trays, "Wine's system tray window is on the screen")
    d = Desktop(h)
    xids = d.x_windows("Wine System Tray")
    geometry = dict(line.split("=", 1) for line in d.xdo("getwindowgeometry", "--shell", *xids[:1]).split())
    side = int(geometry.get("HEIGHT", trays[0].height // 2))
    return trays[0].rect[0] + side // 2 + 2, trays[0].rect[3] - side // 2 - 2


def open_form_from_tray(h, d, letter, title, shot="tray-menu"):
    """The dialog the tray menu's entry of that letter opens; a key that
    reaches the menu before it has the keyboard closes it without a choice,
    and a choice can get lost: asked again."""
    h.poll(lambda: h.tray_icons() == 1, 10)
    for _ in range(3):
        d.park()
        if open_menu(h, d, tray_point(h), "the tray icon", shot, attempts=3):
            choose(h, d, letter, title, "CenterForm")
            if h.wintool("form-wait", title, 10000).ok:
                return
    raise Abort("the tray menu's entry %s opens no %s" % (letter, title))
