#!/usr/bin/python3
"""The Windows resources of Ferolune.exe as Explorer shows them: the .res that windres
compiled from app/ferolune.rc.in, read back by windres itself as a resource script,
and the icon in it held against ui/assets/ferolune.ico as Pillow reads that.

  resource_test.py WINDRES RES_FILE ICO_FILE VERSION DISPLAY_VERSION

RES_FILE may be Ferolune.exe itself, whose resources windres reads as well.
"""
import re
import subprocess
import sys
import unittest
from collections import namedtuple

from PIL import Image

ARGS = None
CHINESE_PRC = 0x0804
STRINGS = {
    "CompanyName": "Ferolune 项目",
    "FileDescription": "555 定时器多谐振荡器计算器",
    "InternalName": "Ferolune",
    "LegalCopyright": "© 2026 Ferolune 开发者",
    "OriginalFilename": "Ferolune.exe",
    "ProductName": "Ferolune",
}

Resource = namedtuple("Resource", "name type language body")


def unescape(text):
    """A string as windres writes it: \\xHHHH for wide characters, \\ooo for other bytes."""
    def one(match):
        code = match[1]
        if code[0] == "x":
            return chr(int(code[1:], 16))
        return chr(int(code, 8)) if code.isdigit() else code
    return re.sub(r"\\(x[0-9a-fA-F]{4}|[0-7]{3}|.)", one, text)


def resources():
    """Every resource in windres's script: its name, its type (a number or a keyword),
    its language and the lines between its header and its END."""
    script = subprocess.run([ARGS["windres"], "-i", ARGS["res"], "-O", "rc"], capture_output=True, text=True,
                            check=True).stdout
    found, language, body = [], None, None
    for line in script.splitlines():
        if body is not None:
            if line == "END":
                body = None
            else:
                body.append(line)
        elif match := re.fullmatch(r"LANGUAGE (\d+), (\d+)", line):
            primary, sub = int(match[1]), int(match[2])
            language = sub << 10 | primary
        elif line and not line[0].isspace() and not line.startswith(("/*", "BEGIN")):
            name, kind = line.split()[:2]
            body = []
            found.append(Resource(name, kind, language, body))
    return found


class CompiledResources(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.all = resources()
        versions = [r for r in cls.all if r.type == "VERSIONINFO"]
        cls.version = "\n".join(versions[0].body) if versions else ""

    def of_type(self, kind):
        return [r for r in self.all if r.type == kind]

    def test_every_resource_is_tagged_chinese_prc(self):
        self.assertTrue(self.all)
        for r in self.all:
            self.assertEqual(r.language, CHINESE_PRC, f"resource {r.name} of type {r.type}")

    def test_holds_one_icon_group_and_one_version_block(self):
        self.assertEqual(len(self.of_type("14")), 1, "RT_GROUP_ICON")
        self.assertEqual(len(self.of_type("VERSIONINFO")), 1)
        self.assertTrue(self.of_type("3"), "no RT_ICON")

    def test_icon_is_the_application_ico(self):
        with open(ARGS["ico"], "rb") as f:
            ico_bytes = f.read()
        with Image.open(ARGS["ico"], formats=["ICO"]) as ico:
            entries = ico.ico.entry
        [group] = self.of_type("14")
        header = re.search(r"^ *(\d+), (\d+), (\d+),", "\n".join(group.body), re.MULTILINE)
        self.assertEqual(tuple(map(int, header.groups())), (0, 1, len(entries)), "reserved, type icon, count")
        # The group repeats the .ico's directory, with each file offset replaced by the
        # id of the RT_ICON resource that holds the image.
        rows = re.findall(r'"((?:\\[0-7]{3}|[^"\\])*)", (\d+), (\d+), (0x[0-9a-f]+)L, (\d+)', "\n".join(group.body))
        self.assertEqual(len(rows), len(entries))
        images = {r.name: r for r in self.of_type("3")}
        for entry, (sizes, planes, bits, size, icon_id) in zip(entries, rows):
            with self.subTest(image=icon_id):
                width, height, colours, reserved = (ord(c) for c in unescape(sizes))
                in_group = (width or 256, height or 256, colours, reserved, int(planes), int(bits), int(size, 16))
                in_ico = tuple(entry[k] for k in ("width", "height", "nb_color", "reserved", "planes", "bpp", "size"))
                self.assertEqual(in_group, in_ico)
                self.assertIn(icon_id, images)
                # windres writes the data as little-endian 32-bit words, and 16 bits for a rest.
                data = b"".join(int(value, 16).to_bytes(4 if long else 2, "little")
                                for value, long in re.findall(r"\b(0x[0-9a-f]+)(L?)", "\n".join(images[icon_id].body)))
                self.assertEqual(data, ico_bytes[entry["offset"]:entry["offset"] + entry["size"]])

    def test_fixed_version_is_the_project_version(self):
        # windres reads the block only with the VS_VERSION_INFO key and the fixed part's
        # signature; it leaves out the fields that are zero.
        fixed = dict(re.findall(r"^ ([A-Z]+) (.*)$", self.version, re.MULTILINE))
        numbers = ", ".join(ARGS["version"].split(".") + ["0"])
        self.assertEqual(fixed.get("FILEVERSION"), numbers)
        self.assertEqual(fixed.get("PRODUCTVERSION"), numbers)
        self.assertEqual(fixed.get("FILEFLAGS", "0"), "0", "no debug, pre-release or patched flags")
        self.assertEqual(fixed.get("FILEOS"), "0x40004", "VOS_NT_WINDOWS32")
        self.assertEqual(fixed.get("FILETYPE"), "0x1", "VFT_APP")

    def test_string_table_is_chinese_prc_unicode(self):
        tables = re.findall(r'^    BLOCK "(.*)"$', self.version, re.MULTILINE)
        self.assertEqual(tables, ["080404B0"])

    def test_translation_is_chinese_prc_with_code_page_1200(self):
        self.assertEqual(re.findall(r'^    VALUE "Translation", (.*)$', self.version, re.MULTILINE), ["0x804, 1200"])

    def test_version_strings(self):
        found = {key: unescape(value)
                 for key, value in re.findall(r'^      VALUE "(\w+)", L?"(.*)"$', self.version, re.MULTILINE)}
        expected = dict(STRINGS, FileVersion=ARGS["display"], ProductVersion=ARGS["display"])
        for key, value in expected.items():
            with self.subTest(key):
                self.assertEqual(found.get(key), value)
        self.assertEqual(sorted(found), sorted(expected), "missing or unexpected fields")


if __name__ == "__main__":
    if len(sys.argv) < 6:
        sys.exit(__doc__)
    ARGS = dict(zip(("windres", "res", "ico", "version", "display"), sys.argv[1:6]))
    del sys.argv[1:6]
    unittest.main(verbosity=2)
