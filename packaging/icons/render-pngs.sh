#!/usr/bin/env bash
# Renders the committed PNG icons from kivexcel.svg; run after changing the drawing
# (needs rsvg-convert from librsvg2-bin).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$here/kivexcel.svg" -o "$here/kivexcel-$size.png"
done
