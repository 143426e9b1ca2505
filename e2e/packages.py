#!/usr/bin/python3
"""The packages as a user gets them (scripts/make-packages.sh): each installer
carries exactly the files of its architecture's zip; the x86_64 one run
silently installs them into the user's programs folder with a Start-menu
shortcut and an Uninstall entry, the installed program starts and reads its
file, an install over it keeps the user's file and cached icons, start with
Windows is written as the settings dialog writes it (quoted when the path
holds a space) and another copy's is left alone, a folder holding other
files gets a Quorvel folder of its own, the uninstaller removes the program
and keeps or removes the user's items as asked and nothing else; each
portable zip unpacks to a Quorvel folder, and the x86_64 one runs. What the
folder holds is check_binaries.py's."""

import re
import shutil
import subprocess
import zipfile
from pathlib import Path

import harness

UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvel"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
ARCHS = ("x86_64", "i686")


def add_options(parser):
    parser.add_argument("--packages", required=True, help="folder made by scripts/make-packages.sh")


def wine(h, *args, timeout=120):
    return harness.ToolRun(["wine"] + [str(a) for a in args], h.env).result(timeout)


def reg_values(h, key):
    """The values of a registry key as {name: text}, None when the key is missing."""
    result = wine(h, "reg", "query", key)
    if not result.ok:
        return None
    values = {}
    for line in result.lines:
        match = re.match(r"^\s+(\S+)\s+REG_\w+\s+(.*)$", line)
        if match:
            values[match.group(1)] = match.group(2)
    return values


def shell_folder(h, variable):
    """A folder named by an environment variable of the Wine session: (Windows path, Unix path)."""
    echoed = wine(h, "cmd", "/c", "echo", "%" + variable + "%")
    windows = echoed.lines[-1].strip() if echoed.ok and echoed.lines else ""
    unix = wine(h, "winepath", "-u", windows) if windows else None
    if not windows or not unix or not unix.ok or not unix.lines:
        raise harness.Abort("no %s in the Wine session" % variable)
    return windows, Path(unix.lines[-1].strip())


