#!/usr/bin/env python3
"""End-to-end runs of `recognise`: outputs, exit statuses and error messages of every subcommand.

usage: recognise_contract.py [--quick] WORKDIR RECOGNISE [RUNNER...]
The command run is RUNNER... RECOGNISE ARGS (a runner such as scripts/wine-exec for the .exe).
--quick runs a few cases per subcommand, enough to show that a build works.
"""
import os
import struct
import subprocess
import sys

failures = []


def stride(width, bpp):
    return (width * bpp + 3) // 4 * 4


def pixel_bytes(colour, bpp, fourth=0):
    data = bytes([(colour >> 16) & 255, (colour >> 8) & 255, colour & 255])
    return data + bytes([fourth]) if bpp == 4 else data


def rows_of(picture, bpp, top_down=False):
    """picture[y][x] from the top-left; rows as a BMP stores them, with zero padding."""
    height, width = len(picture), len(picture[0])
    order = range(height) if top_down else reversed(range(height))
    out = bytearray()
    for y in order:
        row = b"".join(pixel_bytes(c, bpp) for c in picture[y])
        out += row + bytes(stride(width, bpp) - len(row))
    return bytes(out)


def system_image(picture, bpp):
    """This system's layout: 14-byte header, 44-byte info block, pixels from byte 58."""
    width, height = len(picture[0]), len(picture)
    block = rows_of(picture, bpp)
    info = struct.pack("<IiiHHIIiiII", 44, width, height, 1, bpp * 8, 0, len(block), 0, 0, 0, 0) + bytes(4)
    return b"BM" + struct.pack("<IHHI", 58 + len(block), 0, 0, 58) + info + block


def standard_bmp(picture, bpp, top_down=False):
    """A BMP as paint programs write it: a 54-byte header."""
    width, height = len(picture[0]), len(picture)
    block = rows_of(picture, bpp, top_down)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bpp * 8, 0, len(block),
                       2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 54 + len(block), 0, 0, 54) + info + block


def solid(width, height, colour):
    return [[colour] * width for _ in range(height)]


