#!/usr/bin/env bash
# Builds everything and runs every test: the native build's unit and
# scenario tests and the end-to-end tests of the Windows build under Wine,
# in one ctest run. Exits non-zero when anything fails.
#
#   ./test.sh           the whole suite
#   ./test.sh --asan    only the unit tests, built with AddressSanitizer and
#                       UndefinedBehaviorSanitizer (build/asan)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
root=$PWD
source scripts/common.sh

asan=
for arg in "$@"; do
  case $arg in
    --asan) asan=1 ;;
    -h | --help) sed -n '2,9p' "$0"; exit 0 ;;
    *) echo "test.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done

as_root scripts/install-packages.sh
started=$SECONDS
stage() { echo "== $* ($((SECONDS - started)) s)" >&2; }

if [[ -n $asan ]]; then
  stage "ASan/UBSan build"
  cmake -S . -B build/asan "${QV_CMAKE_COMMON[@]}" -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON >/dev/null
  ninja -C build/asan
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  exec ctest --test-dir build/asan -L unit --output-on-failure -j2
fi

native=(-S . -B build/native "${QV_CMAKE_COMMON[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo)
stage "native build"
cmake "${native[@]}" >/dev/null
ninja -C build/native

for arch in x86_64 i686; do
  stage "Windows build, $arch"
  build_windows "$arch" "$root"
done

dist=$root/build/x86_64/dist/Quorvel
tools=$root/build/x86_64/test-tools
[[ -f $dist/Quorvel.exe && -f $tools/wintool.exe ]] ||
  { echo "test.sh: the x86_64 build left no $dist/Quorvel.exe or $tools/wintool.exe" >&2; exit 1; }

stage "packages"
scripts/make-packages.sh "$root"

stage "tests"
cmake "${native[@]}" -DQV_WINDOWS_DIST="$dist" -DQV_WINDOWS_TOOLS="$tools" \
  -DQV_WINDOWS_DIST_I686="$root/build/i686/dist/Quorvel" -DQV_PACKAGES="$root/build/packages" >/dev/null
ninja -C build/native
# ctest's own summary is the last thing printed; its exit code is ours.
ctest --test-dir build/native --output-on-failure -j2
