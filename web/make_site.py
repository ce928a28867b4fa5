#!/usr/bin/env python3
"""Puts the web page's static files together in the site folder.

    make_site.py SOURCE_DIR SITE_DIR

Beside the compiled tarvo.js and tarvo.wasm (written there by the build), it
converts the board and keypad pictures from res/*.bmp to PNG, copies the
monitor image, the example programs (HEX files and their sources) with a list
of them (examples.json, the descriptions taken from examples/README.md), the
exercise files (exercises/NN-name/exercise.json as exercises/NN-name.json,
listed with their titles in exercises.json; not the solutions), and the page
itself from web/, with the help panel's sections of monitor/README.md
put into index.html.
"""
import json
import re
import shutil
import sys
from pathlib import Path

from PIL import Image

from markdown_sections import MarkdownError, sections_html

PAGE_FILES = ("index.html", "tarvo.css")
# The place in index.html for the help panel's part of the monitor's README.
HELP_MARKER = "<!-- the help sections of monitor/README.md -->"
HELP_SECTIONS = ["Keys", "Memory map", "A worked example"]
SCRIPT_SUFFIX = ".js"


def example_descriptions(readme: Path) -> dict:
    """The table rows `| `name` | what it shows |` of the examples' README."""
    rows = {}
    for line in readme.read_text(encoding="utf-8").splitlines():
        m = re.match(r"\|\s*`([A-Za-z0-9_-]+)`\s*\|\s*(.+?)\s*\|\s*$", line)
        if m:
            rows[m.group(1)] = m.group(2)
    return rows


def copy_exercises(source: Path, site: Path) -> None:
    """Each exercises/NN-name/exercise.json as NN-name.json, and their list with titles, in order."""
    exercises = site / "exercises"
    exercises.mkdir(exist_ok=True)
    listed = []
    for exercise in sorted(source.glob("exercises/*/exercise.json")):
        name = exercise.parent.name + ".json"
        try:
            title = json.loads(exercise.read_text(encoding="utf-8"))["title"]
        except (ValueError, KeyError) as error:
            raise MarkdownError(f"{exercise}: no title to list it by ({error})") from None
        shutil.copyfile(exercise, exercises / name)
        listed.append({"file": name, "title": title})
    (exercises / "exercises.json").write_text(json.dumps(listed, indent=1) + "\n", encoding="utf-8")


def page_with_help(page: str, readme: Path) -> str:
    """index.html with the help sections of the README where its marker stands."""
    if page.count(HELP_MARKER) != 1:
        raise MarkdownError(f"index.html: the marker {HELP_MARKER} must stand there once")
    help_html = sections_html(readme.read_text(encoding="utf-8"), HELP_SECTIONS, str(readme), "help-", 3)
    return page.replace(HELP_MARKER, help_html)


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    source, site = Path(sys.argv[1]), Path(sys.argv[2])
    site.mkdir(parents=True, exist_ok=True)

    for name in ("board", "keypad"):
        with Image.open(source / "res" / f"{name}.bmp") as picture:
            picture.convert("RGB").save(site / f"{name}.png", optimize=True)

    (site / "tarvo").mkdir(exist_ok=True)
    shutil.copyfile(source / "monitor" / "tarvo-rom.bin", site / "tarvo" / "tarvo-rom.bin")

    examples = site / "examples"
    examples.mkdir(exist_ok=True)
    descriptions = example_descriptions(source / "examples" / "README.md")
    listed = []
    for hex_file in sorted((source / "examples").glob("*.hex")):
        shutil.copyfile(hex_file, examples / hex_file.name)
        entry = {"file": hex_file.name, "about": descriptions.get(hex_file.stem, "")}
        program = hex_file.with_suffix(".asm")
        if program.exists():  # the source the editor opens
            shutil.copyfile(program, examples / program.name)
            entry["source"] = program.name
        listed.append(entry)
    (examples / "examples.json").write_text(json.dumps(listed, indent=1) + "\n", encoding="utf-8")

    web = source / "web"
    for page_file in list(PAGE_FILES) + sorted(p.name for p in web.glob("*" + SCRIPT_SUFFIX)):
        shutil.copyfile(web / page_file, site / page_file)
    try:
        copy_exercises(source, site)
        page = page_with_help((web / "index.html").read_text(encoding="utf-8"), source / "monitor" / "README.md")
    except MarkdownError as error:
        print(f"make_site.py: {error}", file=sys.stderr)
        return 1
    (site / "index.html").write_text(page, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
