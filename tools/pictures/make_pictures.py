#!/usr/bin/python3
"""Draws the two pictures of the Windows program's resources.

    res/board.bmp   bitmap 1200: the board's component side, 540 x 498
    res/keypad.bmp  bitmap 1199: the keypad, 540 x 240

Both are written as 24-bit uncompressed (BI_RGB) bottom-up BMP files, the form
that LoadBitmap reads from a resource. The output is deterministic: the same
Pillow and FreeType give the same bytes on every run.

Usage:
    make_pictures.py [--out DIR]    write board.bmp and keypad.bmp into DIR
                                    (default: the repository's res/ folder)
    make_pictures.py --check-deps   exit 0 if Pillow and the fonts are present,
                                    77 otherwise

Needs Python 3 with Pillow and the DejaVu fonts (Debian: python3-pil,
fonts-dejavu-core). The committed pictures are what the build uses; run this
only after changing the drawing.

Shapes are drawn at four times the size and reduced with a box filter, which
gives smooth edges; all text is drawn afterwards at the final size so that it
stays sharp.
"""

import argparse
import importlib
import os
import struct
import sys

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
FONT_FILES = {
    "sans": "DejaVuSans.ttf",
    "sans-bold": "DejaVuSans-Bold.ttf",
    "cond": "DejaVuSansCondensed.ttf",
    "cond-bold": "DejaVuSansCondensed-Bold.ttf",
}

# Geometry shared with the program's display painting: the display window of
# the board picture (inclusive pixel bounds) and its colour.
BOARD_SIZE = (540, 498)
DISPLAY_WINDOW = (16, 405, 298, 473)
DISPLAY_COLOUR = (34, 2, 2)
# The bezel is a black frame drawn round the window, outside it.
BEZEL = 5

KEYPAD_SIZE = (540, 240)
CELL = 60
# Key cap of a 60 x 60 cell, relative to the cell's top left corner, half-open
# [x0, x1) x [y0, y1): the cap's outline including its skirt.
CAP = (14, 32, 46, 54)

SCALE = 4


def font_path(name):
    return os.path.join(FONT_DIR, FONT_FILES[name])


def check_deps():
    missing = []
    try:
        for module in ("PIL.Image", "PIL.ImageDraw", "PIL.ImageFont"):
            importlib.import_module(module)
    except ImportError:
        missing.append("Pillow (Debian package python3-pil)")
    for name in FONT_FILES.values():
        if not os.path.isfile(os.path.join(FONT_DIR, name)):
            missing.append(os.path.join(FONT_DIR, name) + " (Debian package fonts-dejavu-core)")
    return missing


# --------------------------------------------------------------------------
# Output


def write_bmp(img, path):
    """Writes an RGB image as a 24-bit BI_RGB bottom-up BMP."""
    width, height = img.size
    stride = (width * 3 + 3) & ~3
    pad = b"\0" * (stride - width * 3)
    raw = img.convert("RGB").tobytes()
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray(raw[y * width * 3:(y + 1) * width * 3])
        row[0::3], row[2::3] = row[2::3], row[0::3]  # RGB -> BGR
        rows.append(bytes(row) + pad)
    pixels = b"".join(rows)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    # 2835 pixels per metre = 72 dots per inch.
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0,
                              len(pixels), 2835, 2835, 0, 0)
    tmp = path + ".tmp"
    with open(tmp, "wb") as out:
        out.write(file_header + info_header + pixels)
    os.replace(tmp, path)


# --------------------------------------------------------------------------
# Drawing helpers


class Canvas:
    """A picture drawn at SCALE times its size, in final-size coordinates.

    Boxes are half-open: (x0, y0, x1, y1) covers the pixels x0 <= x < x1 and
    y0 <= y < y1, so whole-number boxes come out with sharp edges.
    """

    def __init__(self, size, ground):
        from PIL import Image, ImageDraw
        self.size = size
        self.img = Image.new("RGB", (size[0] * SCALE, size[1] * SCALE), ground)
        self.draw = ImageDraw.Draw(self.img)

    @staticmethod
    def box(x0, y0, x1, y1):
        return (round(x0 * SCALE), round(y0 * SCALE),
                round(x1 * SCALE) - 1, round(y1 * SCALE) - 1)

    def rect(self, b, fill=None, outline=None, width=1):
        self.draw.rectangle(self.box(*b), fill=fill, outline=outline,
                            width=round(width * SCALE))

    def rrect(self, b, radius, fill=None, outline=None, width=1):
        self.draw.rounded_rectangle(self.box(*b), radius=round(radius * SCALE),
                                    fill=fill, outline=outline,
                                    width=round(width * SCALE))

    def circle(self, cx, cy, r, fill=None, outline=None, width=1):
        self.ellipse(cx, cy, r, r, fill, outline, width)

    def ellipse(self, cx, cy, rx, ry, fill=None, outline=None, width=1):
        self.draw.ellipse(self.box(cx - rx, cy - ry, cx + rx, cy + ry),
                          fill=fill, outline=outline, width=round(width * SCALE))

    def pieslice(self, cx, cy, r, start, end, fill):
        self.draw.pieslice(self.box(cx - r, cy - r, cx + r, cy + r), start, end, fill=fill)

    def arc(self, cx, cy, r, start, end, fill, width=1):
        self.draw.arc(self.box(cx - r, cy - r, cx + r, cy + r), start, end,
                      fill=fill, width=round(width * SCALE))

    def line(self, points, fill, width=1):
        pts = [(x * SCALE, y * SCALE) for x, y in points]
        self.draw.line(pts, fill=fill, width=round(width * SCALE), joint="curve")
        # Round the ends too.
        r = width * SCALE / 2
        for x, y in (pts[0], pts[-1]):
            self.draw.ellipse((x - r, y - r, x + r - 1, y + r - 1), fill=fill)

    def polygon(self, points, fill):
        self.draw.polygon([(x * SCALE, y * SCALE) for x, y in points], fill=fill)

    def finish(self):
        from PIL import Image
        return self.img.resize(self.size, Image.BOX)


