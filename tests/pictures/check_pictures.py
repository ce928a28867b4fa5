#!/usr/bin/env python3
"""Checks the two pictures of the Windows program's resources.

    check_pictures.py files RES_DIR
        res/board.bmp and res/keypad.bmp are 24-bit BI_RGB BMPs of the right
        sizes; the board's display window is plain dark red and exactly where
        the display painting expects it; the keypad shows 36 distinct keys
        with the right caps and legends. Needs only the standard library.

    check_pictures.py reproducible RES_DIR GENERATOR WORK_DIR
        runs the generator twice into WORK_DIR and compares the outputs with
        each other (deterministic) and with the committed files (up to date).
        Exits 77 (skipped) when no Python with Pillow and the DejaVu fonts is
        found.

Exit code 0 on success, 1 on failure, 77 when skipped.
"""

import filecmp
import os
import shutil
import struct
import subprocess
import sys

SKIPPED = 77

BOARD_SIZE = (540, 498)
KEYPAD_SIZE = (540, 240)
# Display window of the board picture, inclusive bounds, and its colour. The
# whole window is plain: there is no bezel inside it (the picture's bezel is
# drawn round it, outside).
WINDOW = (16, 405, 298, 473)
WINDOW_COLOUR = (34, 2, 2)
WINDOW_TOLERANCE = 4
# Where the program paints its digits: this part must be one exact colour.
DIGITS = (27, 414, 296, 467)

CELL = 60
# Inside a cell: the middle of a key cap's top face, and the legend area above
# the cap (half-open boxes relative to the cell's top left corner).
CAP_FACE = (18, 35, 42, 48)
LEGEND_AREA = (2, 3, 58, 31)


class Failures:
    def __init__(self):
        self.messages = []

    def check(self, ok, message):
        if not ok:
            self.messages.append(message)
        return ok


class Bmp:
    """A 24-bit BI_RGB BMP; pixel(x, y) counts y from the top."""

    def __init__(self, path, fail):
        self.path = path
        self.ok = False
        with open(path, "rb") as f:
            data = f.read()
        name = os.path.basename(path)
        if not fail.check(len(data) >= 54 and data[:2] == b"BM", name + ": not a BMP file"):
            return
        file_size, _, _, offset = struct.unpack_from("<IHHI", data, 2)
        (header_size, width, height, planes, bits, compression,
         image_size, _, _, colours_used, _) = struct.unpack_from("<IiiHHIIiiII", data, 14)
        checks = [
            (file_size == len(data), "file size field %d, actual %d" % (file_size, len(data))),
            (header_size == 40, "info header size %d, expected 40 (BITMAPINFOHEADER)" % header_size),
            (planes == 1, "planes %d" % planes),
            (bits == 24, "%d bits per pixel, expected 24" % bits),
            (compression == 0, "compression %d, expected 0 (BI_RGB)" % compression),
            (height > 0, "height %d: not a bottom-up bitmap" % height),
            (colours_used == 0, "colour table of %d entries" % colours_used),
        ]
        for ok, message in checks:
            fail.check(ok, name + ": " + message)
        if not all(ok for ok, _ in checks):
            return
        self.width, self.height = width, height
        self.stride = (width * 3 + 3) & ~3
        if not fail.check(offset >= 54 and offset + self.stride * height <= len(data),
                          name + ": pixel data at %d does not fit in the file" % offset):
            return
        if image_size:
            fail.check(image_size == self.stride * height,
                       name + ": image size field %d, expected %d" % (image_size, self.stride * height))
        self.data = data
        self.offset = offset
        self.ok = True

    def pixel(self, x, y):
        i = self.offset + (self.height - 1 - y) * self.stride + x * 3
        b, g, r = self.data[i:i + 3]
        return (r, g, b)

    def region(self, x0, y0, x1, y1):
        """Pixels of the half-open box, row by row."""
        return [self.pixel(x, y) for y in range(y0, y1) for x in range(x0, x1)]


def near(a, b, tolerance):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def most_common(pixels):
    counts = {}
    for p in pixels:
        counts[p] = counts.get(p, 0) + 1
    return max(counts.items(), key=lambda kv: (kv[1], kv[0]))[0]


def check_board(path, fail):
    bmp = Bmp(path, fail)
    if not bmp.ok:
        return
    if not fail.check((bmp.width, bmp.height) == BOARD_SIZE,
                      "board.bmp: %d x %d, expected %d x %d" % ((bmp.width, bmp.height) + BOARD_SIZE)):
        return
    x0, y0, x1, y1 = WINDOW
    off = [(x, y, bmp.pixel(x, y)) for y in range(y0, y1 + 1) for x in range(x0, x1 + 1)
           if not near(bmp.pixel(x, y), WINDOW_COLOUR, WINDOW_TOLERANCE)]
    fail.check(not off, "board.bmp: %d pixels of the display window are not dark red, first %s"
               % (len(off), off[:3]))
    dx0, dy0, dx1, dy1 = DIGITS
    digits = set(bmp.region(dx0, dy0, dx1 + 1, dy1 + 1))
    fail.check(len(digits) == 1, "board.bmp: the digits' area has %d colours, expected one: %s"
               % (len(digits), sorted(digits)[:4]))
    # The window ends where it should: the ring of pixels just outside it is
    # something else.
    ring = ([(x, y0 - 1) for x in range(x0 - 1, x1 + 2)] + [(x, y1 + 1) for x in range(x0 - 1, x1 + 2)]
            + [(x0 - 1, y) for y in range(y0, y1 + 1)] + [(x1 + 1, y) for y in range(y0, y1 + 1)])
    inside = [(x, y) for x, y in ring if near(bmp.pixel(x, y), WINDOW_COLOUR, WINDOW_TOLERANCE)]
    fail.check(not inside, "board.bmp: the display window reaches beyond x %d-%d, y %d-%d at %s"
               % (x0, x1, y0, y1, inside[:3]))
    # A picture, not a flat fill: plenty of colours outside the window.
    colours = set(bmp.region(0, 0, bmp.width, y0 - 10))
    fail.check(len(colours) >= 500, "board.bmp: only %d colours above the display" % len(colours))


