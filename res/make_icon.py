#!/usr/bin/env python3
"""Writes Vorlane.ico: a 32x32 and a 16x16 32-bit icon of the status bar (grey
face in a green frame). Run once; the result is committed."""
import struct
import sys


def image(size):
    frame = max(2, size // 8)
    rows = []
    for y in range(size):
        row = b""
        for x in range(size):
            inside = frame <= x < size - frame and frame <= y < size - frame
            band = size // 2 - size // 8 <= y < size // 2 + size // 8 and size // 4 <= x < size * 3 // 4
            if band:
                b, g, r = 0, 0, 0
            elif inside:
                b, g, r = 197, 201, 202
            else:
                b, g, r = 0, 128, 0
            row += bytes((b, g, r, 255))
        rows.append(row)
    pixels = b"".join(reversed(rows))  # bottom-up
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def main(path):
    sizes = [32, 16]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "Vorlane.ico")
