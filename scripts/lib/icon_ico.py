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
