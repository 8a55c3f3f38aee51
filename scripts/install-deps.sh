#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need; does nothing when all are present.
set -euo pipefail
packages=(build-essential cmake ninja-build qt6-base-dev libgtest-dev libbenchmark-dev libasound2-dev
          fonts-ipafont-gothic xvfb xauth xdotool xclip imagemagick)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y "${missing[@]}"
fi
