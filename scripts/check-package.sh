#!/usr/bin/env bash
# Builds the Debian packages as a distribution would, with dpkg-buildpackage from a copy of the tree (the tests
# run in dh_auto_test), and checks them as a user's machine would take them: lintian finds no error and no
# warning, each package holds its files and its relations, the desktop entry and the metainfo validate, both
# programs and their manual pages answer, and nothing of Qt or ALSA is among all ravolin-expand can pull. The
# packages are left in build-package/.
#
# With CI set (a throw-away machine), the packages are installed for real with apt, tried, removed, and
# ravolin-expand installed alone; elsewhere they are unpacked into a temporary folder and apt only simulates,
# so the machine's packages stay as they are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build-package
start=$SECONDS
fail() { echo "check-package: $*" >&2; exit 1; }

# The changelog gives the packages their version; project() gives the programs theirs.
version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)
project_version=$(sed -n 's/^project(Ravolin VERSION \([^ )]*\).*/\1/p' "$root/CMakeLists.txt")
[[ $version == "$project_version" ]] ||
  fail "debian/changelog says $version, CMakeLists.txt says $project_version"

# dpkg-buildpackage writes its results next to the source tree: the copy (the files git knows, as they are in
# the working tree) lives in build-package/src, the packages in build-package/.
rm -rf "$out"
mkdir -p "$out/src"
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' f; do [[ -e $f ]] && printf '%s\0' "$f"; done |
  tar --null -T - -cf -) | tar -C "$out/src" -xf -
(cd "$out/src" && dpkg-buildpackage -us -uc -b -j"$(nproc)") >"$out/build.log" 2>&1 ||
  { tail -n 80 "$out/build.log" >&2; fail "dpkg-buildpackage failed; the whole log is $out/build.log"; }
grep -E '^[0-9]+% tests passed|tests failed out of' "$out/build.log" || true
arch=$(dpkg-architecture -q DEB_HOST_ARCH)
changes=$out/ravolin_${version}_$arch.changes
window=$out/ravolin_${version}_$arch.deb
batch=$out/ravolin-expand_${version}_$arch.deb
for deb in "$window" "$batch" "$out/ravolin-dbgsym_${version}_$arch.deb" \
           "$out/ravolin-expand-dbgsym_${version}_$arch.deb"; do
  [[ -f $deb ]] || fail "$(basename "$deb") was not built"
  echo "check-package: $(basename "$deb")"
done

# Informational tags are shown; an error or a warning fails the check.
status=0
findings=$(lintian --display-info --fail-on error,warning "$changes" 2>&1) || status=$?
grep -v "running with root privileges" <<<"$findings" || true
((status == 0)) || fail "lintian found errors or warnings"

id=io.github.ravolin.Ravolin
window_files=(usr/bin/ravolin "usr/share/applications/$id.desktop" "usr/share/icons/hicolor/scalable/apps/$id.svg"
              "usr/share/metainfo/$id.metainfo.xml" usr/share/man/man1/ravolin.1.gz usr/share/man/ja/man1/ravolin.1.gz
              usr/share/doc/ravolin/copyright usr/share/doc/ravolin/changelog.gz)
for size in 16 22 24 32 48 64 128 256; do window_files+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png"); done
batch_files=(usr/bin/ravolin-expand usr/share/man/man1/ravolin-expand.1.gz usr/share/man/ja/man1/ravolin-expand.1.gz
             usr/share/doc/ravolin-expand/copyright usr/share/doc/ravolin-expand/changelog.gz)
has_files() {
  local deb=$1 contents file
  shift
  contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
  for file in "$@"; do
    grep -qx "./$file" <<<"$contents" || fail "$file is missing from $(basename "$deb")"
  done
}
has_files "$window" "${window_files[@]}"
has_files "$batch" "${batch_files[@]}"
! dpkg-deb -c "$window" | grep -q 'usr/bin/ravolin-expand$' || fail "the batch tool is in the window's package"

# The face the window is drawn with is a dependency, not a recommendation; the batch tool and Qt's Japanese
# texts are recommended. The batch tool depends on nothing of Qt or ALSA.
relations=$(dpkg-deb -f "$window" Depends Recommends)
if ! grep -Eq '^Depends: (.*, )?fonts-ipafont-gothic(,|$)' <<<"$relations" ||
   ! grep -qx 'Recommends: ravolin-expand, qt6-translations-l10n' <<<"$relations"; then
  fail "unexpected relations of ravolin: $relations"
fi
batch_depends=$(dpkg-deb -f "$batch" Depends)
! grep -Eq 'qt|asound' <<<"$batch_depends" || fail "ravolin-expand depends on $batch_depends"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$window" "$unpacked"
dpkg-deb -x "$batch" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/$id.metainfo.xml"

# Everything ravolin-expand can ever bring with it: the closure of its dependencies, alternatives included,
# whatever the machine already has.
depends=$(dpkg-deb -f "$batch" Pre-Depends Depends | sed 's/^[A-Za-z-]*: //; s/[,|]/\n/g' |
  sed 's/^ *//; s/[ (:].*//' | sort -u)
# shellcheck disable=SC2086 # one package name a word
pulled=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks --no-replaces \
  --no-enhances $depends | grep -v '^ ' | tr -d '<>' | sort -u)
echo "check-package: ravolin-expand brings at most: $(tr '\n' ' ' <<<"$pulled")"
! grep -Eq '^(libqt6|qt6-|libasound)' <<<"$pulled" || fail "ravolin-expand alone can pull Qt or ALSA"

try_programs() {
  local prefix=$1 page
  "$prefix/usr/bin/ravolin" --version
  "$prefix/usr/bin/ravolin-expand" --version
  for page in man1/ravolin.1.gz man1/ravolin-expand.1.gz ja/man1/ravolin.1.gz ja/man1/ravolin-expand.1.gz; do
    LC_ALL=ja_JP.UTF-8 man -l "$prefix/usr/share/man/$page" >/dev/null
  done
}

if [[ -z ${CI:-} ]]; then
  apt-get install --simulate --no-install-recommends "$window" "$batch" >/dev/null ||
    fail "apt cannot install the packages on this machine"
  try_programs "$unpacked"
  echo "check-package: built, checked and tried unpacked in $((SECONDS - start)) s (CI installs them with apt)"
  exit 0
fi

sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
apt_get() { DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -y --no-install-recommends "$@" >/dev/null; }
installed() { dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' | awk '$1 == "ii" {print $2}' | sort; }
# Whatever is still installed of ours goes at the end, and its absence is no failure.
trap '"${sudo_cmd[@]}" dpkg --purge ravolin ravolin-expand >/dev/null 2>&1 || true; rm -rf "$unpacked"' EXIT
apt_get install "$window" "$batch"
try_programs ""
apt_get remove ravolin ravolin-expand

before=$(installed)
apt_get install "$batch"
added=$(comm -13 <(echo "$before") <(installed))
[[ $added == ravolin-expand ]] || fail "installing ravolin-expand alone also installed: $added"
/usr/bin/ravolin-expand --version
echo "check-package: both packages install with apt and answer; ravolin-expand alone installs by itself"
echo "check-package: built, checked and installed in $((SECONDS - start)) s"
