#!/bin/sh
# Fuzzes the program-file reader (with the image choice, the cache writer and
# the drop classification behind it) and the .ico reader under AddressSanitizer
# and UndefinedBehaviorSanitizer, with libFuzzer.
#
#   tests/catalogue/fuzz/run.sh [PE_SECONDS [ICO_SECONDS]]     (default 360 and 240)
#
# Seeds: small programs and icons written by make_seeds, and Wine's smaller
# programs with icons.
# Everything lands in build/fuzz/ (QV_FUZZ_OUT to change it); crashes as
# build/fuzz/<target>-crash-*, with the final statistics in <target>.log.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
out=${QV_FUZZ_OUT:-$root/build/fuzz}
pe_seconds=${1:-360}
ico_seconds=${2:-240}
cxx=${QV_FUZZ_CXX:-clang++}
wine=${QV_WINE_PE_DIR:-/usr/lib/x86_64-linux-gnu/wine/x86_64-windows}

mkdir -p "$out/seeds-pe" "$out/seeds-ico" "$out/corpus-pe" "$out/corpus-ico"
core="$root/catalogue/PeReader.cpp $root/catalogue/IconExtraction.cpp $root/catalogue/IconCache.cpp
      $root/picture/IcoFile.cpp $root/picture/PngLoader.cpp"
flags="-std=c++20 -O1 -g -fno-omit-frame-pointer -I$root"
sanitize="-fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"
# shellcheck disable=SC2086
$cxx $flags $sanitize "$here/pe_fuzz.cpp" $core -lpng -o "$out/pe_fuzz"
# shellcheck disable=SC2086
$cxx $flags $sanitize "$here/ico_fuzz.cpp" $core -lpng -o "$out/ico_fuzz"
# shellcheck disable=SC2086
$cxx $flags "$here/make_seeds.cpp" $core -lpng -o "$out/make_seeds"
"$out/make_seeds" "$out/seeds-pe" "$out/seeds-ico"
for f in hh.exe iexplore.exe msiexec.exe winemine.exe; do
  [ -f "$wine/$f" ] && cp "$wine/$f" "$out/seeds-pe/"
done

run() {
  target=$1 seconds=$2 max_len=$3
  shift 3
  (cd "$out" && "./${target}_fuzz" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
     -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/${target}-" \
     "corpus-$target" "seeds-$target" 2>&1 | tee "$target.log" | grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|ERROR|SUMMARY|stat::' | tail -n 20)
}
run pe "$pe_seconds" 400000
run ico "$ico_seconds" 65536
