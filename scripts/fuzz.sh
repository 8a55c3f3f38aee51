#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UndefinedBehaviorSanitizer, no Qt) and runs
# each for RAVOLIN_FUZZ_SECONDS (30 by default) from the seeds in fuzz/corpus. An input that breaks a
# property is left in build-fuzz/artifacts/ and fails the script.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
seconds=${RAVOLIN_FUZZ_SECONDS:-30}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DRAVOLIN_FUZZ=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=TRUE -DBUILD_TESTING=OFF -DRAVOLIN_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)" --target fuzz_profile_file fuzz_settings_load fuzz_font_description \
  fuzz_codec fuzz_expansion

rm -rf "$build/artifacts"
mkdir -p "$build/artifacts"
for name in profile_file settings_load font_description codec expansion; do
  # The seeds are copied, so what a run learns never lands in the tree.
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  cp "$root/fuzz/corpus/$name/"* "$corpus/"
  echo "== fuzz_$name: ${seconds} s"
  log="$build/fuzz-$name.log"
  status=0
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "$build/fuzz/fuzz_$name" "$corpus" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$name-" >"$log" 2>&1 || status=$?
  grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb)" "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log" >&2
    echo "fuzz_$name failed (status $status); the input is in $build/artifacts/" >&2
    exit 1
  fi
done
