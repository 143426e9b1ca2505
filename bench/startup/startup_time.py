#!/usr/bin/python3
"""Start-up time on a warm prefix: until the program reports ready, against
a program that does nothing. Prints the figures; only a generous sanity bound
is checked, timing on a shared machine is no test."""

import statistics
from pathlib import Path

import sys
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "e2e"))
import harness  # noqa: E402


def starttool(h, *args):
    """Runs this folder's starttool.exe (built beside the test tools)."""
    return harness.ToolRun(["wine", str(h.tools / "starttool.exe")] + [str(a) for a in args], h.env).result(60)

RUNS = 7
SANITY_MS = 20000


def scenario(h):
    folder = h.fresh_copy()
    exe = h.win_path(folder / "Quorvel.exe")
    noop = h.win_path(h.tools / "noop.exe")

    def quorvel_once():
        started = starttool(h, "launch-and-wait-ready", exe, 30000)
        h.require(started.ok and len(started.lines) == 2, "Quorvel.exe starts and reports ready", started)
        h.require(h.wintool("close").ok, "the close command reaches the main window")
        ended = starttool(h, "wait-exit", started.lines[1], 15000)
        h.require(ended.ok, "the program ends after close", ended)
        return float(started.lines[0])

    def noop_once():
        done = h.wintool("launch-and-wait-exit", noop, 20000)
        h.require(done.ok and len(done.lines) == 2, "noop.exe runs", done)
        return float(done.lines[0])

    # One run each first: the first start completes the file and warms caches.
    quorvel_once()
    noop_once()
    quorvel = [quorvel_once() for _ in range(RUNS)]
    baseline = [noop_once() for _ in range(RUNS)]
    q, n = statistics.median(quorvel), statistics.median(baseline)
    report = ("Quorvel.exe until ready: median %.1f ms of %s\n"
              "noop.exe until exit:     median %.1f ms of %s\n"
              "ratio: %.2f\n") % (q, ", ".join("%.1f" % v for v in quorvel), n,
                                 ", ".join("%.1f" % v for v in baseline), q / n if n else float("inf"))
    print(report, end="", flush=True)
    for path in (h.out / "startup.txt", h.out.parent / "startup.txt"):
        path.write_text(report)
    h.check(q < SANITY_MS, "Quorvel.exe is ready within %d ms (median)" % SANITY_MS, q)
    h.check(n < SANITY_MS, "noop.exe runs within %d ms (median)" % SANITY_MS, n)


harness.run_scenario("startup_time", scenario)