class Fonts:
    def __init__(self):
        from PIL import ImageFont
        self._cache = {}
        self._mod = ImageFont

    def __call__(self, name, size):
        key = (name, size)
        if key not in self._cache:
            self._cache[key] = self._mod.truetype(
                font_path(name), size, layout_engine=self._mod.Layout.BASIC)
        return self._cache[key]


def text(draw, xy, s, font, fill, anchor="mm"):
    draw.text(xy, s, font=font, fill=fill, anchor=anchor)


def shade(colour, f):
    return tuple(max(0, min(255, round(c * f))) for c in colour)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


# --------------------------------------------------------------------------
# The board


MASK = (18, 92, 52)          # green solder mask over bare board
MASK_COPPER = (44, 140, 80)  # solder mask over copper on this side
MASK_BOTTOM = (24, 102, 59)  # copper of the other side, seen faintly through
SILK = (236, 238, 228)       # silkscreen
TIN = (196, 198, 190)        # tinned pads
TIN_DARK = (112, 116, 110)
LEG = (172, 174, 170)
GOLD = (214, 172, 70)
GOLD_LIGHT = (240, 208, 120)
CHIP = (30, 30, 33)
CHIP_EDGE = (60, 60, 64)
CHIP_TEXT = (200, 200, 196)
TABLE = (44, 44, 48)         # what shows beyond the board's rounded corners

# Resistor colour bands.
BLACK, BROWN, RED, ORANGE = (20, 20, 20), (112, 62, 30), (200, 40, 30), (232, 120, 20)
VIOLET, BAND_GOLD = (130, 60, 160), (196, 166, 60)


def chamfer(points, cut):
    """Cuts each corner of a polyline at 45 degrees, up to `cut` pixels."""
    out = [points[0]]
    for i in range(1, len(points) - 1):
        (x0, y0), (x1, y1), (x2, y2) = points[i - 1], points[i], points[i + 1]
        d1 = max(abs(x1 - x0), abs(y1 - y0))
        d2 = max(abs(x2 - x1), abs(y2 - y1))
        if d1 == 0 or d2 == 0:
            continue
        a = min(cut, d1 / 2, d2 / 2)
        out.append((x1 - a * (x1 - x0) / d1, y1 - a * (y1 - y0) / d1))
        out.append((x1 + a * (x2 - x1) / d2, y1 + a * (y2 - y1) / d2))
    out.append(points[-1])
    return out


def dip_pads(x, yc, pins, wide=True):
    """Pad centres of a DIP lying left to right: (lower row, upper row), left to right."""
    n = pins // 2
    half_rows = 15 if wide else 7.5
    xs = [x + 4.5 + i * 5 for i in range(n)]
    return [(px, yc + half_rows) for px in xs], [(px, yc - half_rows) for px in xs]


# Where the parts sit.  Chips: (left end of body, centre line, pins, wide).
U1 = (24, 86, 40, True)     # Z80 CPU
U2 = (160, 86, 24, True)    # ROM
U3 = (254, 86, 24, True)    # RAM
U4 = (348, 86, 24, True)    # empty socket for more RAM
U11 = (434, 104, 14, False)  # clock oscillator inverter
ROW2 = 168
U6 = (36, ROW2, 16, False)
U7 = (104, ROW2, 14, False)
U8 = (178, ROW2, 14, False)
U9 = (248, ROW2, 20, False)
U12 = (328, ROW2, 20, False)
U5 = (24, 243, 40, True)    # 8255 PPI
U13 = (156, 243, 20, False)
RN1 = (292, 290, 16, False)  # segment resistors
U14 = (360, 348, 14, False)  # tape interface
FINGER_X0, FINGERS, FINGER_PITCH = 220, 22, 13


def digit_centres():
    return [16 + 44 * i + (16 if i >= 4 else 0) + 27 for i in range(6)]


