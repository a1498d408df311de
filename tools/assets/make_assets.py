#!/usr/bin/python3
"""Draws Ferolune's pictures into ui/assets/.

Each picture the windows show is drawn twice: at its natural size and, for screens
at 125 % scaling and above, anew at twice that size (glyph_ra@2x.gif, ...: the
names under which Qt looks for them), with the fonts at twice the pixel size, the
lines twice as wide and the same layout rules. The icon comes as PNGs for the
desktop's icon theme, a scalable SVG drawn from the same curves and the Windows .ico.

Run from the repository root:   /usr/bin/python3 tools/assets/make_assets.py
(use Debian's interpreter: another python3 earlier on PATH may lack PIL).

Debian packages: python3-pil, fonts-liberation2 (Liberation Serif, Liberation Sans),
fonts-noto-cjk (Noto Sans CJK SC). The output is byte-for-byte reproducible with the
same package versions; the build never runs this script, the files are committed.
"""
import io
import json
import math
import os
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFont

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OUT = os.path.join(ROOT, "ui", "assets")

LIB = "/usr/share/fonts/truetype/liberation2/"
SERIF = LIB + "LiberationSerif-Regular.ttf"
SERIF_I = LIB + "LiberationSerif-Italic.ttf"
SERIF_BI = LIB + "LiberationSerif-BoldItalic.ttf"
SANS = LIB + "LiberationSans-Regular.ttf"
CJK = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc"
CJK_BOLD = "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc"
CJK_SC = 2  # face index of "Noto Sans CJK SC" in the .ttc collections

with open(os.path.join(ROOT, "ferolune.json")) as facts:
    COLOURS = {name: tuple(rgb) for name, rgb in json.load(facts)["colours"].items()}
PURPLE = COLOURS["glyph_purple"]
BLUE = COLOURS["blue"]
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
RED = (255, 0, 0)
SILVER = (192, 192, 192)


def font(path, px, index=0):
    return ImageFont.truetype(path, px, index=index)


def run_width(runs):
    return sum(r if isinstance(r, (int, float)) else r[1].getlength(r[0]) for r in runs)


def draw_runs(draw, x, baseline, runs):
    """Draws (text, font, colour, rise) runs one after another on a common baseline;
    a bare number in runs is extra space in pixels."""
    for r in runs:
        if isinstance(r, (int, float)):
            x += r
            continue
        text, fnt, colour, rise = r
        draw.text((x, baseline - rise), text, font=fnt, fill=colour, anchor="ls")
        x += fnt.getlength(text)
    return x


# ---------------------------------------------------------------- glyphs (GIF)

