#!/usr/bin/env python3
"""Looks at a screenshot the way a person would: is there red near the screen's centre, and
what shape is it?

    analyse.py SHOT.ppm CX CY  ->  prints "red N box L T R B shape S"
where N counts red pixels in the 28 x 28 square from (CX - 2, CY - 2), the box is their bounding
box (right and bottom exclusive) and S is "none", "cross" (nothing in the four corner ninths of
the box, as in "+") or "ring" (red in the corners, as in a circled glyph).
"""
import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    assert fields[0] == b"P6", "not a binary PPM"
    width, height, maximum = int(fields[1]), int(fields[2]), int(fields[3])
    body = data[pos + 1:]
    if maximum > 255:  # two bytes a sample, most significant first
        body = body[0::2]
    return width, height, body


def is_red(r, g, b):
    return r >= 200 and g <= 70 and b <= 70


def main():
    path, cx, cy = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    width, height, pixels = read_ppm(path)
    red = []
    for y in range(max(0, cy - 2), min(height, cy + 26)):
        for x in range(max(0, cx - 2), min(width, cx + 26)):
            i = (y * width + x) * 3
            if is_red(pixels[i], pixels[i + 1], pixels[i + 2]):
                red.append((x, y))
    if not red:
        print("red 0 box 0 0 0 0 shape none")
        return
    left, top = min(x for x, _ in red), min(y for _, y in red)
    right, bottom = max(x for x, _ in red) + 1, max(y for _, y in red) + 1
    w, h = right - left, bottom - top
    corners = 0
    for x, y in red:
        col = 3 * (x - left) // w
        row = 3 * (y - top) // h
        if col != 1 and row != 1:
            corners += 1
    shape = "ring" if corners else "cross"
    print(f"red {len(red)} box {left} {top} {right} {bottom} shape {shape}")


if __name__ == "__main__":
    main()
