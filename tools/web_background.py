#!/usr/bin/python3
"""Writes the main window's 800 x 560 background as a PNG for the browser face.

The same drawing as assets/Background.cpp, around the same compiled-in panel texture,
so both faces stand on identical pixels. Usage: web_background.py OUT.png
"""
import re
import struct
import sys
import zlib
from pathlib import Path

W, H = 800, 560
SLATE = (99, 101, 156)
LIGHT = (176, 178, 222)
LIGHTER = (214, 215, 240)
DARK = (58, 59, 101)
DARKER = (30, 31, 58)
PANEL_X, PANEL_Y, PANEL_W, PANEL_H = 445, 415, 323, 116

px = [[SLATE] * W for _ in range(H)]


def box(x0, y0, x1, y1, colour):
    if x1 < x0 or y1 < y0:
        return
    for y in range(max(0, y0), min(H - 1, y1) + 1):
        row = px[y]
        for x in range(max(0, x0), min(W - 1, x1) + 1):
            row[x] = colour


def bevel(x0, y0, x1, y1, raised):
    outer_tl, inner_tl = (LIGHT, LIGHTER) if raised else (DARK, DARKER)
    outer_br, inner_br = (DARKER, DARK) if raised else (LIGHTER, LIGHT)
    for i in range(2):
        tl, br = (outer_tl, outer_br) if i == 0 else (inner_tl, inner_br)
        d = 2 - i
        box(x0 - d, y1 + d, x1 + d, y1 + d, br)
        box(x1 + d, y0 - d, x1 + d, y1 + d, br)
        box(x0 - d, y0 - d, x1 + d - 1, y0 - d, tl)
        box(x0 - d, y0 - d, x0 - d, y1 + d - 1, tl)


def groove(x0, y0, x1, y1):
    box(x0, y0, x1, y0, DARK)
    box(x0, y0, x0, y1, DARK)
    box(x0 + 1, y0 + 1, x1 - 1, y0 + 1, LIGHT)
    box(x0 + 1, y0 + 1, x0 + 1, y1 - 1, LIGHT)
    box(x0, y1 - 1, x1, y1 - 1, DARK)
    box(x1 - 1, y0, x1 - 1, y1, DARK)
    box(x0, y1, x1, y1, LIGHT)
    box(x1, y0, x1, y1, LIGHT)


def main():
    root = Path(__file__).resolve().parent.parent
    words = re.findall(r"0x([0-9a-fA-F]{8})u", (root / "assets/background_panel.inc").read_text())
    panel = [int(w, 16) for w in words]
    assert len(panel) == PANEL_W * PANEL_H

    box(0, 0, 799, 0, LIGHT)
    box(0, 0, 0, 558, LIGHT)
    box(0, 558, 799, 559, DARK)
    box(799, 0, 799, 559, DARK)
    groove(22, 6, 424, 545)
    groove(433, 3, 778, 545)
    box(35, 17, 409, 477, (0, 0, 0))
    bevel(35, 17, 409, 477, False)
    box(33, 488, 412, 533, (62, 64, 112))
    bevel(33, 488, 412, 533, False)
    box(445, 61, 763, 399, (255, 255, 255))
    bevel(445, 61, 763, 399, False)
    for y in range(PANEL_H):
        for x in range(PANEL_W):
            v = panel[y * PANEL_W + x]
            px[PANEL_Y + y][PANEL_X + x] = ((v >> 16) & 255, (v >> 8) & 255, v & 255)
    bevel(PANEL_X, PANEL_Y, PANEL_X + PANEL_W - 1, PANEL_Y + PANEL_H - 1, True)

    raw = bytearray()
    for row in px:
        raw.append(0)
        for p in row:
            raw.extend(p)

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    with open(sys.argv[1], "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        f.write(chunk(b"IEND", b""))


if __name__ == "__main__":
    main()
