#!/usr/bin/env python3
"""Draws the application icon into packaging/icons/: a scalable SVG and the hicolor PNG sizes,
both from one description of the picture, so the two never drift apart.

The picture follows the program's own: a slate-blue ground, the black container with cyan
molecules (three rows of liquid, a few flying above) and a white graph card whose red curve
rises like a vapour-pressure curve.

Standard library only; the output is the same on every run.

    tools/draw_icon.py [output-dir]      (default: packaging/icons/ beside tools/)
"""
import math
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from draw_assets import Stroke  # noqa: E402  (the same polyline the program's pictures use)

SIZE = 256                     # the picture is described on a 256 × 256 canvas
PNG_SIZES = (48, 64, 128, 256)
SS = 4                         # samples a pixel in each direction

SLATE = (99, 101, 156)
LIGHT = (176, 178, 222)
DARK = (58, 59, 101)


# ----------------------------------------------------------------------------- paints

class Solid:
    def __init__(self, colour):
        self.colour = colour

    def at(self, x, y):
        return self.colour

    def svg_def(self, ident):
        return None

    def svg_ref(self, ident):
        return hexcolour(self.colour)


def lerp_stops(stops, t):
    t = max(0.0, min(1.0, t))
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            k = 0.0 if t1 == t0 else (t - t0) / (t1 - t0)
            return tuple(c0[i] + (c1[i] - c0[i]) * k for i in range(3))
    return stops[-1][1]


class Linear:
    """Along the line (x0, y0) → (x1, y1), padded beyond its ends, as SVG draws it."""

    def __init__(self, x0, y0, x1, y1, stops):
        self.x0, self.y0, self.x1, self.y1, self.stops = x0, y0, x1, y1, stops

    def at(self, x, y):
        vx, vy = self.x1 - self.x0, self.y1 - self.y0
        return lerp_stops(self.stops, ((x - self.x0) * vx + (y - self.y0) * vy) / (vx * vx + vy * vy))

    def svg_def(self, ident):
        return (f'<linearGradient id="{ident}" gradientUnits="userSpaceOnUse" x1="{num(self.x0)}" '
                f'y1="{num(self.y0)}" x2="{num(self.x1)}" y2="{num(self.y1)}">{svg_stops(self.stops)}'
                '</linearGradient>')

    def svg_ref(self, ident):
        return f"url(#{ident})"


class Radial:
    """Centred on (cx, cy) with radius r, padded beyond it."""

    def __init__(self, cx, cy, r, stops):
        self.cx, self.cy, self.r, self.stops = cx, cy, r, stops

    def at(self, x, y):
        return lerp_stops(self.stops, math.hypot(x - self.cx, y - self.cy) / self.r)

    def svg_def(self, ident):
        return (f'<radialGradient id="{ident}" gradientUnits="userSpaceOnUse" cx="{num(self.cx)}" '
                f'cy="{num(self.cy)}" r="{num(self.r)}">{svg_stops(self.stops)}</radialGradient>')

    def svg_ref(self, ident):
        return f"url(#{ident})"


def hexcolour(c):
    return "#%02x%02x%02x" % tuple(max(0, min(255, int(round(v)))) for v in c)


def num(v):
    return f"{v:.2f}".rstrip("0").rstrip(".")


def svg_stops(stops):
    return "".join(f'<stop offset="{num(t)}" stop-color="{hexcolour(c)}"/>' for t, c in stops)


# ----------------------------------------------------------------------------- shapes

