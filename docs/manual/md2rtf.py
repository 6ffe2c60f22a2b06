#!/usr/bin/env python3
"""Turns the manual's Markdown source into an RTF document that word processors open.

Understands the subset the manual uses: a "% Title" line, "#", "##" and "###" headings,
paragraphs, "- " bullets, "1. " numbered items, fenced code blocks, pipe tables, `code` and
**bold**. The output is 7-bit ASCII RTF; other characters are written as \\uN escapes followed by their
Windows-1252 byte (or "?") for readers without Unicode.

    md2rtf.py INPUT.md OUTPUT.rtf
"""

import re
import sys

TEXT_WIDTH = 9070  # twips between the margins of an A4 page with 2.5 cm margins
BODY = r"\f0\fs21"
MONO = r"\f1\fs17"


def fallback(ch):
    """The one character a reader without Unicode shows instead: the Windows-1252 byte."""
    try:
        return "\\'%02x" % ch.encode("cp1252")[0]
    except UnicodeEncodeError:
        return "?"


def escape(text):
    out = []
    for ch in text:
        code = ord(ch)
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ch == "\t":
            out.append(r"\tab ")
        elif code < 128:
            out.append(ch)
        elif code > 0xFFFF:  # outside the basic plane: a surrogate pair
            code -= 0x10000
            for unit in (0xD800 + (code >> 10), 0xDC00 + (code & 0x3FF)):
                out.append("\\u%d?" % (unit - 0x10000))
        else:
            out.append("\\u%d%s" % (code if code < 0x8000 else code - 0x10000, fallback(ch)))
    return "".join(out)


def inline(text):
    """Escapes text and renders `code` and **bold** spans."""
    parts = re.split(r"(`[^`]+`|\*\*[^*]+\*\*)", text)
    out = []
    for part in parts:
        if part.startswith("`") and part.endswith("`") and len(part) > 1:
            out.append("{" + MONO.replace("fs17", "fs19") + " " + escape(part[1:-1]) + "}")
        elif part.startswith("**") and part.endswith("**") and len(part) > 3:
            out.append(r"{\b " + escape(part[2:-2]) + "}")
        else:
            out.append(escape(part))
    return "".join(out)


