#!/usr/bin/env bash
# Builds the x86_64 Windows program and runs a fresh copy of it under Wine:
# on $DISPLAY when there is one; otherwise on a private virtual display,
# where it saves out/screenshot.png once the program is up, then stops.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
root=$PWD
source scripts/common.sh

as_root scripts/install-packages.sh
build_windows x86_64 "$root"

dist=$root/build/x86_64/dist/Quorvel
tools=$root/build/x86_64/test-tools
[[ -f $dist/Quorvel.exe ]] || { echo "run.sh: the build left no $dist/Quorvel.exe" >&2; exit 1; }
mkdir -p out
run=$root/out/run-$(date +%Y%m%d-%H%M%S)
cp -r "$dist" "$run"
echo "running $run/Quorvel.exe" >&2

export WINEPREFIX=$root/build/wineprefix WINEDEBUG=-all LANG=C.UTF-8 LC_ALL=C.UTF-8
unset WINESERVER WINELOADER WINEDLLOVERRIDES

if [[ -n ${DISPLAY:-} ]]; then
  scripts/setup-wine-prefix.sh
  cd "$run"
  exec wine "$run/Quorvel.exe"
fi

QV_X_PIDS=()
app=
cleanup() {
  wineserver -k 2>/dev/null || true
  [[ -n $app ]] && wait "$app" 2>/dev/null || true
  stop_private_display
}
trap cleanup EXIT
start_private_display "$root/out/xvfb.log"
wineserver -k 2>/dev/null || true  # one left by a run that was killed holds a dead display
scripts/setup-wine-prefix.sh
wineserver -p

(cd "$run" && exec wine "$run/Quorvel.exe") >"$root/out/wine.log" 2>&1 &
app=$!
found=
for _ in $(seq 60); do
  if wine "$tools/wintool.exe" wait-window TFormRoundHot Quorvel 1000 >/dev/null 2>&1; then
    found=1
    break
  fi
  kill -0 "$app" 2>/dev/null || break
done
if [[ -z $found ]]; then
  import -window root out/screenshot.png
  echo "run.sh: no main window \"Quorvel\" appeared (screen saved in out/screenshot.png, log in out/wine.log)" >&2
  exit 1
fi
# Let the one-shot start-up step build the visible windows.
wine "$tools/wintool.exe" wait-ready 10000 >/dev/null 2>&1 || true
sleep 3
import -window root out/screenshot.png
echo "Quorvel is up; screen saved in out/screenshot.png" >&2
