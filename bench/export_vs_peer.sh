#!/bin/bash
# Exports the same random shapes with velmora-export and with Xournal++ (xournalpp, from
# Debian) side by side, interleaved, and prints the median CPU seconds (user + system) of each.
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
cpu() { /usr/bin/time -f "%U %S" -o "$work/t" "$@" >/dev/null 2>&1; awk '{print $1 + $2}' "$work/t"; }
median() { sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}'; }
if [ -n "$base" ]; then
    printf "%-16s %12s %12s %12s %8s %8s\n" case velmora_s base_s peer_s ratio base_ratio
else
    printf "%-16s %12s %12s %8s\n" case velmora_s peer_s ratio
fi
for c in "${cases[@]}"; do
    n=${c%%:*}; shape=${c#*:}
    "$build/lines_bench" make "$n" "$shape" "$work/d.vlm" "$work/d.xopp" 2>/dev/null
    ours=() ; peer=() ; before=()
    for ((r = 0; r < runs; r++)); do
        ours+=("$(cpu "$build/velmora-export" "$work/d.vlm" --dpi 150 -o "$work/v.png")")
        [ -z "$base" ] || before+=("$(cpu "$base/velmora-export" "$work/d.vlm" --dpi 150 -o "$work/b.png")")
        peer+=("$(xvfb-run -a /usr/bin/time -f "%U %S" -o "$work/t" xournalpp --create-img="$work/x.png" \
            --export-png-dpi=150 "$work/d.xopp" >/dev/null 2>&1; awk '{print $1 + $2}' "$work/t")")
    done
    o=$(printf "%s\n" "${ours[@]}" | median); p=$(printf "%s\n" "${peer[@]}" | median)
    if [ -n "$base" ]; then
        b=$(printf "%s\n" "${before[@]}" | median)
        printf "%-16s %12s %12s %12s %8s %8s\n" "$c" "$o" "$b" "$p" "$(ratio "$o" "$p")" "$(ratio "$b" "$p")"
    else
        printf "%-16s %12s %12s %8s\n" "$c" "$o" "$p" "$(ratio "$o" "$p")"
    fi
done
