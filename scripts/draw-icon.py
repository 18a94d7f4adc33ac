#!/usr/bin/env python3
"""Draws the program's icon, share/icon.ico: a dial with a needle on a blue tile (64x64, an ICO
holding one PNG image). Plain standard library, so that anyone can draw it again."""
import math
import struct
import sys
import zlib

SIZE = 64
TILE = (32, 84, 140, 255)
DIAL = (245, 245, 240, 255)
NEEDLE = (214, 64, 40, 255)
TICK = (32, 84, 140, 255)


def inside_rounded(x, y, margin, radius):
    lo, hi = margin, SIZE - 1 - margin
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 and lo <= x <= hi and lo <= y <= hi


def near_segment(px, py, ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy)) <= width


def pixel(x, y):
    if not inside_rounded(x, y, 2, 10):
        return (0, 0, 0, 0)
    cx, cy, r = 31.5, 35.5, 22
    d = math.hypot(x - cx, y - cy)
    if d > r or y > cy + 8:
        return TILE
    angle = math.degrees(math.atan2(cy - y, x - cx))
    if d > r - 5 and any(abs(angle - a) < 4 for a in (0, 30, 60, 90, 120, 150, 180)):
        return TICK
    tip = (cx + 17 * math.cos(math.radians(50)), cy - 17 * math.sin(math.radians(50)))
    if near_segment(x, y, cx, cy, tip[0], tip[1], 2.0) or d < 4:
        return NEEDLE
    return DIAL


def png():
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(SIZE)) for y in range(SIZE))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9))
            + chunk(b"IEND", b""))


def ico(image):
    return (struct.pack("<HHH", 0, 1, 1)
            + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22) + image)


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "share/icon.ico"
    with open(out, "wb") as f:
        f.write(ico(png()))
