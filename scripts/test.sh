#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a plain build and one under
# AddressSanitizer + UndefinedBehaviorSanitizer; then the layers below the window once more without Qt and
# ALSA, and each fuzz target for a while. The benchmarks are built (not run) so they keep compiling.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8

# The house format (.clang-format); a difference fails before anything is built.
(cd "$root" && git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror)
# Includes only point down the layers.
"$root/scripts/check-layers.sh"

cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" -j "$jobs"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DRAVOLIN_SANITIZE=ON -DRAVOLIN_BUILD_BENCH=OFF
cmake --build "$root/build-asan" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs"

# Everything below the window builds and passes its tests with Qt and ALSA absent (only the tone needs ALSA).
cmake -S "$root" -B "$root/build-noqt" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=TRUE \
  -DCMAKE_DISABLE_FIND_PACKAGE_ALSA=TRUE -DRAVOLIN_BUILD_BENCH=OFF
cmake --build "$root/build-noqt" -j "$jobs"
ctest --test-dir "$root/build-noqt" --output-on-failure -j "$jobs"

"$root/scripts/fuzz.sh"

# The Debian packages: built with dpkg-buildpackage (their tests run again there), checked, and tried (installed
# with apt where CI is set).
"$root/scripts/check-package.sh"
