#!/usr/bin/env bash
# Renders the program icon (resources/icons/quorvel.svg) to the PNG sizes that the program and
# the desktop use. Needs ImageMagick; the PNGs are committed, so a build does not run this.
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"

for size in 16 24 32 48 64 256; do
  convert -background none -density 384 quorvel.svg -resize "${size}x${size}" \
    -define png:exclude-chunks=date,time "PNG32:quorvel-${size}.png"
done
