#!/usr/bin/env bash
# Renders the PNG sizes of the program's icon from its SVG. Run after
# changing the SVG and commit the PNGs with it.
set -euo pipefail
cd "$(dirname "$0")/../resources/desktop/icons/hicolor"
svg=scalable/apps/org.tavren.Quirindo.svg
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" "$svg" -o "${size}x${size}/apps/org.tavren.Quirindo.png"
done
