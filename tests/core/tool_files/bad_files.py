#!/usr/bin/env python3
"""`recognise` on bad files: missing, empty, a directory, unreadable, 1 GB, truncated BMPs and
BMPs whose headers lie.

usage: bad_files.py [--quick] WORKDIR RECOGNISE [RUNNER...]
The command run is RUNNER... RECOGNISE ARGS (a runner such as scripts/wine-exec for the .exe).
--quick runs the slow cases (1 GB files) once each.

Every run must end with status 2, nothing on stdout and one line on stderr, or with the answer the
operation gives for such bytes (its failure value with status 1, or a sound answer); never with a
crash, a sanitizer report or a hang.
"""
import os
import shutil
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tool"))
from recognise_contract import solid, standard_bmp, system_image  # noqa: E402

GIB = 1 << 30
failures = []
runs = 0


class Runner:
    def __init__(self, workdir, exe, prefix):
        self.workdir, self.exe, self.prefix = workdir, exe, prefix
        self.env = dict(os.environ)
        # A sanitizer report must not pass for "not found" (status 1).
        self.env["ASAN_OPTIONS"] = "exitcode=86:" + self.env.get("ASAN_OPTIONS", "")
        self.env["UBSAN_OPTIONS"] = "exitcode=86:halt_on_error=1:" + self.env.get("UBSAN_OPTIONS", "")

    def path(self, name):
        return os.path.join(self.workdir, name)

    def file(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.path(name)

    def run(self, args, as_user=None):
        global runs
        runs += 1
        command = self.prefix + [self.exe] + [str(a) for a in args]
        if as_user is not None:
            command = ["setpriv", f"--reuid={as_user}", f"--regid={as_user}", "--clear-groups"] + command
        try:
            done = subprocess.run(command, capture_output=True, timeout=300, env=self.env)
        except subprocess.TimeoutExpired:
            return None, "", [], "timed out after 300 s"
        out = done.stdout.decode("utf-8", "replace").replace("\r\n", "\n")
        err = done.stderr.decode("utf-8", "replace").replace("\r\n", "\n")
        ours = [line for line in err.splitlines() if line.startswith("recognise")]
        return done.returncode, out, ours, err

    def check(self, args, want, as_user=None):
        """want: ("error", [words the message mentions]) or (status, stdout)."""
        code, out, ours, err = self.run(args, as_user)
        what = f"recognise {' '.join(map(str, args))}"
        if code is None:
            failures.append(f"{what}: {err}")
            return
        if "Sanitizer" in err or "runtime error" in err:
            failures.append(f"{what}: sanitizer report:\n{err}")
            return
        if want[0] == "error":
            message = ours[0] if len(ours) == 1 else ""
            if code != 2 or out or len(ours) != 1 or not all(m in message for m in want[1]):
                failures.append(f"{what}: wanted status 2, no output and one stderr line mentioning {want[1]}; "
                                f"got status {code}, output {out!r}, stderr {err!r}")
        elif code != want[0] or out != want[1] or ours:
            failures.append(f"{what}: wanted status {want[0]} and output {want[1]!r}; "
                            f"got status {code}, output {out!r}, stderr {err!r}")


def sparse(path, size, head=b""):
    """A file of size bytes that begins with head; the rest is a hole."""
    with open(path, "wb") as f:
        f.write(head)
        f.truncate(size)
    return path


def standard_header(width, height, bpp=24, pixel_offset=54, info_size=40, compression=0, block=b""):
    info = struct.pack("<IiiHHIIiiII", info_size, width, height, 1, bpp, compression, len(block), 0, 0, 0, 0)
    return b"BM" + struct.pack("<IHHI", 54 + len(block), 0, 0, pixel_offset) + info + block


def main():
    args = sys.argv[1:]
    quick = bool(args) and args[0] == "--quick"
    if quick:
        args = args[1:]
    workdir, exe, prefix = args[0], args[1], args[2:]
    shutil.rmtree(workdir, ignore_errors=True)
    os.makedirs(workdir)
    r = Runner(workdir, exe, prefix)
    under_wine = bool(prefix)

    back = 0x00302010
    big = solid(20, 12, back)
    big[0][0] = 0x00ABCDEF  # top-left, in the last stored row
    big[11][0] = 0x00123456  # bottom-left, in the first stored row
    good = r.file("good.bmp", system_image(big, 3))
    needle = r.file("needle.bin", b"\x10\x20\x30")
    not_found = "-1 -1\n"

    # Files that cannot be read at all: every command says so on one line.
    missing = r.path("missing.bmp")
    directory = r.path("a-directory.bmp")
    os.makedirs(directory)
    unreadable = [("missing", missing, ["missing.bmp"]), ("a directory", directory, ["a-directory.bmp"]),
                  # Opens, then every read fails (EIO): a way that works as root too.
                  ("a file whose reads fail", "/proc/self/mem", ["/proc/self/mem"])]
    for _, path, mentions in unreadable:
        r.check(["info", path], ("error", mentions))
        r.check(["pixel", path, 1, 1], ("error", mentions))
        r.check(["find-colour", path, "0x123456"], ("error", mentions))
        r.check(["find-image", good, path], ("error", mentions))
        r.check(["find-bytes", path, needle], ("error", mentions))

    # Unreadable by its permissions. Root reads anything, so the native tool then runs as nobody;
    # Wine needs its prefix to belong to the user who runs it, so the .exe skips this as root.
    locked = r.file("locked.bmp", system_image(big, 3))
    os.chmod(locked, 0)
    if os.geteuid() != 0:
        r.check(["info", locked], ("error", ["locked.bmp"]))
    elif not under_wine and shutil.which("setpriv"):
        os.chmod(workdir, 0o755)
        r.check(["info", locked], ("error", ["locked.bmp"]), as_user=65534)
        r.check(["find-image", locked, locked], ("error", ["locked.bmp"]), as_user=65534)
    else:
        print("skipped: a file unreadable by its permissions (running as root under Wine, or no setpriv)")

    # Empty: no image, no bytes; each operation's failure value.
    empty = r.file("empty.bmp", b"")
    r.check(["info", empty], (1, "0 0 0 0 0\n"))
    r.check(["pixel", empty, 1, 1], (1, "-1\n"))
    r.check(["find-colour", empty, "0"], (1, not_found))
    r.check(["find-image", good, empty], (1, not_found))
    r.check(["find-image", empty, good], (1, not_found))
    r.check(["find-bytes", empty, needle], (1, "-1\n"))
    r.check(["find-bytes", needle, empty], (1, "-1\n"))

    # Truncated BMPs. A standard one is refused; one in this system's layout is read as far as it
    # goes: its missing top rows hold no pixel.
    standard = standard_bmp(big, 3)
    r.check(["info", r.file("cut-pixels.bmp", standard[:len(standard) - 7])], ("error", ["cut short"]))
    r.check(["info", r.file("cut-header.bmp", standard[:30])], ("error", ["cut short"]))
    cut = r.file("cut-system.bmp", system_image(big, 3)[:58 + 60 * 11])
    r.check(["info", cut], (0, f"20 12 24 {58 + 60 * 11} 3\n"))
    r.check(["pixel", cut, 1, 12], (0, "0x00123456\n"))
    r.check(["pixel", cut, 1, 1], (1, "-1\n"))
    r.check(["find-colour", cut, "0xABCDEF"], (1, not_found))
    r.check(["find-colour", cut, "0x123456"], (0, "1 12\n"))
    r.check(["find-image", cut, cut], (0, "1 12\n"))

    # Lying headers of standard BMPs: refused before anything is sized from them.
    pixels = bytes(8)
    lies = [
        ("65535 x 65535 pixels in 8 bytes", standard_header(65535, 65535, block=pixels), ["cut short"]),
        ("width 0", standard_header(0, 2, block=pixels), ["1 to 65535"]),
        ("width -5", standard_header(-5, 2, block=pixels), ["1 to 65535"]),
        ("height -2147483648", standard_header(2, -2147483648, block=pixels), ["1 to 65535"]),
        ("width 2147483647", standard_header(2147483647, 1, block=pixels), ["1 to 65535"]),
        ("pixels at offset 0xFFFFFFFF", standard_header(2, 1, pixel_offset=0xFFFFFFFF, block=pixels), ["cut short"]),
        ("pixels inside the header", standard_header(2, 1, pixel_offset=10, block=pixels), ["inside its header"]),
        ("run-length compression", standard_header(2, 1, compression=1, block=pixels), ["compress"]),
        ("1 bit per pixel", standard_header(2, 1, bpp=1, block=pixels), ["1 bits"]),
        ("a 124-byte header in 60 bytes", standard_header(2, 1, info_size=124)[:60], ["cut short"]),
    ]
    for name, data, mentions in lies:
        path = r.file(name.replace(" ", "-") + ".bmp", data)
        r.check(["info", path], ("error", mentions))
        r.check(["find-image", good, path], ("error", mentions))
    # A header size nobody writes: not a BMP, so its 62 bytes are taken as they are, and the
    # length rule reads 4 bytes per pixel into them.
    odd = standard_header(2, 1, info_size=0xFFFFFFF0, block=pixels)
    r.check(["info", r.file("odd-header-size.bmp", odd)], (0, "2 1 32 62 4\n"))

    # Lying headers in this system's layout: the readers take the claimed size but never read
    # past the bytes there are.
    liar = bytearray(system_image(solid(4, 2, back), 3))
    struct.pack_into("<ii", liar, 18, 65535, 65535)
    liar = r.file("system-65535.bmp", bytes(liar))
    r.check(["info", liar], (0, f"65535 65535 24 {58 + 12 * 2} 3\n"))
    r.check(["pixel", liar, 1, 1], (1, "-1\n"))
    r.check(["pixel", liar, 65535, 65535], (1, "-1\n"))
    r.check(["find-colour", liar, "0xABCDEF"], (1, not_found))
    r.check(["find-image", liar, good], (1, not_found))
    r.check(["find-image", good, liar], (1, not_found))

    # 1 GB, made sparse at test time and deleted afterwards: all zeros (no image; the byte search
    # walks it all), and the same behind a header that claims 65535 x 65535 at 32 bits.
    try:
        zeros = sparse(r.path("zeros-1g.bin"), GIB)
        r.check(["info", zeros], (1, "0 0 0 0 0\n"))
        if not quick:
            r.check(["find-bytes", zeros, needle], (1, "-1\n"))
        os.remove(zeros)
        head = bytearray(system_image(solid(1, 1, 0), 4)[:58])
        struct.pack_into("<iiHH", head, 18, 65535, 65535, 1, 32)
        claimed = sparse(r.path("claims-65535-1g.bmp"), GIB, bytes(head))
        if not quick:
            r.check(["info", claimed], (0, f"65535 65535 24 {GIB} 3\n"))
            r.check(["find-colour", claimed, "0x123456"], (1, not_found))
        r.check(["find-colour", claimed, "0"], (0, "1 65535\n"))
    finally:
        for name in ("zeros-1g.bin", "claims-65535-1g.bmp"):
            if os.path.exists(r.path(name)):
                os.remove(r.path(name))

    for failure in failures:
        print("FAIL:", failure)
    print(f"{runs} runs of recognise on bad files, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
