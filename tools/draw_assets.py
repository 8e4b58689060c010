#!/usr/bin/env python3
"""Draws the program's pictures into assets/: the six picture-button images, the molecule
sprite, the thermometer pin, and the textured field panel of the window background as
ready-to-use pixels (background_panel.inc). The rest of the background (ground, frames and
wells) is drawn by the program itself, with the same rectangles as draw_background below.

Standard library only. Shapes are anti-aliased by supersampling; every picture is fully
opaque and the output is the same on every run.

    tools/draw_assets.py [output-dir]      (default: the assets/ folder beside tools/)
"""
import math
import os
import random
import struct
import sys
import zlib

SLATE = (99, 101, 156)


# ----------------------------------------------------------------------------- canvas

class Canvas:
    """An RGB picture of floats, painted in layers."""

    def __init__(self, w, h, colour):
        self.w, self.h = w, h
        self.px = [[list(map(float, colour)) for _ in range(w)] for _ in range(h)]

    def get(self, x, y):
        return tuple(self.px[y][x])

    def put(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = list(map(float, colour))

    def blend(self, x, y, colour, alpha):
        if alpha <= 0.0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        alpha = min(alpha, 1.0)
        p = self.px[y][x]
        for i in range(3):
            p[i] += (colour[i] - p[i]) * alpha

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the pixels x0..x1, y0..y1, both corners included."""
        for y in range(max(y0, 0), min(y1, self.h - 1) + 1):
            row = self.px[y]
            for x in range(max(x0, 0), min(x1, self.w - 1) + 1):
                row[x] = list(map(float, colour))

    def shape(self, shape, paint, ss=8, alpha=1.0):
        """Paints shape, anti-aliased with ss × ss samples a pixel. paint is a colour or a
        function (x, y) -> colour evaluated at the pixel centre."""
        x0, y0, x1, y1 = shape.bbox()
        x0, y0 = max(int(math.floor(x0)), 0), max(int(math.floor(y0)), 0)
        x1, y1 = min(int(math.ceil(x1)), self.w), min(int(math.ceil(y1)), self.h)
        step = 1.0 / ss
        offsets = [(i + 0.5) * step for i in range(ss)]
        total = ss * ss
        for y in range(y0, y1):
            for x in range(x0, x1):
                n = 0
                for oy in offsets:
                    for ox in offsets:
                        if shape.contains(x + ox, y + oy):
                            n += 1
                if n:
                    colour = paint(x + 0.5, y + 0.5) if callable(paint) else paint
                    self.blend(x, y, colour, alpha * n / total)

    def paste(self, other, dx, dy, w=None, h=None):
        w = other.w if w is None else w
        h = other.h if h is None else h
        for y in range(h):
            for x in range(w):
                self.put(dx + x, dy + y, other.get(x, y))

    def rgb32_array(self, path, name, x0, y0, x1, y1):
        """Writes the pixels x0..x1, y0..y1 as a C++ array of 0xffRRGGBB words, row by row."""
        words = []
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                r, g, b = (max(0, min(255, int(round(c)))) for c in self.px[y][x])
                words.append("0xff%02x%02x%02xu" % (r, g, b))
        with open(path, "w") as f:
            f.write("// Drawn by tools/draw_assets.py; do not edit.\n")
            f.write("// %s: %d x %d pixels, 0xffRRGGBB, row by row.\n" % (name, x1 - x0 + 1, y1 - y0 + 1))
            for i in range(0, len(words), 8):
                f.write(", ".join(words[i:i + 8]) + ",\n")

    def png(self, path):
        raw = bytearray()
        for row in self.px:
            raw.append(0)
            for p in row:
                raw.extend(max(0, min(255, int(round(c)))) for c in p)

        def chunk(tag, data):
            body = tag + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.w, self.h, 8, 2, 0, 0, 0)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n")
            f.write(chunk(b"IHDR", header))
            f.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
            f.write(chunk(b"IEND", b""))


# ----------------------------------------------------------------------------- shapes

class Ellipse:
    def __init__(self, cx, cy, rx, ry):
        self.cx, self.cy, self.rx, self.ry = cx, cy, rx, ry

    def bbox(self):
        return self.cx - self.rx, self.cy - self.ry, self.cx + self.rx, self.cy + self.ry

    def contains(self, x, y):
        dx, dy = (x - self.cx) / self.rx, (y - self.cy) / self.ry
        return dx * dx + dy * dy <= 1.0


class Box:
    """Axis-aligned box with real edges, optionally rounded."""

    def __init__(self, x0, y0, x1, y1, r=0.0):
        self.x0, self.y0, self.x1, self.y1, self.r = x0, y0, x1, y1, r

    def bbox(self):
        return self.x0, self.y0, self.x1, self.y1

    def contains(self, x, y):
        if not (self.x0 <= x <= self.x1 and self.y0 <= y <= self.y1):
            return False
        r = self.r
        if r <= 0:
            return True
        cx = min(max(x, self.x0 + r), self.x1 - r)
        cy = min(max(y, self.y0 + r), self.y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


class Polygon:
    def __init__(self, points):
        self.pts = points

    def bbox(self):
        xs = [p[0] for p in self.pts]
        ys = [p[1] for p in self.pts]
        return min(xs), min(ys), max(xs), max(ys)

    def contains(self, x, y):
        inside = False
        n = len(self.pts)
        for i in range(n):
            x0, y0 = self.pts[i]
            x1, y1 = self.pts[(i + 1) % n]
            if (y0 > y) != (y1 > y):
                t = (y - y0) / (y1 - y0)
                if x < x0 + t * (x1 - x0):
                    inside = not inside
        return inside


class Stroke:
    """A polyline of the given width with round joins and ends."""

    def __init__(self, points, width):
        self.pts, self.hw = points, width / 2.0

    def bbox(self):
        xs = [p[0] for p in self.pts]
        ys = [p[1] for p in self.pts]
        return min(xs) - self.hw, min(ys) - self.hw, max(xs) + self.hw, max(ys) + self.hw

    def contains(self, x, y):
        hw2 = self.hw * self.hw
        for (ax, ay), (bx, by) in zip(self.pts, self.pts[1:]):
            vx, vy = bx - ax, by - ay
            ll = vx * vx + vy * vy
            t = 0.0 if ll == 0 else max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / ll))
            dx, dy = x - (ax + t * vx), y - (ay + t * vy)
            if dx * dx + dy * dy <= hw2:
                return True
        return False


class Minus:
    def __init__(self, a, b):
        self.a, self.b = a, b

    def bbox(self):
        return self.a.bbox()

    def contains(self, x, y):
        return self.a.contains(x, y) and not self.b.contains(x, y)


class Both:
    def __init__(self, a, b):
        self.a, self.b = a, b

    def bbox(self):
        return self.a.bbox()

    def contains(self, x, y):
        return self.a.contains(x, y) and self.b.contains(x, y)


class Rotated:
    """shape turned by deg degrees about (cx, cy)."""

    def __init__(self, shape, cx, cy, deg):
        self.s, self.cx, self.cy = shape, cx, cy
        self.c, self.sn = math.cos(math.radians(deg)), math.sin(math.radians(deg))

    def bbox(self):
        x0, y0, x1, y1 = self.s.bbox()
        pts = [self._fwd(x, y) for x, y in ((x0, y0), (x1, y0), (x0, y1), (x1, y1))]
        return (min(p[0] for p in pts), min(p[1] for p in pts),
                max(p[0] for p in pts), max(p[1] for p in pts))

    def _fwd(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        return self.cx + dx * self.c - dy * self.sn, self.cy + dx * self.sn + dy * self.c

    def contains(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        return self.s.contains(self.cx + dx * self.c + dy * self.sn,
                               self.cy - dx * self.sn + dy * self.c)


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# ----------------------------------------------------------------------------- background

LIGHT = (176, 178, 222)   # lit edge of a raised face
LIGHTER = (214, 215, 240)
DARK = (58, 59, 101)      # shaded edge
DARKER = (30, 31, 58)


def bevel(c, x0, y0, x1, y1, raised, width=2):
    """A bevel ring just outside the box x0..x1, y0..y1 (raised: lit top-left)."""
    outer_tl, inner_tl = (LIGHT, LIGHTER) if raised else (DARK, DARKER)
    outer_br, inner_br = (DARKER, DARK) if raised else (LIGHTER, LIGHT)
    for i in range(width):
        tl = outer_tl if i == 0 else inner_tl
        br = outer_br if i == 0 else inner_br
        d = width - i
        # bottom and right first so the top-left corners win where the rings meet
        c.rect(x0 - d, y1 + d, x1 + d, y1 + d, br)
        c.rect(x1 + d, y0 - d, x1 + d, y1 + d, br)
        c.rect(x0 - d, y0 - d, x1 + d - 1, y0 - d, tl)
        c.rect(x0 - d, y0 - d, x0 - d, y1 + d - 1, tl)


def groove(c, x0, y0, x1, y1):
    """An etched frame line around the box: dark groove with a lit edge beside it."""
    c.rect(x0, y0, x1, y0, DARK)
    c.rect(x0, y0, x0, y1, DARK)
    c.rect(x0 + 1, y0 + 1, x1 - 1, y0 + 1, LIGHT)
    c.rect(x0 + 1, y0 + 1, x0 + 1, y1 - 1, LIGHT)
    c.rect(x0, y1 - 1, x1, y1 - 1, DARK)
    c.rect(x1 - 1, y0, x1 - 1, y1, DARK)
    c.rect(x0, y1, x1, y1, LIGHT)
    c.rect(x1, y0, x1, y1, LIGHT)


def textured_panel(c, x0, y0, x1, y1, seed):
    """A light, softly mottled face: a few octaves of smoothed noise over a vertical sheen."""
    rnd = random.Random(seed)
    w, h = x1 - x0 + 1, y1 - y0 + 1

    def lattice(cell):
        gw, gh = w // cell + 2, h // cell + 2
        return cell, [[rnd.random() for _ in range(gw)] for _ in range(gh)]

    octaves = [(lattice(24), 0.5), (lattice(9), 0.3), (lattice(3), 0.2)]

    def smooth(t):
        return t * t * (3 - 2 * t)

    top, bottom = (226, 227, 243), (198, 200, 228)
    for y in range(h):
        base = mix(top, bottom, y / max(h - 1, 1))
        for x in range(w):
            n = 0.0
            for (cell, g), weight in octaves:
                gx, gy = x / cell, y / cell
                ix, iy = int(gx), int(gy)
                fx, fy = smooth(gx - ix), smooth(gy - iy)
                a = g[iy][ix] + (g[iy][ix + 1] - g[iy][ix]) * fx
                b = g[iy + 1][ix] + (g[iy + 1][ix + 1] - g[iy + 1][ix]) * fx
                n += (a + (b - a) * fy) * weight
            k = (n - 0.5) * 22.0
            c.put(x0 + x, y0 + y, (base[0] + k, base[1] + k, base[2] + k * 0.7))


PANEL = (445, 415, 767, 530)  # the textured panel, both corners included


def draw_background():
    c = Canvas(800, 560, SLATE)

    # window frame
    c.rect(0, 0, 799, 0, LIGHT)
    c.rect(0, 0, 0, 558, LIGHT)
    c.rect(0, 558, 799, 559, DARK)
    c.rect(799, 0, 799, 559, DARK)

    # group frames: the container with its liquid bar, and the graph with its buttons and fields
    groove(c, 22, 6, 424, 545)
    groove(c, 433, 3, 778, 545)

    # container: black well behind picBack (37, 20, 371 × 457)
    c.rect(35, 17, 409, 477, (0, 0, 0))
    bevel(c, 35, 17, 409, 477, raised=False)

    # liquid bar: a darker sunken strip for the selector and the white information labels
    c.rect(33, 488, 412, 533, (62, 64, 112))
    bevel(c, 33, 488, 412, 533, raised=False)

    # graph: white well behind picGrph (446, 64, 315 × 334)
    c.rect(445, 61, 763, 399, (255, 255, 255))
    bevel(c, 445, 61, 763, 399, raised=False)

    # temperature and pressure: a raised light panel
    textured_panel(c, *PANEL, seed=1995)
    bevel(c, 445, 415, 767, 530, raised=True)

    return c


# ----------------------------------------------------------------------------- buttons

BW, BH, BVIS = 81, 51, 47
CX, CY, RX, RY = 40.5, 23.0, 37.0, 20.0


def oval_button(lit):
    c = Canvas(BW, BH, SLATE)
    body = Ellipse(CX, CY, RX, RY)

    if lit:
        # glow spilling onto the ground
        for i, a in ((3.0, 0.18), (2.0, 0.3), (1.0, 0.45)):
            c.shape(Minus(Ellipse(CX, CY, RX + i, RY + i), body), (255, 236, 150), alpha=a)
    else:
        c.shape(Ellipse(CX + 1.0, CY + 1.5, RX, RY), DARKER, alpha=0.55)

    c.shape(Ellipse(CX, CY, RX, RY), (126, 72, 0) if lit else (36, 37, 70))

    if lit:
        def face(x, y):
            d = math.hypot((x - CX) / (RX - 1.5), (y - (CY + 3)) / (RY - 1.5))
            return mix((255, 252, 214), (247, 176, 24), d ** 1.6)
    else:
        def face(x, y):
            t = (y - (CY - RY)) / (2 * RY)
            return mix((128, 131, 184), (70, 72, 122), t)
    c.shape(Ellipse(CX, CY, RX - 1.5, RY - 1.5), face)

    # gloss on the upper half
    gloss = Both(Ellipse(CX, CY - RY * 0.42, RX * 0.82, RY * 0.5), Ellipse(CX, CY, RX - 2.5, RY - 2.5))
    c.shape(gloss, (255, 255, 255), alpha=0.55 if lit else 0.16)
    return c


def ink(lit, on, off):
    return on if lit else off


def draw_book(c, lit):
    line = ink(lit, (40, 40, 90), (66, 68, 108))
    paper = ink(lit, (255, 255, 255), (182, 184, 216))
    cover = ink(lit, (176, 30, 40), (88, 76, 112))
    text = ink(lit, (110, 120, 170), (128, 130, 170))
    sx, top, bot = 40.5, 13.5, 35.0
    # cover showing under the pages
    c.shape(Polygon([(17.5, 13.5), (sx, 17.5), (63.5, 13.5), (63.5, 36.5), (sx, 39.0), (17.5, 36.5)]), cover)
    for side in (-1, 1):
        outer = sx + side * 21.0
        pts = [(sx, top + 3.0)]
        for i in range(1, 9):  # curled top edge of the page
            t = i / 8
            pts.append((sx + side * 21.0 * t, top + 3.0 - 4.0 * math.sin(t * math.pi * 0.8)))
        pts += [(outer, bot - 1.0), (sx + side * 10.0, bot - 2.5), (sx, bot + 0.5)]
        c.shape(Polygon(pts), paper)
        outline = pts + [pts[0]]
        c.shape(Stroke(outline, 1.1), line)
        for k in range(4):  # lines of text
            y = top + 5.0 + k * 4.0
            x_in, x_out = sx + side * 4.0, sx + side * (17.0 if k < 3 else 11.0)
            c.shape(Stroke([(x_in, y + 1.0), (x_out, y)], 1.2), text)
    c.shape(Stroke([(sx, top + 3.0), (sx, bot + 0.5)], 1.4), line)


def draw_chart(c, lit, erased=False):
    frame = ink(lit, (40, 40, 90), (66, 68, 108))
    paper = ink(lit, (255, 255, 255), (182, 184, 216))
    grid = ink(lit, (196, 200, 226), (150, 152, 190))
    curve = ink(lit, (220, 0, 0), (118, 96, 140))
    x0, y0, x1, y1 = 23.5, 10.5, 57.5, 36.5
    c.shape(Box(x0, y0, x1, y1, 1.5), paper)
    c.shape(Minus(Box(x0 - 0.6, y0 - 0.6, x1 + 0.6, y1 + 0.6, 2.0), Box(x0 + 0.6, y0 + 0.6, x1 - 0.6, y1 - 0.6, 1.0)), frame)
    for gx in (32.0, 40.5, 49.0):
        c.shape(Stroke([(gx, y0 + 2), (gx, y1 - 4)], 0.8), grid)
    for gy in (17.0, 23.5, 30.0):
        c.shape(Stroke([(x0 + 5, gy), (x1 - 2, gy)], 0.8), grid)
    # axes
    c.shape(Stroke([(x0 + 4.5, y0 + 2.5), (x0 + 4.5, y1 - 3.5), (x1 - 2.0, y1 - 3.5)], 1.4), frame)
    # a rising, steepening curve
    pts = []
    for i in range(13):
        t = i / 12
        pts.append((x0 + 6.5 + t * 23.0, y1 - 6.0 - 17.5 * t ** 2.2))
    if erased:
        pts = pts[:6]
    c.shape(Stroke(pts, 2.2), curve)
    for p in pts[::4]:
        c.shape(Ellipse(p[0], p[1], 1.5, 1.5), curve)


def draw_eraser(c, lit):
    body = ink(lit, (255, 150, 170), (140, 118, 150))
    band = ink(lit, (40, 90, 200), (84, 88, 134))
    edge = ink(lit, (60, 30, 50), (60, 60, 100))
    crumbs = ink(lit, (230, 120, 140), (128, 114, 150))
    cx, cy, deg = 50.0, 28.0, -35.0
    whole = Box(cx - 11.0, cy - 5.5, cx + 11.0, cy + 5.5, 1.6)
    sleeve = Box(cx - 1.5, cy - 5.5, cx + 11.0, cy + 5.5, 1.6)
    c.shape(Rotated(Box(cx - 10.0, cy - 3.5, cx + 12.5, cy + 7.0, 1.6), cx, cy, deg), (0, 0, 0), alpha=0.25)
    c.shape(Rotated(whole, cx, cy, deg), body)
    c.shape(Rotated(sleeve, cx, cy, deg), band)
    c.shape(Rotated(Minus(Box(cx - 11.7, cy - 6.2, cx + 11.7, cy + 6.2, 2.2), whole), cx, cy, deg), edge)
    c.shape(Rotated(Stroke([(cx - 1.5, cy - 5.3), (cx - 1.5, cy + 5.3)], 0.9), cx, cy, deg), edge)
    for px, py in ((37.0, 37.5), (40.5, 38.5), (35.0, 35.0)):
        c.shape(Ellipse(px, py, 1.0, 0.8), crumbs)


def draw_button(kind, lit):
    c = oval_button(lit)
    if kind == "sinario":
        draw_book(c, lit)
    elif kind == "grphsw":
        draw_chart(c, lit)
    else:
        draw_chart(c, lit, erased=True)
        draw_eraser(c, lit)
    return c


# ----------------------------------------------------------------------------- small sprites

def sphere(size, radius, ground, rim, centre, shine, light=(-0.45, -0.5)):
    """A shaded ball centred in a size × size picture over an opaque ground."""
    c = Canvas(size, size, ground)
    cx = cy = size / 2.0
    lx, ly = light

    def paint(x, y):
        dx, dy = (x - cx) / radius, (y - cy) / radius
        # full rim colour by the outermost pixel centres, slightly darker away from the light
        r = math.hypot(dx, dy)
        away = max(0.0, -(dx * lx + dy * ly)) * 0.35
        col = mix(centre, rim, (r / 0.84) ** 2 + away)
        spot = math.hypot(dx - lx, dy - ly)
        return mix(col, shine, max(0.0, 1.0 - spot / 0.42) ** 1.5)

    c.shape(Ellipse(cx, cy, radius, radius), paint, ss=16)
    return c


def draw_molecule():
    c = sphere(10, 5.45, (0, 0, 0), rim=(0, 140, 140), centre=(0, 255, 255), shine=(225, 255, 255))
    for x, y in ((0, 0), (9, 0), (0, 9), (9, 9)):
        c.put(x, y, (0, 0, 0))
    return c


def draw_pin():
    return sphere(7, 3.5, (255, 255, 255), rim=(150, 0, 0), centre=(240, 20, 20), shine=(255, 210, 210))


# ----------------------------------------------------------------------------- main

def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "assets")
    os.makedirs(out, exist_ok=True)
    pictures = {"molecule.png": draw_molecule(), "pin_ondo.png": draw_pin()}
    for kind in ("sinario", "grphsw", "grphcls"):
        pictures[kind + "_on.png"] = draw_button(kind, True)
        pictures[kind + "_off.png"] = draw_button(kind, False)
    for name, picture in sorted(pictures.items()):
        picture.png(os.path.join(out, name))
        print(os.path.join(out, name))
    panel = os.path.join(out, "background_panel.inc")
    draw_background().rgb32_array(panel, "the field panel", *PANEL)
    print(panel)


if __name__ == "__main__":
    main()
