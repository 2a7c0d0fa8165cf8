"""Prints the program icon, a large and a small spur gear in mesh, as SVG.

icon_gears.py SIZE SCALE [maskable]

SIZE is the design (16, 32 or 48 px), drawn SCALE times larger. maskable: the
48 px design on the page's colour, small enough to stay whole inside the
circle that a launcher may cut out of it (a web app's maskable icon).
"""
import math
import sys

size = int(sys.argv[1])
scale = int(sys.argv[2])
maskable = sys.argv[3:] == ["maskable"]
# A maskable icon keeps what matters inside a circle of 80 % of its side:
# the gears take 62 % of it, on a margin of the page's colour.
MARGIN = 14.7 if maskable else 0
BACKGROUND = "#3a6ea5"

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
side = size + 2 * MARGIN
print(f'<svg xmlns="http://www.w3.org/2000/svg" width="{px}" height="{px}" '
      f'viewBox="{fmt(-MARGIN)} {fmt(-MARGIN)} {fmt(side)} {fmt(side)}">')
print("<title>传动比计算</title>")
if maskable:
    print(f'<rect x="{fmt(-MARGIN)}" y="{fmt(-MARGIN)}" width="{fmt(side)}" '
          f'height="{fmt(side)}" fill="{BACKGROUND}" stroke="none"/>')
for part in (gear(big, BIG, design["stroke"], design["face"])
             + gear(small, SMALL, design["stroke"], design["face"])):
    print(part)
print("</svg>")