def table_rtf(rows):
    cells = [[c.strip() for c in row.strip().strip("|").split("|")] for row in rows]
    header, body = cells[0], [r for r in cells[2:]]
    count = len(header)
    lengths = [max(len(r[i]) if i < len(r) else 0 for r in [header] + body) for i in range(count)]
    weights = [max(n, 8) for n in lengths]
    total = sum(weights)
    edges, x = [], 0
    for w in weights:
        x += max(900, TEXT_WIDTH * w // total)
        edges.append(x)
    edges[-1] = max(x, TEXT_WIDTH)  # the last column takes what the rounding left
    border = r"\clbrdrt\brdrs\brdrw10\clbrdrl\brdrs\brdrw10\clbrdrb\brdrs\brdrw10\clbrdrr\brdrs\brdrw10"
    out = []
    for index, row in enumerate([header] + body):
        out.append(r"\trowd\trgaph80\trleft0" + (r"\trhdr" if index == 0 else ""))
        for edge in edges:
            out.append(border + (r"\clcbpat3" if index == 0 else "") + r"\cellx%d" % edge)
        out.append("\n")
        for i in range(count):
            text = inline(row[i] if i < len(row) else "")
            if index == 0:
                text = r"{\b " + text + "}"
            out.append(r"\pard\plain\intbl\sb40\sa40" + BODY + r"\fs19 " + text + r"\cell" + "\n")
        out.append(r"\row" + "\n")
    out.append(r"\pard\plain\sa120" + BODY + r"\par" + "\n")
    return "".join(out)


def convert(markdown):
    lines = markdown.replace("\r\n", "\n").split("\n")
    title = "Manual"
    if lines and lines[0].startswith("% "):
        title = lines[0][2:].strip()
        lines = lines[1:]
    chapters = [line[2:].strip() for line in lines if line.startswith("# ")]

    out = [
        r"{\rtf1\ansi\ansicpg1252\deff0\uc1" + "\n",
        r"{\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\fmodern\fcharset0 Courier New;}}" + "\n",
        r"{\colortbl;\red0\green0\blue0;\red31\green73\blue125;\red230\green230\blue230;}" + "\n",
        r"{\stylesheet{\s0" + BODY + r" Normal;}"
        r"{\s1\f0\fs32\b\cf2\sb240\sa180\keepn\outlinelevel0 heading 1;}"
        r"{\s2\f0\fs26\b\cf2\sb240\sa120\keepn\outlinelevel1 heading 2;}"
        r"{\s3\f0\fs22\b\sb180\sa80\keepn\outlinelevel2 heading 3;}}" + "\n",
        r"{\info{\title " + escape(title) + r"}}" + "\n",
        r"\paperw11906\paperh16838\margl1418\margr1418\margt1418\margb1418" + "\n",
        r"{\footer\pard\plain\qc" + BODY + r"\fs18 " + escape(title) + r" \endash  {\field{\*\fldinst PAGE}{\fldrslt 1}}\par}" + "\n",
        r"\pard\plain\qc\sb2400\sa240" + BODY + r"\fs48\b\cf2 " + escape(title) + r"\par" + "\n",
        r"\pard\plain\qc\sa720" + BODY + r"\fs24 Desktop program, command-line program and simulated instrument\par" + "\n",
        r"\pard\plain\s2\f0\fs26\b\cf2\sb240\sa120\keepn Contents\par" + "\n",
    ]
    for number, chapter in enumerate(chapters, 1):
        out.append(r"\pard\plain\li284\sa60" + BODY + " %d.\\tab %s\\par\n" % (number, escape(chapter)))

    chapter = section = 0
    i = 0
    paragraph = []

    def flush():
        if paragraph:
            out.append(r"\pard\plain\s0\sa120" + BODY + " " + inline(" ".join(paragraph)) + r"\par" + "\n")
            paragraph.clear()

    while i < len(lines):
        line = lines[i]
        stripped = line.strip()
        if stripped.startswith("```"):
            flush()
            block = []
            i += 1
            while i < len(lines) and not lines[i].strip().startswith("```"):
                block.append(lines[i])
                i += 1
            i += 1  # the closing fence
            body = r"\line ".join(escape(b) for b in block)
            out.append(r"\pard\plain\li284\sb60\sa160\keep\cbpat3" + MONO + " " + body + r"\par" + "\n")
            continue
        if stripped.startswith("|"):
            flush()
            rows = []
            while i < len(lines) and lines[i].strip().startswith("|"):
                rows.append(lines[i])
                i += 1
            out.append(table_rtf(rows))
            continue
        heading = re.match(r"^(#{1,3}) (.*)$", line)
        if heading:
            flush()
            level, text = len(heading.group(1)), heading.group(2).strip()
            if level == 1:
                chapter, section = chapter + 1, 0
                out.append(r"\pard\plain\s1\f0\fs32\b\cf2\sb240\sa180\keepn\pagebb\outlinelevel0 "
                           "%d  %s\\par\n" % (chapter, inline(text)))
            elif level == 2:
                section += 1
                out.append(r"\pard\plain\s2\f0\fs26\b\cf2\sb240\sa120\keepn\outlinelevel1 "
                           "%d.%d  %s\\par\n" % (chapter, section, inline(text)))
            else:
                out.append(r"\pard\plain\s3\f0\fs22\b\sb180\sa80\keepn\outlinelevel2 " +
                           inline(text) + r"\par" + "\n")
            i += 1
            continue
        item = re.match(r"^(- |(\d+)\. )(.*)$", line)
        if item:
            flush()
            text = [item.group(3).strip()]
            i += 1
            while (i < len(lines) and lines[i].startswith("  ") and lines[i].strip() and
                   not re.match(r"^\s*(- |\d+\. )", lines[i])):
                text.append(lines[i].strip())
                i += 1
            mark = r"\bullet" if item.group(1) == "- " else item.group(2) + "."
            out.append(r"\pard\plain\s0\fi-340\li624\sa60\tx624" + BODY + " " + mark + r"\tab " +
                       inline(" ".join(text)) + r"\par" + "\n")
            continue
        if not stripped:
            flush()
        else:
            paragraph.append(stripped)
        i += 1
    flush()
    out.append("}\n")
    return "".join(out)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], encoding="utf-8") as f:
        rtf = convert(f.read())
    with open(argv[2], "w", encoding="ascii", newline="\r\n") as f:
        f.write(rtf)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
