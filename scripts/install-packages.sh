#!/usr/bin/env bash
# Installs, on Debian 12, every package that building, running and testing
# Quorvel needs. Quick when they are all present: apt is only asked for the
# ones dpkg does not know as installed. Run as root (or through sudo).
set -euo pipefail

packages=(
  # native build, unit tests, benchmarks
  cmake ninja-build g++ pkg-config libpng-dev libpugixml-dev
  libgtest-dev googletest libbenchmark-dev
  # art generator and the end-to-end harness (Debian's python3, not another one)
  python3 python3-cairo python3-xlib
  # Windows build: cross compilers, zlib, and dpkg-source for the library sources
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev dpkg-dev
  # running the Windows program: Wine on a virtual display
  wine xvfb xdotool x11-apps x11-utils imagemagick openbox xcompmgr
  # the packages: portable zips and the installers (7-Zip lists what an installer carries)
  zip nsis p7zip-full
  # Chinese text in the program's dialogs and labels under Wine
  fonts-wqy-microhei
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [[ $status == installed ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "installing: ${missing[*]}" >&2
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
