#!/usr/bin/env python3
"""Writes help.rtf, the help page of the programmer, from the Russian text in tools/help.txt.

The text uses a small markup: "# " a title, "## " a heading, "- " a bullet item, "1. " a numbered
item, **bold**, `code` (kept exactly, spaces included); paragraphs are separated by blank lines.
The result is RTF with \\ansicpg1251: Cyrillic as \\'hh escapes, anything outside Windows-1251
as \\uN with a "?" fallback, so the file itself is plain ASCII.

    tools/make_help_rtf.py [tools/help.txt [help.rtf]]
"""

import pathlib
import re
import sys

HEADER = (
    "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049"
    "{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}{\\f1\\fmodern\\fcharset204 Courier New;}}\r\n"
    "{\\colortbl;\\red0\\green0\\blue128;\\red128\\green0\\blue0;\\red0\\green96\\blue0;}\r\n"
    "{\\*\\generator make_help_rtf;}\\viewkind4\\uc1\r\n"
)
BODY = "\\f0\\fs22"
BOLD = re.compile(r"\*\*([^*\s](?:[^*]*[^*\s])?)\*\*")


def escape(text):
    out = []
    for ch in text:
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ord(ch) < 0x80:
            out.append(ch)
        else:
            try:
                out.append("\\'%02x" % ch.encode("cp1251")[0])
            except UnicodeEncodeError:
                code = ord(ch)
                out.append("\\u%d?" % (code - 65536 if code > 32767 else code))
    return "".join(out)


def inline(text):
    """Bold and code spans; code spans are taken verbatim."""
    out = []
    for i, part in enumerate(text.split("`")):
        if i % 2:
            out.append("{\\f1\\cf3 " + escape(part) + "}")
            continue
        pos = 0
        for match in BOLD.finditer(part):
            out.append(escape(part[pos:match.start()]))
            out.append("{\\b " + escape(match.group(1)) + "}")
            pos = match.end()
        out.append(escape(part[pos:]))
    return "".join(out)


def paragraphs(source):
    block = []
    for line in source.splitlines():
        starts_item = line.startswith(("- ", "# ", "## ")) or re.match(r"\d+\. ", line)
        if not line.strip() or starts_item:
            if block:
                yield " ".join(block)
                block = []
        if line.strip():
            block.append(line.strip())
    if block:
        yield " ".join(block)


def convert(source):
    out = [HEADER]
    for para in paragraphs(source):
        if para.startswith("# "):
            out.append("\\pard\\qc\\sa240{\\b\\fs36\\cf1 %s}\\par\r\n" % inline(para[2:]))
        elif para.startswith("## "):
            out.append("\\pard\\sb240\\sa120\\keepn{\\b\\fs26\\cf2 %s}\\par\r\n" % inline(para[3:]))
        elif para.startswith("- "):
            out.append("\\pard\\li480\\fi-240\\sa60 %s \\bullet  %s\\par\r\n" % (BODY, inline(para[2:])))
        elif re.match(r"\d+\. ", para):
            number, rest = para.split(" ", 1)
            out.append("\\pard\\li480\\fi-300\\sa60 %s %s  %s\\par\r\n" % (BODY, number, inline(rest)))
        else:
            out.append("\\pard\\sb60\\sa120\\qj %s %s\\par\r\n" % (BODY, inline(para)))
    out.append("}\r\n")
    return wrap("".join(out))


def wrap(rtf, width=96):
    """Breaks long lines before a backslash or after a space; line ends in RTF are not text."""
    lines = []
    for line in rtf.split("\r\n"):
        while len(line) > width:
            cut = max(line.rfind("\\", 0, width), line.rfind(" ", 0, width) + 1)
            while cut > 0 and line[cut - 1] == "\\":  # never split an escaped backslash
                cut = max(line.rfind("\\", 0, cut - 1), line.rfind(" ", 0, cut - 1) + 1)
            if cut <= 0:
                break
            lines.append(line[:cut])
            line = line[cut:]
        lines.append(line)
    return "\r\n".join(lines)


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    source = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else root / "tools" / "help.txt"
    target = pathlib.Path(sys.argv[2]) if len(sys.argv) > 2 else root / "help.rtf"
    target.write_bytes(convert(source.read_text(encoding="utf-8")).encode("ascii"))


if __name__ == "__main__":
    main()
