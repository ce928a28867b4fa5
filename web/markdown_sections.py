"""Named sections of a Markdown file as HTML, for the page's help panel.

A section is a `## Title` heading and what follows it up to the next heading
of any level. The Markdown our READMEs write is all that is read: paragraphs,
pipe tables, numbered and bulleted lists (continued by indented lines),
code blocks indented by four spaces, and inline `code`, **bold** and
[links](address). Anything else is a paragraph's text.
"""
import html
import re

HEADING = re.compile(r"^(#+)\s+(.*)$")
TABLE_RULE = re.compile(r"^\|?\s*:?-+:?\s*(\|\s*:?-+:?\s*)*\|?\s*$")
LIST_ITEM = re.compile(r"^(\d+\.|-)\s+(.*)$")


class MarkdownError(ValueError):
    """A section that is missing, or a table whose rows do not match its header."""


def inline(text: str) -> str:
    """Escapes the text and turns `code`, **bold** and [text](address) into HTML."""
    out = []
    for i, part in enumerate(re.split(r"(`[^`]*`)", text)):
        if i % 2:
            out.append("<code>" + html.escape(part[1:-1]) + "</code>")
            continue
        part = html.escape(part, quote=False)
        part = re.sub(r"\*\*(.+?)\*\*", r"<strong>\1</strong>", part)
        part = re.sub(r"\[([^\]]+)\]\(([^)\s]+)\)", r'<a href="\2">\1</a>', part)
        out.append(part)
    return "".join(out)


def cells(line: str) -> list:
    return [c.strip() for c in line.strip().strip("|").split("|")]


def table(lines: list, where: str, first_line: int) -> str:
    head = cells(lines[0])
    rows = []
    for n, line in enumerate(lines[2:], start=first_line + 2):
        row = cells(line)
        if len(row) != len(head):
            raise MarkdownError(f"{where}, line {n}: a table row of {len(row)} cells under a header of {len(head)}")
        rows.append("<tr>" + "".join(f"<td>{inline(c)}</td>" for c in row) + "</tr>")
    header = "<tr>" + "".join(f"<th>{inline(c)}</th>" for c in head) + "</tr>"
    return f"<table><thead>{header}</thead><tbody>{''.join(rows)}</tbody></table>"


def blocks_html(lines: list, where: str, first_line: int) -> str:
    """The body of one section, whose first line is line first_line of the file."""
    out = []
    i = 0
    while i < len(lines):
        line = lines[i]
        if not line.strip():
            i += 1
        elif line.startswith("    "):
            code = []
            while i < len(lines) and (lines[i].startswith("    ") or not lines[i].strip()):
                code.append(lines[i][4:])
                i += 1
            out.append("<pre><code>" + html.escape("\n".join(code).rstrip("\n")) + "</code></pre>")
        elif line.startswith("|") and i + 1 < len(lines) and TABLE_RULE.match(lines[i + 1]):
            start = i
            while i < len(lines) and lines[i].startswith("|"):
                i += 1
            out.append(table(lines[start:i], where, first_line + start))
        elif LIST_ITEM.match(line):
            numbered = LIST_ITEM.match(line).group(1) != "-"
            items = []
            while i < len(lines) and (LIST_ITEM.match(lines[i]) or lines[i].startswith("  ")):
                m = LIST_ITEM.match(lines[i])
                if m:
                    items.append(m.group(2))
                else:
                    items[-1] += " " + lines[i].strip()
                i += 1
            tag = "ol" if numbered else "ul"
            out.append(f"<{tag}>" + "".join(f"<li>{inline(t)}</li>" for t in items) + f"</{tag}>")
        else:
            text = []
            while i < len(lines) and lines[i].strip() and not lines[i].startswith(("|", "    ")):
                text.append(lines[i].strip())
                i += 1
            out.append("<p>" + inline(" ".join(text)) + "</p>")
    return "\n".join(out)


def sections_html(markdown: str, titles: list, where: str, id_prefix: str, level: int) -> str:
    """The sections with these titles, in this order, each as a <section> with
    the id id_prefix + the title in lower case with dashes, headed <h{level}>."""
    lines = markdown.splitlines()
    found = {}
    for n, line in enumerate(lines):
        m = HEADING.match(line)
        if m and len(m.group(1)) == 2:
            end = next((k for k in range(n + 1, len(lines)) if HEADING.match(lines[k])), len(lines))
            found[m.group(2).strip()] = (n + 2, lines[n + 1:end])
    out = []
    for title in titles:
        if title not in found:
            raise MarkdownError(f"{where}: no section \"## {title}\"")
        section_id = id_prefix + re.sub(r"[^a-z0-9]+", "-", title.lower()).strip("-")
        first_line, body_lines = found[title]
        body = blocks_html(body_lines, where, first_line)
        out.append(f'<section id="{section_id}">\n<h{level}>{inline(title)}</h{level}>\n{body}\n</section>')
    return "\n".join(out)
