#!/usr/bin/env python3
# Draws the program's icon (a blue shield with a key hole) as PNG files, without libraries.
import struct, sys, zlib

def shield(size):
    rows = []
    for y in range(size):
        row = bytearray()
        for x in range(size):
            u, v = (x + 0.5) / size, (y + 0.5) / size
            # Shield outline: a rectangle top half, a pointed curve bottom half.
            half = 0.40 if v < 0.55 else 0.40 * max(0.0, 1 - ((v - 0.55) / 0.40) ** 1.6)
            inside = 0.08 <= v <= 0.95 and abs(u - 0.5) <= half
            edge = inside and (abs(u - 0.5) > half - 0.05 or v < 0.12)
            hole = (u - 0.5) ** 2 + (v - 0.40) ** 2 < 0.09 ** 2 or (abs(u - 0.5) < 0.045 and 0.40 < v < 0.66)
            if not inside:
                row += bytes((0, 0, 0, 0))
            elif hole:
                row += bytes((255, 255, 255, 255))
            elif edge:
                row += bytes((0x1d, 0x4a, 0x7e, 255))
            else:
                shade = int(0x2e + (0x6d - 0x2e) * (1 - v))
                row += bytes((shade, 0x6d, 0xb4, 255))
        rows.append(bytes((0,)) + bytes(row))
    raw = b"".join(rows)
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))

for size in (48, 128):
    with open(f"{sys.argv[1] if len(sys.argv) > 1 else '.'}/kelvo-{size}.png", "wb") as f:
        f.write(shield(size))
