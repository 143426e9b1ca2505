#!/usr/bin/env bash
# Builds the third-party libraries the Windows program links statically:
# libpng (against MinGW's zlib) and pugixml, from Debian's source packages.
#
#   scripts/build-mingw-deps.sh ARCH PREFIX     ARCH: x86_64 | i686
#
# Installs PREFIX/include and PREFIX/lib once; a stamp makes later runs no-ops.
# The sources are fetched with apt-get source through a private deb-src list
# (the system's apt lists and caches are not touched) and kept in
# build/deps/src for the other architecture and later runs.
set -euo pipefail

usage() { echo "usage: $0 x86_64|i686 PREFIX" >&2; exit 2; }
[[ $# -eq 2 ]] || usage
arch=$1
case "$arch" in
  x86_64 | i686) ;;
  *) usage ;;
esac
prefix=$(realpath -m "$2")

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps=$root/build/deps
src=$deps/src
triple=$arch-w64-mingw32
toolchain=$root/cmake/mingw-$arch.cmake
# Bump when the way the libraries are built changes, so old prefixes rebuild.
recipe=4
stamp=$prefix/.quorvel-deps-$arch-$recipe

[[ -f $stamp ]] && exit 0

mkdir -p "$deps"
# Two builds (say run.sh and test.sh) must not fetch into the same folder at once.
exec 9>"$deps/.lock"
flock 9
[[ -f $stamp ]] && exit 0

for tool in "$triple-gcc-posix" "$triple-g++-posix" cmake ninja dpkg-source; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is missing (scripts/install-packages.sh)" >&2; exit 1; }
done
[[ -f /usr/$triple/lib/libz.a ]] || { echo "$0: /usr/$triple/lib/libz.a is missing (libz-mingw-w64-dev)" >&2; exit 1; }

fetch_sources() {
  local apt=$deps/apt
  mkdir -p "$apt/sources.d" "$apt/lists/partial" "$apt/cache/archives/partial" "$src"
  # The machine's own mirror, main suites only: the security suite's source
  # files can be missing even when its index names them.
  awk 'BEGIN { RS = ""; ORS = "\n\n" }
       /(^|\n)Types:[^\n]*deb/ && !/(^|\n)Suites:[^\n]*-security/ {
         sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' \
    /etc/apt/sources.list.d/debian.sources >"$apt/sources.d/quorvel-src.sources"
  grep -q '^URIs:' "$apt/sources.d/quorvel-src.sources" ||
    { echo "$0: no usable stanza in /etc/apt/sources.list.d/debian.sources" >&2; exit 1; }
  local opts=(-o Dir::Etc::SourceList=/dev/null
    -o Dir::Etc::SourceParts="$apt/sources.d"
    -o Dir::State::Lists="$apt/lists"
    -o Dir::Cache="$apt/cache"
    -o APT::Sandbox::User=root
    -o Debug::NoLocking=1)
  apt-get "${opts[@]}" -qq update
  (cd "$src" && apt-get "${opts[@]}" -qq source libpng1.6 pugixml) >"$apt/source.log" 2>&1 ||
    { cat "$apt/source.log" >&2; exit 1; }
}

find_source() {  # prints the unpacked folder of a source package, if any
  [[ -d $src ]] || return 0
  find "$src" -mindepth 1 -maxdepth 1 -type d -name "$1-*" | sort | tail -n 1
}

png_src=$(find_source libpng1.6)
pugi_src=$(find_source pugixml)
if [[ -z $png_src || -z $pugi_src ]]; then
  echo "fetching libpng1.6 and pugixml sources" >&2
  fetch_sources
  png_src=$(find_source libpng1.6)
  pugi_src=$(find_source pugixml)
fi
[[ -f $png_src/CMakeLists.txt && -f $pugi_src/src/pugixml.cpp ]] ||
  { echo "$0: unexpected source layout in $src" >&2; exit 1; }

work=$deps/build-$arch
rm -rf "$work"
mkdir -p "$work" "$prefix/include" "$prefix/lib"

echo "building libpng for $arch from $(basename "$png_src")" >&2
cmake -S "$png_src" -B "$work/libpng" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS="-ffunction-sections -fdata-sections" \
  -DDFA_XTRA="$root/scripts/deps/libpng-read-only.dfa" \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DPNG_HARDWARE_OPTIMIZATIONS=ON \
  -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON \
  -DZLIB_INCLUDE_DIR="/usr/$triple/include" \
  -DZLIB_LIBRARY="/usr/$triple/lib/libz.a" \
  >"$work/libpng-configure.log" || { cat "$work/libpng-configure.log" >&2; exit 1; }
cmake --build "$work/libpng" >"$work/libpng-build.log" || { tail -n 50 "$work/libpng-build.log" >&2; exit 1; }
cmake --install "$work/libpng" >/dev/null

echo "building pugixml for $arch from $(basename "$pugi_src")" >&2
mkdir -p "$work/pugixml"
# Without its stream interfaces, which nothing here uses: they would link
# the standard library's locales and streams, about 650 KB of code, into the
# program; and without XPath, which nothing here asks for either (60 KB the
# linker cannot drop). The installed configuration says so to every user of
# the header.
"$triple-g++-posix" -std=c++17 -O2 -ffunction-sections -fdata-sections -DPUGIXML_NO_STL -DPUGIXML_NO_XPATH \
  -c "$pugi_src/src/pugixml.cpp" -o "$work/pugixml/pugixml.o"
rm -f "$prefix/lib/libpugixml.a"
"$triple-ar" rcs "$prefix/lib/libpugixml.a" "$work/pugixml/pugixml.o"
install -m 644 "$pugi_src/src/pugixml.hpp" "$pugi_src/src/pugiconfig.hpp" "$prefix/include/"
printf '\n// Built without the stream interfaces and XPath (scripts/build-mingw-deps.sh).\n#define PUGIXML_NO_STL\n#define PUGIXML_NO_XPATH\n' \
  >>"$prefix/include/pugiconfig.hpp"

[[ -f $prefix/include/png.h && -f $prefix/lib/libpugixml.a ]] &&
  ls "$prefix"/lib/libpng*.a >/dev/null ||
  { echo "$0: install into $prefix is incomplete" >&2; exit 1; }
rm -rf "$work"
touch "$stamp"
echo "deps for $arch ready in $prefix" >&2
