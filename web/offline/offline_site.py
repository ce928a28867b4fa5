#!/usr/bin/env python3
"""Makes the site folder work offline and installable, as the last step of its build.

    offline_site.py SOURCE_DIR SITE_DIR

Draws the app's icons, writes manifest.webmanifest, and writes sw.js: the
service worker of web/offline/service_worker.js after the list of every file
of the site and the name of its cache, which carries a hash of all of them.
It runs once every other file of the site is there (the compiled core and the
editor bundle come after make_site.py), so that a change to any file makes a
new version.
"""
import hashlib
import json
import sys
from pathlib import Path

from PIL import Image, ImageDraw

WORKER = "sw.js"
MANIFEST = "manifest.webmanifest"
ICON_SIZES = (192, 512)
BOARD_GREEN = (22, 92, 44)
DISPLAY_DARK = (40, 4, 4)
SEGMENT_LIT = (255, 64, 64)
# Each digit's segments a to g as (x, y, width, height) in a 10 x 18 cell, drawn as on the board.
SEGMENTS = {"a": (2, 0, 6, 2), "b": (8, 1, 2, 8), "c": (8, 9, 2, 8), "d": (2, 16, 6, 2),
            "e": (0, 9, 2, 8), "f": (0, 1, 2, 8), "g": (2, 8, 6, 2)}
ICON_DIGITS = ("abcdefg", "abcdef")  # "8" and "0", lit as on the board's display


def draw_icon(size: int) -> Image.Image:
    """The board's display with two lit digits, inside the middle of the icon where a mask keeps it."""
    icon = Image.new("RGB", (size, size), BOARD_GREEN)
    draw = ImageDraw.Draw(icon)
    unit = size / 40  # the display is 28 x 24 units, in the middle 80% that a round mask keeps
    left, top = 6 * unit, 8 * unit
    draw.rounded_rectangle([left, top, left + 28 * unit, top + 24 * unit], radius=2 * unit, fill=DISPLAY_DARK)
    for i, segments in enumerate(ICON_DIGITS):
        x0, y0 = left + (3 + 12 * i) * unit, top + 3 * unit
        for name in segments:
            x, y, w, h = SEGMENTS[name]
            draw.rectangle([x0 + x * unit, y0 + y * unit, x0 + (x + w) * unit - 1, y0 + (y + h) * unit - 1],
                           fill=SEGMENT_LIT)
    return icon


def manifest() -> dict:
    return {
        "name": "Tarvo Emulator",
        "short_name": "Tarvo",
        "description": "The Tarvo Z80 trainer in the browser: its monitor, keypad and display, a CPU view and an "
                       "assembler.",
        "start_url": "./index.html",
        "scope": "./",
        "display": "standalone",
        "background_color": "#f4f4f2",
        "theme_color": "#165c2c",
        "icons": [{"src": f"icon-{size}.png", "sizes": f"{size}x{size}", "type": "image/png", "purpose": "any maskable"}
                  for size in ICON_SIZES],
    }


def site_files(site: Path) -> list:
    """Every file of the site but the worker itself, as paths relative to the site, sorted."""
    return sorted(p.relative_to(site).as_posix() for p in site.rglob("*") if p.is_file() and p.name != WORKER)


def version_of(site: Path, files: list, worker: str) -> str:
    """A hash of the files and of the worker's own code."""
    digest = hashlib.sha256(worker.encode("utf-8"))
    for name in files:
        digest.update(name.encode("utf-8") + b"\0")
        digest.update((site / name).read_bytes())
        digest.update(b"\0")
    return digest.hexdigest()[:16]


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    source, site = Path(sys.argv[1]), Path(sys.argv[2])
    for size in ICON_SIZES:
        draw_icon(size).save(site / f"icon-{size}.png", optimize=True)
    (site / MANIFEST).write_text(json.dumps(manifest(), indent=1) + "\n", encoding="utf-8")
    files = site_files(site)
    needed = {"index.html", "tarvo.js", "tarvo.wasm", "source_editor.js"}
    missing = needed - set(files)
    if missing:
        print(f"offline_site.py: {site} lacks {', '.join(sorted(missing))}: build the rest of the site first",
              file=sys.stderr)
        return 1
    worker = (source / "web" / "offline" / "service_worker.js").read_text(encoding="utf-8")
    header = (f'const CACHE = "tarvo-{version_of(site, files, worker)}";\n'
              f"const FILES = {json.dumps(['./'] + files)};\n")
    (site / WORKER).write_text(header + worker, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
