#!/bin/bash
# Exports the same random shapes with velmora-export and with Xournal++ (xournalpp, from
# Debian) side by side, interleaved, and prints the median CPU seconds (user + system) of each.
# Usage: bench/export_vs_peer.sh BUILD_DIR [runs] [count:shape ...]   e.g. 10000:lines 10000:45 1000:circles
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-3}
shift 2 || true
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(1000:lines 10000:lines 100000:lines 10000:45 10000:0 10000:circles 10000:arcs)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
cpu() { /usr/bin/time -f "%U %S" -o "$work/t" "$@" >/dev/null 2>&1; awk '{print $1 + $2}' "$work/t"; }
median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
printf "%-16s %12s %12s %8s\n" case velmora_s peer_s ratio
for c in "${cases[@]}"; do
    n=${c%%:*}; shape=${c#*:}
    "$build/lines_bench" make "$n" "$shape" "$work/d.vlm" "$work/d.xopp" 2>/dev/null
    ours=() ; peer=()
    for ((r = 0; r < runs; r++)); do
        ours+=("$(cpu "$build/velmora-export" "$work/d.vlm" --dpi 150 -o "$work/v.png")")
        peer+=("$(xvfb-run -a /usr/bin/time -f "%U %S" -o "$work/t" xournalpp --create-img="$work/x.png" \
            --export-png-dpi=150 "$work/d.xopp" >/dev/null 2>&1; awk '{print $1 + $2}' "$work/t")")
    done
    o=$(printf "%s\n" "${ours[@]}" | median); p=$(printf "%s\n" "${peer[@]}" | median)
    printf "%-16s %12s %12s %8.2f\n" "$c" "$o" "$p" "$(awk -v a="$o" -v b="$p" 'BEGIN {print (b > 0 ? a / b : 0)}')"
done
