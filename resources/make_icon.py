#!/usr/bin/env python3
"""Draws the crosshair icon and writes crosshair.ico (16, 32 and 48 px, 32-bit with alpha).

Run from anywhere: python3 resources/make_icon.py. Only the standard library is used, so the
committed .ico can be regenerated on any machine; the output is byte-for-byte reproducible.
"""
import math
import os
import struct

SIZES = (16, 32, 48)
RED = (0xE8, 0x1C, 0x1C)
OUTLINE = (0x20, 0x08, 0x08)
SUPERSAMPLE = 4


def shapes(px, py, size, grow):
    """Coverage test of one sample point (pixel units, origin at the top-left) against the
    crosshair: a ring, four arms that stop short of the centre, and a centre dot. grow widens
    every stroke, which gives the outline drawn beneath."""
    c = size / 2.0
    dx, dy = px - c, py - c
    r = math.hypot(dx, dy)
    stroke = max(1.0, size / 16.0)
    ring_r = size * 0.34
    if abs(r - ring_r) <= stroke / 2 + grow:
        return True
    half = stroke / 2 + grow
    gap, reach = size * 0.14 - grow, size * 0.48 + grow
    if abs(dx) <= half and gap <= abs(dy) <= reach:
        return True
    if abs(dy) <= half and gap <= abs(dx) <= reach:
        return True
    return r <= max(0.75, size / 20.0) + grow


def render(size):
    """Rows top-down of (b, g, r, a)."""
    grow = max(0.6, size / 40.0)
    rows = []
    n = SUPERSAMPLE
    for y in range(size):
        row = []
        for x in range(size):
            fg = bg = 0
            for sy in range(n):
                for sx in range(n):
                    px, py = x + (sx + 0.5) / n, y + (sy + 0.5) / n
                    if shapes(px, py, size, 0.0):
                        fg += 1
                    elif shapes(px, py, size, grow):
                        bg += 1
            total = n * n
            a_fg, a_bg = fg / total, bg / total
            alpha = a_fg + a_bg
            if alpha == 0:
                row.append((0, 0, 0, 0))
                continue
            colour = [(RED[i] * a_fg + OUTLINE[i] * a_bg) / alpha for i in range(3)]
            a = min(255, round(alpha * 255))
            row.append((round(colour[2]), round(colour[1]), round(colour[0]), a))
        rows.append(row)
    return rows


def icon_image(size):
    """One icon image: BITMAPINFOHEADER (double height), bottom-up BGRA pixels, AND mask."""
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(channel for px in row for channel in px) for row in reversed(rows))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def main():
    images = [icon_image(s) for s in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "crosshair.ico")
    with open(path, "wb") as f:
        f.write(out)
    print(path)


if __name__ == "__main__":
    main()
