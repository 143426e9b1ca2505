"""Runs the Windows build of Quorvel under Wine on a private X display.

A scenario script builds a Harness through run_scenario(), which
  - starts Xvfb on a free display (-noreset), openbox and xcompmgr;
  - takes the Wine prefix shared by all scenarios (created once, under a lock,
    in the work folder) and keeps its wineserver alive between programs;
  - gives the scenario helpers: a fresh copy of the program folder, starting
    the program, wintool commands, screenshots, checks;
  - stops everything it started, whatever happened, and prints
    "N passed, N failed" as its last line; the exit code is 1 on any failure.

Run with Debian's /usr/bin/python3 (python3-xlib lives there).
"""

import argparse
import fcntl
import json
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

MAIN_CLASS = "TFormRoundHot"
MAIN_TITLE = "Quorvel"
SCREEN = "1280x800x24"


class Abort(Exception):
    """Something later steps depend on did not happen: end the scenario.
    counted: the failure was already counted by a check."""

    def __init__(self, message, counted=False):
        super().__init__(message)
        self.counted = counted


class Timeout(Exception):
    pass


def unescape(text):
    """Reverses wintool's escaping of \\, \\n, \\r and \\t."""
    mapping = {"\\": "\\", "n": "\n", "r": "\r", "t": "\t"}
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text) and text[i + 1] in mapping:
            out.append(mapping[text[i + 1]])
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


# --- the configuration file -------------------------------------------------

_DECLARATION = re.compile(rb'^\s*<\?xml[^>]*encoding\s*=\s*["\']([A-Za-z0-9._-]+)["\']')


def config_encoding(data):
    """The declared encoding of an XML file's bytes, 'utf-8' when none."""
    if data.startswith(b"\xef\xbb\xbf"):
        return "utf-8-sig"
    match = _DECLARATION.match(data)
    return match.group(1).decode("ascii").lower() if match else "utf-8"


def parse_config(path):
    """Parses the file whatever its declared encoding (expat alone knows few
    multi-byte ones): decodes with Python's codec, then parses the text."""
    data = Path(path).read_bytes()
    text = data.decode(config_encoding(data))
    text = re.sub(r"^\s*<\?xml[^>]*\?>", "", text, count=1)
    return ET.fromstring(text)


def edit_config_attributes(path, changes):
    """Sets attributes in place, keeping the file's bytes otherwise:
    changes maps (element name, attribute) to the new value. Each element
    must occur once and already carry the attribute."""
    data = Path(path).read_bytes()
    encoding = config_encoding(data)
    text = data.decode(encoding)
    for (element, attribute), value in changes.items():
        tags = list(re.finditer(r"<%s\b[^>]*>" % re.escape(element), text))
        if len(tags) != 1:
            raise Abort("expected one <%s> in %s, found %d" % (element, path, len(tags)))
        tag = tags[0]
        new_tag, count = re.subn(r'(\b%s\s*=\s*)(["\'])[^"\']*\2' % re.escape(attribute),
                                 lambda m: m.group(1) + m.group(2) + value + m.group(2), tag.group(0))
        if count != 1:
            raise Abort("<%s> has no attribute %s" % (element, attribute))
        text = text[:tag.start()] + new_tag + text[tag.end():]
    Path(path).write_bytes(text.encode(encoding))


def find_path(root, *names):
    """The first element along names (each the first child of that name)."""
    node = root
    for name in names:
        node = node.find(name) if node is not None else None
    return node


# --- windows as wintool lists them ------------------------------------------

class Window:
    def __init__(self, line):
        parts = line.split("\t")
        if len(parts) != 9:
            raise ValueError("unexpected window line: %r" % line)
        self.hwnd = int(parts[0], 16)
        self.cls = unescape(parts[1])
        self.title = unescape(parts[2])
        self.visible = parts[3] == "1"
        self.rect = tuple(int(v) for v in parts[4].split(","))
        self.pid = int(parts[5])
        self.style = int(parts[6], 16)
        self.exstyle = int(parts[7], 16)
        self.owner = int(parts[8], 16)

    @property
    def width(self):
        return self.rect[2] - self.rect[0]

    @property
    def height(self):
        return self.rect[3] - self.rect[1]

    def __repr__(self):
        return "<%#x %s %r %s %s pid %d>" % (self.hwnd, self.cls, self.title, "visible" if self.visible else "hidden",
                                            self.rect, self.pid)