def lzw_encode(pixels, min_code_size):
    """GIF's variable-width LZW, packed LSB first."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    table = {bytes([i]): i for i in range(clear)}
    next_code, width = end + 1, min_code_size + 1
    bits = nbits = 0
    out = bytearray()

    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    emit(clear)
    prefix = b""
    for p in pixels:
        candidate = prefix + bytes([p])
        if candidate in table:
            prefix = candidate
            continue
        emit(table[prefix])
        table[candidate] = next_code
        next_code += 1
        if next_code == 4096:       # table full: start afresh
            emit(clear)
            table = {bytes([i]): i for i in range(clear)}
            next_code, width = end + 1, min_code_size + 1
        elif next_code > (1 << width):
            width += 1
        prefix = bytes([p])
    emit(table[prefix])
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def gif_two_colour(image):
    """GIF89a with the palette [purple, white] and white transparent; image is mode '1' (0 = ink)."""
    w, h = image.size
    pixels = [0 if v == 0 else 1 for v in image.getdata()]
    data = lzw_encode(pixels, 2)
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                      for i in range(0, len(data), 255))
    return (b"GIF89a" + struct.pack("<HHBBB", w, h, 0x80, 1, 0)
            + bytes(PURPLE) + bytes(WHITE)
            + b"\x21\xF9\x04\x01\x00\x00\x01\x00"
            + b"\x2C" + struct.pack("<HHHHB", 0, 0, w, h, 0)
            + b"\x02" + blocks + b"\x00" + b"\x3B")


def glyph(capital, subscript, s):
    """The symbol drawn at s times the 30-pixel square."""
    cap = font(SERIF_BI, 24 * s)
    im = Image.new("1", (30 * s, 30 * s), 1)
    d = ImageDraw.Draw(im)
    if subscript:
        d.text((3 * s, 19 * s), capital, font=cap, fill=0, anchor="ls")
        x = 3 * s + cap.getlength(capital) - s
        d.text((x, 26 * s), subscript, font=font(SERIF_BI, 15 * s), fill=0, anchor="ls")
    else:
        d.text((15 * s, 22 * s), capital, font=cap, fill=0, anchor="ms")
    return gif_two_colour(im)


GLYPHS = {
    "glyph_ra.gif": ("R", "A"),
    "glyph_rb.gif": ("R", "B"),
    "glyph_c.gif": ("C", ""),
    "glyph_t1.gif": ("T", "1"),
    "glyph_t2.gif": ("T", "2"),
    "glyph_t.gif": ("T", ""),
}


# ---------------------------------------------------------------- JPEGs

def jpeg(image, s):
    buf = io.BytesIO()
    # 4:4:4 keeps the coloured strokes of thin type sharp. The density says that the
    # double drawing covers the same inches as the single one.
    image.save(buf, "JPEG", quality=95, subsampling=0, optimize=False,
               progressive=False, dpi=(96 * s, 96 * s))
    return buf.getvalue()


def capacitance_banner(s):
    w, h = 259 * s, 19 * s
    im = Image.new("RGB", (w, h), (255, 255, 0))
    d = ImageDraw.Draw(im)

    # Narrow spacing round the equals signs lets the type fill the strip's height.
    ink = (16, 16, 16)
    up, it, sup = font(SERIF, 16 * s), font(SERIF_I, 16 * s), font(SERIF, 10 * s)
    runs = [("1", up, ink, 0), ("F", it, ink, 0)]
    for exp, unit in (("3", "mF"), ("6", "μF"), ("9", "nF"), ("12", "pF")):
        runs += [3 * s, ("=", up, ink, 0), 3 * s, ("10", up, ink, 0), (exp, sup, ink, 5 * s),
                 2 * s, (unit, it, ink, 0)]
    draw_runs(d, round((w - run_width(runs)) / 2), 13 * s, runs)

    # The bevel goes on last so that descenders cannot cut into it: a light edge
    # along the top and left, and a two-line shade, olive inside and dark outside,
    # along the bottom and right; every line s pixels wide.
    light, olive, dark = (255, 255, 200), (190, 187, 0), (62, 64, 1)
    d.rectangle([(0, 0), (w - 1 - s, s - 1)], fill=light)
    d.rectangle([(0, 0), (s - 1, h - 1 - s)], fill=light)
    d.rectangle([(s, h - 2 * s), (w - 1 - s, h - 1 - s)], fill=olive)
    d.rectangle([(w - 2 * s, s), (w - 1 - s, h - 1 - s)], fill=olive)
    d.rectangle([(0, h - s), (w - 1, h - 1)], fill=dark)
    d.rectangle([(w - s, 0), (w - 1, h - 1)], fill=dark)
    return jpeg(im, s)


def principle(s):
    im = Image.new("RGB", (229 * s, 227 * s), WHITE)
    d = ImageDraw.Draw(im)
    cjk = font(CJK, 14 * s, CJK_SC)
    it, it_sub, up = font(SERIF_I, 16 * s), font(SERIF_I, 12 * s), font(SERIF, 16 * s)

    def sym(letter, sub="", colour=BLACK):
        runs = [(letter, it, colour, 0)]
        if sub:
            runs.append((sub, it_sub, colour, -3 * s))
        return runs

    def text(t, colour=BLACK):
        return [(t, up if colour == BLACK else cjk, colour, 0)]

    comma = [(",", cjk, BLUE, 0), s]
    gap = [s]  # keeps a subscript off the bracket or letter after it

    def line(n):
        return (13 + 42 * n) * s  # baseline of line n (0-based): tops at 2, 44, 86, ... (× s)

    # Each line as a screen reader reads it, where its baseline lies and what is drawn.
    lines = [
        ("2.555 Ferolune:", line(0) + 3 * s, [
            ("2", font(CJK_BOLD, 18 * s, CJK_SC), BLUE, 0),
            (".555", font(SANS, 12 * s), BLUE, 0),
            (" Ferolune:", cjk, BLUE, 0)]),
        ("请输入 R_A, R_B, C", line(1), text("请输入", BLUE) + sym("R", "A") + comma + sym("R", "B")
         + comma + [("C", font(SERIF, 14 * s), BLUE, 0)]),
        ("输出：充电时间 T1，放电时间 T2，周期 T", line(2), text("输出:充电时间", BLUE) + sym("T", "1") + comma
         + text("放电时间", BLUE) + sym("T", "2") + comma + text("周期", BLUE) + sym("T")),
        ("T = 0.693(R_A + 2R_B)C", line(3), sym("T") + text(" = 0.693(") + sym("R", "A") + text(" + 2")
         + sym("R", "B") + gap + text(")") + sym("C")),
        ("T1 = 0.693(R_A + R_B)C", line(4), sym("T", "1") + text(" = 0.693(") + sym("R", "A") + text(" + ")
         + sym("R", "B") + gap + text(")") + sym("C")),
        ("T2 = 0.693 R_B C", line(5), sym("T", "2") + text(" = 0.693") + sym("R", "B") + gap + sym("C")),
    ]
    read = []
    for spoken, baseline, runs in lines:
        draw_runs(d, 4 * s, baseline, runs)
        # Where the line lies: from where it starts to a pixel past its ink, and a
        # pixel above and below it, in the single drawing's pixels.
        alone = Image.new("RGB", im.size, WHITE)
        draw_runs(ImageDraw.Draw(alone), 4 * s, baseline, runs)
        _, top, right, bottom = ImageChops.difference(alone, Image.new("RGB", im.size, WHITE)).getbbox()
        read.append({"text": spoken, "x": 4, "y": top // s - 1, "width": right // s + 1 - 4,
                     "height": bottom // s - top // s + 2})
    return jpeg(im, s), read


# ---------------------------------------------------------------- icon

def traces(size):
    """The blue damped oscillation and the red settling trace as point lists in a size×size box."""
    s = size / 32
    blue, red = [], []
    for i in range(0, 29 * 8 + 1):
        t = i / 8
        x = 1.5 + t
        blue.append((x * s, (15 - 14 * math.exp(-t / 7) * math.sin(2 * math.pi * t / 10)) * s))
        red.append((x * s, (15 + 13 * math.exp(-t / 4) * math.cos(2 * math.pi * t / 14)) * s))
    return blue, red


def icon_image(size):
    """RGBA drawing; up to 32 pixels aliased in pure palette colours, which a small icon
    shows more clearly than soft lines, the larger sizes smoothed.
    Lines and shadow offset are 1/32 of the size, but never under a pixel; round joints
    keep the outline of a wide trace free of the notches of its short straight pieces."""
    scale = 1 if size <= 32 else 4
    n = size * scale
    im = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    d = ImageDraw.Draw(im)
    blue, red = traces(n)
    width = max(scale, round(n / 32))
    off = max(scale, n / 32)
    for pts in (blue, red):
        d.line([(x + off, y + off) for x, y in pts], fill=SILVER + (255,), width=width,
               joint="curve")
    d.line(blue, fill=BLUE + (255,), width=width, joint="curve")
    d.line(red, fill=RED + (255,), width=width, joint="curve")
    if scale > 1:
        im = im.convert("RGBa").resize((size, size), Image.LANCZOS).convert("RGBA")
    return im


def icon_svg():
    """The same traces and shadow as vector strokes in a 32-unit square."""
    def points(pts):
        return " ".join(f"{x:.3f},{y:.3f}" for x, y in pts)

    blue, red = traces(32)
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink"
     width="128" height="128" viewBox="0 0 32 32">
  <title>Ferolune</title>
  <defs>
    <polyline id="oscillation" points="{points(blue)}"/>
    <polyline id="settling" points="{points(red)}"/>
  </defs>
  <g fill="none" stroke-width="1" stroke-linejoin="round">
    <g stroke="#c0c0c0" transform="translate(1 1)">
      <use xlink:href="#oscillation"/>
      <use xlink:href="#settling"/>
    </g>
    <use xlink:href="#oscillation" stroke="#0000ff"/>
    <use xlink:href="#settling" stroke="#ff0000"/>
  </g>
</svg>
""".encode()


VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def ico(im):
    """Classic 32×32, 4-bit BMP icon with an AND mask."""
    w, h = im.size
    px = im.load()
    xor_rows, and_rows = [], []
    for y in range(h - 1, -1, -1):    # BMP rows go bottom-up
        idx = [VGA16.index(px[x, y][:3]) if px[x, y][3] else 0 for x in range(w)]
        xor_rows.append(bytes((idx[x] << 4) | idx[x + 1] for x in range(0, w, 2)))
        mask = 0
        for x in range(w):
            mask = (mask << 1) | (0 if px[x, y][3] else 1)
        and_rows.append(mask.to_bytes(w // 8, "big"))
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA16)
    pixels = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 4, 0, len(pixels), 0, 0, 16, 0)
    image = header + palette + pixels
    return (struct.pack("<HHH", 0, 1, 1)
            + struct.pack("<BBBBHHII", w, h, 16, 0, 1, 4, len(image), 6 + 16)
            + image)


def png(im):
    buf = io.BytesIO()
    im.save(buf, "PNG", optimize=False)
    return buf.getvalue()


# ---------------------------------------------------------------- main

# The sizes of the icon theme's PNGs; the build finds them by their file names.
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


def at_scale(name, s):
    """glyph_ra.gif at 1, glyph_ra@2x.gif at 2: the name Qt gives a double picture."""
    stem, ext = os.path.splitext(name)
    return name if s == 1 else f"{stem}@{s}x{ext}"


def main():
    files = {}
    for s in (1, 2):
        for name, text in GLYPHS.items():
            files[at_scale(name, s)] = glyph(*text, s)
        files[at_scale("capacitance_banner.jpg", s)] = capacitance_banner(s)
        files[at_scale("principle.jpg", s)], lines = principle(s)
        if s == 1:
            # What the principle window tells a screen reader, line by line.
            files["principle.json"] = (json.dumps({"lines": lines}, ensure_ascii=False, indent=2) + "\n").encode()
    files["ferolune.ico"] = ico(icon_image(32))
    for size in ICON_SIZES:
        files[f"ferolune-{size}.png"] = png(icon_image(size))
    files["ferolune.svg"] = icon_svg()
    os.makedirs(OUT, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
        print(f"{len(data):6d}  ui/assets/{name}")


if __name__ == "__main__":
    sys.exit(main())
