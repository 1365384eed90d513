#!/usr/bin/env bash
# tools/make-windows-icon.sh: renders data/velmora.svg into win32_window/resources/velmora.ico,
# the icon velmora.exe, its installer and its .vlm files show. The .ico is committed, so the
# build needs no converter; run this again after changing the SVG.
# Sizes 16 to 64 are stored as bitmaps (every Windows reads them), 256 as PNG (Vista and later).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/deps.sh" librsvg2-bin icoutils

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bitmaps=()
for size in 16 24 32 48 64; do
  rsvg-convert -w "$size" -h "$size" -o "$work/$size.png" "$root/data/velmora.svg"
  bitmaps+=("$work/$size.png")
done
rsvg-convert -w 256 -h 256 -o "$work/256.png" "$root/data/velmora.svg"
icotool --create --icon -o "$root/win32_window/resources/velmora.ico" "${bitmaps[@]}" --raw="$work/256.png"
icotool --list "$root/win32_window/resources/velmora.ico"