class RoundRect:
    def __init__(self, x0, y0, x1, y1, r):
        self.x0, self.y0, self.x1, self.y1, self.r = x0, y0, x1, y1, r

    def bbox(self):
        return self.x0, self.y0, self.x1, self.y1

    def contains(self, x, y):
        if not (self.x0 <= x <= self.x1 and self.y0 <= y <= self.y1):
            return False
        cx = min(max(x, self.x0 + self.r), self.x1 - self.r)
        cy = min(max(y, self.y0 + self.r), self.y1 - self.r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= self.r * self.r

    def svg(self, fill, opacity):
        return (f'<rect x="{num(self.x0)}" y="{num(self.y0)}" width="{num(self.x1 - self.x0)}" '
                f'height="{num(self.y1 - self.y0)}" rx="{num(self.r)}" fill="{fill}"{opacity}/>')


class Circle:
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r

    def bbox(self):
        return self.cx - self.r, self.cy - self.r, self.cx + self.r, self.cy + self.r

    def contains(self, x, y):
        return (x - self.cx) ** 2 + (y - self.cy) ** 2 <= self.r * self.r

    def svg(self, fill, opacity):
        return f'<circle cx="{num(self.cx)}" cy="{num(self.cy)}" r="{num(self.r)}" fill="{fill}"{opacity}/>'


class Line(Stroke):
    """A polyline of the given width with round joins and ends."""

    def svg(self, fill, opacity):
        pts = " ".join(f"{num(x)},{num(y)}" for x, y in self.pts)
        return (f'<polyline points="{pts}" fill="none" stroke="{fill}" stroke-width="{num(self.hw * 2)}" '
                f'stroke-linecap="round" stroke-linejoin="round"{opacity}/>')


# ----------------------------------------------------------------------------- the picture

def molecule(cx, cy, r=9.0):
    """The program's molecule sprite: a cyan sphere lit from the upper left."""
    paint = Radial(cx - r * 0.3, cy - r * 0.3, r * 1.3,
                   [(0.0, (225, 255, 255)), (0.25, (0, 255, 255)), (1.0, (0, 120, 120))])
    return [(Circle(cx, cy, r), paint, 1.0)]


def scene():
    layers = []

    def add(shape, paint, alpha=1.0):
        layers.append((shape, paint if not isinstance(paint, tuple) else Solid(paint), alpha))

    # ground: a slate-blue tile with a dark rim
    add(RoundRect(8, 8, 248, 248, 44), DARK)
    add(RoundRect(12, 12, 244, 244, 40),
        Linear(0, 12, 0, 244, [(0.0, (124, 126, 184)), (1.0, SLATE)]))

    # the container: a black well with a lit edge
    add(RoundRect(27, 25, 173, 213, 12), LIGHT)
    add(RoundRect(31, 29, 169, 209, 9), (0, 0, 0))
    for row, y in enumerate((197.0, 178.0, 159.0)):      # liquid, packed, the top row jiggled
        for i in range(7):
            x = 45.0 + i * 18.5 + (((i * 7 + row * 3) % 5) - 2) * 0.8 * (row == 2)
            layers.extend(molecule(x, y))
    for x, y in ((58.0, 52.0), (112.0, 70.0), (148.0, 46.0), (84.0, 104.0), (140.0, 122.0)):
        layers.extend(molecule(x, y))                      # vapour

    # the graph card in front of the container's lower right
    add(RoundRect(120, 112, 242, 240, 12), (0, 0, 0), 0.35)   # shadow
    add(RoundRect(114, 106, 236, 234, 12), (255, 255, 255))
    grid = (192, 192, 192)
    for gx in (160.0, 190.0, 220.0):
        add(Line([(gx, 118.0), (gx, 212.0)], 2.5), grid)
    for gy in (136.0, 164.0, 192.0):
        add(Line([(132.0, gy), (226.0, gy)], 2.5), grid)
    axis = (40, 40, 90)
    add(Line([(132.0, 116.0), (132.0, 218.0), (228.0, 218.0)], 5.0), axis)

    # the vapour-pressure curve: slow at first, then steep
    k = 3.2
    pts = []
    for i in range(25):
        t = i / 24
        pts.append((138.0 + t * 84.0, 212.0 - 90.0 * (math.exp(k * t) - 1.0) / (math.exp(k) - 1.0)))
    add(Line(pts, 10.0), (220, 0, 0))
    return layers


# ----------------------------------------------------------------------------- output

def write_svg(layers, path):
    defs, body = [], []
    for n, (shape, paint, alpha) in enumerate(layers):
        ident = f"p{n}"
        d = paint.svg_def(ident)
        if d:
            defs.append(d)
        opacity = f' opacity="{num(alpha)}"' if alpha < 1.0 else ""
        body.append(shape.svg(paint.svg_ref(ident), opacity))
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" '
                f'viewBox="0 0 {SIZE} {SIZE}">\n')
        f.write("<defs>\n" + "\n".join(defs) + "\n</defs>\n")
        f.write("\n".join(body) + "\n</svg>\n")


def render(layers, size):
    """Straight-alpha RGBA pixels, painted layer by layer with `over`."""
    scale = size / SIZE
    px = [[[0.0, 0.0, 0.0, 0.0] for _ in range(size)] for _ in range(size)]
    offsets = [(i + 0.5) / SS for i in range(SS)]
    for shape, paint, alpha in layers:
        x0, y0, x1, y1 = (v * scale for v in shape.bbox())
        for y in range(max(int(math.floor(y0)), 0), min(int(math.ceil(y1)), size)):
            for x in range(max(int(math.floor(x0)), 0), min(int(math.ceil(x1)), size)):
                hits = 0
                for oy in offsets:
                    for ox in offsets:
                        if shape.contains((x + ox) / scale, (y + oy) / scale):
                            hits += 1
                if not hits:
                    continue
                a = alpha * hits / (SS * SS)
                c = paint.at((x + 0.5) / scale, (y + 0.5) / scale)
                p = px[y][x]
                out_a = a + p[3] * (1.0 - a)
                for i in range(3):
                    p[i] = (c[i] * a + p[i] * p[3] * (1.0 - a)) / out_a
                p[3] = out_a
    return px


def write_png(px, path):
    raw = bytearray()
    for row in px:
        raw.append(0)
        for r, g, b, a in row:
            raw.extend(max(0, min(255, int(round(v)))) for v in (r, g, b, a * 255.0))

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    size = len(px)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        f.write(chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "packaging", "icons")
    os.makedirs(out, exist_ok=True)
    layers = scene()
    path = os.path.join(out, "vaporia.svg")
    write_svg(layers, path)
    print(path)
    for size in PNG_SIZES:
        path = os.path.join(out, f"vaporia-{size}.png")
        write_png(render(layers, size), path)
        print(path)


if __name__ == "__main__":
    main()
