#!/usr/bin/python3
"""Cuts the Song face the program carries in its resources (ui/fonts/).

Run from the repository root:   /usr/bin/python3 tools/assets/make_song_face.py
(`make assets` runs it; Debian's interpreter has fontTools, another python3 on PATH may not).

Debian packages: python3-fonttools, fonts-noto-cjk (Noto Serif CJK SC), qt6-translations-l10n.

The source is Noto Serif CJK SC Regular and Bold, cut down to every character the
program can put on screen by itself: the strings of the Designer forms, the string
literals of ui/, calc/ and app/, the few texts of Qt's own Chinese translation the
windows show, ASCII, the full-width forms, the ideographic space, Ω and μ, and the
accented letters of English. Text a user pastes beyond that is drawn by the
system's CJK fonts through Qt's fallback.

The cut is a Modified Version under the SIL Open Font License 1.1, so it gets a
family name of its own ("Noto" is a trademark, "Source" a reserved name) and keeps
the copyright, licence and credits in its name table; ui/fonts/OFL.txt carries the
notice and the licence text beside it. The output is byte-for-byte reproducible
with the same package versions; the build never runs this script.
"""
import gzip
import os
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

from fontTools import subset
from fontTools.ttLib import TTFont

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OUT = os.path.join(ROOT, "ui", "fonts")

NOTO = "/usr/share/fonts/opentype/noto/"
FACES = [  # (collection, output file, style)
    (NOTO + "NotoSerifCJK-Regular.ttc", "FeroluneSong-Regular.otf", "Regular"),
    (NOTO + "NotoSerifCJK-Bold.ttc", "FeroluneSong-Bold.otf", "Bold"),
]
SC_FAMILY = "Noto Serif CJK SC"
FAMILY = "Ferolune Song"
CHINESE_FAMILY = "宋体"
PS_FAMILY = "FeroluneSong"

NOTO_COPYRIGHT = "/usr/share/doc/fonts-noto-cjk/copyright"
QT_TRANSLATION = "/usr/share/qt6/translations/qtbase_zh_CN.qm"
# The texts of Qt's Chinese translation that the program's windows show: the
# message boxes' OK button, and the text boxes' context menu with its shortcuts.
QT_TEXTS = {
    "QPlatformTheme": ["OK"],
    "QLineEdit": ["&Undo", "&Redo", "Cu&t", "&Copy", "&Paste", "Delete", "Select All"],
    "QShortcut": ["Ctrl", "Shift", "+", "Del"],
}

SOURCE_DIRS = ["ui", "calc", "app"]


# The accented letters of fontconfig's English orthography (café, naïve,
# señor). With them fontconfig counts the face as one for English, Qt's font
# database as one for Latin, and Qt then draws the Greek units and the Chinese
# captions with the engine it made for the Latin text of the same size, instead
# of making another engine of the same face and size for each script.
ENGLISH_ACCENTS = "ÀÇÈÉÊËÏÑÔÖàçèéêëïñôö"


def fixed_characters():
    """What any text box may show without the user pasting anything unusual:
    ASCII, the full-width forms a Chinese input method types, the ideographic
    space, the units, and the few accented letters English takes."""
    chars = {chr(c) for c in range(0x20, 0x7F)}
    chars |= {chr(c) for c in range(0xFF01, 0xFF5F)}
    chars |= {"\u3000", "\u03A9", "\u03BC"}
    chars |= set(ENGLISH_ACCENTS)
    return chars


# Screen readers speak these; nothing draws them, so a character the source
# face lacks there (the banner's superscript 6 and 9) is left to the system.
SPOKEN_PROPERTIES = {"accessibleName", "accessibleDescription"}


def form_strings():
    """Every <string> of the Designer forms: captions, titles, tooltips, accessible
    names and descriptions; returns (drawn texts, spoken-only texts)."""
    drawn, spoken = [], []
    for dirpath, _, files in sorted(os.walk(os.path.join(ROOT, "ui"))):
        for name in sorted(files):
            if not name.endswith(".ui"):
                continue
            tree = ET.parse(os.path.join(dirpath, name))
            for prop in tree.iter("property"):
                target = spoken if prop.get("name") in SPOKEN_PROPERTIES else drawn
                target += [s.text for s in prop.iter("string") if s.text]
            for item in tree.iter():
                if item.tag != "property":
                    drawn += [s.text for s in item.findall("string") if s.text]
    return drawn, spoken


