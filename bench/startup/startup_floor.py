#!/usr/bin/python3
"""Start-up time and memory of Quorvel against the floor (bench/startup/floor.cpp:
a program that only shows a layered main window and one 300 x 300
per-pixel-alpha window and marks itself ready as Quorvel does). Quorvel runs
with the file it ships (an empty ring, the dock's system tools), then with a
full ring (20 items) and 30 dock elements in its file. For reference,
the floor also runs with as many more windows as Quorvel shows at start and a
tray icon ("floor+windows"): what the window system alone costs for them. Both programs
start alternately in one Wine session; for each run: the time from launch
until the main window is marked ready (starttool launch-and-wait-ready), and
the resident memory (VmRSS) of the program's Wine process at that moment.
Prints the medians; asserts nothing about them: timing on a shared machine
is no test (goals belong to the benchmarks).

By hand:
  /usr/bin/python3 bench/startup/startup_floor.py --dist build/x86_64/dist/Quorvel \\
      --tools build/x86_64/test-tools --out build/native/bench-out/startup_floor [--runs 7] [--phases]"""

import os
import re
import statistics
import subprocess
import time
from pathlib import Path

import sys
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "e2e"))
import harness  # noqa: E402


def starttool(h, *args):
    """Runs this folder's starttool.exe (built beside the test tools)."""
    return harness.ToolRun(["wine", str(h.tools / "starttool.exe")] + [str(a) for a in args], h.env).result(60)

RING_SLOTS = 20
DOCK_ITEMS = 30
DEFAULT_DOCK_ITEMS = 5  # the system tools the first start puts into an empty dock
# Quorvel's windows beyond the floor's two: the center, the ring's items, the
# dock bar and its items, the label.
FULL_WINDOWS = 1 + RING_SLOTS + 1 + DOCK_ITEMS + 1
DEFAULT_WINDOWS = 1 + 1 + DEFAULT_DOCK_ITEMS + 1
FLOOR_WITH_WINDOWS = "floor+windows"


def add_options(parser):
    parser.add_argument("--runs", type=int, default=7, help="runs of each program (default 7)")
    parser.add_argument("--phases", action="store_true",
                        help="one more start of Quorvel with QV_TRACE=1: prints the phases of its start-up")


def item(file, name, define=""):
    return ("<File>%s</File><Argument></Argument><Name>%s</Name><IconPath><Default></Default>"
            "<Define>%s</Define></IconPath><Http></Http><InitialPosition></InitialPosition>" % (file, name, define))