class ToolResult:
    def __init__(self, code, lines, stderr):
        self.code = code
        self.lines = lines
        self.stderr = stderr

    @property
    def ok(self):
        return self.code == 0

    def __repr__(self):
        return "exit %d: %s" % (self.code, self.lines)


class ToolRun:
    """A Windows console program whose output goes to files, not pipes: the
    first program of a Wine session starts the session's services, which
    inherit its handles and would hold a pipe open long after it ended."""

    def __init__(self, command, env):
        self.stdout = tempfile.TemporaryFile()
        self.stderr = tempfile.TemporaryFile()
        self.process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=self.stdout,
                                        stderr=self.stderr)

    def result(self, timeout):
        try:
            code = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            code = -1
        self.stdout.seek(0)
        self.stderr.seek(0)
        out = self.stdout.read().decode("utf-8", errors="replace")
        err = self.stderr.read().decode("utf-8", errors="replace")
        self.stdout.close()
        self.stderr.close()
        lines = [line.rstrip("\r") for line in out.splitlines()]
        return ToolResult(code, lines, err if code != -1 else err + "timed out")


class App:
    """One program started by the harness with `wine` (the Unix process is
    the Windows process: it ends when the program ends)."""

    def __init__(self, process, folder, log):
        self.process = process
        self.folder = folder
        self.log = log

    @property
    def config(self):
        return self.folder / "Config" / "UserInfo.xml"

    def running(self):
        return self.process.poll() is None

    def wait_exit(self, timeout):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None


