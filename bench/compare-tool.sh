#!/usr/bin/env bash
# Times a whole vorline run (depth 24, an EPD file of a few thousand positions drawn from
# the file's own games), on one thread and on every hardware thread, against Debian's
# pgn-extract reading the same file, and against plainly reading the file with cat.
# Each program runs three times, in turn, and its best time counts (shared machines are noisy).
# Prints each rate and the ratios.
#   usage: bench/compare-tool.sh <pgn file> [build dir]
set -euo pipefail
pgn=$(realpath "${1:?usage: bench/compare-tool.sh <pgn file> [build dir]}")
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${2:-$root/build}")

extract=$(command -v pgn-extract || echo /usr/games/pgn-extract)
if [ ! -x "$extract" ]; then
  (apt-get install -y pgn-extract || (apt-get update && apt-get install -y pgn-extract)) >/dev/null
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target vorline >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Positions: every 7th position of the first 3,000 games, as pgn-extract writes them
# (with an en passant field after every double step); early ones are found, later ones fail.
"$extract" -s -Wepd --stopafter 3000 "$pgn" 2>/dev/null | awk 'NR % 7 == 1' > "$work/sample.epd"
positions=$(wc -l < "$work/sample.epd")
games=$(grep -c '^\[Event ' "$pgn" || true)
mb=$(awk -v b="$(stat -c %s "$pgn")" 'BEGIN { printf "%.1f", b / 1e6 }')

seconds() {  # runs "$@" quietly and prints the wall time in seconds
  local t0 t1
  t0=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || true
  t1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }'
}
least() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (a == "" || b < a ? b : a) }'; }

cat "$pgn" > /dev/null  # warm the page cache for everybody
t_cat="" t_extract="" t_vorline="" t_all=""
for round in 1 2 3; do
  t_cat=$(least "$t_cat" "$(seconds cat "$pgn")")
  t_extract=$(least "$t_extract" "$(seconds "$extract" -s -o /dev/null "$pgn")")
  rm -f "$work/sample.pgn" "$work/failed.epd"
  t_vorline=$(least "$t_vorline" "$(cd "$work" && seconds "$build/vorline" -p "$pgn" -e sample.epd -d 24 -t 1)")
  rm -f "$work/sample.pgn" "$work/failed.epd"
  t_all=$(least "$t_all" "$(cd "$work" && seconds "$build/vorline" -p "$pgn" -e sample.epd -d 24)")
done
cores=$(nproc)
found=$(grep -c '^\[Event ' "$work/sample.pgn" 2>/dev/null || true)
failed=$(wc -l < "$work/failed.epd" 2>/dev/null || echo 0)

rate() { awk -v n="$1" -v t="$2" 'BEGIN { printf "%.0f", (t > 0 ? n / t : 0) }'; }
mbps() { awk -v m="$mb" -v t="$1" 'BEGIN { printf "%.1f", (t > 0 ? m / t : 0) }'; }
echo "file: $pgn ($mb MB, $games games); EPD sample: $positions positions"
printf '%-14s %8ss %10s games/s %8s MB/s\n' \
  cat "$t_cat" "$(rate "$games" "$t_cat")" "$(mbps "$t_cat")" \
  pgn-extract "$t_extract" "$(rate "$games" "$t_extract")" "$(mbps "$t_extract")" \
  "vorline -t 1" "$t_vorline" "$(rate "$games" "$t_vorline")" "$(mbps "$t_vorline")" \
  "vorline -t $cores" "$t_all" "$(rate "$games" "$t_all")" "$(mbps "$t_all")"
awk -v v="$t_vorline" -v a="$t_all" -v e="$t_extract" -v c="$t_cat" -v n="$cores" 'BEGIN {
  printf "vorline on one thread is %.2fx as fast as pgn-extract, %.3fx as fast as cat\n", e / v, c / v
  printf "vorline on %d threads is %.2fx as fast as pgn-extract\n", n, e / a }'
echo "EPD lines found: $found, copied to failed.epd: $failed (together $((found + failed)) of $positions)"
