#!/usr/bin/env bash
# Renders the icon PNGs: 32, 48 and 256 px from the vector, 16 px from its hand-drawn pixel map.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
for size in 32 48 256; do
  rsvg-convert -w "$size" -h "$size" glitchforge.svg -o "glitchforge-$size.png"
done
convert glitchforge-16.xpm -strip glitchforge-16.png
