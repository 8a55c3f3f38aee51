#!/usr/bin/env bash
# Fails when a source file includes a header of a layer it may not use: the arrows of the README's
# "Layers" table point only downwards. Tests, benchmarks and fuzz targets may include any layer; a test seam
# (`<Name>Testing.h`) is included by tests and by its own `<Name>.cpp`, never by another layer's file.
set -euo pipefail
cd "$(dirname "$0")/.."

# layer folder -> the folders its files may include from (itself first)
declare -A allowed=(
  [conversion]="conversion"
  [platform/core]="platform/core"
  [platform/sound]="platform/sound"
  [output]="output conversion platform/core"
  [settings]="settings conversion platform/core"
  [resources]="resources"
  [cli]="cli conversion output settings platform/core"
  [platform/qt]="platform/qt platform/core"
  [ui/controls]="ui/controls resources settings conversion platform/core"
  [ui]="ui resources settings output conversion platform"
  [app]="app ui resources settings output conversion platform"
  [testsupport/core]="testsupport/core platform/core settings conversion"
  [testsupport]="testsupport platform settings conversion"
)

status=0
while IFS= read -r file; do
  layer=""
  for candidate in "${!allowed[@]}"; do
    if [[ $file == "$candidate"/* && ${#candidate} -gt ${#layer} ]]; then layer=$candidate; fi
  done
  [[ -n $layer ]] || continue
  while IFS= read -r included; do
    if [[ $included == *Testing.h && $file != "${included%Testing.h}.cpp" ]]; then
      echo "$file: \"$included\" is a seam for tests only" >&2
      status=1
      continue
    fi
    ok=0
    for folder in ${allowed[$layer]}; do
      [[ $included == "$folder"/* ]] && ok=1
    done
    if ((!ok)); then
      echo "$file: $layer may not include \"$included\"" >&2
      status=1
    fi
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files '*.cpp' '*.h')
exit $status
