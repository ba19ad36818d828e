#!/usr/bin/env python3
"""Writes the seed files of the texture and font fuzz target: small PNG images and a tiny
TrueType font (a square, and a composite glyph that places the square twice), so the fuzzer
starts from files of the right shape. Standard library only.

    tools/fuzzseeds/make_texture_font_seeds.py tests/fuzz/corpus/fuzz_texture_font
"""
import os
import struct
import sys
import zlib


def png(width, height, rows, colour_type):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + row for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw))
            + chunk(b"IEND", b""))


def table_checksum(data):
    data += b"\0" * (-len(data) % 4)
    return sum(struct.unpack(">%dI" % (len(data) // 4), data)) & 0xFFFFFFFF


def font():
    units = 1000
    # Glyph 1: a square; glyph 2: two squares through a composite.
    square = struct.pack(">hhhhh", 1, 100, 0, 600, 500)
    square += struct.pack(">H", 3)  # last point of the one contour
    square += struct.pack(">H", 0)  # no instructions
    square += bytes([1, 1, 1, 1])  # four points on the curve, long coordinates
    square += struct.pack(">hhhh", 100, 500, 0, -500)  # x deltas
    square += struct.pack(">hhhh", 0, 0, 500, 0)  # y deltas
    composite = struct.pack(">hhhhh", -1, 100, 0, 1200, 500)
    composite += struct.pack(">HHhh", 0x0021, 1, 0, 0)  # more components, args are words
    composite += struct.pack(">HHbb", 0x0002, 1, 100, 0)  # byte offsets, last
    glyphs = [b"", square, composite]
    for i, g in enumerate(glyphs):
        glyphs[i] = g + b"\0" * (-len(g) % 2)
    glyf = b"".join(glyphs)
    offsets = [0]
    for g in glyphs:
        offsets.append(offsets[-1] + len(g))
    loca = struct.pack(">%dH" % len(offsets), *[o // 2 for o in offsets])
    head = struct.pack(">IIIIHHqqhhhhHHhhh", 0x00010000, 0x00010000, 0, 0x5F0F3CF5, 0, units, 0, 0,
                       0, 0, 1200, 700, 0, 8, 2, 0, 0)
    hhea = struct.pack(">IhhhHhhhhhhhhhhhH", 0x00010000, 800, -200, 0, 1300, 0, 0, 1200, 1, 0, 0, 0,
                       0, 0, 0, 0, 3)
    hmtx = struct.pack(">HhHhHh", 500, 0, 700, 100, 1300, 100)
    maxp = struct.pack(">IH", 0x00005000, 3)
    # Format 4: 'A' -> 1, 'B' -> 2, and the closing segment.
    ends, starts = [66, 0xFFFF], [65, 0xFFFF]
    deltas, ranges = [(1 - 65) & 0xFFFF, 1], [0, 0]
    seg = len(ends)
    sub = struct.pack(">HHHHHHH", 4, 0, 0, seg * 2, 2, 0, 0)
    sub += struct.pack(">%dH" % seg, *ends) + b"\0\0" + struct.pack(">%dH" % seg, *starts)
    sub += struct.pack(">%dH" % seg, *deltas) + struct.pack(">%dH" % seg, *ranges)
    sub = sub[:2] + struct.pack(">H", len(sub)) + sub[4:]
    cmap = struct.pack(">HHHHI", 0, 1, 3, 1, 12) + sub
    tables = {b"cmap": cmap, b"glyf": glyf, b"head": head, b"hhea": hhea, b"hmtx": hmtx,
              b"loca": loca, b"maxp": maxp}
    count = len(tables)
    out = struct.pack(">IHHHH", 0x00010000, count, 64, 2, count * 16 - 64)
    offset = 12 + 16 * count
    directory, body = b"", b""
    for tag in sorted(tables):
        data = tables[tag]
        directory += struct.pack(">4sIII", tag, table_checksum(data), offset + len(body), len(data))
        body += data + b"\0" * (-len(data) % 4)
    return out + directory + body


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "tests/fuzz/corpus/fuzz_texture_font"
    os.makedirs(folder, exist_ok=True)
    files = {
        "square.ttf": font(),
        "grey_rgb.png": png(4, 2, [bytes([40, 80, 120] * 4), bytes([200, 100, 0] * 4)], 2),
        "alpha_rgba.png": png(3, 3, [bytes([255, 0, 0, 128] * 3)] * 3, 6),
    }
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
