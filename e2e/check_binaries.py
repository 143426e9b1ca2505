#!/usr/bin/python3
"""The shipped program folders as a clean Windows machine would get them:
each Quorvel.exe is a GUI program for its architecture that imports only
DLLs every Windows has (its C++ runtime, zlib and libpng linked in), and the
folder carries the configuration file, the Icon tree and the help page.

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
        dlls = sorted({name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)})
        foreign = [name for name in dlls if name not in SYSTEM_DLLS]
        check(dlls and not foreign, "%s: imports only system DLLs" % arch, foreign or "no imports found")
        check((folder / "Config" / "UserInfo.xml").is_file(), "%s: ships Config/UserInfo.xml" % arch)
        check((folder / "Icon" / "SysTool").is_dir(), "%s: ships Icon/SysTool" % arch)
        check((folder / "Help" / "index.html").is_file(), "%s: ships Help/index.html" % arch)
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