def fill_config(h, folder):
    """A full ring: programs of the prefix whose icons the program extracts
    and caches (the warm-up run does that), and pictures of the Icon tree;
    then 30 dock elements."""
    system32 = h.prefix / "drive_c" / "windows" / "system32"
    programs = sorted(p.name for p in system32.glob("*.exe"))[:RING_SLOTS // 2]
    pictures = sorted(p.name for p in (folder / "Icon" / "SysTool").glob("*.png"))
    if len(programs) < RING_SLOTS // 2 or not pictures:
        raise harness.Abort("not enough programs in %s or pictures in Icon\\SysTool" % system32)
    config = folder / "Config" / "UserInfo.xml"
    text = config.read_text(encoding="utf-8")
    for slot in range(1, RING_SLOTS + 1):
        if slot <= len(programs):
            body = item("C:\\windows\\system32\\" + programs[slot - 1], programs[slot - 1])
        else:
            picture = pictures[slot % len(pictures)]
            body = item("C:\\windows\\system32\\" + programs[slot % len(programs)], "Picture %d" % slot,
                        h.win_path(folder / "Icon" / "SysTool" / picture))
        text, count = re.subn(r"<Circle%d\s*/>|<Circle%d>.*?</Circle%d>" % (slot, slot, slot),
                              lambda _, b=body, n=slot: "<Circle%d>%s</Circle%d>" % (n, b, n), text, count=1, flags=re.S)
        if count != 1:
            raise harness.Abort("no Circle%d in the shipped file" % slot)
    dock = "".join("<Rect%d>%s</Rect%d>" % (j, item("C:\\windows\\system32\\" + programs[j % len(programs)],
                                                    "Dock %d" % j, h.win_path(folder / "Icon" / "SysTool" /
                                                                             pictures[j % len(pictures)])), j)
                   for j in range(1, DOCK_ITEMS + 1))
    text = re.sub(r"<RectBackground\s*/>|<RectBackground>.*?</RectBackground>", "", text, flags=re.S)
    text = text.replace("</Quorvel>", "<RectBackground>%s</RectBackground>\n</Quorvel>" % dock)
    config.write_text(text, encoding="utf-8")


def wine_process(h, exe_name):
    """The Unix pid of the running Wine process of a program of our prefix, by
    its file name; None when there is none or more than one."""
    prefix = ("WINEPREFIX=" + str(h.prefix)).encode()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            command = Path("/proc/%s/cmdline" % entry).read_bytes()
            environment = Path("/proc/%s/environ" % entry).read_bytes()
        except OSError:
            continue
        arguments = [a.decode(errors="replace").replace("\\", "/").lower() for a in command.split(b"\0") if a]
        if prefix in environment.split(b"\0") and arguments and arguments[0].endswith("/" + exe_name.lower()):
            found.append(int(entry))
    return found[0] if len(found) == 1 else None


def cpu_ms(pid):
    """User and system time of the process so far, ms: the program's own work,
    less noisy than the wall clock on a shared machine (the window system's
    processes are not counted)."""
    fields = Path("/proc/%d/stat" % pid).read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * 1000.0 / os.sysconf("SC_CLK_TCK")


def resident_kb(pid):
    for line in Path("/proc/%d/status" % pid).read_text().splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return None


def resident_by_file(pid):
    """Resident kB per mapped file (anonymous memory as "[anon]"), largest first."""
    sizes, current = {}, "[anon]"
    for line in Path("/proc/%d/smaps" % pid).read_text(errors="replace").splitlines():
        fields = line.split()
        if re.match(r"^[0-9a-f]+-[0-9a-f]+ ", line):
            current = fields[5] if len(fields) > 5 else "[anon]"
        elif fields and fields[0] == "Rss:":
            sizes[current] = sizes.get(current, 0) + int(fields[1])
    return sorted(sizes.items(), key=lambda item: -item[1])


def print_phases(h, folder):
    """Starts Quorvel once more with its start-up trace on (QV_TRACE=1, read
    from the debugger's output through WINEDEBUG=+debugstr) and prints the
    phases: time since the process was created, CPU time, phase."""
    env = dict(h.env, QV_TRACE="1", WINEDEBUG="+debugstr")
    with open(h.out / "phases.log", "w") as log:
        process = subprocess.Popen(["wine", str(folder / "Quorvel.exe")], cwd=folder, env=env, stdout=log,
                                   stderr=subprocess.STDOUT)
        ready = h.wintool("wait-ready", 30000)
        h.check(ready.ok, "the traced start reports ready", ready)
        h.wintool("close")
        process.wait(timeout=15)
    phases = re.findall(r"Quorvel trace: (.*?)(?:\\n)?\"", (h.out / "phases.log").read_text(errors="replace"))
    # Each window and file is a phase; the pushes between them are left out here.
    print("".join("  %s\n" % p for p in phases if not p.endswith(" push")), end="", flush=True)


def measure(h, variant, folder, windows):
    """Runs Quorvel of folder, floor.exe and the floor with Quorvel's windows
    alternately; prints and returns the lines of medians for that file."""
    runs = h.options.runs
    floor_folder = h.out / "floor"
    floor_folder.mkdir(exist_ok=True)
    (floor_folder / "floor.exe").write_bytes((h.tools / "floor.exe").read_bytes())
    programs = {"Quorvel.exe": [h.win_path(folder / "Quorvel.exe")],
                "floor.exe": [h.win_path(floor_folder / "floor.exe")],
                FLOOR_WITH_WINDOWS: [h.win_path(floor_folder / "floor.exe"), "--windows", str(windows), "--tray"]}

    def once(name):
        started = starttool(h, "launch-and-wait-ready", programs[name][0], 30000, *programs[name][1:])
        h.require(started.ok and len(started.lines) == 2, "%s starts and reports ready" % name, started)
        pid = wine_process(h, Path(programs[name][0].replace("\\", "/")).name)
        rss = resident_kb(pid) if pid else None
        h.require(rss is not None, "the Wine process of %s is found in /proc" % name, pid)
        cpu = cpu_ms(pid)
        # Where the memory goes, from the last run of each.
        table = "".join("%8d kB  %s\n" % (kb, path) for path, kb in resident_by_file(pid))
        (h.out / ("%s-%s-resident.txt" % (variant, Path(name).stem.replace("+", "-")))).write_text(table)
        h.require(h.wintool("close").ok, "the close command reaches the main window of %s" % name)
        ended = starttool(h, "wait-exit", started.lines[1], 15000)
        h.require(ended.ok, "%s ends after close" % name, ended)
        return float(started.lines[0]), rss / 1024.0, cpu

    # One run each first: the first start completes the file, caches the
    # items' icons and warms the prefix.
    once("Quorvel.exe")
    once("floor.exe")
    figures = {"Quorvel.exe": [], "floor.exe": [], FLOOR_WITH_WINDOWS: []}
    began = time.monotonic()
    for _ in range(runs):
        for name in figures:
            figures[name].append(once(name))
    h.log("%s file: %d runs of each in %.1f s" % (variant, runs, time.monotonic() - began))
    h.check(all(len(values) == runs for values in figures.values()), "%d measured runs of each program" % runs)

    lines = ["%s file (Quorvel shows %d windows more than the floor):" % (variant, windows)]
    for name, values in figures.items():
        ms = [v[0] for v in values]
        mb = [v[1] for v in values]
        lines.append("%-12s ready: median %6.1f ms of %s" % (name, statistics.median(ms),
                                                             ", ".join("%.1f" % v for v in ms)))
        lines.append("%-12s VmRSS once ready: median %5.1f MB of %s" % (name, statistics.median(mb),
                                                                        ", ".join("%.1f" % v for v in mb)))
        cpu = [v[2] for v in values]
        lines.append("%-12s CPU time once ready: median %6.1f ms of %s" % (name, statistics.median(cpu),
                                                                          ", ".join("%.0f" % v for v in cpu)))
    q_ms = statistics.median(v[0] for v in figures["Quorvel.exe"])
    q_mb = statistics.median(v[1] for v in figures["Quorvel.exe"])
    q_cpu = statistics.median(v[2] for v in figures["Quorvel.exe"])
    w_ms = statistics.median(v[0] for v in figures[FLOOR_WITH_WINDOWS])
    w_mb = statistics.median(v[1] for v in figures[FLOOR_WITH_WINDOWS])
    w_cpu = statistics.median(v[2] for v in figures[FLOOR_WITH_WINDOWS])
    # The start waits 50 ms on purpose before it makes the items' windows.
    lines.append("Quorvel - floor+windows: %+.1f ms (goal <= +110 ms), %+.1f MB (goal <= +2.5 MB), cpu %+.0f ms"
                 % (q_ms - w_ms, q_mb - w_mb, q_cpu - w_cpu))
    report = "\n".join(lines) + "\n"
    print(report, end="", flush=True)
    return report


def scenario(h):
    # The pointer rests in the screen's corner, away from every window the
    # programs show: a pointer over an item would hover it during the start
    # (and load what drawing its label needs) in some runs and not others.
    harness.Desktop(h).move(1279, 799)
    # The shipped file: an empty ring and the dock's system tools, which the
    # first start adds.
    default = h.fresh_copy("default")
    report = measure(h, "default", default, DEFAULT_WINDOWS)
    full = h.fresh_copy()
    fill_config(h, full)
    report += measure(h, "full", full, FULL_WINDOWS)
    (h.out / "startup_floor.txt").write_text(report)
    if h.options.phases:
        print_phases(h, full)


harness.run_scenario("startup_floor", scenario, add_options=add_options)
