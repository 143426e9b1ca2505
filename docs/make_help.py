#!/usr/bin/python3
"""Turns the user guide (a small subset of Markdown: headings, paragraphs,
lists, pipe tables, `code` and **bold**) into the help page shipped beside
the program.

usage: make_help.py GUIDE.md OUTPUT.html [LANGUAGE]   (the page's language tag, en by default)
"""

import html
import re
import sys


def inline(text):
    text = html.escape(text, quote=False)
    text = re.sub(r"`([^`]+)`", r"<code>\1</code>", text)
    text = re.sub(r"\*\*([^*]+)\*\*", r"<strong>\1</strong>", text)
    return re.sub(r"\*([^*]+)\*", r"<em>\1</em>", text)


def cells(row):
    return [inline(c.strip()) for c in row.strip().strip("|").split("|")]


def convert(lines):
    out, paragraph, items, table = [], [], [], []

    def flush():
        if paragraph:
            out.append("<p>%s</p>" % inline(" ".join(paragraph)))
            paragraph.clear()
        if items:
            out.append("<ul>\n%s\n</ul>" % "\n".join("<li>%s</li>" % inline(i) for i in items))
            items.clear()
        if table:
            head, body = table[0], [r for r in table[2:]]
            rows = ["<tr>%s</tr>" % "".join("<th>%s</th>" % c for c in cells(head))]
            rows += ["<tr>%s</tr>" % "".join("<td>%s</td>" % c for c in cells(r)) for r in body]
            out.append("<table>\n%s\n</table>" % "\n".join(rows))
            table.clear()

    title = "Quorvel"
    for line in lines:
        line = line.rstrip("\n")
        heading = re.match(r"(#{1,3}) (.*)", line)
        if heading:
            flush()
            level = len(heading.group(1))
            if level == 1:
                title = heading.group(2)
            out.append("<h%d>%s</h%d>" % (level, inline(heading.group(2)), level))
        elif line.startswith("|"):
            if paragraph or items:
                flush()
            table.append(line)
        elif line.startswith("- "):
            if paragraph or table:
                flush()
            items.append(line[2:])
        elif line.startswith("  ") and items:
            items[-1] += " " + line.strip()
        elif not line.strip():
            flush()
        else:
            if items or table:
                flush()
            paragraph.append(line.strip())
    flush()
    return title, "\n".join(out)


STYLE = """body{font-family:"Segoe UI","Microsoft YaHei",sans-serif;max-width:46em;margin:2em auto;padding:0 1em;
line-height:1.5;color:#222}h1{font-size:1.6em}h2{font-size:1.25em;margin-top:1.6em;border-bottom:1px solid #ddd}
code{background:#f2f2f2;padding:0 .25em}table{border-collapse:collapse}th,td{border:1px solid #ccc;
padding:.25em .6em;text-align:left}"""


def main(arguments):
    if len(arguments) not in (2, 3):
        print(__doc__)
        return 2
    language = arguments[2] if len(arguments) == 3 else "en"
    with open(arguments[0], encoding="utf-8") as source:
        title, body = convert(source.readlines())
    page = ('<!DOCTYPE html>\n<html lang="%s">\n<head>\n<meta charset="utf-8">\n<title>%s</title>\n'
            "<style>%s</style>\n</head>\n<body>\n%s\n</body>\n</html>\n") % (language, html.escape(title), STYLE, body)
    with open(arguments[1], "w", encoding="utf-8", newline="\r\n") as target:
        target.write(page)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
