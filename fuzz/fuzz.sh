#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# and runs each in turn, niced, for the given number of seconds (default 60), starting
# from the seed corpus in fuzz/corpus/<target>. New inputs and any crash, leak, timeout or
# out-of-memory input land in <build dir>/work/. Exits non-zero when a target fails.
#
#   fuzz/fuzz.sh [seconds per target] [target ...]      (targets: pgn_file fen fen_moves san pgn_game phases)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=${1:-60}
shift || true
build=$(realpath -m "${VORLINE_FUZZ_BUILD:-build-fuzz}")
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(pgn_file fen fen_moves san pgn_game phases)

command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is needed (apt-get install clang)"; exit 2; }

if ! configure_log=$(cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DVORLINE_FUZZ=ON -DVORLINE_SANITIZE=ON -DVORLINE_TESTS=OFF \
  -DVORLINE_BENCH=OFF 2>&1); then
  echo "fuzz.sh: configuring the fuzz build failed:"
  echo "$configure_log" | tail -n 20
  exit 1
fi

status=0
for target in "${targets[@]}"; do
  if ! nice -n 19 cmake --build "$build" -j2 --target "fuzz_$target" >"$build/build.log" 2>&1; then
    status=1
    echo "== $target: not built"
    grep -m 5 -E 'error|Stop' "$build/build.log"
    continue
  fi
  work="$build/work/$target"
  mkdir -p "$work/corpus"
  echo "== $target: $seconds s"
  log="$work/fuzz.log"
  if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
     nice -n 19 "$build/fuzz_$target" "$work/corpus" "$root/fuzz/corpus/$target" \
       -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=5 -print_final_stats=1 \
       -artifact_prefix="$work/" >"$log" 2>&1; then
    grep -E 'DONE|^stat::(number_of_executed_units|peak_rss_mb)' "$log"
  else
    status=1
    echo "   FAILED: see $log"
    grep -E 'ERROR|SUMMARY|property violated|Test unit written' "$log" | head -5
  fi
done
exit $status