class Harness:
    def __init__(self, name, options, needs_program=True, screen=SCREEN):
        self.name = name
        self.screen = screen
        self.needs_program = needs_program
        self.dist = Path(options.dist).resolve()
        self.tools = Path(options.tools).resolve()
        self.out = Path(options.out).resolve()
        self.work = Path(options.work).resolve() if options.work else self.out.parent.parent / "e2e-work"
        self.prefix = self.work / "wineprefix"
        self.passed = 0
        self.failed = 0
        self.display = None
        self.helpers = []  # (name, Popen) of the display and window manager
        self.apps = []
        self.lock = None
        self.started = time.monotonic()
        self.env = None

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

    # -- set-up and tear-down --

    def setup(self):
        self.out.mkdir(parents=True, exist_ok=True)
        for child in self.out.iterdir():
            shutil.rmtree(child) if child.is_dir() and not child.is_symlink() else child.unlink()
        self.work.mkdir(parents=True, exist_ok=True)
        needed = [(self.tools / "wintool.exe", "wintool")]
        if self.needs_program:
            needed.append((self.dist / "Quorvel.exe", "program"))
        for path, what in needed:
            if not path.is_file():
                raise Abort("no %s at %s" % (what, path))
        # One scenario at a time owns the prefix and its wineserver.
        self.lock = open(self.work / "wine.lock", "w")
        fcntl.flock(self.lock, fcntl.LOCK_EX)
        self.reap_leftovers()
        self.start_display()
        self.env = self.wine_env()
        self.ensure_prefix()
        subprocess.run(["wineserver", "-p"], env=self.env, check=False)

    def teardown(self):
        for app in self.apps:
            if app.running():
                self.log("program still running at the end: stopping it")
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
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        self.helpers.clear()
        self.live_file().unlink(missing_ok=True)
        if self.lock:
            self.lock.close()

    def live_file(self):
        return self.work / "live.json"

    def remember_helpers(self):
        entries = [{"pid": p.pid, "name": name} for name, p in self.helpers]
        self.live_file().write_text(json.dumps(entries))

    def reap_leftovers(self):
        """A run that was killed (a ctest time-out) leaves its display and
        window manager behind: end those, found by their recorded pids."""
        path = self.live_file()
        if not path.exists():
            return
        try:
            entries = json.loads(path.read_text())
        except ValueError:
            entries = []
        for entry in entries:
            pid, name = entry.get("pid"), entry.get("name", "")
            try:
                command = Path("/proc/%d/cmdline" % pid).read_bytes().split(b"\0")[0]
            except (OSError, TypeError):
                continue
            if os.path.basename(command.decode(errors="replace")) == name:
                self.log("ending leftover %s (pid %d)" % (name, pid))
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        path.unlink(missing_ok=True)

    def start_display(self):
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen, "-noreset", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=open(self.out / "xvfb.log", "w"))
        os.close(write_end)
        self.helpers.append(("Xvfb", xvfb))
        self.remember_helpers()
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise Abort("Xvfb did not start (see xvfb.log)")
                number += chunk
        self.display = ":" + number.decode().strip()
        env = dict(os.environ, DISPLAY=self.display)
        self.wait_until(lambda: subprocess.run(["xdpyinfo", "-display", self.display], stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL).returncode == 0, 10, "the X display")
        for name in ("openbox", "xcompmgr"):
            process = subprocess.Popen([name], env=env, stdout=subprocess.DEVNULL,
                                       stderr=open(self.out / (name + ".log"), "w"))
            self.helpers.append((name, process))
        self.remember_helpers()
        self.log("display %s with openbox and xcompmgr" % self.display)

    def wine_env(self):
        env = {k: v for k, v in os.environ.items() if not k.startswith("WINE")}
        env.update(DISPLAY=self.display, WINEPREFIX=str(self.prefix), WINEDEBUG="-all",
                   # Wine turns the arguments into UTF-16 with the locale's charset.
                   LANG="C.UTF-8", LC_ALL="C.UTF-8")
        return env

    def ensure_prefix(self):
        # A server left by a run that was killed would hold the old display.
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        stamp_glob = list(self.prefix.glob(".quorvel-ready-*"))
        began = time.monotonic()
        script = Path(__file__).resolve().parent.parent / "scripts" / "setup-wine-prefix.sh"
        subprocess.run([str(script)], env=self.env, check=True)
        if list(self.prefix.glob(".quorvel-ready-*")) != stamp_glob:
            self.log("created the Wine prefix in %.1f s" % (time.monotonic() - began))

    # -- helpers for scenarios --

    def wait_until(self, predicate, timeout, what, interval=0.05):
        deadline = time.monotonic() + timeout
        while True:
            value = predicate()
            if value:
                return value
            if time.monotonic() > deadline:
                raise Abort("timed out after %.0f s waiting for %s" % (timeout, what))
            time.sleep(interval)

    def poll(self, predicate, timeout, interval=0.05):
        """Like wait_until, but returns the last value instead of aborting."""
        deadline = time.monotonic() + timeout
        while True:
            value = predicate()
            if value or time.monotonic() > deadline:
                return value
            time.sleep(interval)

    def win_path(self, path):
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")

    def fresh_copy(self, name="app"):
        """A fresh copy of the program folder, as a user unpacks it."""
        folder = self.out / name
        if folder.exists():
            shutil.rmtree(folder)
        shutil.copytree(self.dist, folder)
        return folder

    def start(self, folder, exe="Quorvel.exe", args=()):
        log = open(self.out / ("%s-%d.log" % (Path(exe).stem, len(self.apps) + 1)), "w")
        process = subprocess.Popen(["wine", str(folder / exe)] + [str(a) for a in args], cwd=folder, env=self.env, stdout=log,
                                   stderr=subprocess.STDOUT)
        app = App(process, folder, log)
        self.apps.append(app)
        return app

    def xdo(self, *args):
        """Real X input (or a query) through xdotool on the test's display."""
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, check=True)

    def wintool(self, *args, timeout=60):
        return self.spawn_wintool(*args).result(timeout)

    def spawn_wintool(self, *args):
        """Starts wintool without waiting; .result(timeout) collects it."""
        command = ["wine", str(self.tools / "wintool.exe")] + [str(a) for a in args]
        return ToolRun(command, self.env)

    def windows(self):
        result = self.wintool("windows")
        return [Window(line) for line in result.lines if line]

    def main_window(self):
        result = self.wintool("find", MAIN_CLASS, MAIN_TITLE)
        return int(result.lines[0], 16) if result.ok and result.lines else None

    def wait_ready(self, timeout=60):
        result = self.wintool("wait-ready", int(timeout * 1000), timeout=timeout + 30)
        return result

    def start_ready(self, folder, timeout=60):
        """Starts the program and waits until its main window is there and
        reports that everything visible has been built."""
        app = self.start(folder)
        deadline = time.monotonic() + timeout
        while True:
            found = self.wintool("wait-window", MAIN_CLASS, MAIN_TITLE, 1000)
            if found.ok:
                break
            if not app.running():
                raise Abort("the program exited with code %s before its main window appeared"
                            % app.process.returncode)
            if time.monotonic() > deadline:
                raise Abort("no window of class %s titled %s after %d s" % (MAIN_CLASS, MAIN_TITLE, timeout))
        self.check(True, "the main window (class %s, title %s) appears" % (MAIN_CLASS, MAIN_TITLE))
        ready = self.wintool("wait-ready", int(max(1, deadline - time.monotonic()) * 1000), timeout=timeout + 30)
        self.require(ready.ok, "the program reports ready", ready)
        return app

    def program_windows(self, windows=None):
        """The main window and the other top-level windows of its process."""
        windows = self.windows() if windows is None else windows
        mains = [w for w in windows if w.cls == MAIN_CLASS and w.title == MAIN_TITLE]
        if len(mains) != 1:
            return None, []
        main = mains[0]
        others = [w for w in windows if w.pid == main.pid and w.hwnd != main.hwnd and w.cls != "IME"]
        return main, others

    def config_files(self, folder):
        """Names of the files in the program's Config folder."""
        config = Path(folder) / "Config"
        return sorted(p.name for p in config.iterdir()) if config.is_dir() else []

    def tray_icons(self):
        result = self.wintool("tray-icons")
        return int(result.lines[-1]) if result.ok and result.lines else None

    def close_app(self, app, timeout=15):
        """Closes the program as its window's close command does and waits."""
        if not app.running():
            return app.process.returncode
        self.wintool("close")
        return app.wait_exit(timeout)

    def screenshot(self, name):
        path = self.out / (name + ".png")
        subprocess.run(["import", "-window", "root", "-display", self.display, str(path)], check=True,
                       stderr=subprocess.DEVNULL)
        self.log("screenshot %s" % path)
        return path

    def colours(self, image, rect=None):
        """Number of distinct colours in the image or in rect (l, t, r, b):
        1 means a flat area, where nothing was drawn."""
        command = ["convert", str(image)]
        if rect:
            left, top, right, bottom = (max(0, v) for v in rect)
            if right <= left or bottom <= top:
                return 0
            command += ["-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage"]
        command += ["-format", "%k", "info:"]
        done = subprocess.run(command, stdout=subprocess.PIPE, check=True)
        return int(done.stdout.decode().strip() or 0)


