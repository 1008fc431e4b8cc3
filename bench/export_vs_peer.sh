#!/bin/bash
# Exports the same random shapes with velmora-export and with Xournal++ (xournalpp, from
# Debian) side by side, interleaved, and prints for each the median and the minimum CPU
# seconds (user + system, all threads) and the median wall seconds, the ratio of the CPU
# medians, and the same ratio with each program's export of a one-object drawing taken off
# (start-up, reading, writing an empty page: what is left is the rendering). velmora-export
# also runs on one core (taskset -c 0), so the last columns compare its wall time on one
# core with all cores (the output is the same: the run checks it).
# Usage: bench/export_vs_peer.sh BUILD_DIR [runs] [count:shape ...]   e.g. 10000:lines 10000:45 1000:circles
# With BASE=OTHER_BUILD_DIR in the environment, that build's velmora-export (say, of the commit
# before a change) runs interleaved as well, so before and after are measured in the same run.
set -euo pipefail
build=$(cd "$1" && pwd)
base=${BASE:+$(cd "$BASE" && pwd)}
runs=${2:-3}
shift 2 || true
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(1000:lines 10000:lines 100000:lines 10000:45 10000:0 10000:circles 10000:arcs)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
# Runs a command, appends "cpu wall" seconds to the file named first.
timed() { local to=$1; shift; /usr/bin/time -f "%U %S %e" -o "$work/t" "$@" >/dev/null 2>&1 || true; tail -1 "$work/t" | awk '{print $1 + $2, $3}' >>"$to"; }
column() { awk -v c="$2" '{print $c}' "$1"; }
median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
least() { sort -g | head -1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}'; }
less() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f", a - b}'; }
# The two exports, as commands /usr/bin/time can run (not shell functions).
ours=("$build/velmora-export" --dpi 150 -o)
peer=(xvfb-run -a xournalpp --export-png-dpi=150 --create-img)
echo "CPU and wall seconds, $runs runs interleaved; render = CPU less that of a one-object drawing"
printf "%-14s %15s %7s %15s %7s %6s %7s" case "velmora cpu min" wall "peer cpu min" wall ratio render
[ -z "$base" ] || printf " %15s %6s" "base cpu min" ratio
printf " %8s %8s %6s\n" 1-core all-core speedup
# The one-object drawing, measured first: the part of every export that is not rendering.
"$build/lines_bench" make 1 lines "$work/one.vlm" "$work/one.xopp" 2>/dev/null
for ((r = 0; r < runs; r++)); do
    timed "$work/one-ours" "${ours[@]}" "$work/one.png" "$work/one.vlm"
    timed "$work/one-peer" "${peer[@]}" "$work/one-x.png" "$work/one.xopp"
done
one_ours=$(column "$work/one-ours" 1 | median)
one_peer=$(column "$work/one-peer" 1 | median)
for c in "${cases[@]}"; do
    n=${c%%:*}; shape=${c#*:}
    "$build/lines_bench" make "$n" "$shape" "$work/d.vlm" "$work/d.xopp" 2>/dev/null
    rm -f "$work"/ours "$work"/single "$work"/peer "$work"/base
    for ((r = 0; r < runs; r++)); do
        timed "$work/ours" "${ours[@]}" "$work/v.png" "$work/d.vlm"
        timed "$work/single" taskset -c 0 "$build/velmora-export" "$work/d.vlm" --dpi 150 -o "$work/v1.png"
        [ -z "$base" ] || timed "$work/base" "$base/velmora-export" "$work/d.vlm" --dpi 150 -o "$work/b.png"
        timed "$work/peer" "${peer[@]}" "$work/x.png" "$work/d.xopp"
    done
    cmp -s "$work/v.png" "$work/v1.png" || echo "$c: the export on one core differs from the one on all cores" >&2
    o=$(column "$work/ours" 1 | median); p=$(column "$work/peer" 1 | median)
    printf "%-14s %7s %7s %7s %7s %7s %7s %6s %7s" "$c" "$o" "$(column "$work/ours" 1 | least)" \
        "$(column "$work/ours" 2 | median)" "$p" "$(column "$work/peer" 1 | least)" "$(column "$work/peer" 2 | median)" \
        "$(ratio "$o" "$p")" "$(ratio "$(less "$o" "$one_ours")" "$(less "$p" "$one_peer")")"
    if [ -n "$base" ]; then
        b=$(column "$work/base" 1 | median)
        printf " %7s %7s %6s" "$b" "$(column "$work/base" 1 | least)" "$(ratio "$b" "$p")"
    fi
    w1=$(column "$work/single" 2 | median); wn=$(column "$work/ours" 2 | median)
    printf " %8s %8s %6s\n" "$w1" "$wn" "$(ratio "$w1" "$wn")"
done