class Board:
    def __init__(self):
        self.c = Canvas(BOARD_SIZE, TABLE)
        self.texts = []  # (xy, string, font name, size, colour, anchor)
        self.used = set()  # pads that a drawn trace already reaches

    # Text is collected and drawn after the reduction.
    def label(self, x, y, s, size=9, fill=SILK, font="cond-bold", anchor="mm"):
        self.texts.append(((x, y), s, font, size, fill, anchor))

    def pad(self, x, y, r=1.5, square=False):
        if square:
            self.c.rect((x - r, y - r, x + r, y + r), fill=TIN)
        else:
            self.c.circle(x, y, r, fill=TIN)
        self.c.circle(x, y, r * 0.45, fill=TIN_DARK)

    def via(self, x, y):
        self.c.circle(x, y, 1.7, fill=MASK_COPPER)
        self.c.circle(x, y, 0.8, fill=(64, 84, 66))

    def trace(self, points, width=1.4, cut=2.0, colour=MASK_COPPER):
        self.c.line(chamfer(points, cut), colour, width)

    def use(self, *pads):
        for p in pads:
            self.used.add((round(p[0] * 2), round(p[1] * 2)))

    def is_used(self, p):
        return (round(p[0] * 2), round(p[1] * 2)) in self.used

    # --- parts ---------------------------------------------------------

    def dip(self, chip, name, ref, socket=False):
        """A DIP chip lying left to right, pin 1 at the lower left."""
        x, yc, pins, wide = chip
        low, high = dip_pads(*chip)
        n = pins // 2
        length = n * 5 + 4
        half_rows = 15 if wide else 7.5
        half_body = 11 if wide else 5
        c = self.c
        # silkscreen outline with the notch at pin 1's end
        m = 3.5
        c.rect((x - 3, yc - half_rows - m, x + length + 3, yc + half_rows + m),
               outline=SILK, width=1)
        c.arc(x - 3, yc, 3, 270, 90, SILK, 1)
        for px, py in low + high:
            self.pad(px, py)
        if socket:
            # An empty socket: dark frame, the contacts showing.
            dark = (34, 34, 36)
            c.rect((x - 1, yc - half_rows - 2.5, x + length + 1, yc + half_rows + 2.5), fill=dark)
            c.rect((x + 3, yc - half_rows + 3, x + length - 3, yc + half_rows - 3), fill=MASK)
            c.rect((x + 3, yc - 1.5, x + length - 3, yc + 1.5), fill=dark)
            for i in range(1, 4):
                xx = x + length * i / 4
                c.rect((xx - 1, yc - half_rows + 3, xx + 1, yc + half_rows - 3), fill=dark)
            for px, py in low + high:
                c.circle(px, py, 1.6, fill=GOLD)
                c.circle(px, py, 0.8, fill=(60, 50, 20))
            c.rect((x - 1, yc - 2.5, x + 1.5, yc + 2.5), fill=MASK)
        else:
            for px, py in low:
                c.rect((px - 0.8, yc + half_body, px + 0.8, py), fill=LEG)
            for px, py in high:
                c.rect((px - 0.8, py, px + 0.8, yc - half_body), fill=LEG)
            c.rect((x, yc - half_body, x + length, yc + half_body), fill=CHIP)
            c.rect((x, yc - half_body, x + length, yc - half_body + 1), fill=CHIP_EDGE)
            c.pieslice(x, yc, 2.5, 270, 90, fill=(12, 12, 14))
            if wide:
                c.circle(x + 5, yc + half_body - 4, 1.4, fill=(50, 50, 54))
            if name:
                self.label(x + length / 2 + 1, yc, name, 11 if wide else 9, CHIP_TEXT)
        self.label(x - 4, yc - half_rows - m - 5, ref, 8, anchor="lm")
        return low, high

    def resistor(self, a, b, bands, ref=None, ref_pos=None):
        """An axial resistor between the pads a and b (a horizontal or vertical line)."""
        c = self.c
        (x0, y0), (x1, y1) = a, b
        c.line([a, b], LEG, 1)
        self.pad(x0, y0, 1.8)
        self.pad(x1, y1, 1.8)
        mx, my = (x0 + x1) / 2, (y0 + y1) / 2
        vertical = x0 == x1
        body = (mx - 2.8, my - 7, mx + 2.8, my + 7) if vertical else (mx - 7, my - 2.8, mx + 7, my + 2.8)
        c.rrect(body, 2.6, fill=(214, 188, 140))
        for i, col in enumerate(bands):
            o = -5 + i * 2.6 + (1.2 if i == 3 else 0)
            if vertical:
                c.rect((mx - 2.8, my + o, mx + 2.8, my + o + 1.4), fill=col)
            else:
                c.rect((mx + o, my - 2.8, mx + o + 1.4, my + 2.8), fill=col)
        if ref:
            self.label(ref_pos[0], ref_pos[1], ref, 8)

    def disc_cap(self, x, y, ref, ref_pos, colour=(220, 150, 40)):
        """A ceramic disc capacitor standing upright, seen from above."""
        self.pad(x - 4, y, 1.6)
        self.pad(x + 4, y, 1.6)
        self.c.rrect((x - 5.5, y - 2.4, x + 5.5, y + 2.4), 2.4, fill=colour)
        self.c.rrect((x - 4.5, y - 1.8, x + 4.5, y - 0.8), 0.5, fill=mix(colour, (255, 255, 255), 0.35))
        self.label(ref_pos[0], ref_pos[1], ref, 8)

    def electrolytic(self, x, y, r, ref, ref_pos):
        c = self.c
        c.circle(x, y, r + 1.5, outline=SILK, width=1)
        c.circle(x, y, r, fill=(30, 44, 96))
        c.pieslice(x, y, r, 200, 250, fill=(170, 180, 206))  # the minus stripe
        c.circle(x, y, r - 1.6, fill=(176, 178, 182))
        c.circle(x, y, r - 2.6, fill=(198, 200, 204))
        c.line([(x - r * 0.45, y), (x + r * 0.45, y)], (150, 152, 156), 0.9)
        c.line([(x, y - r * 0.45), (x, y + r * 0.45)], (150, 152, 156), 0.9)
        self.label(x + r + 3, y - r + 1, "+", 9)
        self.label(ref_pos[0], ref_pos[1], ref, 8)

    def transistor(self, x, y, ref, ref_pos):
        """A TO-92 transistor seen from above, flat side down; pads at y + 1."""
        for dx in (-2.6, 0, 2.6):
            self.pad(x + dx, y + 1, 1.3)
        c = self.c
        c.pieslice(x, y + 2, 5, 180, 360, fill=(26, 26, 28))
        c.rect((x - 5, y + 1.5, x + 5, y + 3), fill=(26, 26, 28))
        c.rect((x - 4.5, y - 2.6, x + 4.5, y - 1.8), fill=(48, 48, 52))
        c.arc(x, y + 2, 6.5, 180, 360, SILK, 1)
        c.rect((x - 6.5, y + 3.5, x + 6.5, y + 4.5), fill=SILK)
        self.label(ref_pos[0], ref_pos[1], ref, 8)

    def crystal(self, x, y, ref, ref_pos):
        c = self.c
        self.pad(x - 5, y, 1.8)
        self.pad(x + 5, y, 1.8)
        c.rrect((x - 12, y - 4.5, x + 12, y + 4.5), 4.5, fill=(176, 180, 186))
        c.rrect((x - 11, y - 3.5, x + 11, y + 3.5), 3.5, fill=(204, 208, 212))
        c.rrect((x - 9, y - 3, x + 9, y - 1.5), 0.8, fill=(236, 238, 240))
        self.label(ref_pos[0], ref_pos[1], ref, 8)

    def led(self, x, y, ref, ref_pos, colour=(220, 30, 30)):
        c = self.c
        c.arc(x, y, 5, 110, 430, SILK, 1)
        c.rect((x - 4.5, y + 4, x + 4.5, y + 5), fill=SILK)
        c.circle(x, y, 3.6, fill=shade(colour, 0.7))
        c.circle(x, y, 2.6, fill=colour)
        c.circle(x - 1, y - 1, 1.0, fill=mix(colour, (255, 255, 255), 0.6))
        self.label(ref_pos[0], ref_pos[1], ref, 8)

    def sip(self, x, y, pins, ref, ref_pos):
        """A resistor network in a single-in-line package, pin 1 at the left."""
        c = self.c
        for i in range(pins):
            self.pad(x + 2.5 + i * 5, y + 1.5, 1.4, square=(i == 0))
        length = pins * 5
        c.rrect((x, y - 4, x + length, y), 1.2, fill=(200, 170, 60))
        c.rect((x + 0.5, y - 4, x + length - 0.5, y - 3), fill=(226, 200, 110))
        c.circle(x + 2.5, y - 1.8, 0.9, fill=(90, 70, 20))
        self.label(ref_pos[0], ref_pos[1], ref, 8)

    # --- the whole board ------------------------------------------------

    def draw(self):
        c = self.c
        W, H = BOARD_SIZE
        # The board with rounded corners on the table.
        c.rrect((0, 0, W, H), 9, fill=MASK)
        c.rrect((0, 0, W, H), 9, outline=(12, 66, 36), width=1)

        self.traces()
        self.stubs()
        self.mounting_holes()
        self.power_section()
        self.edge_connector()
        self.logic()
        self.display_section()
        self.title_block()
        self.io_section()

    def mounting_holes(self):
        c = self.c
        for x, y in ((10, 10), (530, 10), (10, 489), (530, 489)):
            c.circle(x, y, 6.5, fill=(206, 200, 168))
            c.circle(x, y, 5.2, fill=(176, 168, 132))
            c.circle(x, y, 3.4, fill=(22, 22, 24))

    def traces(self):
        t = self.trace
        fingers = [FINGER_X0 + 4 + i * FINGER_PITCH for i in range(FINGERS)]

        # Expansion connector to the ROM's upper pins.
        _, u2_high = dip_pads(*U2)
        for i in range(8):
            y = 35 + 3 * i
            t([(fingers[i], 18), (fingers[i], y), (u2_high[i][0], y), u2_high[i]])
            self.use(u2_high[i])
        # Expansion connector to the socket's upper pins, converging at 45 degrees.
        _, u4_high = dip_pads(*U4)
        for k in range(8):
            xf, (xd, yd) = fingers[9 + k], u4_high[k]
            ys = 62 - abs(xd - xf)
            t([(xf, 18), (xf, ys), (xd, 62), (xd, yd)], cut=0)
            self.use(u4_high[k])
        # The remaining fingers end in vias just below the connector.
        for i in list(range(8, 9)) + list(range(17, FINGERS)):
            y = 30 + (i % 3) * 5
            t([(fingers[i], 18), (fingers[i], y)])
            self.via(fingers[i], y)

        # CPU to PPI round the left edge.
        _, u1_high = dip_pads(*U1)
        _, u5_high = dip_pads(*U5)
        for i in range(6):
            src, dst = u1_high[i], u5_high[5 - i]
            yt, xv, yb = 64 - 2.5 * i, 19 - 2.5 * i, 204 + 2.5 * i
            t([src, (src[0], yt), (xv, yt), (xv, yb), (dst[0], yb), dst])
            self.use(src, dst)

        # The system bus: every chip of the first row drops its lower pins to
        # vias; the other side of the board joins them.
        levels = [106 + 2.6 * k for k in range(8)]
        spans = {}
        for chip in (U1, U2, U3, U4):
            low, _ = dip_pads(*chip)
            for i, p in enumerate(low):
                if chip is U1 and i >= 16:
                    continue
                k = i % 8
                t([p, (p[0], levels[k])])
                spans.setdefault(k, []).append(p[0])
                self.use(p)
        for k, xs in spans.items():
            self.trace([(min(xs), levels[k]), (max(xs) + 12, levels[k])], 1.2, colour=MASK_BOTTOM)
        for k, xs in spans.items():
            for x in xs:
                self.via(x, levels[k])

        # Data buffer down to the PPI's driver.
        u9_low, _ = dip_pads(*U9)
        _, u13_high = dip_pads(*U13)
        for i in range(8):
            src, dst = u9_low[i], u13_high[2 + i]
            y = 188 + 3 * i
            t([src, (src[0], y), (dst[0], y), dst])
            self.use(src, dst)
        # Decoder outputs up to the chip selects of the first row.
        u6_low, u6_high = dip_pads(*U6)
        for i, chip in enumerate((U2, U3, U4)):
            low, _ = dip_pads(*chip)
            src = u6_high[5 + i]
            dst_x = low[-1][0] + 6
            y = 132 + 4 * i
            t([src, (src[0], y), (dst_x, y), (dst_x, 112)], 1.2)
            self.via(dst_x, 112)
            self.use(src)

        # PPI to the digit drivers and to the segment resistors.
        u5_low, _ = dip_pads(*U5)
        centres = digit_centres()
        for k in range(6):
            src = u5_low[k]
            xb = centres[k] - 10
            y = 296 - 3 * k
            t([src, (src[0], y), (xb, y), (xb, 302)])
            self.use(src)
        rn_low, rn_high = dip_pads(*RN1)
        for i in range(8):
            src, dst = u5_low[12 + i], rn_high[i]
            y = 276 - 2 * i
            t([src, (src[0], y), (dst[0], y), dst])
            self.use(src, dst)
        # Segment lines from the resistors into the display, under its bezel.
        for i in range(8):
            src = rn_low[i]
            if i < 2:
                t([src, (src[0], 404)])
            else:
                y = 410 + 7 * (i - 2)
                t([src, (src[0], y), (300, y)])
            self.use(src)
        # Digit lines: base resistors, transistors, collectors into the display.
        for x in centres:
            t([(x - 10, 322), (x - 10, 327), (x - 2.6, 334), (x - 2.6, 335)], 1.2)
            t([(x + 2.6, 335), (x + 2.6, 404)], 1.6)
            t([(x, 335), (x, 344)], 1.2)
            self.via(x, 344)

        # Keypad header up to vias.
        for i in range(10):
            x = 378 + i * 5.3
            y = 448 - (i % 3) * 4
            t([(x, 472), (x, y)], 1.2)
            self.via(x, y)

        # Power: jack, diode, regulator, and the supply round the board.
        t([(54, 17), (62, 17)], 2.2)
        t([(86, 17), (86, 42), (134, 42)], 2.2)
        t([(144, 42), (144, 48), (3.5, 48), (3.5, 396)], 2.6, cut=4)
        t([(144, 48), (156, 48)], 2.6)
        self.via(156, 48)
        t([(536.5, 40), (536.5, 282)], 2.6)
        self.via(536.5, 40)
        self.via(536.5, 282)
        self.via(3.5, 396)

    def stubs(self):
        """Short traces from the pads no route has reached yet, down to vias."""
        for n, chip in enumerate((U6, U7, U8, U9, U12, U11, U13, U5, U14)):
            low, high = dip_pads(*chip)
            for i, p in enumerate(low + high):
                if self.is_used(p) or (i * 5 + n * 3) % 7 in (0, 3):
                    continue
                up = p in high
                length = 4 + (i + n) % 3 * 2.5
                y = p[1] - length if up else p[1] + length
                self.trace([p, (p[0], y)], 1.2)
                self.via(p[0], y)

    def power_section(self):
        c = self.c
        # Barrel jack at the top edge: the plug goes in from above.
        c.rect((22, 0, 54, 34), fill=(24, 24, 26))
        c.rect((22, 0, 54, 2), fill=(40, 40, 44))
        c.rect((24, 4, 52, 32), fill=(32, 32, 35))
        c.circle(38, 10, 7, fill=(14, 14, 16))
        c.circle(38, 10, 2, fill=(180, 182, 180))
        self.label(38, 40, "9V DC", 9)
        self.label(14, 27, "J3", 8)
        # Reverse-polarity diode.
        c.line([(62, 17), (86, 17)], LEG, 1)
        self.pad(62, 17, 2)
        self.pad(86, 17, 2)
        c.rrect((67, 14, 81, 20), 2, fill=(28, 28, 30))
        c.rect((77, 14, 79, 20), fill=(200, 200, 200))
        self.label(74, 8, "D1", 8)
        self.electrolytic(102, 24, 9, "C1", (102, 39))
        # Regulator on its heatsink.
        c.rect((120, 3, 158, 32), fill=(188, 192, 196))
        for i in range(8):
            c.rect((121 + i * 4.6, 3, 123.2 + i * 4.6, 32), fill=(150, 154, 158))
        c.rect((127, 10, 151, 28), fill=(210, 212, 214))
        c.circle(139, 15, 2.2, fill=(80, 80, 84))
        c.rect((127, 20, 151, 36), fill=(26, 26, 28))
        for dx in (-5, 0, 5):
            c.rect((139 + dx - 0.8, 36, 139 + dx + 0.8, 42), fill=LEG)
            self.pad(139 + dx, 42, 1.8)
        self.label(139, 28.5, "7805", 8, CHIP_TEXT)
        self.label(162, 8, "U10", 8, anchor="lm")
        self.electrolytic(176, 26, 6.5, "C2", (176, 40))
        self.led(200, 20, "PWR", (200, 32))

    def edge_connector(self):
        c = self.c
        x0, n, pitch = FINGER_X0, FINGERS, FINGER_PITCH
        for i in range(n):
            x = x0 + i * pitch
            c.rect((x, 0, x + 8, 20), fill=GOLD)
            c.rect((x + 1, 0, x + 3, 19), fill=GOLD_LIGHT)
            c.rect((x, 18, x + 8, 20), fill=shade(GOLD, 0.8))
        c.rect((x0 - 6, 22, x0 + n * pitch + 2, 23), fill=SILK)
        self.label(x0 + 4, 28, "1", 8)
        self.label(x0 + (n - 1) * pitch + 4, 28, str(n * 2 - 1), 8)
        self.label(x0 + n * pitch / 2 + 40, 29, "J1  EXPANSION BUS", 9)

    def logic(self):
        # First row: processor and memory.
        self.dip(U1, "Z80 CPU", "U1")
        self.dip(U2, "ROM 2K", "U2")
        self.dip(U3, "RAM 4K", "U3")
        self.dip(U4, "", "U4  RAM EXPANSION", socket=True)
        # Clock.
        self.crystal(464, 74, "X1", (442, 74))
        self.label(464, 63, "4.000 MHz", 8)
        self.dip(U11, "74LS04", "U11")
        self.disc_cap(500, 58, "C8", (500, 50))
        self.disc_cap(512, 86, "C9", (512, 78))
        # Second row: glue logic.
        self.dip(U6, "74LS138", "U6")
        self.dip(U7, "74LS32", "U7")
        self.dip(U8, "74LS74", "U8")
        self.dip(U9, "74LS245", "U9")
        self.dip(U12, "74LS244", "U12")
        for i, chip in enumerate((U6, U7, U8, U9, U12)):
            x = chip[0] - 12
            self.disc_cap(x + 4, ROW2 - 22, "C%d" % (3 + i), (x + 4, ROW2 - 30), (70, 110, 190))
        self.resistor((420, 152), (448, 152), [BROWN, BLACK, RED, BAND_GOLD], "R15", (434, 145))
        self.resistor((420, 168), (448, 168), [BROWN, BLACK, ORANGE, BAND_GOLD], "R16", (434, 178))
        self.electrolytic(472, 162, 7, "C10", (472, 178))
        self.disc_cap(506, 148, "C11", (506, 140))
        self.transistor(506, 168, "Q7", (521, 170))
        # Third row: the PPI and its helpers.
        self.dip(U5, "8255 PPI", "U5")
        self.dip(U13, "74LS244", "U13")
        self.sip(214, 230, 9, "RN2", (236, 220))
        self.disc_cap(142, 222, "C12", (142, 214), (70, 110, 190))

    def display_section(self):
        c = self.c
        self.dip(RN1, "8x330R", "RN1")
        for i, x in enumerate(digit_centres()):
            self.resistor((x - 10, 302), (x - 10, 322), [BROWN, BLACK, RED, BAND_GOLD],
                          "R%d" % (1 + i), (x - 18, 312))
            self.transistor(x, 334, "Q%d" % (1 + i), (x + 12, 337))
        # The display modules under a black bezel, with their outline printed round it.
        x0, y0, x1, y1 = DISPLAY_WINDOW
        b = BEZEL
        c.rect((x0 - b - 2, y0 - b - 2, x1 + 1 + b + 2, y1 + 1 + b + 2), outline=SILK, width=1)
        self.label(104, y1 + b + 11, "ADDRESS", 8)
        self.label(190, y1 + b + 11, "DS1-DS6", 8)
        self.label(274, y1 + b + 11, "DATA", 8)
        c.rect((x0 - b, y0 - b, x1 + 1 + b, y1 + 1 + b), fill=(18, 18, 20))
        c.rect((x0 - b, y0 - b, x1 + 1 + b, y0 - b + 1), fill=(66, 66, 70))
        c.rect((x0 - b, y0 - b, x0 - b + 1, y1 + 1 + b), fill=(46, 46, 50))
        c.rect((x0 - 1, y0 - 1, x1 + 2, y1 + 2), fill=(6, 6, 7))

    def title_block(self):
        c = self.c
        c.rect((318, 204, 528, 260), outline=SILK, width=1)
        c.rect((320, 206, 526, 258), outline=SILK, width=1)
        self.label(423, 224, "TARVO Z80 TRAINER", 17, font="sans-bold")
        self.label(423, 246, "MICROPROCESSOR TRAINING BOARD   REV 1.0", 8)

    def io_section(self):
        c = self.c
        # Tape interface: two 3.5 mm jacks at the right edge.
        for name, y in (("TAPE IN", 304), ("TAPE OUT", 340)):
            c.rect((512, y - 9, 540, y + 9), fill=(26, 26, 28))
            c.rect((536, y - 6, 540, y + 6), fill=(40, 40, 44))
            c.circle(536, y, 3.2, fill=(10, 10, 12))
            self.label(494, y, name, 8)
        self.resistor((368, 290), (396, 290), [BROWN, BLACK, ORANGE, BAND_GOLD], "R7", (382, 283))
        self.resistor((368, 304), (396, 304), [ORANGE, ORANGE, BROWN, BAND_GOLD], "R8", (382, 314))
        self.disc_cap(420, 296, "C13", (420, 288))
        self.transistor(446, 300, "Q8", (446, 315))
        # Buzzer.
        c.circle(486, 392, 15, outline=SILK, width=1)
        c.circle(486, 392, 13, fill=(24, 24, 26))
        c.circle(486, 392, 11, fill=(34, 34, 37))
        c.circle(486, 392, 2.5, fill=(8, 8, 8))
        self.label(486, 416, "SP1", 8)
        # The single-step and halt lamps.
        self.led(380, 390, "LD2", (380, 402), (230, 40, 30))
        self.led(404, 390, "LD3", (404, 402), (40, 200, 60))
        self.label(392, 378, "STEP  HALT", 8)
        # Keypad header at the bottom edge: a shrouded 2 x 10 header.
        x0, y0 = 370, 464
        c.rect((x0 - 4, y0 - 2, x0 + 66, y0 + 26), outline=SILK, width=1)
        c.rect((x0, y0, x0 + 62, y0 + 22), fill=(22, 22, 24))
        c.rect((x0 + 2, y0 + 3, x0 + 60, y0 + 19), fill=(36, 36, 40))
        c.rect((x0 + 26, y0 + 19, x0 + 36, y0 + 22), fill=(22, 22, 24))
        for i in range(10):
            for j in range(2):
                px, py = x0 + 8 + i * 5.3, y0 + 8 + j * 6
                c.rect((px - 1.2, py - 1.2, px + 1.2, py + 1.2), fill=GOLD)
        self.label(x0 + 31, y0 - 9, "J2  KEYPAD", 9)
        self.label(x0 - 9, y0 + 11, "1", 8)
        self.disc_cap(470, 470, "C14", (470, 462))
        self.dip(U14, "74LS14", "U14")
        self.disc_cap(440, 356, "C16", (440, 348))
        self.electrolytic(504, 456, 7, "C15", (504, 472))

    def render(self, fonts):
        from PIL import ImageDraw
        self.draw()
        img = self.c.finish()
        d = ImageDraw.Draw(img)
        for xy, s, font, size, fill, anchor in self.texts:
            text(d, xy, s, fonts(font, size), fill, anchor)
        # The display window itself: one plain colour, drawn last so that
        # nothing can stray into it.
        d.rectangle(DISPLAY_WINDOW, fill=DISPLAY_COLOUR)
        return img


