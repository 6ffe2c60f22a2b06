#!/usr/bin/env python3
"""Checks the generated manual: well-formed RTF (7-bit, balanced groups, valid control words,
one outer group) that holds every chapter and section of the Markdown source.

    check_manual.py MANUAL.rtf SOURCE.md    check the manual
    check_manual.py --self-test             check the converter on awkward input
"""

import os
import re
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import md2rtf  # noqa: E402

CONTROL = re.compile(rb"\\([a-zA-Z]{1,32})(-?\d{1,10})? ?|\\'[0-9a-fA-F]{2}|\\[\\{}~_*-]")
SKIPPED = {b"fonttbl", b"colortbl", b"stylesheet", b"info", b"footer", b"fldinst"}
WORDS = {b"par": "\n", b"line": "\n", b"tab": "\t", b"cell": "\t", b"row": "\n",
         b"bullet": "\u2022", b"endash": "\u2013"}


def structure_faults(data):
    """What makes `data` no well-formed RTF, as a list of texts (empty when it is fine)."""
    faults = []
    if not data.startswith(b"{\\rtf1"):
        faults.append("does not begin with {\\rtf1")
    if any(b > 127 for b in data):
        faults.append("holds bytes outside 7-bit ASCII")
    depth, i, closed_at = 0, 0, None
    while i < len(data):
        c = data[i:i + 1]
        if c == b"\\":
            m = CONTROL.match(data, i)
            if not m:
                faults.append("bad control sequence at byte %d: %r" % (i, data[i:i + 12]))
                return faults
            i = m.end()
            continue
        if c == b"{":
            if closed_at is not None:
                faults.append("text after the document's closing brace")
                return faults
            depth += 1
        elif c == b"}":
            depth -= 1
            if depth < 0:
                faults.append("a closing brace without its group at byte %d" % i)
                return faults
            if depth == 0:
                closed_at = i
        elif closed_at is not None and c not in b"\r\n":
            faults.append("text after the document's closing brace")
            return faults
        i += 1
    if depth != 0:
        faults.append("%d groups left open" % depth)
    return faults


def plain_text(data):
    """The document's visible text: destinations skipped, escapes decoded."""
    out, stack, skip, i = [], [], False, 0
    while i < len(data):
        c = data[i:i + 1]
        if c == b"{":
            stack.append(skip)
            i += 1
            m = CONTROL.match(data, i)
            if m and (m.group(1) in SKIPPED or data[i:i + 2] == b"\\*"):
                skip = True
            continue
        if c == b"}":
            skip = stack.pop() if stack else False
            i += 1
            continue
        if c == b"\\":
            m = CONTROL.match(data, i)
            i = m.end()
            if skip:
                continue
            token = m.group(0)
            if m.group(1) == b"u":
                out.append(chr(int(m.group(2)) & 0xFFFF))
                # The one character readers without Unicode show instead.
                if data[i:i + 1] == b"?":
                    i += 1
                elif data[i:i + 2] == b"\\'":
                    i += 4
            elif m.group(1) in WORDS:
                out.append(WORDS[m.group(1)])
            elif token.startswith(b"\\'"):
                out.append(bytes([int(token[2:4], 16)]).decode("cp1252"))
            elif token[1:2] in b"\\{}":
                out.append(token[1:2].decode())
            continue
        if c not in b"\r\n" and not skip:
            out.append(c.decode("ascii"))
        i += 1
    text = "".join(out)
    # Surrogate pairs written as two \u escapes.
    return text.encode("utf-16", "surrogatepass").decode("utf-16")


def check(rtf_path, md_path):
    with open(rtf_path, "rb") as f:
        data = f.read()
    faults = structure_faults(data)
    if faults:
        return faults
    text = plain_text(data)
    with open(md_path, encoding="utf-8") as f:
        source = f.read().splitlines()
    chapter = section = 0
    for line in source:
        if line.startswith("# "):
            chapter, section = chapter + 1, 0
            wanted = "%d  %s" % (chapter, line[2:].strip())
        elif line.startswith("## "):
            section += 1
            wanted = "%d.%d  %s" % (chapter, section, line[3:].strip())
        else:
            continue
        wanted = wanted.replace("`", "").replace("**", "")
        if wanted not in text:
            faults.append("missing heading: " + wanted)
    if chapter == 0:
        faults.append("the source holds no chapter")
    return faults


def self_test():
    """The converter on text with RTF's special characters, non-ASCII, lists and tables."""
    source = "\n".join([
        "% T{es}t \\ manual",
        "# Ünïcode {braces} and back\\slash",
        "Text with `code {x}` and **bold** and a tab\there, € and 😀.",
        "",
        "- item one",
        "  continued",
        "1. first",
        "",
        "| A | B |",
        "|---|---|",
        "| {1} | \\2 |",
        "",
        "```",
        "{\\rtf1 not a real group",
        "```",
    ])
    with tempfile.TemporaryDirectory() as folder:
        md, rtf = os.path.join(folder, "t.md"), os.path.join(folder, "t.rtf")
        with open(md, "w", encoding="utf-8") as f:
            f.write(source)
        if md2rtf.main(["md2rtf", md, rtf]) != 0:
            return ["the converter failed"]
        faults = check(rtf, md)
        with open(rtf, "rb") as f:
            text = plain_text(f.read())
    for wanted in ["T{es}t \\ manual", "1  Ünïcode {braces} and back\\slash", "code {x}",
                   "tab\there, € and 😀.", "\u2022\titem one continued", "1.\tfirst",
                   "{1}\t\\2\t", "{\\rtf1 not a real group"]:
        if wanted not in text:
            faults.append("converter lost: %r" % wanted)
    # The checker itself must refuse broken documents.
    for broken in [b"{\\rtf1 a", b"{\\rtf1 a}}", b"{\\rtf1 \\9}", b"{\\rtf1 caf\xe9}", b"{x}"]:
        if not structure_faults(broken):
            faults.append("checker accepted %r" % broken)
    return faults


def main(argv):
    if argv[1:] == ["--self-test"]:
        faults = self_test()
    elif len(argv) == 3:
        faults = check(argv[1], argv[2])
    else:
        sys.stderr.write(__doc__)
        return 2
    for fault in faults:
        print("check_manual: " + fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
