#!/usr/bin/env python3
"""Fails on an #include that climbs a layer of the program.

Every "#include" of the tree's sources is read; an include of a folder that
the including folder may not see is printed as file:line with the edge it
makes, and the test fails. The table below is the one of README.md.
"""
import pathlib
import re
import sys

# folder -> folders it may include (itself always). round and dock are
# siblings: what they share goes lower. The backends implement platform/ and
# call none of the core, but for the entry point, which starts the program.
LOWER = ["platform", "picture", "config", "catalogue"]
ALLOWED = {
    "platform": [],
    "picture": LOWER[:1],
    "config": LOWER[:2],
    "catalogue": LOWER[:3],
    "round": LOWER,
    "dock": LOWER,
    "settings": LOWER + ["round", "dock"],
    "app": LOWER + ["round", "dock", "settings"],
    "platform/software": ["platform"],
    "platform/win32": ["platform", "platform/software"],
    "platform/win32/check": ["platform", "platform/win32", "picture"],
    "platform/headless": ["platform", "platform/software"],
}
EXCEPTIONS = {"platform/win32/main.cpp": ["app"]}
# Libraries of outside code, and headers that carry the XML library: the only folders that may include them.
ONLY_IN = {
    "pugixml.hpp": ["config"],
    "png.h": ["picture", "platform/headless"],
    "config/ConfigDocument.h": ["config"],
    "config/Layout.h": ["config"],
}
# Not part of the program: tests, benchmarks and tools may include anything.
UNCHECKED = ("tests", "bench", "tools", "art", "e2e", "build", "scripts", "cmake", "out", ".")
INCLUDE = re.compile(r'^\s*#\s*include\s*(["<])([^">]+)[">]')


def folder_of(relative):
    """The layer a file or an include target belongs to: the longest known folder."""
    parts = relative.split("/")
    for depth in (3, 2, 1):
        if len(parts) > depth and "/".join(parts[:depth]) in ALLOWED:
            return "/".join(parts[:depth])
    return None


def faults_of(relative, text):
    source = folder_of(relative)
    if source is None:
        return [f"{relative}: in no folder of the layer table"]
    allowed = set(ALLOWED[source]) | {source} | set(EXCEPTIONS.get(relative, []))
    faults = []
    for number, line in enumerate(text.splitlines(), 1):
        match = INCLUDE.match(line)
        if not match:
            continue
        quoted, name = match.group(1) == '"', match.group(2)
        where = f"{relative}:{number}: {name}"
        if name in ONLY_IN and source not in ONLY_IN[name]:
            faults.append(f"{where}: {source} -> {name} is not allowed (only {', '.join(ONLY_IN[name])} may)")
        elif quoted and folder_of(name) is None:
            faults.append(f"{where} is in no folder of the layer table")
        elif quoted and folder_of(name) not in allowed:
            faults.append(f"{where}: {source} -> {folder_of(name)} is not allowed "
                          f"({source} may include {', '.join(sorted(allowed - {source})) or 'only itself'})")
    return faults


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    faults = []
    for path in sorted(root.rglob("*")):
        relative = path.relative_to(root).as_posix()
        if path.suffix in (".h", ".hpp", ".cpp", ".cc") and path.is_file() and not relative.startswith(UNCHECKED):
            faults += faults_of(relative, path.read_text(encoding="utf-8", errors="replace"))
    print("\n".join(faults + [f"{len(faults)} forbidden include(s)" if faults else "every include follows the layers"]))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
