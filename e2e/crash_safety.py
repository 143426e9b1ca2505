#!/usr/bin/python3
"""Only Windows shows: the real file writer (platform/win32/Files.cpp) under
kills. qv_save_loop.exe saves Config\\UserInfo.xml in a loop, a small and a
large content in turn, and is killed at a random moment (SIGKILL from outside
or TerminateProcess from within, in turn), again and again. After each kill
the file is one of the two (well-formed) contents; beside it only the backup
(one of the two as well) or the writer's own temporaries.

    e2e/crash_safety.py --dist ... --tools ... --out ... --kills 1000 [--seed N]

A failing trial prints the seed; --seed replays the same kill times."""

import random
import re
import signal
import subprocess
import time

import harness

TARGET = "UserInfo.xml"
# The writer's temporaries: "<target>.<pid>-<n>-<try>.tmp".
TEMPORARY = re.compile(r"^%s\.\d+-\d+-\d+\.tmp$" % re.escape(TARGET))
# Kill moments, in ms after the child began its first save: its saves take a
# few ms each, so this spreads the kills over many saves and every phase.
KILL_WINDOW_MS = 400
# Trials run again because their child never reached the writer (see below).
MAX_REPEATED = 3


def content(items):
    """A configuration file of the program's shape with `items` ring items."""
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<Config>", "  <RoundItems>"]
    for i in range(items):
        lines.append('    <Item%d Caption="程序 %d" File="C:\\Program Files\\工具 %d\\tool%d.exe" Icon="%d.ico"/>'
                     % (i, i, i, i, i))
    lines += ["  </RoundItems>", "</Config>", ""]
    return "\n".join(lines).encode("utf-8")


def add_options(parser):
    parser.add_argument("--kills", type=int, default=50, help="number of trials, each ended by a kill")
    parser.add_argument("--seed", type=int, help="seed of the kill times (default: from the clock)")


def time_limit(options):
    return 120 + options.kills * 2


def last_save(path):
    """The save under way when the child died, from its "save N which" lines."""
    lines = [line for line in path.read_text(errors="replace").splitlines() if line.startswith("save ")]
    return lines[-1] if lines else "before the first save"


def scenario(h):
    options = h.options
    seed = options.seed if options.seed is not None else int(time.time())
    rng = random.Random(seed)
    h.log("seed %d (replay with --seed %d), %d kills" % (seed, seed, options.kills))
    exe = h.tools / "qv_save_loop.exe"
    h.require(exe.is_file(), "the save loop was built", exe)

    folder = h.out / "Config"
    folder.mkdir()
    small, large = content(3), content(8000)
    (h.out / "first.xml").write_bytes(small)
    (h.out / "second.xml").write_bytes(large)
    known = {small: "first", large: "second"}
    target = folder / TARGET
    target.write_bytes(small)
    command = ["wine", str(exe), h.win_path(target), h.win_path(h.out / "first.xml"), h.win_path(h.out / "second.xml")]

    bad, left_over, seen, repeated = 0, 0, {"first": 0, "second": 0}, 0
    started = time.monotonic()
    trial = 0
    while trial < options.kills:
        trial += 1
        delay_ms = rng.randrange(KILL_WINDOW_MS)
        kind = "SIGKILL" if trial % 2 else "TerminateProcess"
        log_path = h.out / "child.log"
        before = target.read_bytes()
        child_started = time.monotonic()
        with open(log_path, "w") as log:
            child = subprocess.Popen(command + ([str(delay_ms)] if kind == "TerminateProcess" else []), env=h.env,
                                     stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
            if kind == "SIGKILL":
                # From the first save on, then at the random moment.
                h.wait_until(lambda: child.poll() is not None or "save 1" in log_path.read_text(errors="replace"),
                             30, "the child's first save")
                time.sleep(delay_ms / 1000)
                child.send_signal(signal.SIGKILL)
            code = child.wait(timeout=60)

        problems = []
        if code not in (-signal.SIGKILL, 9) and last_save(log_path) == "before the first save" \
                and target.is_file() and target.read_bytes() == before and repeated < MAX_REPEATED:
            # Seen once under a loaded CI machine: Wine ended a child before its
            # first line, with nothing said. The writer was never reached and the
            # file is untouched, so the trial proves nothing either way: run it
            # again (a few times at most) and say so.
            repeated += 1
            h.log("note trial %d: the child ended by itself before its first save (exit %s after %d ms): %r; "
                  "trial repeated" % (trial, code, (time.monotonic() - child_started) * 1000, log_path.read_bytes()))
            trial -= 1
            continue
        if code not in (-signal.SIGKILL, 9):
            problems.append("the child ended by itself (exit %s): %s" % (code, log_path.read_text()[-300:]))
        data = target.read_bytes() if target.is_file() else None
        if data not in known:
            problems.append("the file is gone" if data is None else "the file is neither content (%d bytes)" % len(data))
        else:
            seen[known[data]] += 1
        for path in folder.iterdir():
            if path.name == TARGET + ".bak" and path.read_bytes() not in known:
                problems.append("the backup is neither content")
            elif TEMPORARY.match(path.name):
                left_over += 1
                path.unlink()  # a crash leaves it; the program's next start removes it
            elif path.name not in (TARGET, TARGET + ".bak"):
                problems.append("unexpected file beside the target: %s" % path.name)
        if problems:
            bad += 1
            h.check(False, "trial %d: %s after %d ms during %s" % (trial, kind, delay_ms, last_save(log_path)),
                    "; ".join(problems) + " (seed %d)" % seed)
            target.write_bytes(small)  # the next trial starts from a good file

    elapsed = time.monotonic() - started
    h.log("%d kills in %.1f s; the file held the small content %d times, the large %d times; %d temporaries left" % (
        options.kills, elapsed, seen["first"], seen["second"], left_over))
    h.check(bad == 0, "after each of %d kills the file parses and is the old or the new content" % options.kills,
            "%d bad trials (seed %d)" % (bad, seed))
    # Both contents turn up: the kills land on different saves, not always the same phase.
    h.check(seen["first"] > 0 and seen["second"] > 0 or options.kills < 10, "kills fell on saves of both contents",
            seen)


harness.run_scenario("crash_safety", scenario, time_limit=time_limit, needs_program=False, add_options=add_options)
