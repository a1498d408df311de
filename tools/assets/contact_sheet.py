#!/usr/bin/python3
"""Shows every picture in ui/assets/ at 1x on the windows' orange and again enlarged 4x.

    /usr/bin/python3 tools/assets/contact_sheet.py [output.png]
    (default build/assets-contact-sheet.png; needs python3-pil and fonts-dejavu-core)
"""
import os
import sys

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ASSETS = os.path.join(ROOT, "ui", "assets")
ORANGE = (255, 128, 0, 255)
LABEL = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 11)
GLYPHS = ["glyph_ra.gif", "glyph_rb.gif", "glyph_c.gif",
          "glyph_t1.gif", "glyph_t2.gif", "glyph_t.gif"]
ICONS = ["ferolune.ico", "ferolune-32.png", "ferolune-64.png", "ferolune-128.png"]
GAP = 10


def load(name):
    return Image.open(os.path.join(ASSETS, name)).convert("RGBA")


def zoom(im, factor):
    return im.resize((im.width * factor, im.height * factor), Image.NEAREST)


def shelf(title, items):
    """One row: a title, then (caption, image) pairs side by side on orange."""
    w = GAP + sum(max(i.width, int(LABEL.getlength(c))) + GAP for c, i in items)
    h = 16 + max(i.height for _, i in items) + 16 + GAP
    row = Image.new("RGBA", (max(w, int(LABEL.getlength(title)) + 2 * GAP), h), ORANGE)
    d = ImageDraw.Draw(row)
    d.text((GAP, 2), title, font=LABEL, fill="black")
    x = GAP
    for caption, im in items:
        row.alpha_composite(im, (x, 16))
        d.text((x, 18 + im.height), caption, font=LABEL, fill="black")
        x += max(im.width, int(LABEL.getlength(caption))) + GAP
    return row


def main_window_mock():
    """The glyphs and the banner where the main window puts them (15 twips to the pixel)."""
    im = Image.new("RGBA", (397, 258), ORANGE)
    d = ImageDraw.Draw(im)
    for top in (8, 96):
        d.rectangle([8, top + 4, 8 + 376, top + 80], outline=(255, 255, 255, 255))
    for i, name in enumerate(GLYPHS):
        frame_top = 8 if i < 3 else 96
        left = [720, 2520, 4320, 720, 2640, 4440][i] // 15
        im.alpha_composite(load(name), (8 + left, frame_top + 16))
    im.alpha_composite(load("capacitance_banner.jpg"), (16, 192))
    return im


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "assets-contact-sheet.png")
    rows = [
        shelf("1x, as the windows show them", [("main window", main_window_mock()),
                                                ("principle.jpg", load("principle.jpg"))]
              + [(n, load(n)) for n in ICONS]),
        shelf("glyphs 4x", [(n, zoom(load(n), 4)) for n in GLYPHS]),
        shelf("capacitance_banner.jpg 4x", [("", zoom(load("capacitance_banner.jpg"), 4))]),
        shelf("icons 4x", [(n, zoom(load(n), 4)) for n in ICONS[:3]]),
        shelf("principle.jpg 4x", [("", zoom(load("principle.jpg"), 4))]),
    ]
    sheet = Image.new("RGBA", (max(r.width for r in rows), sum(r.height for r in rows)), ORANGE)
    y = 0
    for r in rows:
        sheet.alpha_composite(r, (0, y))
        y += r.height
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    sheet.convert("RGB").save(out)
    print(out)


if __name__ == "__main__":
    sys.exit(main())
