#!/usr/bin/env bash
# Perft speed side by side: vorline-bench perft against Stockfish's "go perft" (one
# thread), on the initial position to depth 6 and Kiwipete to depth 5, in one run so both
# see the same machine load. Prints both rates and their ratio; the ratio is what to quote.
# Usage: bench/compare-perft.sh [build-dir]   (default: build; built if missing)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

if ! command -v stockfish >/dev/null && [ ! -x /usr/games/stockfish ]; then
  echo "installing Debian's stockfish package" >&2
  if [ "$(id -u)" -eq 0 ]; then apt-get install -y stockfish >/dev/null || { apt-get update >/dev/null && apt-get install -y stockfish >/dev/null; }
  else sudo apt-get install -y stockfish >/dev/null; fi
fi
stockfish=$(command -v stockfish || echo /usr/games/stockfish)

if [ ! -x "$build/vorline-bench" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j2 --target vorline-bench >/dev/null
fi
bench="$build/vorline-bench"

now() { date +%s.%N; }

# Seconds Stockfish spends on "go perft <depth>", its start-up (timed with depth 1) taken off.
stockfish_run() {
  local fen=$1 depth=$2 start end nodes base
  run() { printf 'setoption name Threads value 1\nposition fen %s\ngo perft %s\nquit\n' "$fen" "$1" | "$stockfish"; }
  start=$(now); run 1 >/dev/null; end=$(now)
  base=$(echo "$end - $start" | bc -l)
  start=$(now); nodes=$(run "$depth" | awk '/Nodes searched/ {print $3}'); end=$(now)
  echo "$nodes $(echo "$end - $start - $base" | bc -l)"
}

compare() {
  local name=$1 fen=$2 depth=$3 ours sf our_nodes our_seconds sf_nodes sf_seconds our_rate sf_rate
  ours=$("$bench" perft "$fen" "$depth")
  our_nodes=$(echo "$ours" | awk '/^nodes / {print $2}')
  our_seconds=$(echo "$ours" | awk '/^seconds / {print $2}')
  read -r sf_nodes sf_seconds < <(stockfish_run "$fen" "$depth")
  our_rate=$(echo "$our_nodes / $our_seconds / 1000000" | bc -l)
  sf_rate=$(echo "$sf_nodes / $sf_seconds / 1000000" | bc -l)
  [ "$our_nodes" = "$sf_nodes" ] || echo "NODE COUNTS DIFFER: vorline $our_nodes, stockfish $sf_nodes"
  printf '%-9s depth %s: %s nodes; vorline %7.1f Mnodes/s, stockfish %7.1f Mnodes/s, ratio %.2f\n' \
    "$name" "$depth" "$our_nodes" "$our_rate" "$sf_rate" "$(echo "$our_rate / $sf_rate" | bc -l)"
}

echo "stockfish: $("$stockfish" quit 2>/dev/null | head -1)"
compare startpos "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1" 6
compare kiwipete "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1" 5
