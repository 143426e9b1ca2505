#!/usr/bin/python3
"""The win32 backend's own checks (qv_win32_check.exe) against the real
system under Wine: files, code pages, registry, mutex, canvas, shell,
windows, input. Each section is one result here; each failed check is named
with its file, line and condition."""

import re

import harness

# "FAILED file:line: condition" from Check.h; a section is a bare word on
# its own line; "N failed" is the last line.
FAILED = re.compile(r"^FAILED (.*)$")
SECTION = re.compile(r"^([a-z]+)$")
SUMMARY = re.compile(r"^(\d+) failed$")


def scenario(h):
    exe = h.tools / "qv_win32_check.exe"
    h.require(exe.is_file(), "the checks were built", exe)
    # Its own working folder: the checks write beside themselves and in %TEMP%.
    folder = h.out / "check"
    folder.mkdir()
    (folder / exe.name).write_bytes(exe.read_bytes())
    run = harness.ToolRun(["wine", str(folder / exe.name)], h.env)
    result = run.result(240)
    (h.out / "check.log").write_text("\n".join(result.lines) + "\n" + result.stderr)

    sections, summary = {}, None
    for line in result.lines:
        if SECTION.match(line):
            failures = sections.setdefault(line, [])
        elif FAILED.match(line) or line.startswith("  "):
            failures.append(line.strip())  # a failure or the note that explains it
        elif SUMMARY.match(line):
            summary = int(SUMMARY.match(line).group(1))
    h.require(summary is not None, "the checks ran to the end", (result.code, result.lines[-5:], result.stderr[-500:]))
    for name, failures in sections.items():
        h.check(not failures, name, failures)
    h.check(result.code == min(summary, 100), "the count of failures agrees with the exit code", (summary, result.code))


harness.run_scenario("win32_checks", scenario, time_limit=280, needs_program=False)