# --------------------------------------------------------------------------
# The keypad


GROUND = (58, 58, 62)
LEGEND = (255, 255, 255)
CAP_FUNCTION = (206, 206, 200)
CAP_RESET = (236, 120, 28)
CAP_HEX = (250, 250, 246)
CAP_TEXT = (22, 22, 24)

FUNCTION_LEGENDS = [
    ["RESET", "MOVE", "INS", "SBR", "PC"],
    ["MONI", "RELA", "DEL", "CBR", "REG"],
    ["INTR", "TAPE WR", "STEP", "\u2212", "DATA"],
    ["USER KEY", "TAPE RD", "GO", "+", "ADDR"],
]
HEX_KEYS = [
    [("C", "SZ\u00b7H"), ("D", "\u00b7PNC"), ("E", "SZ\u00b7H\u2032"), ("F", "\u00b7PNC\u2032")],
    [("8", "IX"), ("9", "IY"), ("A", "SP"), ("B", "I\u00b7IF")],
    [("4", "AF\u2032"), ("5", "BC\u2032"), ("6", "DE\u2032"), ("7", "HL\u2032")],
    [("0", "AF"), ("1", "BC"), ("2", "DE"), ("3", "HL")],
]


def keypad_cap(c, col, row, colour):
    x0, y0 = col * CELL, row * CELL
    l, t, r, b = x0 + CAP[0], y0 + CAP[1], x0 + CAP[2], y0 + CAP[3]
    # soft shadow on the panel
    c.rrect((l - 1, t + 1, r + 1.5, b + 2), 4, fill=shade(GROUND, 0.6))
    c.rrect((l, t + 1, r + 1, b + 1), 4, fill=shade(GROUND, 0.4))
    # the skirt, darker below and lighter above
    c.rrect((l, t, r, b), 4, fill=shade(colour, 0.62))
    c.rrect((l, t, r, b - 2), 4, fill=shade(colour, 0.86))
    # the top face, lit from above
    fl, ft, fr, fb = l + 2, t + 1.5, r - 2, b - 4
    c.rrect((fl, ft, fr, fb), 3, fill=colour)
    c.rrect((fl + 1, ft, fr - 1, ft + 1), 1, fill=mix(colour, (255, 255, 255), 0.55))
    return ((fl + fr) / 2, (ft + fb) / 2)


