#!/usr/bin/env bash
# Times saved indexes against the direct run, in one invocation (ratios of processor time
# are what count on a shared machine), on every hardware thread, depth 24:
# - the index file's size per position;
# - building with -w against the first phase of a direct run (a run with an empty EPD file);
# - a build spilled within -m of an eighth of the unbounded build's peak memory: its peak
#   and its time against the unbounded build;
# - answering the EPD file from the index file, opening included, against the direct run on
#   the same games, with the page cache warm, and with the index file's pages dropped;
# - merging the indexes of the file's two halves (cut at a game boundary) against building
#   them.
# Each timing is the best of the rounds (default 3), the programs taken in turn.
#   usage: bench/index-files.sh <pgn file> <epd file> [rounds] [build dir]
# With VORLINE set to a built executable, that one runs and nothing is built.
set -euo pipefail
pgn=$(realpath "${1:?usage: bench/index-files.sh <pgn file> <epd file> [rounds] [build dir]}")
epd=$(realpath "${2:?usage: bench/index-files.sh <pgn file> <epd file> [rounds] [build dir]}")
rounds=${3:-3}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${4:-$root/build}")
if [ -n "${VORLINE:-}" ]; then
  vorline=$(realpath "$VORLINE")
else
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j2 --target vorline >/dev/null
  vorline=$build/vorline
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/index-files.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
: > empty.epd
cp "$epd" pos.epd
# The two halves, cut where a game begins.
python3 - "$pgn" <<'PY'
import sys
with open(sys.argv[1], 'rb') as f:
    data = f.read()
cut = data.index(b'\n[Event ', len(data) // 2) + 1
open('half1.pgn', 'wb').write(data[:cut])
open('half2.pgn', 'wb').write(data[cut:])
PY

# Runs the arguments quietly; prints "<processor seconds> <wall seconds> <peak resident KB>
# <peak anonymous KB>". The processor time (user and system, all threads) is what the
# ratios compare, since a shared machine stretches wall times at random. The resident peak
# counts the pages of mapped files (index files, spills, the merge's scratch map), which the
# system drops or writes back when memory runs short; the anonymous peak (RssAnon, sampled
# every 20 ms) is the memory only the process holds.
measure() {
  python3 - "$vorline" "$@" <<'PY' || { cat run.out run.err >&2; exit 1; }
import os, subprocess, sys, time
start = time.time()
with open('run.out', 'wb') as out, open('run.err', 'wb') as err:
    child = subprocess.Popen(sys.argv[1:], stdout=out, stderr=err)
anon = 0
while True:
    pid, status, usage = os.wait4(child.pid, os.WNOHANG)
    if pid:
        break
    try:
        for line in open(f'/proc/{child.pid}/status'):
            if line.startswith('RssAnon:'):
                anon = max(anon, int(line.split()[1]))
    except OSError:
        pass
    time.sleep(0.02)
if os.waitstatus_to_exitcode(status) != 0:
    sys.exit(1)
print(f'{usage.ru_utime + usage.ru_stime:.3f} {time.time() - start:.3f} {usage.ru_maxrss} {anon}')
PY
}
least() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0 ? b : a) }'; }
drop_pages() {  # drops the file's pages from the page cache
  python3 -c 'import os,sys; fd=os.open(sys.argv[1], os.O_RDONLY); os.fsync(fd); os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)' "$1"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

cat "$pgn" half1.pgn half2.pgn > /dev/null
t_first="" t_build="" t_answer="" t_direct="" t_halves="" t_merge="" peak=0 peak_anon=0
for round in $(seq "$rounds"); do
  rm -f out.pgn
  read -r t w m a < <(measure -p "$pgn" -e empty.epd -o out.pgn); t_first=$(least "$t_first" "$t")
  read -r t w m a < <(measure -p "$pgn" -w all.idx); t_build=$(least "$t_build" "$t")
  [ "$m" -gt "$peak" ] && peak=$m
  [ "$a" -gt "$peak_anon" ] && peak_anon=$a
  rm -f out.pgn
  read -r t w m a < <(measure -p "$pgn" -e pos.epd -o out.pgn); t_direct=$(least "$t_direct" "$t")
  cp out.pgn direct.pgn; cp failed.epd direct-failed.epd
  rm -f out.pgn
  read -r t w m a < <(measure -i all.idx -e pos.epd -o out.pgn); t_answer=$(least "$t_answer" "$t")
  w_answer=$(least "${w_answer:-}" "$w")
  cmp -s out.pgn direct.pgn && cmp -s failed.epd direct-failed.epd || { echo "answers differ" >&2; exit 1; }
  read -r t1 w m a < <(measure -p half1.pgn -w half1.idx)
  read -r t2 w m a < <(measure -p half2.pgn -w half2.idx)
  t_halves=$(least "$t_halves" "$(awk -v a="$t1" -v b="$t2" 'BEGIN { print a + b }')")
  read -r t w m a < <(measure -i half1.idx -i half2.idx -w merged.idx); t_merge=$(least "$t_merge" "$t")
done
# The spilled build, within an eighth of the unbounded peak.
budget_kb=$((peak / 8))
t_spill="" spill_peak=0 spill_anon=0
for round in $(seq "$rounds"); do
  read -r t w m a < <(measure -p "$pgn" -m "${budget_kb}K" -w spilled.idx); t_spill=$(least "$t_spill" "$t")
  [ "$m" -gt "$spill_peak" ] && spill_peak=$m
  [ "$a" -gt "$spill_anon" ] && spill_anon=$a
done
cmp -s <(tail -c +4097 spilled.idx) <(tail -c +4097 all.idx) || { echo "spilled index differs" >&2; exit 1; }
# Cold: the index file's pages dropped before each run (the games and EPD file stay cached).
t_cold=""
for round in $(seq "$rounds"); do
  drop_pages all.idx; rm -f out.pgn
  read -r t w m a < <(measure -i all.idx -e pos.epd -o out.pgn); t_cold=$(least "$t_cold" "$w")
done

positions=$(python3 -c 'import struct,sys; print(struct.unpack_from("<Q", open(sys.argv[1],"rb").read(24), 16)[0])' all.idx)
size=$(stat -c %s all.idx)
echo "(processor seconds, best of $rounds)"
echo "games file:        $pgn ($(stat -c %s "$pgn") bytes), $positions positions at depth 24"
echo "index file:        $size bytes, $(awk -v s="$size" -v p="$positions" 'BEGIN { printf "%.2f", s / p }') bytes a position"
echo "build with -w:     $t_build s against $t_first s for the first phase of a direct run: $(ratio "$t_build" "$t_first")x"
echo "unbounded build:   peak $peak KB resident, $peak_anon KB anonymous"
echo "spilled build:     -m ${budget_kb}K (an eighth of the unbounded peak): peak $spill_anon KB anonymous ($(( (spill_anon - budget_kb) / 1024 )) MB above the budget), $spill_peak KB resident with mapped files; $t_spill s, $(ratio "$t_spill" "$t_build")x the unbounded build"
echo "answering:         $t_answer s from the index file against $t_direct s for the direct run: $(ratio "$t_answer" "$t_direct")x; wall time $w_answer s warm, $t_cold s with the index file's pages dropped"
echo "merging:           $t_merge s for the two halves' indexes against $t_halves s to build them: $(ratio "$t_merge" "$t_halves")x"
