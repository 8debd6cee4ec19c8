#!/usr/bin/env python3
"""The English translation's files (Qt Linguist's .ts, one per part of src/).

  translations.py update   gathers the texts inside T("..."), FR("...") and FR_C("...") of src/ and writes
                           translations/<part>.ts, keeping every translation already made; a new text
                           is left unfinished, a text no longer in the sources is dropped.
  translations.py add FILE adds the translations of FILE (a line per text: the French, a tab, the
                           English; \\n, \\t and \\\\ stand for a new line, a tab and a backslash),
                           then updates the files as above.
  translations.py todo     prints the texts without a translation, one per line, escaped as for add.
  translations.py check    lists the texts that have no finished translation (or whose file is not up
                           to date) and fails when there is one.

A text used in several parts is kept in the first part's file (in the order of their names).
"""
import pathlib
import re
import sys
import xml.etree.ElementTree as ET
from xml.sax.saxutils import escape

ROOT = pathlib.Path(__file__).resolve().parent.parent
SRC = ROOT / "src"
OUT = ROOT / "translations"
CONTEXT = "trivo"

CALL = re.compile(r'(?<![A-Za-z0-9_])(?:T|FR|FR_C)\(\s*((?:"(?:[^"\\\n]|\\.)*"\s*)+)\)')
LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
ESCAPES = {"n": "\n", "t": "\t", '"': '"', "\\": "\\", "'": "'", "r": "\r"}


def unescape(body):
    out, i = [], 0
    while i < len(body):
        c = body[i]
        if c == "\\" and i + 1 < len(body):
            nxt = body[i + 1]
            if nxt not in ESCAPES:
                raise ValueError("escape \\%s not handled in %r" % (nxt, body))
            out.append(ESCAPES[nxt])
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def strip_comments(text):
    # Comments may quote texts; string literals may hold "//".
    return re.sub(r'//[^\n]*|/\*.*?\*/|"(?:[^"\\\n]|\\.)*"',
                  lambda m: m.group(0) if m.group(0).startswith('"') else "\n" * m.group(0).count("\n"),
                  text, flags=re.S)


def texts_of_sources():
    """{part: [texts in order of first appearance]}"""
    parts = {}
    for path in sorted(SRC.rglob("*")):
        if path.suffix not in (".cpp", ".h") or not path.is_file():
            continue
        part = path.relative_to(SRC).parts[0]
        if part.endswith((".h", ".in")):
            part = "common"
        code = strip_comments(path.read_text(encoding="utf-8"))
        for call in CALL.finditer(code):
            text = "".join(unescape(m.group(1)) for m in LITERAL.finditer(call.group(1)))
            if text.strip():
                parts.setdefault(part, [])
                if text not in parts[part]:
                    parts[part].append(text)
    return parts


def read_translations():
    done = {}
    for ts in sorted(OUT.glob("*.ts")):
        for message in ET.parse(ts).getroot().iter("message"):
            source = message.findtext("source") or ""
            tr = message.find("translation")
            if tr is not None and tr.get("type") not in ("unfinished", "obsolete", "vanished") and tr.text:
                done.setdefault(source, tr.text)
    return done


def layout(parts):
    """{part: sorted texts}, each text in the first part using it."""
    placed, files = set(), {}
    for part in sorted(parts):
        mine = sorted(t for t in parts[part] if t not in placed)
        placed.update(mine)
        if mine:
            files[part] = mine
    return files


def xml_text(text):
    # A carriage return written as itself would be read back as a plain new line.
    return escape(text).replace("\r", "&#13;")


def render(texts, done):
    lines = ['<?xml version="1.0" encoding="utf-8"?>', "<!DOCTYPE TS>",
             '<TS version="2.1" language="en" sourcelanguage="fr">', "<context>",
             "    <name>%s</name>" % CONTEXT]
    for text in texts:
        lines.append("    <message>")
        lines.append("        <source>%s</source>" % xml_text(text))
        if text in done:
            lines.append("        <translation>%s</translation>" % xml_text(done[text]))
        else:
            lines.append('        <translation type="unfinished"></translation>')
        lines.append("    </message>")
    lines += ["</context>", "</TS>", ""]
    return "\n".join(lines)


def main():
    command = sys.argv[1] if len(sys.argv) > 1 else ""
    files = layout(texts_of_sources())
    done = read_translations()
    if command == "add":
        for line in pathlib.Path(sys.argv[2]).read_text(encoding="utf-8").splitlines():
            if not line.strip():
                continue
            french, english = line.split("\t", 1)
            done[unescape(french)] = unescape(english)
        command = "update"
    if command == "todo":
        for texts in files.values():
            for t in texts:
                if t not in done:
                    print(t.replace("\\", "\\\\").replace("\n", "\\n").replace("\t", "\\t"))
        return 0
    if command == "update":
        OUT.mkdir(exist_ok=True)
        for old in OUT.glob("*.ts"):
            if old.stem not in files:
                old.unlink()
        for part, texts in files.items():
            (OUT / (part + ".ts")).write_text(render(texts, done), encoding="utf-8")
        missing = sum(1 for texts in files.values() for t in texts if t not in done)
        print("%d texts, %d without a translation" % (sum(len(t) for t in files.values()), missing))
        return 0
    if command == "check":
        faults = 0
        for part, texts in files.items():
            path = OUT / (part + ".ts")
            if not path.exists() or path.read_text(encoding="utf-8") != render(texts, done):
                print("%s: not up to date with the sources (scripts/translations.py update)" % path.name)
                faults += 1
            for t in texts:
                if t not in done:
                    print("%s: no English for %r" % (path.name, t))
                    faults += 1
        for old in OUT.glob("*.ts"):
            if old.stem not in files:
                print("%s: no part of the sources uses it" % old.name)
                faults += 1
        print("%d texts, %d faults" % (sum(len(t) for t in files.values()), faults))
        return 1 if faults else 0
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main())
