#!/usr/bin/env bash
# Builds the Debian package from a Release build and checks it as a user's machine would take it: the desktop
# entry and the metainfo validate, the package holds every file the install puts in place and depends on the
# window's Japanese face, lintian finds no error, and once installed with apt both programs and both manual
# pages answer. Leaves the package removed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-package
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DRAVOLIN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/ravolin_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/ravolin_*_amd64.deb)
echo "check-package: $deb"

id=io.github.ravolin.Ravolin
desktop-file-validate "$root/data/$id.desktop"
appstreamcli validate --no-net "$build/install/$id.metainfo.xml"

expected=(usr/bin/ravolin usr/bin/ravolin-expand usr/share/applications/$id.desktop
          usr/share/icons/hicolor/scalable/apps/$id.svg usr/share/metainfo/$id.metainfo.xml
          usr/share/man/man1/ravolin.1.gz usr/share/man/man1/ravolin-expand.1.gz
          usr/share/man/ja/man1/ravolin.1.gz usr/share/man/ja/man1/ravolin-expand.1.gz
          usr/share/doc/ravolin/copyright usr/share/doc/ravolin/changelog.gz)
for size in 16 22 24 32 48 64 128 256; do expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png"); done
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in "${expected[@]}"; do
  grep -qx "./$file" <<<"$contents" || { echo "check-package: $file is missing from the package" >&2; exit 1; }
done

# The face the window is drawn with is a dependency, not a recommendation; Qt's Japanese texts are recommended.
relations=$(dpkg-deb -f "$deb" Depends Recommends)
grep -Eq '^Depends: (.*, )?fonts-ipafont-gothic(,|$)' <<<"$relations" &&
  grep -qx 'Recommends: qt6-translations-l10n' <<<"$relations" ||
  { echo "check-package: unexpected relations:" >&2; echo "$relations" >&2; exit 1; }

# Warnings and notes are shown; an error fails the check.
status=0
findings=$(lintian --fail-on error "$deb" 2>&1) || status=$?
grep -v "running with root privileges" <<<"$findings" || true
((status == 0)) || { echo "check-package: lintian found errors" >&2; exit 1; }

sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "$deb" >/dev/null
trap '"${sudo_cmd[@]}" apt-get remove -y ravolin >/dev/null' EXIT
/usr/bin/ravolin --version
/usr/bin/ravolin-expand --version
for page in /usr/share/man/man1/ravolin.1.gz /usr/share/man/man1/ravolin-expand.1.gz \
            /usr/share/man/ja/man1/ravolin.1.gz /usr/share/man/ja/man1/ravolin-expand.1.gz; do
  LC_ALL=ja_JP.UTF-8 man -l "$page" >/dev/null
done
echo "check-package: the package installs, and both programs and their manual pages answer"
