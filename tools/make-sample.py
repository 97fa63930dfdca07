#!/usr/bin/env python3
"""Writes samples/harbour.bmp, the bundled sample: python3 tools/make-sample.py [OUT.bmp]

A 160 x 120 picture at 24 bits with large flat areas (sky, sea, sand, a hull), a smooth
vertical gradient and hard edges, so that whitening flat areas leaves a clear outline.
Standard library only, and deterministic: the same bytes on every run.
"""
import struct
import sys
from pathlib import Path

WIDTH, HEIGHT = 160, 120


def pixel(x, y):
    """(red, green, blue) at column x, row y; row 0 is the top of the picture."""
    # Sun: a disc with a hard edge.
    if (x - 122) ** 2 + (y - 24) ** 2 <= 14 ** 2:
        return (250, 200, 40)
    # Sky: brightens slowly towards the horizon, a few units per row, so it whitens.
    if y < 70:
        # Sail: a triangle above the hull.
        if 40 <= x < 80 and y >= 22 and (x - 40) <= (y - 22) * 40 // 48:
            return (245, 240, 225)
        shade = 120 + y
        return (shade // 2, shade, 230)
    # Hull: a dark trapezoid on the water line.
    if 70 <= y < 82 and 24 + (y - 70) <= x < 96 - (y - 70):
        return (90, 40, 30)
    # Sea with three bands of waves, then the beach.
    if y < 100:
        if y in (86, 92, 97) and (x // 6) % 2 == 0:
            return (200, 220, 240)
        return (20, 70, 140)
    # Sand with a row of stones.
    if 108 <= y < 112 and x % 20 < 8:
        return (70, 70, 75)
    return (225, 200, 150)


def bmp_bytes():
    row_bytes = (WIDTH * 3 + 3) // 4 * 4
    pad = b"\0" * (row_bytes - WIDTH * 3)
    rows = []
    for y in range(HEIGHT - 1, -1, -1):  # rows are stored bottom-up
        row = bytearray()
        for x in range(WIDTH):
            red, green, blue = pixel(x, y)
            row += bytes((blue, green, red))
        rows.append(bytes(row) + pad)
    data = b"".join(rows)
    file_header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info_header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(data),
                              3780, 3780, 0, 0)
    return file_header + info_header + data


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else \
        Path(__file__).resolve().parent.parent / "samples" / "harbour.bmp"
    out.write_bytes(bmp_bytes())
    print(out)


if __name__ == "__main__":
    main()