LITERAL = re.compile(r"""
    //[^\n]*                                 # line comment
  | /\*.*?\*/                                # block comment
  | (?:u8|u|U|L)?R"([^(\s]*)\((.*?)\)\1"     # raw string
  | (?:u8|u|U|L)?"((?:\\.|[^"\\\n])*)"       # string
  | (?:u8|u|U|L)?'((?:\\.|[^'\\\n])*)'       # character
""", re.S | re.X)

ESCAPE = re.compile(r"\\(u[0-9A-Fa-f]{4}|U[0-9A-Fa-f]{8}|x[0-9A-Fa-f]+|[0-7]{1,3}|.)", re.S)
SIMPLE_ESCAPES = {"n": "\n", "t": "\t", "r": "\r", "0": "\0", "a": "\a", "b": "\b", "f": "\f", "v": "\v"}


def unescape(body):
    def one(m):
        e = m.group(1)
        if e[0] in "uU" and len(e) > 1:
            return chr(int(e[1:], 16))
        if e[0] == "x":
            return chr(int(e[1:], 16))
        if e[0] in "01234567":
            return chr(int(e, 8))
        return SIMPLE_ESCAPES.get(e, e)
    return ESCAPE.sub(one, body)


def code_strings():
    """The string and character literals of the C++ sources (comments skipped)."""
    texts = []
    for top in SOURCE_DIRS:
        for dirpath, _, files in sorted(os.walk(os.path.join(ROOT, top))):
            for name in sorted(files):
                if not name.endswith((".cpp", ".h")):
                    continue
                with open(os.path.join(dirpath, name), encoding="utf-8") as f:
                    source = f.read()
                for m in LITERAL.finditer(source):
                    if m.group(2) is not None:
                        texts.append(m.group(2))
                    elif m.group(3) is not None:
                        texts.append(unescape(m.group(3)))
                    elif m.group(4) is not None:
                        texts.append(unescape(m.group(4)))
    return texts