class Runner:
    def __init__(self, workdir, exe, prefix):
        self.workdir, self.exe, self.prefix = workdir, exe, prefix

    def file(self, name, data):
        path = os.path.join(self.workdir, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def run(self, *args):
        done = subprocess.run(self.prefix + [self.exe] + [str(a) for a in args], capture_output=True, timeout=120)
        out = done.stdout.decode("utf-8", "replace").replace("\r\n", "\n")
        err = [line for line in done.stderr.decode("utf-8", "replace").replace("\r\n", "\n").splitlines()
               if line.startswith("recognise")]
        return done.returncode, out, err

    def expect(self, args, output, status=0):
        code, out, err = self.run(*args)
        if out != output or code != status:
            failures.append(f"recognise {' '.join(map(str, args))}: got status {code}, output {out!r}, "
                            f"stderr {err}; wanted status {status}, output {output!r}")

    def expect_error(self, args, mentions=()):
        code, out, err = self.run(*args)
        message = err[0] if len(err) == 1 else ""
        if code != 2 or out or len(err) != 1 or not all(m in message for m in mentions):
            failures.append(f"recognise {' '.join(map(str, args))}: wanted status 2, no output and one stderr "
                            f"line mentioning {list(mentions)}; got status {code}, output {out!r}, stderr {err}")


def main():
    args = sys.argv[1:]
    quick = args and args[0] == "--quick"
    if quick:
        args = args[1:]
    workdir, exe, prefix = args[0], args[1], args[2:]
    os.makedirs(workdir, exist_ok=True)
    r = Runner(workdir, exe, prefix)

    # A capture-like 24-bit image 20 x 12 with a 3 x 2 block of a pattern at columns 6-8, rows 4-5,
    # the same pattern's bottom row again at columns 12-14 of row 9, and a few marker pixels.
    back = 0x00302010
    pattern = [[0x000000FF, 0x0000FF00, 0x00FF0000], [0x00FFFF00, 0x0000FFFF, 0x00FF00FF]]
    big = solid(20, 12, back)
    for y in range(2):
        for x in range(3):
            big[3 + y][5 + x] = pattern[y][x]
    for x in range(3):
        big[8][11 + x] = pattern[1][x]
    big[0][19] = 0x00ABCDEF  # top-right
    big[11][0] = 0x00ABCDEF  # bottom-left
    big[6][6] = 0x00ABCDF3   # within 4 of the marker
    big_path = r.file("capture.bmp", system_image(big, 3))
    needle_std = r.file("needle.bmp", standard_bmp(pattern, 3))
    needle_top_down = r.file("needle-top-down.bmp", standard_bmp(pattern, 3, top_down=True))
    needle_system = r.file("needle-system.bmp", system_image(pattern, 3))
    narrow = r.file("narrow.bmp", system_image([[0x00112233, 0x00445566]], 3))

    # colour
    r.expect(["colour", "grey", "0x336699"], "0x00666666\n")
    r.expect(["colour", "quantise565", "0x00336699"], "0x0031659C\n")
    r.expect(["colour", "difference", "0x000A0305", "0"], "5\n")
    r.expect(["colour", "component", "-1", "2"], "255\n")
    if not quick:
        r.expect(["colour", "grey", "0xFF336699"], "0x00666666\n")
        r.expect(["colour", "grey", "-1"], "0x00FFFFFF\n")
        r.expect(["colour", "quantise565", "0x00808080"], "0x00848284\n")
        r.expect(["colour", "brightness", "0x336699"], "102\n")
        r.expect(["colour", "brightness", "0x00FFFEFF"], "254\n")
        r.expect(["colour", "spread", "0x336699"], "102\n")
        r.expect(["colour", "spread", "255"], "255\n")
        for channel, value in ((1, 153), (2, 102), (3, 51), (0, 0), (4, 0)):
            r.expect(["colour", "component", "0x336699", channel], f"{value}\n")
        r.expect(["colour", "difference", "0x000A0305", "0", "4"], "18\n")
        r.expect(["colour", "difference", "0x336699", "0", "3"], "51\n")
        r.expect(["colour", "difference", "0x336699", "0x336699", "4"], "0\n")

    # info and pixel
    r.expect(["info", big_path], f"20 12 24 {58 + 60 * 12} 3\n")
    r.expect(["info", narrow], "2 1 24 66 3\n")  # 24-bit although its length fits 32 bits too
    r.expect(["pixel", big_path, 20, 1], "0x00ABCDEF\n")
    r.expect(["pixel", big_path, 21, 1], "-1\n", 1)
    if not quick:
        r.expect(["info", needle_std], f"3 2 24 {58 + 12 * 2} 3\n")  # converted from a 54-byte header
        r.expect(["info", r.file("bare.bmp", system_image(solid(1, 1, 0), 3)[:58])], "0 0 0 0 0\n", 1)
        r.expect(["info", r.file("text.txt", b"not an image at all")], "0 0 0 0 0\n", 1)
        r.expect(["info", "--raw", needle_std], f"3 2 32 {54 + 12 * 2} 4\n")  # as bytes: the length rule
        r.expect(["pixel", big_path, 1, 12], "0x00ABCDEF\n")
        r.expect(["pixel", narrow, 2, 1], "0x00445566\n")
        r.expect(["pixel", big_path, 0, 1], "-1\n", 1)
        r.expect(["pixel", needle_top_down, 1, 1], "0x000000FF\n")
        r.expect(["pixel", needle_top_down, 3, 2], "0x00FF00FF\n")
        r.expect(["pixel", r.file("cut.bmp", system_image(big, 3)[:-100]), 20, 1], "-1\n", 1)

    # find-image: a needle saved as a standard BMP, found in a capture-layout image
    r.expect(["find-image", big_path, needle_std], "12 9\n")
    r.expect(["find-image", big_path, needle_std, "--all"], "12 9\n6 5\n")
    r.expect(["find-image", big_path, r.file("absent.bmp", standard_bmp(solid(2, 1, 0x00777777), 3))], "-1 -1\n", 1)
    if not quick:
        r.expect(["find-image", big_path, needle_top_down], "12 9\n")
        r.expect(["find-image", big_path, needle_system], "12 9\n")
        r.expect(["find-image", big_path, needle_std, "--start", "12,9"], "6 5\n")
        r.expect(["find-image", big_path, needle_std, "--start=6,5"], "-1 -1\n", 1)
        r.expect(["find-image", big_path, needle_std, "--start", "0,0", "--all"], "12 9\n6 5\n")
        nudge = lambda c: sum(((b - 3 if b >= 3 else b + 3) << s) for s in (0, 8, 16) for b in [(c >> s) & 255])
        near = [[nudge(c) for c in row] for row in pattern]
        r.expect(["find-image", big_path, r.file("near.bmp", standard_bmp(near, 3))], "-1 -1\n", 1)
        r.expect(["find-image", big_path, r.file("near.bmp", standard_bmp(near, 3)), "--tolerance", 3], "12 9\n")
        r.expect(["find-image", big_path, r.file("near.bmp", standard_bmp(near, 3)), "--tolerance", -3], "-1 -1\n", 1)
        r.expect(["find-image", big_path, big_path], "1 12\n")
        r.expect(["find-image", "--raw", big_path, needle_std], "-1 -1\n", 1)  # 54-byte header taken as it is
        r.expect(["find-image", big_path, r.file("needle32.bmp", standard_bmp(pattern, 4))], "-1 -1\n", 1)

    # find-colour
    r.expect(["find-colour", big_path, "0xABCDEF"], "1 12\n")
    r.expect(["find-colour", big_path, "0xABCDEF", "--all"], "1 12\n20 1\n")
    r.expect(["find-colour", big_path, "0x123456"], "-1 -1\n", 1)
    if not quick:
        r.expect(["find-colour", big_path, "0xABCDEF", "--tolerance", "4", "--all"], "1 12\n7 7\n20 1\n")
        r.expect(["find-colour", big_path, "0xABCDEF", "--start", "1,12"], "20 1\n")
        r.expect(["find-colour", big_path, "0xFFABCDEF", "--start", "20,1"], "-1 -1\n", 1)
        r.expect(["find-colour", big_path, "-1"], "-1 -1\n", 1)
        r.expect(["find-colour", needle_std, "0x0000FFFF"], "2 2\n")

    # find-bytes
    hay = r.file("hay.bin", b"hello, world")
    r.expect(["find-bytes", hay, r.file("needle.bin", b"wor")], "8\n")
    r.expect(["find-bytes", hay, r.file("needle.bin", b"wor"), "--start", 9], "-1\n", 1)
    if not quick:
        r.expect(["find-bytes", hay, r.file("l.bin", b"l"), "--start", 4], "4\n")
        r.expect(["find-bytes", hay, r.file("l.bin", b"l"), "--start", -7], "3\n")
        r.expect(["find-bytes", hay, r.file("near.bin", b"vnq"), "--tolerance", 1], "8\n")
        r.expect(["find-bytes", hay, r.file("empty.bin", b"")], "-1\n", 1)
        r.expect(["find-bytes", r.file("bm.bin", b"xxBMyy"), r.file("bm-needle.bin", b"BM")], "3\n")

    # usage and file errors: status 2, one line on stderr, nothing on stdout
    r.expect_error([], ["no command"])
    r.expect_error(["frobnicate"], ["frobnicate"])
    r.expect_error(["info", os.path.join(workdir, "missing.bmp")], ["missing.bmp"])
    r.expect_error(["pixel", big_path, "1x", 1], ["X", "1x"])
    if not quick:
        r.expect_error(["info"], ["usage", "info IMAGE"])
        r.expect_error(["info", big_path, big_path], ["usage"])
        r.expect_error(["pixel", big_path, 1], ["usage"])
        r.expect_error(["find-image", big_path, needle_std, "--tolerance"], ["--tolerance"])
        r.expect_error(["find-image", big_path, needle_std, "--tolerance", "lots"], ["--tolerance", "lots"])
        r.expect_error(["find-image", big_path, needle_std, "--start", "3"], ["--start"])
        r.expect_error(["find-colour", big_path, "red"], ["COLOUR", "red"])
        r.expect_error(["find-colour", big_path, "0x1FFFFFFFF"], ["range"])
        r.expect_error(["find-bytes", hay], ["usage"])
        r.expect_error(["find-bytes", hay, hay, "--fast"], ["--fast"])
        r.expect_error(["colour", "grey"], ["usage"])
        r.expect_error(["colour", "grey", "4278190080"], ["range"])
        r.expect_error(["colour", "purple", "1"], ["purple"])
        r.expect_error(["colour", "difference", "1"], ["usage"])
        bmp8 = bytearray(standard_bmp(pattern, 3))
        bmp8[28] = 8
        r.expect_error(["find-image", big_path, r.file("eight.bmp", bytes(bmp8))], ["8 bits", "--raw"])
        r.expect(["find-image", big_path, r.file("eight.bmp", bytes(bmp8)), "--raw"], "-1 -1\n", 1)
        code, out, _ = r.run("--help")
        if code != 0 or "find-image" not in out:
            failures.append(f"recognise --help: status {code}, output {out!r}")

    for failure in failures:
        print("FAIL:", failure)
    print(f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
