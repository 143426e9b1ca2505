#!/bin/sh
# Fuzzes the readers of outside files with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, one target after another:
#
#   tests/fuzz/run.sh [SECONDS [TARGET...]]   (default 120 seconds each, all five)
#
# pe (program files, image choice, cache writer), ico (.ico reader), png (the
# loader and its two alpha rules), config (load, completion, save, every item
# edit) and fontspec. Seeds: tests/fuzz/seeds/<target>, plus what
# tests/catalogue/fuzz/make_seeds writes. Output in build/fuzz/ (QV_FUZZ_OUT):
# <target>.log, crashes as <target>-crash-*. Not part of the test suite.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${QV_FUZZ_OUT:-$root/build/fuzz}
seconds=${1:-120}
cxx=${QV_FUZZ_CXX:-clang++}
[ $# -gt 0 ] && shift
[ $# -gt 0 ] || set -- pe ico png config fontspec

mkdir -p "$out/seeds-pe" "$out/seeds-ico"
pictures="$root/picture/IcoFile.cpp $root/picture/PngLoader.cpp -lpng"
catalogue="$root/catalogue/PeReader.cpp $root/catalogue/IconExtraction.cpp $root/catalogue/IconCache.cpp"
config="$root/config/ConfigDocument.cpp $root/config/FontSpec.cpp $root/config/ItemExchange.cpp
        $root/config/ItemFile.cpp $root/config/Settings.cpp $root/config/SettingsFile.cpp
        $root/config/TextEncoding.cpp $root/config/Texts.cpp $root/platform/headless/Iconv.cpp -lpugixml"
# shellcheck disable=SC2086
$cxx -std=c++20 -O1 -I"$root" "$root/tests/catalogue/fuzz/make_seeds.cpp" $catalogue $pictures -o "$out/make_seeds"
"$out/make_seeds" "$out/seeds-pe" "$out/seeds-ico"

for target in "$@"; do
  case $target in
    pe | ico) sources="$root/tests/catalogue/fuzz/${target}_fuzz.cpp $catalogue $pictures" seeds=seeds-$target ;;
    png) sources="$here/png_fuzz.cpp $pictures" seeds=$here/seeds/png ;;
    config | fontspec) sources="$here/${target}_fuzz.cpp $config" seeds=$here/seeds/$target ;;
    *) echo "unknown target $target" >&2; exit 2 ;;
  esac
  # shellcheck disable=SC2086
  $cxx -std=c++20 -O1 -g -fno-omit-frame-pointer -I"$root" -DQV_SOURCE_DIR="\"$root\"" \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined $sources -o "$out/${target}_fuzz"
  mkdir -p "$out/corpus-$target"
  (cd "$out" && "./${target}_fuzz" -max_total_time="$seconds" -max_len=400000 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$out/${target}-" "corpus-$target" "$seeds" >"$target.log" 2>&1) ||
    echo "$target: findings, see $out/$target.log"
done
