#!/usr/bin/env bash
# Renders the PNG sizes and the Windows .ico from quintaro.svg (librsvg2-bin, icoutils).
# The results are committed; run this again after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for size in 16 32 48 256; do rsvg-convert -w $size -h $size quintaro.svg -o "$tmp/$size.png"; done
cp "$tmp/48.png" quintaro-48.png
cp "$tmp/256.png" quintaro-256.png
icotool -c -o quintaro.ico "$tmp/16.png" "$tmp/32.png" "$tmp/48.png" -r "$tmp/256.png"