def qm_messages(path):
    """(context, source) -> translation for every message of a Qt .qm file."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:16] != bytes.fromhex("3cb86418caef9c95cd211cbf60a1bddd"):
        sys.exit(f"{path}: not a Qt translation file")
    sections, pos = {}, 16
    while pos < len(data):
        tag, length = data[pos], struct.unpack(">I", data[pos + 1:pos + 5])[0]
        sections[tag] = data[pos + 5:pos + 5 + length]
        pos += 5 + length
    messages, record, block, pos = {}, {}, sections[0x69], 0
    while pos < len(block):
        tag = block[pos]
        pos += 1
        if tag == 1:  # end of a message
            if "translation" in record:
                messages[(record.get("context", ""), record.get("source", ""))] = record["translation"]
            record = {}
            continue
        if tag == 5:  # obsolete, no payload
            continue
        length = struct.unpack(">I", block[pos:pos + 4])[0]
        pos += 4
        if length == 0xFFFFFFFF:
            continue
        payload = block[pos:pos + length]
        pos += length
        if tag == 3:
            record.setdefault("translation", payload.decode("utf-16-be"))
        elif tag == 6:
            record["source"] = payload.decode("utf-8")
        elif tag == 7:
            record["context"] = payload.decode("utf-8")
    return messages


def qt_strings():
    messages = qm_messages(QT_TRANSLATION)
    texts = []
    for context, sources in QT_TEXTS.items():
        for source in sources:
            if (context, source) not in messages:
                sys.exit(f"{QT_TRANSLATION} has no translation of {context} '{source}'")
            texts.append(messages[(context, source)])
    return texts


def printable(texts):
    return {c for text in texts for c in text if c >= " " and c != "\x7f"}


def wanted_characters():
    """(characters the face must have, characters it should have if the source does)"""
    drawn, spoken = form_strings()
    chars = fixed_characters() | printable(drawn + code_strings() + qt_strings())
    return chars, printable(spoken) - chars


def ofl_text():
    """The licence text as Debian ships it with the fonts, unfolded from its
    copyright file."""
    with open(NOTO_COPYRIGHT, encoding="utf-8") as f:
        lines = f.read().splitlines()
    start = len(lines) - lines[::-1].index("License: SIL-1.1")
    body = []
    for line in lines[start:]:
        if not line.startswith(" "):
            break
        body.append("" if line.strip() == "." else line[1:])
    return "\n".join(body).strip("\n") + "\n"


def debian_copyright():
    """The Copyright field of the fonts' paragraph in Debian's copyright file."""
    with open(NOTO_COPYRIGHT, encoding="utf-8") as f:
        paragraph = f.read().split("\nFiles: *\n", 1)[1]
    return re.search(r"^Copyright: (.*)$", paragraph, re.M).group(1)


def open_sc_face(collection):
    for index in range(16):
        font = TTFont(collection, fontNumber=index, recalcTimestamp=False, lazy=False)
        if font["name"].getDebugName(1) == SC_FAMILY:
            return font
    sys.exit(f"{collection} holds no {SC_FAMILY}")


def rename(font, style, count):
    name = font["name"]
    version = name.getDebugName(5)
    original = name.getDebugName(4)
    ps_name = f"{PS_FAMILY}-{style}"
    new = {
        1: FAMILY,
        2: style,
        3: f"{version.split(';')[0].replace('Version ', '')};{ps_name}",
        4: f"{FAMILY} {style}",
        6: ps_name,
        10: (f"{original}, cut down to the {count} characters Ferolune shows by its "
             f"tools/assets/make_song_face.py: a Modified Version under the SIL Open Font "
             f"License 1.1. {name.getDebugName(10) or ''}").strip(),
    }
    for record in list(name.names):
        if record.nameID in (16, 17, 21, 22):
            name.removeNames(nameID=record.nameID)
    for name_id, text in new.items():
        name.removeNames(nameID=name_id)
        name.setName(text, name_id, 3, 1, 0x409)
    # Its Chinese family name is the generic 宋体 ("Song face") the forms ask for,
    # so Qt finds the program's face under that name straight away rather than
    # failing, sorting the system's fallbacks and then trying the stand-ins.
    name.setName(CHINESE_FAMILY, 1, 3, 1, 0x804)
    name.setName(style, 2, 3, 1, 0x804)

    cff = font["CFF "].cff
    old_ps = cff.fontNames[0]
    cff.fontNames = [ps_name]
    top = cff.topDictIndex[0]
    for key in ("FullName", "FamilyName"):
        if hasattr(top, key):
            setattr(top, key, new[4] if key == "FullName" else FAMILY)
    for fd in getattr(top, "FDArray", []) or []:
        if getattr(fd, "FontName", "").startswith(old_ps):
            fd.FontName = ps_name + fd.FontName[len(old_ps):]


def main():
    drawn, spoken = wanted_characters()
    os.makedirs(OUT, exist_ok=True)
    notice = None
    for collection, file_name, style in FACES:
        font = open_sc_face(collection)
        cmap = font.getBestCmap()
        missing = sorted(c for c in drawn if ord(c) not in cmap)
        if missing:
            sys.exit(f"{SC_FAMILY} {style} lacks " + " ".join(f"U+{ord(c):04X}" for c in missing))
        unspoken = sorted(c for c in spoken if ord(c) not in cmap)
        if unspoken:
            print(f"{SC_FAMILY} {style} lacks, in accessible texts only: "
                  + " ".join(f"U+{ord(c):04X}" for c in unspoken))
        chars = drawn | (spoken - set(unspoken))
        options = subset.Options()
        options.name_IDs = ["*"]
        options.notdef_outline = True
        options.recalc_timestamp = False
        subsetter = subset.Subsetter(options)
        subsetter.populate(unicodes=sorted(ord(c) for c in chars))
        subsetter.subset(font)
        rename(font, style, len(chars))
        notice = notice or font["name"].getDebugName(0)
        path = os.path.join(OUT, file_name)
        font.save(path, reorderTables=True)
        languages = subprocess.run(["fc-query", "--format=%{lang}", path], check=True,
                                   capture_output=True, text=True).stdout.split("|")
        if "en" not in languages:
            sys.exit(f"{path}: fontconfig does not count it as a face for English; "
                     f"its English orthography wants more than ENGLISH_ACCENTS")
        print(f"{os.path.relpath(path, ROOT)}: {len(chars)} characters, {os.path.getsize(path)} bytes")

    with open(os.path.join(OUT, "OFL.txt"), "w", encoding="utf-8") as f:
        f.write(f"{FAMILY} (FeroluneSong-Regular.otf, FeroluneSong-Bold.otf) is a Modified Version of\n"
                f"{SC_FAMILY} Regular and Bold, cut down to the characters Ferolune shows.\n\n"
                f"{notice}\n"
                f"Copyright {debian_copyright()} (as Debian's fonts-noto-cjk states it).\n"
                f"Noto is a trademark of Google Inc.\n\n"
                f"This Font Software is licensed under the SIL Open Font License, Version 1.1:\n\n")
        f.write(ofl_text())
    print(f"{os.path.relpath(os.path.join(OUT, 'OFL.txt'), ROOT)}")


if __name__ == "__main__":
    main()
