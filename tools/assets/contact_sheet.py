#!/usr/bin/python3
"""Shows every picture in ui/assets/ on the windows' orange: at 1x, its double drawing
at 2x beside it, and both enlarged to the same size to compare their detail.

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
ICONS = ["ferolune.ico"] + sorted((n for n in os.listdir(ASSETS) if n.startswith("ferolune-")),
                                  key=lambda n: int(n[len("ferolune-"):-len(".png")]))
GAP = 10


def double(name):
    stem, ext = os.path.splitext(name)
    return f"{stem}@2x{ext}"


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


def main_window_mock(s=1):
    """The glyphs and the banner where the main window puts them (15 twips to the pixel),
    at s device pixels to the pixel."""
    pick = double if s == 2 else (lambda n: n)
    im = Image.new("RGBA", (397 * s, 258 * s), ORANGE)
    d = ImageDraw.Draw(im)
    for top in (8, 96):
        d.rectangle([8 * s, (top + 4) * s, (8 + 376) * s, (top + 80) * s],
                    outline=(255, 255, 255, 255), width=s)
    for i, name in enumerate(GLYPHS):
        frame_top = 8 if i < 3 else 96
        left = [720, 2520, 4320, 720, 2640, 4440][i] // 15
        im.alpha_composite(load(pick(name)), ((8 + left) * s, (frame_top + 16) * s))
    im.alpha_composite(load(pick("capacitance_banner.jpg")), (16 * s, 192 * s))
    return im


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "assets-contact-sheet.png")
    rows = [
        shelf("1x, as the windows show them", [("main window", main_window_mock()),
                                                ("principle.jpg", load("principle.jpg"))]),
        shelf("2x, as they show them at 200 %", [("main window", main_window_mock(2)),
                                                 ("principle@2x.jpg", load("principle@2x.jpg"))]),
        shelf("icons, 1:1", [(n, load(n)) for n in ICONS]),
        shelf("glyphs: 1x enlarged 4x, 2x enlarged 2x",
              [(n, zoom(load(n), 4)) for n in GLYPHS]),
        shelf("", [(double(n), zoom(load(double(n)), 2)) for n in GLYPHS]),
        shelf("capacitance banner: 1x enlarged 4x, 2x enlarged 2x",
              [("capacitance_banner.jpg", zoom(load("capacitance_banner.jpg"), 4))]),
        shelf("", [("capacitance_banner@2x.jpg", zoom(load("capacitance_banner@2x.jpg"), 2))]),
        shelf("small icons 4x", [(n, zoom(load(n), 4)) for n in ICONS[:5]]),
        shelf("principle picture: 1x enlarged 4x, 2x enlarged 2x",
              [("principle.jpg", zoom(load("principle.jpg"), 4)),
               ("principle@2x.jpg", zoom(load("principle@2x.jpg"), 2))]),
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