def draw_keypad(fonts):
    from PIL import ImageDraw
    W, H = KEYPAD_SIZE
    c = Canvas(KEYPAD_SIZE, GROUND)
    # A faint frame round the hexadecimal block, printed on the panel.
    c.rrect((5 * CELL + 3, 3, W - 3, H - 3), 5, outline=(96, 96, 102), width=1)
    c.rrect((3, 3, 5 * CELL - 3, H - 3), 5, outline=(96, 96, 102), width=1)
    faces = {}
    for row in range(4):
        for col in range(9):
            if col < 5:
                colour = CAP_RESET if (row, col) == (0, 0) else CAP_FUNCTION
            else:
                colour = CAP_HEX
            faces[(row, col)] = keypad_cap(c, col, row, colour)
    img = c.finish()
    d = ImageDraw.Draw(img)

    single = fonts("cond-bold", 13)
    double = fonts("cond-bold", 11)
    sign = fonts("sans-bold", 20)
    digit = fonts("sans-bold", 14)
    second = fonts("cond-bold", 13)

    def legend(col, row, s, font=single):
        cx = col * CELL + 30
        base = row * CELL + 27  # baseline of the lowest line, above the cap
        lines = s.split(" ") if font is double else [s]
        for i, part in enumerate(reversed(lines)):
            text(d, (cx, base - i * 12), part, font, LEGEND, "ms")

    for row in range(4):
        for col in range(5):
            s = FUNCTION_LEGENDS[row][col]
            if s in ("\u2212", "+"):
                text(d, (col * CELL + 30, row * CELL + 28), s, sign, LEGEND, "ms")
            elif " " in s:
                legend(col, row, s, double)
            else:
                legend(col, row, s)
        for k in range(4):
            key, second_legend = HEX_KEYS[row][k]
            col = 5 + k
            legend(col, row, second_legend, second)
            fx, fy = faces[(row, col)]
            text(d, (round(fx), round(fy)), key, digit, CAP_TEXT, "mm")
    return img


# --------------------------------------------------------------------------


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.normpath(os.path.join(here, "..", "..", "res"))
    parser = argparse.ArgumentParser(description="Draw res/board.bmp and res/keypad.bmp.")
    parser.add_argument("--out", default=default_out, help="output folder (default: %(default)s)")
    parser.add_argument("--check-deps", action="store_true",
                        help="only check that Pillow and the fonts are present")
    args = parser.parse_args(argv)

    missing = check_deps()
    if args.check_deps or missing:
        for m in missing:
            print("make_pictures: missing " + m, file=sys.stderr)
        return 77 if missing else 0

    fonts = Fonts()
    os.makedirs(args.out, exist_ok=True)
    write_bmp(Board().render(fonts), os.path.join(args.out, "board.bmp"))
    write_bmp(draw_keypad(fonts), os.path.join(args.out, "keypad.bmp"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
