#!/usr/bin/env bash
# Runs bench_expansion once and prints the two ratios the expansion is held to:
#   counters/arrays case against the copy-per-pass form (goal >= 5), plain case against memcpy (goal <= 3).
# Usage: bench/expansion-ratios.sh [path/to/bench_expansion]
set -euo pipefail
bench=${1:-build-release/bench/bench_expansion}
"$bench" --benchmark_format=csv 2>/dev/null | awk -F, '
  /^"BM_/ { gsub(/"/, "", $1); sub(/\/.*/, "", $1); t[$1] = $3 }   # column 3: wall time (two threads write large outputs)
  END {
    printf "expand/naive speed-up (counters+arrays): %.1fx\n", t["BM_Naive_CountersArrays"] / t["BM_Expand_CountersArrays"]
    printf "plain expansion / memcpy bound:          %.2fx\n", t["BM_Expand_Plain"] / t["BM_Memcpy_Plain"]
  }'
