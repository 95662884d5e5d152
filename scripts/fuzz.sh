#!/usr/bin/env bash
# Builds the fuzz targets against libFuzzer (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# in a folder of their own and runs each in turn for the given time, keeping its corpus under
# the build folder, so a second run goes on where the first stopped. Prints one line a target:
# executions, executions per second, coverage (libFuzzer's cov and ft), corpus size, findings.
# A finding (crash, leak, time-out, out of memory) is written to findings/<target>/ and fails
# the run; run the target on that file to see it again.
#   scripts/fuzz.sh [seconds-per-target=60] [target...]   (every fuzz target when none is named)
# QN_FUZZ_BUILD chooses the build folder (build-fuzz).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QN_FUZZ_BUILD:-$root/build-fuzz}"
seconds="${1:-60}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in "$root"/tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

if ! command -v clang++ >/dev/null ||
   [ ! -f "$(clang++ -print-file-name="libclang_rt.fuzzer-$(uname -m).a")" ]; then
  echo "scripts/fuzz.sh needs clang and its libFuzzer (Debian 12: apt-get install clang libclang-rt-14-dev)" >&2
  exit 2
fi
# Only the fuzz targets and the core libraries they link are built.
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQN_SANITIZE=address,undefined -DQN_LIBFUZZER=ON -DQN_BENCHMARKS=OFF >/dev/null
build_targets=()
for target in "${targets[@]}"; do build_targets+=(--target "$target"); done
cmake --build "$build" -j "$(nproc)" "${build_targets[@]}"

export ASAN_OPTIONS="abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
printf '%-22s %12s %8s %6s %7s %7s %s\n' target executions exec/s cov ft corpus findings
for target in "${targets[@]}"; do
  corpus="$build/fuzz-corpus/$target"
  findings="$build/findings/$target"
  log="$build/fuzz-logs/$target.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  arguments=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1 -artifact_prefix="$findings/")
  dictionary="$root/tests/fuzz/$target.dict"
  [ -f "$dictionary" ] && arguments+=(-dict="$dictionary")
  "$build/tests/$target" "${arguments[@]}" "$corpus" >"$log" 2>&1 || status=1
  stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -n 1; }
  # The last status line ("#N DONE cov: C ft: F ...") carries the coverage reached.
  last="$(grep -E '^#[0-9]+[[:space:]].*cov: ' "$log" | tail -n 1 || true)"
  cov="$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")"
  ft="$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")"
  found="$(find "$findings" -type f | wc -l)"
  [ "$found" -eq 0 ] || status=1
  printf '%-22s %12s %8s %6s %7s %7s %s\n' "$target" "$(stat number_of_executed_units)" \
    "$(stat average_exec_per_sec)" "${cov:--}" "${ft:--}" "$(find "$corpus" -type f | wc -l)" \
    "$found$([ "$found" -eq 0 ] || echo " (in $findings, log $log)")"
done
exit "$status"
