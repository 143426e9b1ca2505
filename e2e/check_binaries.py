#!/usr/bin/python3
"""The shipped program folders as a clean Windows machine would get them:
each Quorvel.exe is a GUI program for its architecture that imports only
DLLs every Windows has (its C++ runtime, zlib and libpng linked in) and no
function newer than the oldest Windows its manifest declares (Wine has them
all: only this check sees such a call), and the folder carries the
configuration file, the Icon tree and the help page. Each picture resource
comes at 1x, 1.5x and 2x (types "PNG", "PNG150", "PNG200"). Given several
architectures, their programs import the same functions and carry the same
resources: the i686 program, which cannot run here, is held to the x86_64 one.

usage: check_binaries.py ARCH=DIST_FOLDER...   e.g. x86_64=build/x86_64/dist/Quorvel
"""

import re
import subprocess
import sys
from pathlib import Path

FORMATS = {"x86_64": "pei-x86-64", "i686": "pei-i386"}
SUBSYSTEM_GUI = "00000002"
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "gdiplus.dll", "kernel32.dll", "msvcrt.dll",
    "ole32.dll", "oleaut32.dll", "psapi.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "uxtheme.dll",
    "version.dll", "winmm.dll",
}
# What differs between the two builds by nature: the C runtime, the x64
# unwinder, the i686 unwinder's look for its DLL, the *LongPtr calls (macros
# for the *Long ones on i686), the 32-bit build asking whether it runs on a
# 64-bit Windows. Everything else the program calls must be the same.
ARCH_OWN = re.compile(r"msvcrt\.dll!|kernel32\.dll!(Rtl(CaptureContext|LookupFunctionEntry|UnwindEx|VirtualUnwind)"
                      r"|__C_specific_handler|GetModuleHandleA|IsWow64Process)$|user32\.dll!(Get|Set)WindowLongPtrW$")
PICTURE_TYPES = ("PNG", "PNG150", "PNG200")
# The about box's picture is one size, scaled with its dialog.
UNSCALED = {"ABOUTPICTURE"}
MANIFEST = Path(__file__).resolve().parent.parent / "platform" / "win32" / "Quorvel.manifest"
# supportedOS identifiers and the Windows version each stands for.
SUPPORTED_OS = {"e2011457": 0x0600, "35138b9a": 0x0601, "4a2f28e3": 0x0602, "1f676c76": 0x0603, "8e0f7a12": 0x0A00}
# Calls a program of this kind is tempted by that came after Windows 7, with
# the version that brought them: such a call is looked up at run time.
NEWER_CALLS = dict.fromkeys((
    "GetSystemTimePreciseAsFileTime CreateFile2 CopyFile2 GetCurrentThreadStackLimits WaitOnAddress "
    "WakeByAddressSingle GetOverlappedResultEx PrefetchVirtualMemory EnableMouseInPointer GetPointerInfo "
    "GetPointerType").split(), 0x0602)
NEWER_CALLS.update(dict.fromkeys("GetDpiForMonitor SetProcessDpiAwareness".split(), 0x0603))
NEWER_CALLS.update(dict.fromkeys((
    "SetThreadDescription GetDpiForWindow GetDpiForSystem AdjustWindowRectExForDpi GetSystemMetricsForDpi "
    "SystemParametersInfoForDpi EnableNonClientDpiScaling SetThreadDpiAwarenessContext "
    "SetProcessDpiAwarenessContext GetWindowDpiAwarenessContext AreDpiAwarenessContextsEqual").split(), 0x0A00))


def oldest_windows():
    ids = re.findall(r'supportedOS\s+Id="\{([0-9a-fA-F]+)-', MANIFEST.read_text(encoding="utf-8"))
    return min(SUPPORTED_OS[i.lower()] for i in ids) if ids else 0x0600


def imports(dump):
    """{"dll!function"} from objdump -p."""
    found, dll = set(), None
    for line in dump.splitlines():
        if named := re.match(r"\s*DLL Name: (\S+)", line):
            dll = named.group(1).lower()
            found.add(dll + "!")
        elif dll and (entry := re.match(r"\t[0-9a-f]+\t\s*\d+\s+(\S+)$", line)):
            found.add(dll + "!" + entry.group(1))
        elif not line.strip():
            dll = None
    return found


def resources(dump):
    """{(type, name)} from the resource directory objdump -p prints: types at
    the first level, names at the second."""
    found, kind = set(), None
    section = dump.partition("The .rsrc Resource Directory section:")[2]
    for line in section.splitlines():
        entry = re.match(r"[0-9a-f]+( +)Entry: (?:name: \[[^]]*\]: (\S+)|ID: (0x[0-9a-f]+)),", line)
        if not entry:
            continue
        depth, label = len(entry.group(1)), entry.group(2) or entry.group(3)
        if depth == 3:
            kind = label
        elif depth == 5:
            found.add((kind, label))
    return found


def main(arguments):
    passed = failed = 0

    def check(condition, message, detail=""):
        nonlocal passed, failed
        print(("ok   " if condition else "FAIL ") + message + ("" if condition or not detail else ": %s" % detail))
        if condition:
            passed += 1
        else:
            failed += 1

    if not arguments:
        print(__doc__)
        return 2
    floor = oldest_windows()
    programs = {}
    for argument in arguments:
        arch, _, folder = argument.partition("=")
        folder = Path(folder)
        exe = folder / "Quorvel.exe"
        if not exe.is_file():
            check(False, "%s: %s exists" % (arch, exe))
            continue
        dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(exe)], stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, check=False).stdout.decode(errors="replace")
        form = re.search(r"file format (\S+)", dump)
        check(form and form.group(1) == FORMATS.get(arch), "%s: Quorvel.exe is %s" % (arch, FORMATS.get(arch)),
              form.group(1) if form else "unknown")
        subsystem = re.search(r"^Subsystem\s+(\S+)", dump, re.M)
        check(subsystem and subsystem.group(1) == SUBSYSTEM_GUI, "%s: a GUI program" % arch,
              subsystem.group(1) if subsystem else "none")
        found = imports(dump)
        foreign = sorted({name.partition("!")[0] for name in found} - SYSTEM_DLLS)
        check(found and not foreign, "%s: imports only system DLLs" % arch, foreign or "no imports found")
        newer = sorted(name for name in found if NEWER_CALLS.get(name.partition("!")[2], 0) > floor)
        check(not newer, "%s: imports nothing newer than Windows %#06x, the oldest its manifest declares" %
              (arch, floor), newer)
        carried = resources(dump)
        pictures = {name for kind, name in carried if kind == "PNG"} - UNSCALED
        unscaled = sorted("%s/%s" % (kind, name) for name in pictures for kind in PICTURE_TYPES
                          if (kind, name) not in carried)
        check(pictures and not unscaled, "%s: %d pictures, each at 1x, 1.5x and 2x" % (arch, len(pictures)),
              unscaled or "no PNG resources")
        programs[arch] = ({name for name in found if not ARCH_OWN.match(name)}, carried)
        for part in ("Config/UserInfo.xml", "Icon/SysTool/Help.png", "Help/index.html", "Help/index.zh.html"):
            check((folder / part).is_file(), "%s: ships %s" % (arch, part))
    if len(programs) > 1:
        (first, (calls, carried)), *others = programs.items()
        for arch, (other_calls, other_carried) in others:
            check(calls == other_calls, "%s and %s import the same functions" % (first, arch),
                  sorted(calls ^ other_calls))
            check(carried == other_carried, "%s and %s carry the same resources" % (first, arch),
                  sorted(carried ^ other_carried))
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