def is_light_grey(c):
    return min(c) >= 160 and max(c) <= 240 and max(c) - min(c) <= 24


def is_orange(c):
    r, g, b = c
    return r >= 200 and 80 <= g <= 170 and b <= 90


def is_white(c):
    return min(c) >= 236


def check_keypad(path, fail):
    bmp = Bmp(path, fail)
    if not bmp.ok:
        return
    if not fail.check((bmp.width, bmp.height) == KEYPAD_SIZE,
                      "keypad.bmp: %d x %d, expected %d x %d" % ((bmp.width, bmp.height) + KEYPAD_SIZE)):
        return
    ground = most_common(bmp.region(0, 0, bmp.width, bmp.height))
    fail.check(max(ground) <= 100 and max(ground) - min(ground) <= 16,
               "keypad.bmp: the ground %s is not dark grey" % (ground,))
    seen = {}
    for row in range(4):
        for col in range(9):
            x, y = col * CELL, row * CELL
            where = "keypad.bmp: key at grid row %d, column %d" % (row, col)
            face = bmp.region(x + CAP_FACE[0], y + CAP_FACE[1], x + CAP_FACE[2], y + CAP_FACE[3])
            cap = most_common(face)
            fail.check(not near(cap, ground, 24), where + ": no key cap (ground colour)")
            if (row, col) == (0, 0):
                fail.check(is_orange(cap), where + ": RESET cap %s is not orange" % (cap,))
            elif col < 5:
                fail.check(is_light_grey(cap), where + ": function key cap %s is not light grey" % (cap,))
            else:
                fail.check(is_white(cap), where + ": hexadecimal key cap %s is not white" % (cap,))
                dark = sum(1 for p in face if max(p) < 110)
                fail.check(dark >= 12, where + ": no digit printed on the cap (%d dark pixels)" % dark)
            legend = bmp.region(x + LEGEND_AREA[0], y + LEGEND_AREA[1], x + LEGEND_AREA[2], y + LEGEND_AREA[3])
            white = sum(1 for p in legend if min(p) >= 200)
            fail.check(white >= 15, where + ": no white legend above the cap (%d white pixels)" % white)
            key = tuple(legend) + tuple(face)
            if key in seen:
                fail.check(False, where + ": looks the same as the key at grid row %d, column %d" % seen[key])
            seen[key] = (row, col)
    fail.check(len(seen) == 36, "keypad.bmp: %d distinct keys, expected 36" % len(seen))


def files(res_dir):
    fail = Failures()
    for name, check in (("board.bmp", check_board), ("keypad.bmp", check_keypad)):
        path = os.path.join(res_dir, name)
        if fail.check(os.path.isfile(path), "missing " + path):
            check(path, fail)
    return fail


def find_python(generator):
    candidates = [sys.executable, shutil.which("python3"), "/usr/bin/python3"]
    tried = []
    last = "no Python 3 found"
    for py in candidates:
        if not py or py in tried or not os.path.exists(py):
            continue
        tried.append(py)
        result = subprocess.run([py, generator, "--check-deps"],
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if result.returncode == 0:
            return py, tried, ""
        last = result.stdout.decode(errors="replace").strip()
    return None, tried, last


def reproducible(res_dir, generator, work_dir):
    fail = Failures()
    py, tried, why = find_python(generator)
    if py is None:
        print("SKIPPED: no Python with Pillow and the DejaVu fonts (tried %s): %s"
              % (", ".join(tried), why))
        return None
    runs = []
    shutil.rmtree(work_dir, ignore_errors=True)
    for run in ("first", "second"):
        out = os.path.join(work_dir, run)
        os.makedirs(out)
        result = subprocess.run([py, generator, "--out", out],
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if not fail.check(result.returncode == 0, "generator failed (%s run, %s): %s"
                          % (run, py, result.stdout.decode(errors="replace"))):
            return fail
        runs.append(out)
    for name in ("board.bmp", "keypad.bmp"):
        a, b = (os.path.join(r, name) for r in runs)
        fail.check(filecmp.cmp(a, b, shallow=False),
                   "%s: two runs of the generator differ: the output is not deterministic" % name)
        committed = os.path.join(res_dir, name)
        fail.check(os.path.isfile(committed) and filecmp.cmp(a, committed, shallow=False),
                   "%s: the generator's output differs from %s: run %s and commit the result"
                   % (name, committed, generator))
    return fail


def main(argv):
    if len(argv) == 2 and argv[0] == "files":
        fail = files(argv[1])
    elif len(argv) == 4 and argv[0] == "reproducible":
        fail = reproducible(*argv[1:])
        if fail is None:
            return SKIPPED
    else:
        print(__doc__, file=sys.stderr)
        return 2
    for m in fail.messages:
        print("FAIL: " + m)
    if fail.messages:
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
