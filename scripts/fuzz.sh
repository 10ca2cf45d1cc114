#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz and runs them.
#
#   scripts/fuzz.sh [SECONDS]   replay each target's corpus, then fuzz each
#                               target for SECONDS (default 30)
#   scripts/fuzz.sh regress     replay each target's corpus only
#
# Exits non-zero when any target crashes, hangs, leaks or trips a sanitizer;
# the input that did it is left in build-fuzz/artifacts/. Inputs found while
# fuzzing go to build-fuzz/found/<target>/, never into fuzz/corpus/. Extra
# libFuzzer flags can be given in FUZZ_FLAGS. Needs clang and
# libclang-rt-14-dev (libFuzzer and the sanitizer runtimes).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build-fuzz"
mode=${1:-30}
if [ "$mode" != regress ] && ! [[ "$mode" =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/fuzz.sh [SECONDS|regress]" >&2
  exit 2
fi

targets=(save_file team_script vek_script argv)

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DROSTRIX_FUZZ=ON -DROSTRIX_TESTS=OFF \
  -DROSTRIX_WERROR=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build/artifacts"
failed=()

for target in "${targets[@]}"; do
  fuzzer="$build/fuzz/fuzz_$target"
  corpus="$root/fuzz/corpus/$target"
  common=(-timeout=10 -artifact_prefix="$build/artifacts/$target-")
  # Save files may be longer than the load buffer; scripts and argument
  # vectors stay short.
  if [ "$target" = save_file ]; then common+=(-max_len=270000); else common+=(-max_len=4096); fi

  echo "== $target: replaying $(find "$corpus" -type f | wc -l) corpus inputs"
  # Given files rather than a directory, libFuzzer runs each once and stops.
  if ! find "$corpus" -type f -print0 | xargs -0 "$fuzzer" "${common[@]}" >"$build/$target-replay.log" 2>&1; then
    tail -n 40 "$build/$target-replay.log" >&2
    failed+=("$target (corpus)")
    continue
  fi
  [ "$mode" = regress ] && continue

  echo "== $target: fuzzing for $mode seconds"
  found="$build/found/$target"
  mkdir -p "$found"
  dict=()
  [ -f "$root/fuzz/dict/$target.dict" ] && dict=(-dict="$root/fuzz/dict/$target.dict")
  # The first directory receives new inputs; the committed corpus is only read.
  # shellcheck disable=SC2086
  if ! "$fuzzer" "${common[@]}" "${dict[@]}" -max_total_time="$mode" -print_final_stats=1 \
      ${FUZZ_FLAGS:-} "$found" "$corpus" >"$build/$target-fuzz.log" 2>&1; then
    tail -n 40 "$build/$target-fuzz.log" >&2
    failed+=("$target")
    continue
  fi
  grep -E '^#[0-9]+[[:space:]]+DONE' "$build/$target-fuzz.log" || true
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzzing: every target clean"
