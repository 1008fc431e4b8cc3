#!/bin/bash
# Runs a benchmark program of two builds (or of one build with two sets of arguments) in turn,
# interleaved, and prints every figure of both side by side: the median over the rounds of
# each run's median wall time, the smallest minimum, the median CPU time (all threads), and
# the ratios after / before of the wall and CPU medians. The program prints its figures as
# "LABEL  median W ms  min M ms  cpu C ms" lines (paint_bench full and changes do), or
# "LABEL  W ms  (median of N)" (its pointer moves: median wall times only).
# Usage: [BASE=OTHER_BUILD] [BASE_ARGS="..."] bench/compare.sh BUILD ROUNDS PROGRAM [ARGS ...]
#   BASE=../old/build bench/compare.sh build 5 paint_bench 5 full       before and after a change
#   BASE_ARGS="--threads 1" bench/compare.sh build 5 paint_bench 5 full  one thread against all cores
set -euo pipefail
build=$(cd "$1" && pwd)
rounds=$2
program=$3
shift 3
base=$(cd "${BASE:-$build}" && pwd)
read -r -a base_args <<<"${BASE_ARGS:-}"
[ "$base" != "$build" ] || [ ${#base_args[@]} -gt 0 ] || { echo "set BASE or BASE_ARGS" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
# One figure a line: side, label, median, minimum, CPU. The pointer moves, printed as
# "LABEL  W ms  (median of N)", have their median as the minimum and no CPU time.
figures() {
    sed -n -e 's/^\(.*[^ ]\) *median *\([0-9.]*\) ms *min *\([0-9.]*\) ms *cpu *\([0-9.]*\) ms.*/\1\t\2\t\3\t\4/p' \
        -e 's/, worst [0-9.]* ms//' -e 's/^\(.*[^ ]\)  *\([0-9][0-9.]*\) ms *(median of [0-9]*).*/\1\t\2\t\2\t-/p' |
        sed "s/^/$1\t/"
}
for ((r = 0; r < rounds; r++)); do
    "$base/$program" "$@" "${base_args[@]}" 2>/dev/null | figures before >>"$work/all"
    "$build/$program" "$@" 2>/dev/null | figures after >>"$work/all"
done
echo "$rounds rounds, interleaved; before: $base/$program $* ${base_args[*]}; after: $build/$program $*"
awk -F'\t' '
function median(list,   n, v, i, j, t) {
    n = split(list, v, " ")
    for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j] + 0 < v[j - 1] + 0; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return v[int((n + 1) / 2)]
}
function least(list,   n, v, i, m) {
    n = split(list, v, " "); m = v[1]
    for (i = 2; i <= n; i++) if (v[i] + 0 < m + 0) m = v[i]
    return m
}
{
    key = $1 SUBSEP $2
    if (!($2 in seen)) { seen[$2] = 1; order[++count] = $2 }
    wall[key] = wall[key] " " $3; low[key] = low[key] " " $4; cpu[key] = cpu[key] " " $5
}
END {
    printf "%-64s %26s   %26s   %s\n", "", "before: median  min  cpu", "after: median  min  cpu", "after/before wall cpu"
    for (i = 1; i <= count; i++) {
        l = order[i]; b = "before" SUBSEP l; a = "after" SUBSEP l
        if (!(b in wall) || !(a in wall)) continue
        bw = median(wall[b]); aw = median(wall[a]); bc = median(cpu[b]); ac = median(cpu[a])
        if (bc == "-") {
            printf "%-64s %9.3f %7s %8s   %9.3f %7s %8s   %5.2f\n", l, bw, "", "", aw, "", "", (bw > 0 ? aw / bw : 0)
            continue
        }
        printf "%-64s %9.2f %7.2f %8.2f   %9.2f %7.2f %8.2f   %5.2f %5.2f\n", l, bw, least(low[b]), bc, aw, least(low[a]), ac,
            (bw > 0 ? aw / bw : 0), (bc > 0 ? ac / bc : 0)
    }
}' "$work/all"
