#!/usr/bin/env bash
# Draws the program icon: a large and a small spur gear in mesh.
#
# Writes into app/icons/:
#   transmission-ratio.svg          scalable icon for the Linux desktop
#   transmission-ratio-{16,32,48}.png  RGBA renderings
#   transmission-ratio.ico          16, 32 and 48 px, each at 4 and 8 bits per pixel
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
out=$root/app/icons
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

readonly sizes=(16 32 48)
readonly supersample=8

# --- 1. SVG sources --------------------------------------------------------
# gears.py SIZE SCALE: prints the SVG for a SIZE px icon, SCALE times larger.
cat >"$work/gears.py" <<'PY'
import math
import sys

size = int(sys.argv[1])
scale = int(sys.argv[2])

BIG = dict(fill="#6d8197", face="#8295aa", edge="#2f3c4a")      # steel
SMALL = dict(fill="#f5a623", face="#f8bb4f", edge="#8a4f00")    # brass
TIP_WIDTH, ROOT_WIDTH = 0.42, 0.60      # tooth width, fraction of the pitch


def fmt(v):
    return f"{v:.3f}".rstrip("0").rstrip(".")


def meshing_pair(z_big, z_small, addendum, dedendum, stroke):
    """A large gear at the lower left meshing with a small one at the upper
    right, one module, scaled to fill the canvas. Gear tuple: centre x, y,
    teeth, tip radius, root radius, bore radius, angle of a tooth centre."""
    towards = math.radians(-45)
    reach = (z_big / 2 + addendum) + (z_small / 2 + addendum) \
        + (z_big + z_small) / 2 * math.cos(towards)
    m = (size - 1 - stroke) / reach                   # module
    r_big, r_small = m * z_big / 2, m * z_small / 2   # pitch radii
    cx = size / 2 - (r_small - r_big + (r_big + r_small) * math.cos(towards)) / 2
    cy = size - cx
    sx = cx + (r_big + r_small) * math.cos(towards)
    sy = cy + (r_big + r_small) * math.sin(towards)
    big = (cx, cy, z_big, r_big + addendum * m, r_big - dedendum * m,
           0.3 * (r_big - dedendum * m), towards + math.pi / z_big)  # gap
    small = (sx, sy, z_small, r_small + addendum * m, r_small - dedendum * m,
             0.3 * (r_small - dedendum * m), towards + math.pi)      # tooth
    return big, small


# 16 px: eight and six teeth, the large gear's teeth on the pixel grid (one
# points into a gap of the small gear), flat fills without outlines or
# shading. 32 and 48 px: outlined gears with a lighter hub face.
DESIGNS = {
    16: dict(gears=((6, 10, 8, 6, 4.2, 1.4, 0),
                    (12, 4, 6, 4, 2.6, 1.1, math.radians(165))),
             stroke=0, face=0),
    32: dict(gears=meshing_pair(10, 6, 1.0, 0.85, 1.0), stroke=1.0, face=0.68),
    48: dict(gears=meshing_pair(12, 7, 0.95, 0.85, 1.2), stroke=1.2, face=0.68),
}


def teeth(cx, cy, z, r_tip, r_root, phase):
    """Outline of z trapezoid teeth around (cx, cy)."""
    pitch = 2 * math.pi / z
    pts = []
    for k in range(z):
        a = phase + k * pitch
        for frac, r in ((-ROOT_WIDTH / 2, r_root), (-TIP_WIDTH / 2, r_tip),
                        (TIP_WIDTH / 2, r_tip), (ROOT_WIDTH / 2, r_root),
                        (0.5, r_root)):
            t = a + frac * pitch
            pts.append((cx + r * math.cos(t), cy + r * math.sin(t)))
    return "M" + " L".join(f"{fmt(x)},{fmt(y)}" for x, y in pts) + " Z"


def circle(cx, cy, r):
    return (f"M{fmt(cx + r)},{fmt(cy)} A{fmt(r)},{fmt(r)} 0 1,0 "
            f"{fmt(cx - r)},{fmt(cy)} A{fmt(r)},{fmt(r)} 0 1,0 "
            f"{fmt(cx + r)},{fmt(cy)} Z")


def gear(spec, colours, stroke, face):
    cx, cy, z, r_tip, r_root, r_bore, phase = spec
    # Every element names its stroke: the built-in renderer does not default
    # to none.
    edge = (f'stroke="{colours["edge"]}" stroke-width="{fmt(stroke)}" '
            f'stroke-linejoin="round"' if stroke else 'stroke="none"')
    parts = [f'<path d="{teeth(cx, cy, z, r_tip, r_root, phase)} '
             f'{circle(cx, cy, r_bore)}" fill="{colours["fill"]}" '
             f'fill-rule="evenodd" {edge}/>']
    if face:
        inner = r_bore + stroke / 2
        parts.append(f'<path d="{circle(cx, cy, face * r_root)} '
                     f'{circle(cx, cy, inner)}" fill="{colours["face"]}" '
                     f'fill-rule="evenodd" stroke="none"/>')
    return parts


