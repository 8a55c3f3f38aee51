#!/usr/bin/env bash
# Renders the hicolor PNGs of the program icon from its two drawings (data/*.svg): 22 and 24 pixels from the
# 24-pixel grid, every other size from the 32-unit one, so each size falls on whole pixels. The PNGs are
# committed; run this after changing a drawing (needs librsvg2-bin and imagemagick).
set -euo pipefail
data=$(cd "$(dirname "$0")/../data" && pwd)
id=io.github.ravolin.Ravolin
mkdir -p "$data/icons"
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$data/$id.svg" -o "$data/icons/$size.png"
done
rsvg-convert -w 24 -h 24 "$data/$id-24.svg" -o "$data/icons/24.png"
# 22: the 24-pixel drawing without its outermost ring, which holds only the shadow's last pixels.
convert "$data/icons/24.png" -crop 22x22+1+1 +repage "$data/icons/22.png"
