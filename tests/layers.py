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
# siblings: what they share goes lower.
CORE = ["platform", "picture", "config", "catalogue", "round", "dock", "settings", "app"]
ALLOWED = {
    "platform": [],
    "picture": ["platform"],
    "config": ["platform", "picture"],
    "catalogue": ["platform", "picture", "config"],
    "round": ["platform", "picture", "config", "catalogue"],
    "dock": ["platform", "picture", "config", "catalogue"],
    "settings": ["platform", "picture", "config", "catalogue", "round", "dock"],
    "app": ["platform", "picture", "config", "catalogue", "round", "dock", "settings"],
    # The backends implement platform/ and call none of the core...
    "platform/software": ["platform"],
    "platform/win32": ["platform", "platform/software"],
    "platform/headless": ["platform", "platform/software"],
}
# ...except the entry point, which starts the program.
EXCEPTIONS = {
    "platform/win32/main.cpp": ["app"],
}
# Libraries of outside code, and the only folders that may include them.
LIBRARIES = {
    "pugixml.hpp": ["config"],
    "png.h": ["picture", "platform/headless"],
}
# Headers that belong to their folder alone: they carry the XML library.
PRIVATE_HEADERS = {
    "config/ConfigDocument.h": "config",
    "config/Layout.h": "config",
}
# Not part of the program: tests, benchmarks and tools may include anything
# (the backends' own checks only their backend).
UNCHECKED = ("tests", "bench", "tools", "art", "e2e", "build", "scripts", "cmake", "out")
ALLOWED["platform/win32/check"] = ["platform", "platform/win32"]

QUOTED = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
ANGLED = re.compile(r"^\s*#\s*include\s*<([^>]+)>")


def folder_of(relative):
    """The layer a file or an include target belongs to: the longest known folder."""
    parts = relative.split("/")
    for depth in (3, 2, 1):
        candidate = "/".join(parts[:depth])
        if len(parts) > depth and candidate in ALLOWED:
            return candidate
    return None


def check(root):
    faults = []
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".h", ".hpp", ".cpp", ".cc") or not path.is_file():
            continue
        relative = path.relative_to(root).as_posix()
        if relative.startswith(UNCHECKED) or relative.startswith("."):
            continue
        source = folder_of(relative)
        if source is None:
            faults.append(f"{relative}: in no folder of the layer table")
            continue
        allowed = set(ALLOWED[source]) | {source} | set(EXCEPTIONS.get(relative, []))
        for number, line in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
            quoted = QUOTED.match(line)
            if quoted:
                target = folder_of(quoted.group(1))
                if target is None:
                    faults.append(f'{relative}:{number}: "{quoted.group(1)}" is in no folder of the layer table')
                elif quoted.group(1) in PRIVATE_HEADERS and source != PRIVATE_HEADERS[quoted.group(1)]:
                    faults.append(f'{relative}:{number}: "{quoted.group(1)}": {source} -> {quoted.group(1)} is not '
                                  f"allowed (private to {PRIVATE_HEADERS[quoted.group(1)]}/)")
                elif target not in allowed:
                    faults.append(f'{relative}:{number}: "{quoted.group(1)}": {source} -> {target} is not allowed '
                                  f"({source} may include {', '.join(sorted(allowed - {source})) or 'only itself'})")
                continue
            angled = ANGLED.match(line)
            if angled and angled.group(1) in LIBRARIES and source not in LIBRARIES[angled.group(1)]:
                faults.append(f"{relative}:{number}: <{angled.group(1)}>: {source} -> {angled.group(1)} is not "
                              f"allowed (only {', '.join(LIBRARIES[angled.group(1)])} may)")
    return faults


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    faults = check(root)
    for fault in faults:
        print(fault)
    print(f"{len(faults)} forbidden include(s)" if faults else "every include follows the layers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
