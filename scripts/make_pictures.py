#!/usr/bin/env python3
"""Draws the sample pictures of data/Pictures (our own: a logo, a grey ramp, a one-bit icon)."""
import math
import os
import struct
import sys
import zlib


def png(path, width, height, pixel):
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")
    open(path, "wb").write(data)


def bmp24(path, width, height, pixel):
    stride = (width * 3 + 3) & ~3
    body = b""
    for y in reversed(range(height)):
        row = b"".join(bytes(reversed(pixel(x, y))) for x in range(width))
        body += row + b"\0" * (stride - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 3780, 3780, 0, 0)
    open(path, "wb").write(header + info + body)


def bmp1(path, width, height, black):
    stride = ((width + 31) // 32) * 4
    body = b""
    for y in reversed(range(height)):
        bits = bytearray(stride)
        for x in range(width):
            if not black(x, y):  # palette index 1 is white
                bits[x // 8] |= 0x80 >> (x % 8)
        body += bytes(bits)
    palette = b"\0\0\0\0" + b"\xff\xff\xff\0"
    header = struct.pack("<2sIHHI", b"BM", 62 + len(body), 0, 0, 62)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 1, 0, len(body), 3780, 3780, 2, 2)
    open(path, "wb").write(header + info + palette + body)


def logo(x, y):
    # A dark ring with a tag shape inside, on white.
    cx, cy, r = 80, 80, 70
    d = math.hypot(x - cx, y - cy)
    if r - 10 <= d <= r:
        return (20, 60, 140)
    if 50 <= x <= 110 and 55 <= y <= 105 and (x - 50) + abs(y - 80) >= 12:
        return (220, 120, 20)
    if math.hypot(x - 62, y - 80) <= 5:
        return (255, 255, 255)
    return (255, 255, 255)


def ramp(x, y):
    # A soft light falling from the upper left, like a photograph of a plain wall.
    v = 40 + 200 * (1 - math.hypot(x - 40, y - 30) / math.hypot(200, 150))
    v += 12 * math.sin(x / 7.0) * math.sin(y / 9.0)
    g = max(0, min(255, int(v)))
    return (g, g, g)


def icon(x, y):
    # A barcode-like tag: border and bars.
    if x in (0, 31) or y in (0, 31):
        return True
    return 6 <= y <= 25 and x in (5, 6, 9, 12, 13, 14, 17, 20, 21, 24, 26)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data", "Pictures")
    os.makedirs(out, exist_ok=True)
    png(os.path.join(out, "Logo.png"), 160, 160, logo)
    bmp24(os.path.join(out, "GreyRamp.bmp"), 240, 180, ramp)
    bmp1(os.path.join(out, "TagIcon.bmp"), 32, 32, icon)


if __name__ == "__main__":
    main()
