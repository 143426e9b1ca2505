#!/bin/sh
# Fuzzes the readers of outside files with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, all five targets at once:
#
#   tests/fuzz/run.sh [SECONDS [JOBS [TARGET...]]]   (default 600 seconds in all, 2 at a time, all five)
#
# pe (program files, image choice, cache writer), ico (.ico reader), png (the
# loader and its two alpha rules), config (load, completion, save, every item
# edit) and fontspec. Each target gets SECONDS * JOBS / 5 seconds. Seeds:
# tests/fuzz/seeds/<target>, plus what tests/catalogue/fuzz/make_seeds writes.
# Output in build/fuzz/ (QV_FUZZ_OUT); per target <target>.log with libFuzzer's
# final statistics, crashes as <target>-crash-*. QV_FUZZ_RUNS=N ends each target
# after N executions if that comes first. Not part of the test suite.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${QV_FUZZ_OUT:-$root/build/fuzz}
seconds=${1:-600}
jobs=${2:-2}
cxx=${QV_FUZZ_CXX:-clang++}
shift $(($# < 2 ? $# : 2))
[ $# -gt 0 ] || set -- pe ico png config fontspec
per=$((seconds * jobs / $#))
[ "$per" -ge 1 ] || per=1
targets="$*"

mkdir -p "$out"
flags="-std=c++20 -O1 -g -fno-omit-frame-pointer -I$root -DQV_SOURCE_DIR=\"$root\""
sanitize="-fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"
pictures="$root/picture/IcoFile.cpp $root/picture/PngLoader.cpp"
catalogue="$root/catalogue/PeReader.cpp $root/catalogue/IconExtraction.cpp $root/catalogue/IconCache.cpp"
config="$root/config/ConfigDocument.cpp $root/config/FontSpec.cpp $root/config/ItemExchange.cpp
        $root/config/ItemFile.cpp $root/config/Settings.cpp $root/config/SettingsFile.cpp
        $root/config/TextEncoding.cpp $root/platform/headless/Iconv.cpp"
build() {  # name, sources...
  name=$1
  shift
  [ -x "$out/${name}_fuzz" ] && [ -z "${QV_FUZZ_REBUILD:-}" ] && return 0
  # shellcheck disable=SC2086
  $cxx $flags $sanitize "$@" -o "$out/${name}_fuzz"
}
build pe "$root/tests/catalogue/fuzz/pe_fuzz.cpp" $catalogue $pictures -lpng
build ico "$root/tests/catalogue/fuzz/ico_fuzz.cpp" $catalogue $pictures -lpng
build png "$here/png_fuzz.cpp" $pictures -lpng
build config "$here/config_fuzz.cpp" $config -lpugixml
build fontspec "$here/fontspec_fuzz.cpp" $config -lpugixml

if [ ! -d "$out/seeds-pe" ]; then
  mkdir -p "$out/seeds-pe" "$out/seeds-ico"
  # shellcheck disable=SC2086
  $cxx -std=c++20 -O1 -I"$root" "$root/tests/catalogue/fuzz/make_seeds.cpp" $catalogue $pictures -lpng -o "$out/make_seeds"
  "$out/make_seeds" "$out/seeds-pe" "$out/seeds-ico"
fi

run() {
  target=$1 max_len=$2
  mkdir -p "$out/corpus-$target"
  seeds=""
  for d in "$here/seeds/$target" "$out/seeds-$target"; do [ -d "$d" ] && seeds="$seeds $d"; done
  # shellcheck disable=SC2086
  (cd "$out" && "./${target}_fuzz" -max_total_time="$per" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
     -print_final_stats=1 ${QV_FUZZ_RUNS:+-runs=$QV_FUZZ_RUNS} -artifact_prefix="$out/${target}-" "corpus-$target" $seeds > "$target.log" 2>&1) || true
  execs=$(grep -E '^stat::number_of_executed_units' "$out/$target.log" | awk '{print $2}')
  rate=$(grep -E '^stat::average_exec_per_sec' "$out/$target.log" | awk '{print $2}')
  crashes=$(ls "$out/${target}"-crash-* "$out/${target}"-leak-* "$out/${target}"-timeout-* "$out/${target}"-oom-* 2>/dev/null | wc -l)
  echo "$target: ${execs:-?} executions, ${rate:-?}/s, $crashes findings in ${per}s"
}
# At most JOBS targets at once.
max_len() {
  case $1 in pe) echo 400000 ;; ico | png) echo 65536 ;; config) echo 16384 ;; fontspec) echo 256 ;;
    *) echo "unknown target $1" >&2; exit 2 ;; esac
}
# shellcheck disable=SC2086
set -- $targets
for t in "$@"; do max_len "$t" > /dev/null; done
while [ $# -gt 0 ]; do
  n=0
  while [ $# -gt 0 ] && [ "$n" -lt "$jobs" ]; do
    # shellcheck disable=SC2086
    run "$1" "$(max_len "$1")" &
    shift
    n=$((n + 1))
  done
  wait
done