design = DESIGNS[size]
big, small = design["gears"]
px = size * scale
print(f'<svg xmlns="http://www.w3.org/2000/svg" width="{px}" height="{px}" '
      f'viewBox="0 0 {size} {size}">')
print("<title>传动比计算</title>")
for part in (gear(big, BIG, design["stroke"], design["face"])
             + gear(small, SMALL, design["stroke"], design["face"])):
    print(part)
print("</svg>")
PY

for size in "${sizes[@]}"; do
    python3 "$work/gears.py" "$size" "$supersample" >"$work/gears-$size.svg"
done
python3 "$work/gears.py" 48 1 >"$out/transmission-ratio.svg"

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

cat >"$work/ico.py" <<'PY'
"""Writes a Windows icon from palette images, or dumps an icon's headers.

ico.py write OUT.ico WORKDIR SIZE:BPP...
ico.py dump FILE.ico
"""
import struct
import sys


def read_pnm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    magic, width, height, maxval = fields[0], *map(int, fields[1:])
    if maxval != 255:
        raise SystemExit(f"{path}: expected 8-bit samples, got maxval {maxval}")
    channels = {b"P6": 3, b"P5": 1}[magic]
    pixels = data[pos + 1:pos + 1 + width * height * channels]
    return width, height, channels, pixels


def entry_image(colour_path, mask_path, bpp):
    width, height, _, rgb = read_pnm(colour_path)
    mw, mh, _, mask = read_pnm(mask_path)
    if (mw, mh) != (width, height):
        raise SystemExit(f"{mask_path}: size differs from {colour_path}")
    opaque = [mask[i] >= 128 for i in range(width * height)]
    colour = [rgb[3 * i:3 * i + 3] for i in range(width * height)]
    # Index 0 is black, the colour under masked pixels; the rest sorted.
    used = sorted({colour[i] for i in range(width * height) if opaque[i]}
                  - {b"\0\0\0"})
    palette = [b"\0\0\0"] + used
    if len(palette) > 1 << bpp:
        raise SystemExit(f"{colour_path}: {len(palette)} colours for {bpp} bpp")
    palette += [b"\0\0\0"] * ((1 << bpp) - len(palette))
    index = {c: i for i, c in reversed(list(enumerate(palette)))}

    def rows(bits, value):
        stride = (width * bits + 31) // 32 * 4
        out = bytearray()
        for y in reversed(range(height)):          # bottom-up
            row = bytearray(stride)
            for x in range(width):
                v = value(y * width + x)
                bit = x * bits
                shift = 8 - bits - bit % 8
                row[bit // 8] |= v << shift
            out += row
        return bytes(out)

    xor = rows(bpp, lambda i: index[colour[i]] if opaque[i] else 0)
    and_mask = rows(1, lambda i: 0 if opaque[i] else 1)
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bpp, 0,
                         len(xor) + len(and_mask), 0, 0, 1 << bpp, 0)
    quads = b"".join(bytes((c[2], c[1], c[0], 0)) for c in palette)
    return width, height, bpp, header + quads + xor + and_mask


def write(out_path, workdir, specs):
    images = []
    for spec in specs:
        size, bpp = map(int, spec.split(":"))
        images.append(entry_image(f"{workdir}/colour-{size}-{bpp}.ppm",
                                  f"{workdir}/mask-{size}.pgm", bpp))
    blob = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, height, bpp, data in images:
        blob += struct.pack("<BBBBHHII", width % 256, height % 256,
                            (1 << bpp) % 256, 0, 1, bpp, len(data), offset)
        offset += len(data)
    blob += b"".join(data for *_, data in images)
    with open(out_path, "wb") as f:
        f.write(blob)


def dump(path):
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    print(f"ICONDIR: reserved={reserved} type={kind} count={count}")
    for n in range(count):
        (w, h, colours, res, planes, bpp, length,
         offset) = struct.unpack_from("<BBBBHHII", data, 6 + 16 * n)
        (hsize, bw, bh, bplanes, bbpp, compression,
         image_size) = struct.unpack_from("<IiiHHII", data, offset)
        print(f"  [{n}] {w or 256}x{h or 256} colours={colours} planes={planes} "
              f"bitcount={bpp} bytes={length} offset={offset} | "
              f"BITMAPINFOHEADER size={hsize} {bw}x{bh} bitcount={bbpp} "
              f"compression={compression}")


if sys.argv[1] == "write":
    write(sys.argv[2], sys.argv[3], sys.argv[4:])
else:
    dump(sys.argv[2])
PY

python3 "$work/ico.py" write "$out/transmission-ratio.ico" "$work" "${entries[@]}"

# --- 4. Check --------------------------------------------------------------
python3 "$work/ico.py" dump "$out/transmission-ratio.ico"
identify "$out/transmission-ratio.ico" "$out"/transmission-ratio-*.png
