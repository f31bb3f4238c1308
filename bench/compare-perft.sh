#!/usr/bin/env bash
# Perft speed side by side: vorline-bench perft against Stockfish's "go perft" (one
# thread), on the initial position to depth 6 and Kiwipete to depth 5. Each program is
# timed by the processor time it uses (user + system, its start-up measured with depth 1
# and taken off), so that other work on a shared machine counts less than it would in wall
# time; the two run in turn, and the best of the rounds is kept. Prints both rates and
# their ratio; the ratio is what to quote.
# Usage: bench/compare-perft.sh [build-dir] [rounds]   (defaults: build, 3; built if missing)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rounds=${2:-3}

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
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Runs a command with its output in $tmp/out; prints the processor seconds it used.
cpu_seconds() {
  local TIMEFORMAT='%3U %3S' times
  times=$( { time "$@" >"$tmp/out" 2>/dev/null; } 2>&1 )
  echo "$times" | awk '{print $1 + $2}'
}

ours() { "$bench" perft "$1" "$2"; }
theirs() {
  printf 'setoption name Threads value 1\nposition fen %s\ngo perft %s\nquit\n' "$1" "$2" >"$tmp/in"
  "$stockfish" <"$tmp/in"
}

min() { awk -v a="$1" -v b="$2" 'BEGIN {print (a < b ? a : b)}'; }

# Best processor time of `rounds` runs at `depth`, less the best at depth 1, for each
# program in turn; leaves the seconds in $our_seconds and $their_seconds and the node
# counts in $our_nodes and $their_nodes.
time_both() {
  local fen=$1 depth=$2 round ours_1=1e9 ours_n=1e9 theirs_1=1e9 theirs_n=1e9
  for ((round = 0; round < rounds; round++)); do
    ours_1=$(min "$ours_1" "$(cpu_seconds ours "$fen" 1)")
    ours_n=$(min "$ours_n" "$(cpu_seconds ours "$fen" "$depth")")
    our_nodes=$(awk '/^nodes / {print $2}' "$tmp/out")
    theirs_1=$(min "$theirs_1" "$(cpu_seconds theirs "$fen" 1)")
    theirs_n=$(min "$theirs_n" "$(cpu_seconds theirs "$fen" "$depth")")
    their_nodes=$(awk '/Nodes searched/ {print $3}' "$tmp/out")
  done
  our_seconds=$(awk -v a="$ours_n" -v b="$ours_1" 'BEGIN {print a - b}')
  their_seconds=$(awk -v a="$theirs_n" -v b="$theirs_1" 'BEGIN {print a - b}')
}

compare() {
  local name=$1 fen=$2 depth=$3
  time_both "$fen" "$depth"
  [ "$our_nodes" = "$their_nodes" ] || echo "NODE COUNTS DIFFER: vorline $our_nodes, stockfish $their_nodes"
  awk -v name="$name" -v depth="$depth" -v nodes="$our_nodes" -v ours="$our_seconds" -v theirs="$their_seconds" \
    'BEGIN {printf "%-9s depth %s: %s nodes; vorline %7.1f Mnodes/s, stockfish %7.1f Mnodes/s, ratio %.2f\n",
            name, depth, nodes, nodes / ours / 1e6, nodes / theirs / 1e6, theirs / ours}'
}

echo "stockfish: $("$stockfish" quit 2>/dev/null | head -1); best of $rounds rounds, processor time"
compare startpos "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1" 6
compare kiwipete "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1" 5
