#!/usr/bin/env python3
"""Writes the seed corpora in fuzz/corpus/<target>/: small well-formed images, and hostile ones
(huge claimed sizes, lying lengths, depths that do not fit). Run it again after changing a target's
input format; the seeds are committed."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def stride(width, bpp):
    return (width * bpp + 3) // 4 * 4


def image(width, height, bpp, seed=1, bit_count=None, extra=b"", cut=0, claim=None):
    block = bytes((seed * 37 + i * 11) & 255 for i in range(stride(width, bpp) * height))
    w, h = claim if claim else (width, height)
    info = struct.pack("<IiiHHIIiiII", 44, w, h, 1, bit_count if bit_count is not None else bpp * 8, 0,
                       len(block), 0, 0, 0, 0) + bytes(4)
    data = b"BM" + struct.pack("<IHHI", 58 + len(block), 0, 0, 58) + info + block + extra
    return data[:len(data) - cut] if cut else data


def standard_bmp(width, height, bpp, info_size=40, compression=0, top_down=False, gap=b""):
    block = bytes((i * 7) & 255 for i in range(stride(width, bpp) * height))
    info = struct.pack("<IiiHHIIiiII", info_size, width, -height if top_down else height, 1, bpp * 8, compression,
                       len(block), 2835, 2835, 0, 0)
    if info_size > 40:
        masks = struct.pack("<IIII", 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
        info += (masks + bytes(info_size - 40))[: info_size - 40]
    offset = 14 + info_size + len(gap)
    return b"BM" + struct.pack("<IHHI", offset + len(block), 0, 0, offset) + info + gap + block


def images():
    return {
        "5x2-24": image(5, 2, 3),
        "2x2-32": image(2, 2, 4),
        "1x1-24": image(1, 1, 3),
        "3x2-24-narrow": image(3, 2, 3),
        "6x1-24": image(6, 1, 3),
        "4x3-32-no-depth": image(4, 3, 4, bit_count=0),
        "bare-prefix": image(1, 1, 3)[:58],
        "huge-claim": image(2, 2, 3, claim=(65535, 65535)),
        "wide-claim": image(3, 1, 4, claim=(65535, 1)),
        "tall-claim": image(1, 3, 4, claim=(1, 65535)),
        "lying-depth": image(4, 2, 3, bit_count=32),
        "trailing-rows": image(3, 2, 4, extra=bytes(40)),
        "cut-short": image(7, 3, 3, cut=5),
        "negative-height": image(2, 2, 4, claim=(2, -2)),
        "zero-width": image(3, 3, 3, claim=(0, 3)),
    }


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    imgs = images()
    for name, data in imgs.items():
        write("image_info", name, data)
        write("image_pixel", name, struct.pack("<hh", 2, 1) + data)
        colour = data[60] | data[59] << 8 | data[58] << 16 if len(data) > 60 else 0
        write("colour_search", name, struct.pack("<hhhI", 0, 0, 0, colour) + data)
        write("colour_search", name + "-tolerant", struct.pack("<hhhI", 9, 1, 2, 0x00808080) + data)
    for name, (big, small) in {
        "self-24": ("5x2-24", "5x2-24"),
        "pixel-in-32": ("2x2-32", "1x1-24"),
        "narrow-in-huge": ("huge-claim", "1x1-24"),
        "in-cut-short": ("cut-short", "3x2-24-narrow"),
        "trailing": ("trailing-rows", "2x2-32"),
    }.items():
        small_bytes = imgs[small]
        big_bytes = imgs[big]
        # the small image cut from the big one's first row, so that there is a hit
        hit = image(1, 1, 3)[:58] + big_bytes[58:62]
        write("image_search", name, struct.pack("<hhhH", 0, 0, 0, len(small_bytes)) + small_bytes + big_bytes)
        write("image_search", name + "-hit", struct.pack("<hhhH", 2, 1, 1, len(hit)) + hit + big_bytes)
    hay = bytes(range(64)) * 3
    write("byte_search", "exact", struct.pack("<hiB", 0, 0, 4) + hay[10:14] + hay)
    write("byte_search", "tolerant", struct.pack("<hiB", 3, 20, 3) + bytes([12, 9, 15]) + hay)
    write("byte_search", "far-start", struct.pack("<hiB", 0, 0x7FFFFFFF, 1) + b"\x05" + hay)
    write("byte_search", "negative", struct.pack("<hiB", -1, -5, 2) + b"\x01\x02" + hay)
    bmps = {
        "24-bottom-up": standard_bmp(5, 3, 3),
        "24-top-down": standard_bmp(3, 2, 3, top_down=True),
        "32": standard_bmp(2, 2, 4),
        "32-v5-bitfields": standard_bmp(2, 2, 4, info_size=124, compression=3),
        "24-palette-gap": standard_bmp(2, 2, 3, gap=bytes(16)),
        "8-bit": standard_bmp(4, 4, 1),
        "rle": standard_bmp(4, 4, 3, compression=1),
        "huge-claim": standard_bmp(1, 1, 3)[:18] + struct.pack("<ii", 65535, -65535) + standard_bmp(1, 1, 3)[26:],
        "system-layout": imgs["5x2-24"],
        "os2": b"BM" + bytes(12) + struct.pack("<IHHHH", 12, 2, 2, 1, 24) + bytes(12),
    }
    for name, data in bmps.items():
        write("bmp_file", name, data)


if __name__ == "__main__":
    main()
