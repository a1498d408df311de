#!/usr/bin/python3
"""Shows every picture in ui/assets/ at 1x on the windows' orange and again enlarged 4x.

    /usr/bin/python3 tools/assets/contact_sheet.py [output.png]   (default build/assets-contact-sheet.png)
"""
import os
import sys

from PIL import Image

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ASSETS = os.path.join(ROOT, "ui", "assets")
ORANGE = (255, 128, 0)
ORDER = ["glyph_ra.gif", "glyph_rb.gif", "glyph_c.gif", "glyph_t1.gif", "glyph_t2.gif",
         "glyph_t.gif", "ferolune.ico", "ferolune-32.png", "ferolune-64.png",
         "ferolune-128.png", "capacitance_banner.jpg", "principle.jpg"]
GAP = 8


def load(name):
    im = Image.open(os.path.join(ASSETS, name))
    if name.endswith(".ico"):
        im.size = (32, 32)
    return im.convert("RGBA")


def on_orange(im, zoom):
    im = im.resize((im.width * zoom, im.height * zoom), Image.NEAREST)
    bg = Image.new("RGBA", im.size, ORANGE + (255,))
    return Image.alpha_composite(bg, im)


def shelf(images):
    w = sum(i.width for i in images) + GAP * (len(images) + 1)
    h = max(i.height for i in images) + 2 * GAP
    row = Image.new("RGBA", (w, h), ORANGE + (255,))
    x = GAP
    for i in images:
        row.paste(i, (x, GAP))
        x += i.width + GAP
    return row


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "assets-contact-sheet.png")
    pics = [load(n) for n in ORDER]
    glyphs, icons, banner, principle = pics[:6], pics[6:10], pics[10], pics[11]
    rows = [
        shelf([on_orange(p, 1) for p in glyphs + icons + [banner, principle]]),
        shelf([on_orange(p, 4) for p in glyphs]),
        shelf([on_orange(p, 4) for p in icons[:2]] + [on_orange(p, 1) for p in icons[2:]]),
        shelf([on_orange(banner, 4)]),
        shelf([on_orange(principle, 4)]),
    ]
    sheet = Image.new("RGB", (max(r.width for r in rows), sum(r.height for r in rows)), ORANGE)
    y = 0
    for r in rows:
        sheet.paste(r.convert("RGB"), (0, y))
        y += r.height
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    sheet.save(out)
    print(out)


if __name__ == "__main__":
    sys.exit(main())
