#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need; does nothing when all are present.
set -euo pipefail
packages=(build-essential cmake ninja-build qt6-base-dev qt6-translations-l10n qt6-wayland libgtest-dev
          libbenchmark-dev libasound2-dev fonts-ipafont-gothic locales xvfb xauth xdotool x11-utils xclip imagemagick
          openbox wmctrl trayer
          desktop-file-utils appstream lintian man-db debhelper dpkg-dev fakeroot clang libclang-rt-14-dev clang-format)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
if ((${#missing[@]})); then
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y "${missing[@]}"
fi

# The GUI tests also run under the users' own locale; EUC-JP is there for trying the program by hand.
for locale in ja_JP.UTF-8:UTF-8 ja_JP.EUC-JP:EUC-JP; do
  name=${locale%%:*} charmap=${locale##*:}
  if ! locale -a 2>/dev/null | grep -qix "${name%%.*}.$(tr -d '-' <<<"$charmap")"; then
    "${sudo_cmd[@]}" localedef -i "${name%%.*}" -f "$charmap" "$name"
  fi
done