def version_text(exe):
    """The ProductVersion string of a program's version resource (UTF-16, at an even offset)."""
    data = Path(exe).read_bytes()
    found = re.search("ProductVersion\0+([^\0]+)", data[:len(data) // 2 * 2].decode("utf-16le", "replace"))
    return found.group(1) if found else None


def files_of(folder):
    """{relative path with /: bytes} of every file under a folder."""
    return {p.relative_to(folder).as_posix(): p.read_bytes() for p in folder.rglob("*") if p.is_file()}


def carried(setup, target):
    """The files an installer carries for the user's folder (not its own
    plug-ins, not the uninstaller it writes), as 7-Zip unpacks them."""
    shutil.rmtree(target, ignore_errors=True)
    subprocess.run(["7z", "x", "-y", "-o%s" % target, str(setup)], stdout=subprocess.DEVNULL, check=True)
    return {k: v for k, v in files_of(target).items() if not k.startswith("$") and k != "uninstall.exe"}


def scenario(h):
    packages = Path(h.options.packages).resolve()
    setups = sorted(packages.glob("Quorvel-*-setup-x86_64.exe"))
    h.require(len(setups) == 1, "one x86_64 installer in %s" % packages, [p.name for p in setups])
    setup = setups[0]
    version = re.match(r"Quorvel-(\d+\.\d+\.\d+)-setup", setup.name).group(1)
    zipped = {}
    for arch in ARCHS:
        with zipfile.ZipFile(packages / ("Quorvel-%s-%s.zip" % (version, arch))) as z:
            names = z.namelist()
            h.check(all(n.startswith("Quorvel/") for n in names), "the %s zip holds one Quorvel folder" % arch)
            zipped[arch] = {n[len("Quorvel/"):]: z.read(n) for n in names if not n.endswith("/")}
        own = carried(packages / ("Quorvel-%s-setup-%s.exe" % (version, arch)), h.out / ("setup-" + arch))
        h.check(own == zipped[arch], "the %s installer carries exactly the files of the %s zip" % (arch, arch),
                sorted(k for k in own.keys() | zipped[arch].keys() if own.get(k) != zipped[arch].get(k)))
    # Shortcuts made under Wine would otherwise land in this machine's own menus.
    h.env["WINEDLLOVERRIDES"] = "winemenubuilder.exe=d"

    local_win, local_unix = shell_folder(h, "LOCALAPPDATA")
    _, appdata_unix = shell_folder(h, "APPDATA")
    folder_win = local_win + r"\Programs\Quorvel"
    folder = local_unix / "Programs" / "Quorvel"
    # A folder of someone else's, with a space in its name.
    shared_win = local_win + r"\My Tools"
    shared = local_unix / "My Tools"
    spaced_win, spaced = shared_win + r"\Quorvel", shared / "Quorvel"
    other_copy = r"C:\Other\Quorvel.exe"
    shortcut = appdata_unix / "Microsoft" / "Windows" / "Start Menu" / "Programs" / "Quorvel.lnk"
    # What a run that was stopped half-way left in the shared prefix.
    for leftover in (folder, shared):
        shutil.rmtree(leftover, ignore_errors=True)
    shortcut.unlink(missing_ok=True)
    wine(h, "reg", "delete", UNINSTALL_KEY, "/f")
    wine(h, "reg", "add", RUN_KEY, "/v", "Quorvel", "/d", other_copy, "/f")

    def install(*options):
        done = wine(h, setup, "/S", *options)
        h.require(done.ok, "the installer %s ends with success" % " ".join(("/S",) + options), done)

    def uninstall(where, *options):
        # The uninstaller hands over to a copy of itself and returns at once:
        # it is done when it has removed itself. One that does not end says
        # which windows it found (it waits for a running Quorvel to close).
        wine(h, where / "uninstall.exe", "/S", *options)
        ended = h.poll(lambda: not (where / "uninstall.exe").exists(), 60)
        h.check(ended, "the uninstaller ends and removes itself", None if ended else h.windows())

    # --- first install ---
    install()
    installed = files_of(folder)
    h.check(installed.keys() == zipped["x86_64"].keys() | {"uninstall.exe"},
            "installs the zip's files and the uninstaller into the user's programs folder",
            sorted(installed.keys() ^ (zipped["x86_64"].keys() | {"uninstall.exe"})))
    h.check(version_text(folder / "Quorvel.exe") == version + ".0",
            "the program's version resource says the installer's version %s" % version,
            version_text(folder / "Quorvel.exe"))
    h.check(shortcut.is_file(), "the Start-menu shortcut exists", shortcut)
    entry = reg_values(h, UNINSTALL_KEY)
    h.require(entry is not None, "the Uninstall entry exists")
    expected = {"DisplayName": "Quorvel", "DisplayVersion": version, "InstallLocation": folder_win,
                "UninstallString": '"%s\\uninstall.exe"' % folder_win}
    h.check({k: entry.get(k) for k in expected} == expected, "the Uninstall entry names the program and its uninstaller",
            entry)
    run = (reg_values(h, RUN_KEY) or {}).get("Quorvel")
    h.check(run == other_copy, "an install without start with Windows leaves another copy's alone", run)

    app = h.start_ready(folder)
    h.screenshot("installed-running")
    main, others = h.program_windows()
    h.check(any(w.title == "BackGroundForm" and w.visible for w in others), "the installed program shows its ring")
    h.check(h.close_app(app) is not None, "the installed program ends when closed")
    config = folder / "Config" / "UserInfo.xml"

    # --- an upgrade over it ---
    harness.edit_config_attributes(config, {("HotKey", "Key"): "Q"})
    changed = config.read_bytes()
    cached = folder / "Icon" / "user-item.ico"
    cached.write_bytes(b"\0\0\1\0")
    install("/AUTOSTART")
    h.check(config.read_bytes() == changed, "an install over it keeps the changed UserInfo.xml")
    h.check(cached.is_file(), "an install over it keeps a cached .ico")
    run = (reg_values(h, RUN_KEY) or {}).get("Quorvel")
    h.check(run == folder_win + r"\Quorvel.exe", "start with Windows holds the program's path, unquoted without spaces",
            run)

    # --- uninstall keeping the user's items ---
    uninstall(folder)
    h.check(not (folder / "Quorvel.exe").exists(), "the uninstaller removes the program")
    h.check(not (folder / "Icon" / "SysTool" / "MyComputer.png").exists(), "and the shipped pictures")
    h.check(not shortcut.exists(), "and the Start-menu shortcut")
    h.check(reg_values(h, UNINSTALL_KEY) is None, "and the Uninstall entry")
    h.check("Quorvel" not in (reg_values(h, RUN_KEY) or {}), "and start with Windows")
    h.check(config.read_bytes() == changed and cached.is_file(),
            "a silent uninstall keeps the user's file and cached icons")
    shutil.rmtree(folder, ignore_errors=True)

    # --- someone else's folder with a space, removed with the user's items ---
    theirs = {"README.txt": b"theirs", "Config/UserInfo.xml": b"<theirs/>", "Icon/theirs.png": b"png"}
    for name, data in theirs.items():
        (shared / name).parent.mkdir(parents=True, exist_ok=True)
        (shared / name).write_bytes(data)
    # /D= takes the rest of the command line unquoted: given in two pieces,
    # Wine joins them with a space and quotes neither.
    h.require(shared_win.count(" ") == 1, "the folder's path holds one space", shared_win)
    install("/AUTOSTART", *("/D=" + shared_win).split(" ", 1))
    h.check((spaced / "Quorvel.exe").is_file(), "/D= naming a folder with other files installs into a Quorvel folder in it")
    run = (reg_values(h, RUN_KEY) or {}).get("Quorvel")
    h.check(run == '"%s\\Quorvel.exe"' % spaced_win, "start with Windows quotes a path with a space", reg_values(h, RUN_KEY))
    uninstall(spaced, "/REMOVEUSERDATA")
    # The copy that does the work removes the folder after the uninstaller itself.
    h.check(h.poll(lambda: not spaced.exists(), 10), "/REMOVEUSERDATA removes the whole Quorvel folder",
            sorted(str(p) for p in spaced.rglob("*")) if spaced.exists() else None)
    h.check(files_of(shared) == theirs, "and nothing of the folder around it", sorted(files_of(shared)))
    h.check("Quorvel" not in (reg_values(h, RUN_KEY) or {}), "the uninstaller removes its start with Windows")
    shutil.rmtree(shared, ignore_errors=True)

    # --- the portable zips ---
    for arch in ARCHS:
        guide = zipped[arch].get("README.txt", b"")
        h.check(("Quorvel " + version).encode() in guide and b"@VERSION@" not in guide,
                "the %s zip's guide names the version" % arch)
    # No 32-bit Wine here: the x86_64 one runs.
    target = h.out / "zip-x86_64"
    shutil.rmtree(target, ignore_errors=True)
    with zipfile.ZipFile(packages / ("Quorvel-%s-x86_64.zip" % version)) as z:
        z.extractall(target)
    app = h.start_ready(target / "Quorvel")
    h.check(h.close_app(app) is not None, "the unpacked x86_64 program runs and ends when closed")


harness.run_scenario("packages", scenario, time_limit=280, add_options=add_options)
