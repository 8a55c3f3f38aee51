#!/usr/bin/env bash
# Installs what is missing, builds Ravolin and starts it in the current working directory, where it keeps
# its settings file (RavolinSetting.ini).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$root/build-release"
exec "$root/build-release/app/ravolin" "$@"
