#!/usr/bin/env bash
# Draws the program icon: a large and a small spur gear in mesh.
#
# Writes into app/icons/:
#   transmission-ratio.svg          scalable icon for the Linux desktop
#   transmission-ratio-{16,32,48}.png  RGBA renderings
#   transmission-ratio.ico          16, 32 and 48 px, each at 4 and 8 bits per pixel
#   transmission-ratio-192.png      the web app's icon
#   transmission-ratio-512-maskable.png  its maskable icon, on the page's colour
#
# Each size is drawn from its own SVG (at 16 px fewer teeth, flat fills and no
# outlines), rendered by ImageMagick's built-in SVG renderer at 8x and
# averaged down (-scale). The ICO is assembled here from palette images made by
# ImageMagick (BMP entries with an AND mask), then its headers are checked.
# Running the script again gives byte-identical files.
#
# Needs: bash, python3, ImageMagick 6 (convert, identify).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
lib=$root/scripts/lib
out=$root/app/icons
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

readonly sizes=(16 32 48)
readonly supersample=8

# --- 1. SVG sources --------------------------------------------------------
# icon_gears.py SIZE SCALE: prints the SVG for a SIZE px icon, SCALE times larger.
for size in "${sizes[@]}"; do
    python3 "$lib/icon_gears.py" "$size" "$supersample" >"$work/gears-$size.svg"
done
python3 "$lib/icon_gears.py" 48 1 >"$out/transmission-ratio.svg"
# The web app's, from the 48 px design.
python3 "$lib/icon_gears.py" 48 $((192 / 48 * supersample)) >"$work/gears-192.svg"
python3 "$lib/icon_gears.py" 48 $((512 / 48 * supersample)) maskable >"$work/gears-512-maskable.svg"

# --- 2. PNGs ---------------------------------------------------------------
readonly png_opts=(-strip +set date:create +set date:modify
                   -define "png:exclude-chunks=date,time")
for size in "${sizes[@]}"; do
    # msvg: pins the built-in renderer, so the output does not change when an
    # external SVG delegate appears on the machine.
    convert -background none "msvg:$work/gears-$size.svg" \
        -scale "${size}x${size}" \
        "${png_opts[@]}" "PNG32:$out/transmission-ratio-$size.png"
done
for name in 192:192 512-maskable:512; do
    convert -background none "msvg:$work/gears-${name%%:*}.svg" -scale "${name##*:}x${name##*:}" \
        "${png_opts[@]}" "PNG32:$out/transmission-ratio-${name%%:*}.png"
done

# --- 3. ICO ----------------------------------------------------------------
# For each entry: the colours as a PPM, quantized to the entry's palette
# (15 or 255 colours plus black for the masked pixels), and the AND mask as a
# PGM (alpha below one half is transparent). Edge pixels that stay opaque
# keep their own colour, not a blend with some background; fully transparent
# pixels take the outline colour of the large gear for the quantizer, so the
# background spends no palette entry of its own at 32 and 48 px.
entries=()
for size in "${sizes[@]}"; do
    png=$out/transmission-ratio-$size.png
    convert "$png" -alpha extract -threshold 50% -depth 8 \
        "$work/mask-$size.pgm"
    for bpp in 4 8; do
        colours=$(( (1 << bpp) - 1 ))
        convert "$png" -background "#2f3c4a" -alpha background -alpha off +dither \
            -colors "$colours" -depth 8 "$work/colour-$size-$bpp.ppm"
        entries+=("$size:$bpp")
    done
done


python3 "$lib/icon_ico.py" write "$out/transmission-ratio.ico" "$work" "${entries[@]}"

# --- 4. Check --------------------------------------------------------------
python3 "$lib/icon_ico.py" dump "$out/transmission-ratio.ico"
identify "$out/transmission-ratio.ico" "$out"/transmission-ratio-*.png
