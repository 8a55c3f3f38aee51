#!/usr/bin/env bash
# Times ravolin-expand against mawk on the same job: 1,000,000 lines from a template with two counters
# (one counting down) and one array, written to a file. Both outputs must be the same bytes.
# Prints the best of 3 wall times of each and their ratio (goal: ravolin-expand <= 0.2 of mawk).
# Usage: bench/expand-vs-mawk.sh [path/to/ravolin-expand]   (without it, a Release build is made)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/release-expand.sh "${1:-}"
command -v mawk >/dev/null || { echo "mawk is missing (apt-get install mawk)" >&2; exit 1; }

lines=1000000
work=$(mktemp -d /tmp/expand-vs-mawk.XXXXXX)
trap 'rm -rf "$work"' EXIT

# 400 array values: the reader keeps 4095 bytes of a value, and a pass beyond the last value gets "".
values=$(mawk 'BEGIN { for (i = 1; i <= 400; i++) printf "%s田中%d", (i > 1 ? "," : ""), i }')
template="INSERT INTO 名簿 VALUES (＜置換1＞, ＜置換2＞, '＜配列1＞');"
# The template's own commas are kept by its exact form beside "Origin".
printf '[Common]\r\nLoop=%d\r\n[Edit]\r\nOrigin=%s\r\nOriginExact=%s\r\n[Numerical]\r\nInit1=1\r\nInit2=%d\r\nInc2=-3\r\n[Arrangement]\r\nValue1=%s\r\n' \
    "$lines" "$template" "$template" "$lines" "$values" | iconv -f UTF-8 -t CP932 >"$work/settings.ini"

awkProgram='BEGIN {
    n = split(values, a, ",")
    for (i = 0; i < lines; i++) print "INSERT INTO 名簿 VALUES (" (1 + i) ", " (lines - 3 * i) ", '\''" (i < n ? a[i + 1] : "") "'\'');"
}'

# Best of 3 wall times, in seconds.
best() {
    local out=$1 best= t
    shift
    for _ in 1 2 3; do
        /usr/bin/time -f %e -o "$work/time" "$@" >"$out"
        t=$(cat "$work/time")
        if [[ -z $best ]] || mawk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
    done
    echo "$best"
}

tExpand=$(best "$work/expand.txt" "$expand" --lf "$work/settings.ini")
tMawk=$(best "$work/mawk.txt" env LC_ALL=C mawk -v lines="$lines" -v values="$values" "$awkProgram")
cmp "$work/expand.txt" "$work/mawk.txt"
size=$(stat -c %s "$work/expand.txt")
echo "output: $lines lines, $size bytes, identical"
echo "ravolin-expand --lf: ${tExpand} s"
echo "mawk:                ${tMawk} s"
mawk -v a="$tExpand" -v b="$tMawk" 'BEGIN { printf "ravolin-expand / mawk: %.3f (goal <= 0.2)\n", a / b }'
