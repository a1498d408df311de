#!/usr/bin/python3
"""The committed pictures as files, read by Pillow and by libmagic (`file`): the
formats older readers and the Windows icon need. How Qt draws them is tst_assets.

  asset_formats.py ASSET_DIR
"""
import io
import os
import struct
import subprocess
import sys
import unittest

from PIL import Image

ASSET_DIR = ""
PURPLE, WHITE = (126, 4, 104), (255, 255, 255)


def assets(suffix):
    return sorted(name for name in os.listdir(ASSET_DIR) if name.endswith(suffix))


def read(name):
    with open(os.path.join(ASSET_DIR, name), "rb") as f:
        return f.read()


def magic(name):
    return subprocess.run(["file", "-b", os.path.join(ASSET_DIR, name)], capture_output=True, text=True,
                          check=True).stdout


class AssetFormats(unittest.TestCase):
    def test_glyphs_are_two_colour_gif89a_with_white_transparent(self):
        for name in assets(".gif"):
            with self.subTest(name), Image.open(os.path.join(ASSET_DIR, name)) as gif:
                self.assertEqual(gif.format, "GIF")
                self.assertEqual(gif.tile[0][1], (0, 0) + gif.size, "the image covers the whole screen")
                self.assertEqual(gif.info["version"], b"GIF89a")
                self.assertEqual(gif.n_frames, 1)
                # Only a global colour table gives the screen a background index.
                self.assertIn("background", gif.info)
                self.assertEqual(gif.global_palette.palette, bytes(PURPLE + WHITE))
                # What the image is drawn with: no local table stands in for it.
                self.assertEqual(gif.getpalette(), [*PURPLE, *WHITE])
                # From a graphic control extension before the image.
                self.assertEqual(gif.info.get("transparency"), 1)
                self.assertEqual(sorted(set(gif.getdata())), [0, 1])
                self.assertTrue(read(name).endswith(b";"), "no trailer")

    def test_pictures_are_baseline_jfif_without_chroma_subsampling(self):
        for name in assets(".jpg"):
            with self.subTest(name), Image.open(os.path.join(ASSET_DIR, name)) as jpeg:
                self.assertEqual(jpeg.format, "JPEG")
                width, height = jpeg.size
                # libmagic reads JFIF only in the segment right after the start of image.
                said = magic(name)
                for fact in ("JFIF standard", "baseline", "precision 8", f"{width}x{height}", "components 3"):
                    self.assertIn(fact, said)
                self.assertEqual(jpeg.applist[0][0], "APP0")
                self.assertTrue(jpeg.applist[0][1].startswith(b"JFIF\0"))
                self.assertNotIn("progressive", jpeg.info)
                self.assertEqual([(h, v) for _, h, v, _ in jpeg.layer], [(1, 1)] * 3, "4:4:4")
                # Fine quantisation keeps thin type free of ringing (libjpeg quality 92 and above).
                for table in jpeg.quantization.values():
                    self.assertLessEqual(max(table), 20)
                self.assertTrue(read(name).endswith(b"\xff\xd9"), "no end of image")
                jpeg.load()

    def test_window_icon_is_one_16_colour_bitmap_with_a_mask(self):
        data = read("ferolune.ico")
        # Pillow takes an .ico only with the header of an icon, not of a cursor.
        with Image.open(io.BytesIO(data), formats=["ICO"]) as ico:
            self.assertEqual(len(ico.ico.entry), 1)
            entry = ico.ico.entry[0]
            width, height, offset, size = entry["width"], entry["height"], entry["offset"], entry["size"]
            self.assertEqual((entry["nb_color"], entry["planes"], entry["bpp"]), (16, 1, 4))
            self.assertEqual(offset, 6 + 16, "the image follows the one-entry directory")
            self.assertEqual(offset + size, len(data))
            image = data[offset:offset + size]
            # A BMP, not a PNG, with the colour bitmap and the AND mask stacked.
            with Image.open(io.BytesIO(image), formats=["DIB"]) as dib:
                self.assertEqual(dib.size, (width, 2 * height))
                self.assertEqual(dib.info["compression"], 0, "BI_RGB")
                _, _, pixels, (rawmode, *_) = dib.tile[0]
                self.assertEqual(rawmode, "P;4")
                self.assertEqual(pixels, 40 + 16 * 4, "a 40-byte header and 16 colours before the pixels")
            # The one header field no reader reports.
            self.assertEqual(struct.unpack_from("<H", image, 12), (1,), "planes")
            row = lambda bits: (width * bits + 31) // 32 * 4  # noqa: E731
            self.assertEqual(size, 40 + 16 * 4 + (row(4) + row(1)) * height)

            transparent = ico.getchannel("A").histogram()[0]
            self.assertGreater(transparent, 0, "the AND mask leaves no pixel transparent")
            self.assertLess(transparent, width * height, "the AND mask hides every pixel")

    def test_menu_icons_are_pngs_of_their_named_size(self):
        for name in assets(".png"):
            size = int(name.removeprefix("ferolune-").removesuffix(".png"))
            with self.subTest(name), Image.open(os.path.join(ASSET_DIR, name), formats=["PNG"]) as png:
                self.assertEqual(png.size, (size, size))


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    ASSET_DIR = sys.argv.pop(1)
    unittest.main(verbosity=2)
