#!/usr/bin/env bash
# Measures rostrix against the floor reader (and cat) side by side and prints
# one line per target: the measured ratio or figure, the target, PASS or FAIL.
# Builds Release into build-bench, makes the benchmark data in bench/out and
# installs hyperfine (and GNU time) when they are missing.
#
#   bench/run.sh            the comparisons and the peak-memory figures
#   bench/run.sh --micro    the same, then the per-stage microbenchmarks
#
# ROSTRIX=/path/to/rostrix measures another build of the tool against the same
# floor (for instance an older one, to compare before and after a change).
# The exit status is 1 when a target fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-bench
out=$root/bench/out
micro=false
[ "${1:-}" = "--micro" ] && micro=true

# Tools.
need=()
command -v hyperfine >/dev/null || need+=(hyperfine)
[ -x /usr/bin/time ] || need+=(time)
dpkg -s libbenchmark-dev >/dev/null 2>&1 || need+=(libbenchmark-dev)
if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq && apt-get install -y -qq "${need[@]}"
fi

# Build.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DROSTRIX_BENCHMARKS=ON -DROSTRIX_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target rostrix floor_reader make_bench_data rostrix_micro >/dev/null
tool=${ROSTRIX:-$build/rostrix}
tool=$(cd "$(dirname "$tool")" && pwd)/$(basename "$tool")
floor=$build/bench/floor_reader

# Data, made again whenever the maker has changed.
if [ ! -f "$out/.made" ] || [ "$build/bench/make_bench_data" -nt "$out/.made" ]; then
  rm -rf "$out"
  "$build/bench/make_bench_data" "$out"
  touch "$out/.made"
fi
cd "$out"  # the scripts name their sources relative to this folder
list_files=$(ls list/*.sqd | tr '\n' ' ')
one_file=list/save0000.sqd
build_sources=$(ls build/*.sqd | tr '\n' ' ')
manage_sources=$(ls manage/*.sqd | tr '\n' ' ')

echo "rostrix: $tool"
echo "load before the run:$(uptime | sed 's/.*load average://')"
echo

# hyperfine over named commands; the figures (seconds) land in $results/NAME.
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
compare() {
  local title=$1
  shift
  local args=()
  while [ $# -gt 0 ]; do
    args+=(-n "$1" "$2")
    shift 2
  done
  echo "== $title"
  hyperfine -N --warmup 20 --style none --export-csv "$results/last.csv" "${args[@]}" >/dev/null
  # command,mean,stddev,median,user,system,min,max
  tail -n +2 "$results/last.csv" | while IFS=, read -r name mean _ median _ _ min max; do
    echo "$median $min $max" >"$results/$name"
    awk -v n="$name" -v md="$median" -v mn="$min" -v mx="$max" \
      'BEGIN { printf "  %-12s median %8.3f ms   min %8.3f ms   max %8.3f ms\n", n, md * 1000, mn * 1000, mx * 1000 }'
  done
}

compare "-l and -k over 1,000 save files" \
  floor "$floor $list_files" \
  cat "cat $list_files" \
  rostrix-l "$tool -l $list_files" \
  rostrix-k "$tool -k $list_files"
compare "-l on one save file" \
  floor-one "$floor $one_file" \
  rostrix-one "$tool -l $one_file"
compare "-b composing 16 teams from 48 source files" \
  floor-48 "$floor $build_sources" \
  rostrix-b "$tool -o /dev/null -b build.vek"
compare "-m copying 16 teams from 16 source files" \
  floor-16 "$floor $manage_sources" \
  rostrix-m "$tool -o /dev/null -m manage.team"

# Peak resident set, in KiB.
peak() {
  /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }'
}
rss_l=$(peak "$tool" -l $list_files)
rss_k=$(peak "$tool" -k $list_files)
rss_b=$(peak "$tool" -o /dev/null -b build.vek)
rss_m=$(peak "$tool" -o /dev/null -m manage.team)
rss_floor=$(peak "$floor" $list_files)
echo "== peak resident set: -l ${rss_l} KiB, -k ${rss_k} KiB, -b ${rss_b} KiB, -m ${rss_m} KiB (floor reader ${rss_floor} KiB)"
echo

failed=0
median() { cut -d' ' -f1 "$results/$1"; }
# verdict DESCRIPTION MEASURED LIMIT UNIT RELATION: PASS when MEASURED stands
# in RELATION ("<" or "<=") to LIMIT.
verdict() {
  local line
  line=$(awk -v d="$1" -v m="$2" -v l="$3" -v u="$4" -v s="$5" 'BEGIN {
    ok = s == "<" ? m < l : m <= l
    printf "%-44s %10.2f %-5s target %s %8.2f %-5s %s\n", d, m, u, s, l, u, ok ? "PASS" : "FAIL"
  }')
  echo "$line"
  [[ $line == *PASS ]] || failed=1
}
ratio() { awk -v a="$(median "$1")" -v b="$(median "$2")" 'BEGIN { printf "%.4f", a / b }'; }

echo "== targets (ratios of medians)"
verdict "-l, 1,000 files: rostrix / cat" "$(ratio rostrix-l cat)" 1 x "<"
verdict "-l, 1,000 files: rostrix / floor" "$(ratio rostrix-l floor)" 1.5 x "<="
verdict "-k, 1,000 files: rostrix / cat" "$(ratio rostrix-k cat)" 1 x "<"
verdict "-k, 1,000 files: rostrix / floor" "$(ratio rostrix-k floor)" 1.5 x "<="
verdict "-l, one file: rostrix / floor" "$(ratio rostrix-one floor-one)" 1.3 x "<="
verdict "-b, 48 sources: rostrix / floor" "$(ratio rostrix-b floor-48)" 1.5 x "<="
verdict "-m, 16 sources: rostrix / floor" "$(ratio rostrix-m floor-16)" 1.5 x "<="
verdict "-l, 1,000 files: peak RSS" "$(awk -v k="$rss_l" 'BEGIN { print k / 1024 }')" 4 MiB "<"
verdict "-k, 1,000 files: peak RSS" "$(awk -v k="$rss_k" 'BEGIN { print k / 1024 }')" 4 MiB "<"
verdict "-b, 48 sources: peak RSS" "$(awk -v k="$rss_b" 'BEGIN { print k / 1024 }')" "$(awk 'BEGIN { print 4 + 0.3 * 48 }')" MiB "<"
verdict "-m, 16 sources: peak RSS" "$(awk -v k="$rss_m" 'BEGIN { print k / 1024 }')" "$(awk 'BEGIN { print 4 + 0.3 * 16 }')" MiB "<"
echo "load after the run:$(uptime | sed 's/.*load average://')"

if $micro; then
  echo
  "$build/bench/rostrix_micro"
fi
exit $failed
