#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG (needs rsvg-convert,
# package librsvg2-bin). The PNGs are kept in the repository; run this after
# changing packaging/icons/dsrscope.svg.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh icons
cd packaging/icons
for size in 48 256; do
  rsvg-convert -w "$size" -h "$size" dsrscope.svg -o "dsrscope-$size.png"
done
