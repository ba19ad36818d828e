#!/usr/bin/env python3
"""Writes the still water's normal map, data/textures/water/water_normals.png.

A 128 x 128 tileable map of gentle ripples: the sum of a few sine waves whose periods divide
the tile, so the map repeats without seams. Each pixel holds the tangent-space normal
(x along u, y along v, z up) as (n + 1) / 2 * 255 in red, green and blue.

    make_water_normals.py              writes into data/textures/water of this repository
    make_water_normals.py --out FILE   writes FILE
    make_water_normals.py --check      writes nothing; exits 1 when the committed file differs
"""

import argparse
import math
import os
import struct
import sys
import zlib

SIZE = 128
# (waves along u, waves along v, height): whole numbers of waves per tile keep it seamless.
WAVES = [(3, 1, 0.6), (-2, 4, 0.45), (5, -3, 0.3), (1, 7, 0.2)]
STRENGTH = 0.35  # how steep the ripples are


def normal(u, v):
    dx = dy = 0.0
    for ku, kv, height in WAVES:
        phase = 2.0 * math.pi * (ku * u + kv * v)
        slope = height * math.cos(phase) * 2.0 * math.pi * STRENGTH / 8.0
        dx += slope * ku
        dy += slope * kv
    n = (-dx, -dy, 1.0)
    length = math.sqrt(n[0] ** 2 + n[1] ** 2 + n[2] ** 2)
    return tuple(c / length for c in n)


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def render():
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            n = normal(x / SIZE, y / SIZE)
            row.extend(min(255, max(0, int(round((c + 1.0) * 0.5 * 255.0)))) for c in n)
        rows.append(row)
    return png(SIZE, SIZE, rows)


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--out", default=os.path.join(root, "data", "textures", "water", "water_normals.png"))
    parser.add_argument("--check", action="store_true", help="compare the file with a fresh run")
    args = parser.parse_args()
    if args.check:
        try:
            with open(args.out, "rb") as f:
                same = f.read() == render()
        except OSError:
            same = False
        if not same:
            print(f"make_water_normals.py --check: {args.out} differs from what the generator writes", file=sys.stderr)
        return 0 if same else 1
    os.makedirs(os.path.dirname(args.out), exist_ok=True)
    with open(args.out, "wb") as f:
        f.write(render())
    return 0


if __name__ == "__main__":
    sys.exit(main())