def _on_alarm(signum, frame):
    raise Timeout("the scenario ran out of time")


def _on_term(signum, frame):
    raise Timeout("stopped by signal %d" % signum)


def run_scenario(name, body, time_limit=240, needs_program=True, add_options=None, screen=SCREEN):
    """Parses the common options, runs body(harness) and exits with the result.
    add_options(parser) adds a scenario's own options; they are in harness.options.
    screen: the X screen's WIDTHxHEIGHTxDEPTH.
    time_limit: seconds, or a function of the options giving them."""
    parser = argparse.ArgumentParser(description="Quorvel end-to-end scenario: " + name)
    parser.add_argument("--dist", required=True, help="folder of the Windows program (Quorvel.exe, Config, Icon)")
    parser.add_argument("--tools", required=True, help="folder of wintool.exe, noop.exe, marker.exe")
    parser.add_argument("--out", required=True, help="folder for logs, screenshots and the program's copy")
    parser.add_argument("--work", help="folder holding the shared Wine prefix (default: OUT/../../e2e-work)")
    if add_options:
        add_options(parser)
    options = parser.parse_args()

    harness = Harness(name, options, needs_program, screen)
    harness.options = options
    signal.signal(signal.SIGALRM, _on_alarm)
    signal.signal(signal.SIGTERM, _on_term)
    signal.signal(signal.SIGINT, _on_term)
    signal.alarm(time_limit(options) if callable(time_limit) else time_limit)
    try:
        harness.setup()
        body(harness)
    except Abort as error:
        harness.log("scenario ended early: %s" % error)
        if not error.counted:
            harness.failed += 1
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


class FormControl:
    """One control of a dialog as wintool's form-controls lists it."""

    def __init__(self, line):
        parts = line.split("\t")
        self.name, self.cls, self.id = parts[0], parts[1], int(parts[2])
        self.text = unescape(parts[3])
        self.value = parts[4]
        self.rect = tuple(int(v) for v in parts[5].split(","))  # left, top, width, height in the client area
        self.visible = parts[6] == "visible"

    def __repr__(self):
        return "<%s %s %r %s %s>" % (self.name, self.cls, self.text, self.value, self.rect)
