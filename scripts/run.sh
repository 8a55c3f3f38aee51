#!/usr/bin/env bash
# Installs what is missing, builds Ravolin and starts it in the current working directory, where it keeps
# its settings file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$root/build-release"
if [[ -x "$root/build-release/app/ravolin" ]]; then
  exec "$root/build-release/app/ravolin" "$@"
fi
echo "Built: $(cd "$root/build-release" && find . -maxdepth 3 -type f -perm -u+x -name 'bench_*' -o -maxdepth 3 -type f -perm -u+x -name 'ravolin*' | sort | tr '\n' ' ')"
