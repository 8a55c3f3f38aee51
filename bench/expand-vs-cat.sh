#!/usr/bin/env bash
# Times ravolin-expand against cat of the bytes it wrote, side by side in one run: 3,000,000 passes of five
# counters (141 MB), written to a file in FOLDER (default: a new folder under /tmp), then cat of that file to
# another file there. Prints the median of 9 wall times of each and their ratio (goal: at most 1.5).
# On ext4 cat copies file to file inside the kernel (copy_file_range); on tmpfs (/dev/shm) it reads and writes.
# Usage: bench/expand-vs-cat.sh [path/to/ravolin-expand] [FOLDER]   (without the first, a Release build is made)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/release-expand.sh "${1:-}"
work=$(mktemp -d "${2:-/tmp}/expand-vs-cat.XXXXXX")
trap 'rm -rf "$work"' EXIT
: >"$work/settings.ini"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# One wall time in seconds, of a fresh output file.
timed() {
    local out=$1
    shift
    rm -f "$out"
    local start end
    start=$(date +%s%N)
    "$@" >"$out"
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.3f\n", ns / 1e9 }'
}
: >"$work/expand.times"
: >"$work/cat.times"
for _ in 1 2 3 4 5 6 7 8 9; do
    timed "$work/expand.txt" "$expand" --loop 3000000 \
        --set "Edit.Origin=id=＜置換1＞＜置換2＞＜置換3＞＜置換4＞＜置換5＞:red;end." "$work/settings.ini" >>"$work/expand.times"
    timed "$work/cat.txt" cat "$work/expand.txt" >>"$work/cat.times"
done
cmp "$work/expand.txt" "$work/cat.txt"
tExpand=$(median <"$work/expand.times")
tCat=$(median <"$work/cat.times")
echo "output: $(stat -c %s "$work/expand.txt") bytes in $(stat -f -c %T "$work")"
echo "ravolin-expand: ${tExpand} s (median of 9)"
echo "cat:            ${tCat} s"
awk -v a="$tExpand" -v b="$tCat" 'BEGIN { printf "ravolin-expand / cat: %.2f (goal <= 1.5)\n", a / b }'
