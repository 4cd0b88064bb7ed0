"""Tests of tools/pixelart.py and of the art it converts.

Run from the repository root: python3 -m unittest discover -s tests/tools -v
"""

import struct
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
TOOL = ROOT / "tools" / "pixelart.py"
ART = ROOT / "src" / "res" / "art"

sys.path.insert(0, str(TOOL.parent))
import pixelart  # noqa: E402

VGA_PALETTE = """\
depth 4
colour # 000000
colour m 800000
colour g 008000
colour o 808000
colour n 000080
colour p 800080
colour t 008080
colour : C0C0C0
colour + 808080
colour r FF0000
colour l 00FF00
colour y FFFF00
colour b 0000FF
colour . FF00FF
colour a 00FFFF
colour w FFFFFF
"""

MAGENTA, MAROON, RED, YELLOW = 13, 1, 9, 11


# ------------------------------------------------------------ independent readers

def read_info(data, at):
    """A BITMAPINFOHEADER at offset at, with its palette and where the bits start."""
    (size, width, height, planes, depth, compression,
     image_size) = struct.unpack_from("<IiiHHII", data, at)
    entries = 1 << depth if depth <= 8 else 0
    palette = [tuple(data[p + 2 - i] for i in range(3))
               for p in range(at + size, at + size + 4 * entries, 4)]
    return {"size": size, "width": width, "height": height, "planes": planes,
            "depth": depth, "compression": compression, "image_size": image_size,
            "palette": palette, "bits": at + size + 4 * len(palette)}


def stride(width, depth):
    return (width * depth + 31) // 32 * 4


def pixel(data, bits, width, height, depth, x, y):
    """Value of pixel (x, y), y counted from the top, in bottom-up rows."""
    row = bits + (height - 1 - y) * stride(width, depth)
    byte = data[row + x * depth // 8]
    shift = 8 - depth - (x * depth) % 8
    return (byte >> shift) & ((1 << depth) - 1)


class Bitmap:
    def __init__(self, data):
        self.data = data
        self.magic, self.file_size, _, _, self.offset = struct.unpack_from("<2sIHHI", data)
        self.info = read_info(data, 14)

    def at(self, x, y):
        info = self.info
        return pixel(self.data, self.offset, info["width"], info["height"], info["depth"], x, y)


class IconImage:
    def __init__(self, data, entry):
        self.data = data
        (self.width, self.height, self.colours, _, self.planes, self.depth,
         self.length, self.offset) = entry
        self.info = read_info(data, self.offset)
        self.mask_bits = self.info["bits"] + stride(self.width, self.depth) * self.height

    def at(self, x, y):
        return pixel(self.data, self.info["bits"], self.width, self.height, self.depth, x, y)

    def rgba(self, x, y):
        """(r, g, b, alpha) of a 32-bit image's pixel, y counted from the top."""
        at = self.info["bits"] + (self.height - 1 - y) * stride(self.width, 32) + 4 * x
        b, g, r, a = self.data[at:at + 4]
        return r, g, b, a

    def see_through(self, x, y):
        return pixel(self.data, self.mask_bits, self.width, self.height, 1, x, y)


def read_icon(data):
    reserved, kind, count = struct.unpack_from("<HHH", data)
    assert (reserved, kind) == (0, 1), "not an icon"
    return [IconImage(data, struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)) for i in range(count)]


# ------------------------------------------------------------ helpers

class ToolCase(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.dir = Path(self.scratch.name)

    def tearDown(self):
        self.scratch.cleanup()

    def run_tool(self, source, target_name):
        target = self.dir / target_name
        done = subprocess.run([sys.executable, str(TOOL), str(source), str(target)],
                              capture_output=True, text=True, timeout=60)
        return done, target

    def convert_text(self, text, target_name):
        source = self.dir / "input.txt"
        source.write_text(text)
        done, target = self.run_tool(source, target_name)
        self.assertEqual(done.returncode, 0, done.stderr)
        return target.read_bytes()

    def assert_fails(self, text, target_name, line):
        source = self.dir / "bad.txt"
        source.write_text(text)
        done, target = self.run_tool(source, target_name)
        self.assertNotEqual(done.returncode, 0)
        self.assertIn(f"bad.txt:{line}:", done.stderr)
        self.assertFalse(target.exists())


# ------------------------------------------------------------ the tool

class PackingTest(unittest.TestCase):
    def test_rows_are_packed_high_bits_first_and_padded(self):
        self.assertEqual(pixelart.pack_row([1, 2, 3], 4), b"\x12\x30\x00\x00")
        self.assertEqual(pixelart.pack_row([1, 0, 1] + [0] * 5 + [1], 1), b"\xa0\x80\x00\x00")

    def test_rows_are_stored_bottom_up(self):
        self.assertEqual(pixelart.pack_rows([[1], [2]], 4), b"\x20\x00\x00\x00\x10\x00\x00\x00")


class IconTest(ToolCase):
    ICON = VGA_PALETTE + """\
transparent ,
image 4 3
,rbw
bbbb
rrr#
image 2 2
yy
y,
"""

    def test_icon_parses_back(self):
        data = self.convert_text(self.ICON, "out.ico")
        big, small = read_icon(data)
        self.assertEqual((big.width, big.height, small.width, small.height), (4, 3, 2, 2))
        for image in (big, small):
            self.assertEqual((image.colours, image.planes, image.depth), (16, 1, 4))
            self.assertEqual(image.info["height"], 2 * image.height)
            self.assertEqual(image.info["depth"], 4)
            self.assertEqual(image.info["palette"][12], (0, 0, 255))
            self.assertEqual(image.info["palette"][13], (255, 0, 255))
            self.assertEqual(image.length, 40 + 64 + 4 * image.height * 2)
        self.assertEqual(big.offset, 6 + 2 * 16)
        self.assertEqual(small.offset, big.offset + big.length)
        self.assertEqual(len(data), small.offset + small.length)

    def test_transparent_pixel_sets_mask_and_clears_colour(self):
        big, small = read_icon(self.convert_text(self.ICON, "out.ico"))
        self.assertEqual((big.see_through(0, 0), big.at(0, 0)), (1, 0))
        self.assertEqual((big.see_through(1, 0), big.at(1, 0)), (0, RED))
        self.assertEqual((big.see_through(3, 2), big.at(3, 2)), (0, 0))
        self.assertEqual((small.see_through(1, 1), small.see_through(0, 1)), (1, 0))
        self.assertEqual(small.at(0, 1), YELLOW)


class FullColourTest(ToolCase):
    ICON = VGA_PALETTE + """\
transparent ,
fullcolour 2 4 3 8
image 2 2
r,
bw
image 8 8
########
########
########
########
########
########
########
########
"""

    def test_full_colour_images_follow_the_drawn_ones(self):
        images = read_icon(self.convert_text(self.ICON, "out.ico"))
        self.assertEqual([(i.width, i.depth, i.colours) for i in images],
                         [(2, 4, 16), (8, 4, 16), (2, 32, 0), (4, 32, 0), (3, 32, 0), (8, 32, 0)])
        for image in images[2:]:
            self.assertEqual((image.info["height"], image.info["depth"]), (2 * image.width, 32))
            self.assertEqual(image.length, 40 + 4 * image.width ** 2 + stride(image.width, 1) * image.width)

    def test_whole_multiples_copy_the_nearest_drawn_image(self):
        _, _, same, double, _, large = read_icon(self.convert_text(self.ICON, "out.ico"))
        self.assertEqual(same.rgba(0, 0), (255, 0, 0, 255))
        self.assertEqual(same.rgba(1, 0)[3], 0)
        self.assertEqual(same.see_through(1, 0), 1)
        self.assertEqual(same.see_through(0, 0), 0)
        for x, y in [(0, 0), (1, 1)]:
            self.assertEqual(double.rgba(x, y), (255, 0, 0, 255))
        self.assertEqual(double.rgba(3, 3), (255, 255, 255, 255))
        self.assertEqual(double.rgba(1, 3), (0, 0, 255, 255))
        self.assertEqual(double.rgba(2, 0)[3], 0)
        # Eight is nearer to the drawn 8 x 8 than to 2 x 2.
        self.assertEqual({large.rgba(x, y) for x in range(8) for y in range(8)}, {(0, 0, 0, 255)})

    def test_sides_between_are_blended_by_area(self):
        *_, third, _ = read_icon(self.convert_text(self.ICON, "out.ico"))
        # The middle pixel covers a quarter of each drawn pixel; the
        # see-through quarter adds only transparency.
        r, g, b, alpha = third.rgba(1, 1)
        self.assertEqual(alpha, round(255 * 0.75))
        self.assertEqual((r, g, b), (round(255 * 2 / 3), round(255 / 3), round(255 * 2 / 3)))
        self.assertEqual(third.rgba(0, 0), (255, 0, 0, 255))

    def test_fullcolour_mistakes_name_the_line(self):
        self.assert_fails(VGA_PALETTE + "fullcolour 16\n", "out.bmp", 18)
        self.assert_fails(VGA_PALETTE + "transparent ,\nfullcolour 16 16\n", "out.ico", 19)
        self.assert_fails(VGA_PALETTE + "transparent ,\nfullcolour 0\n", "out.ico", 19)


class BitmapTest(ToolCase):
    def test_monochrome_header_and_pixels(self):
        data = self.convert_text("depth 1\ncolour # 000000\ncolour . FFFFFF\n"
                                 "image 3 2\n..#\n...\n", "out.bmp")
        bitmap = Bitmap(data)
        self.assertEqual(bitmap.magic, b"BM")
        self.assertEqual(bitmap.file_size, len(data))
        self.assertEqual(bitmap.offset, 14 + 40 + 2 * 4)
        info = bitmap.info
        self.assertEqual((info["size"], info["width"], info["height"]), (40, 3, 2))
        self.assertEqual((info["planes"], info["depth"], info["compression"]), (1, 1, 0))
        self.assertEqual(info["palette"], [(0, 0, 0), (255, 255, 255)])
        # The top row is stored last: its black pixel is bit 5 of the second row.
        self.assertEqual(data[bitmap.offset:], b"\xe0\0\0\0" + b"\xc0\0\0\0")
        self.assertEqual((bitmap.at(2, 0), bitmap.at(2, 1)), (0, 1))

    def test_four_bit_pixel_position(self):
        data = self.convert_text(VGA_PALETTE + "image 5 3\n.....\n...m.\n.....\n", "out.bmp")
        bitmap = Bitmap(data)
        self.assertEqual(bitmap.info["depth"], 4)
        self.assertEqual(bitmap.info["image_size"], 3 * 4)
        self.assertEqual(bitmap.at(3, 1), MAROON)
        self.assertEqual(bitmap.at(4, 1), MAGENTA)


class MalformedInputTest(ToolCase):
    CASES = {
        "ragged row": (VGA_PALETTE + "image 3 2\n...\n....\n", 20),
        "unknown character": (VGA_PALETTE + "image 3 2\n...\n.z.\n", 20),
        "missing rows": (VGA_PALETTE + "image 3 2\n...\n", 18),
        "short palette": ("depth 1\ncolour # 000000\nimage 1 1\n#\n", 3),
        "bad depth": ("depth 8\n", 1),
        "transparency in a bitmap": (VGA_PALETTE + "transparent ,\n", 18),
        "two bitmap images": (VGA_PALETTE + "image 1 1\n.\nimage 1 1\n.\n", 20),
    }

    def test_malformed_input_fails_naming_the_line(self):
        for name, (text, line) in self.CASES.items():
            with self.subTest(name):
                self.assert_fails(text, "out.bmp", line)

    def test_unknown_output_type_fails(self):
        done, _ = self.run_tool(ART / "small.ico.txt", "out.png")
        self.assertNotEqual(done.returncode, 0)
        self.assertIn(".ico or .bmp", done.stderr)


# ------------------------------------------------------------ the art

class ArtTest(ToolCase):
    # The drawn images at 16 colours, then 32-bit ones for higher scales.
    ICONS = {"app.ico.txt": ([32, 16], [16, 20, 24, 32, 40, 48, 64]), "small.ico.txt": ([16], [16, 20, 24, 32])}
    BITMAPS = {"glyphs.bmp.txt": (84, 14, 1), "checks.bmp.txt": (32, 13, 4),
               "keycaps.bmp.txt": (48, 16, 4)}

    def convert_art(self, name):
        done, target = self.run_tool(ART / name, name[:-len(".txt")])
        self.assertEqual(done.returncode, 0, done.stderr)
        return target.read_bytes()

    def test_every_art_file_is_listed_here(self):
        self.assertEqual(sorted(p.name for p in ART.glob("*.txt")),
                         sorted([*self.ICONS, *self.BITMAPS]))

    def test_icons_have_their_sizes_and_depths(self):
        for name, (drawn, full) in self.ICONS.items():
            with self.subTest(name):
                images = read_icon(self.convert_art(name))
                self.assertEqual([(i.width, i.height, i.depth, i.colours) for i in images],
                                 [(s, s, 4, 16) for s in drawn] + [(s, s, 32, 0) for s in full])

    def test_bitmaps_have_their_sizes_and_depths(self):
        for name, size in self.BITMAPS.items():
            with self.subTest(name):
                info = Bitmap(self.convert_art(name)).info
                self.assertEqual((info["width"], info["height"], info["depth"]), size)

    def test_glyph_cells(self):
        glyphs = Bitmap(self.convert_art("glyphs.bmp.txt"))
        black = {(x, y) for x in range(84) for y in range(14) if glyphs.at(x, y) == 0}
        triangle = {(x, y) for x, y in black if x < 14}
        self.assertIn((0, 0), triangle)
        self.assertTrue(all(x + y < 14 and (x + y) % 2 == 0 for x, y in triangle))
        for cell in range(1, 5):
            self.assertTrue(any(cell * 14 <= x < cell * 14 + 14 for x, _ in black), cell)
        self.assertFalse([p for p in black if p[0] >= 70], "cell 5 must be blank")

    def test_share_mark_cell(self):
        caps = Bitmap(self.convert_art("keycaps.bmp.txt"))
        for y in range(16):
            for x in range(16):
                inside, edge = 10 <= x <= 13 and 10 <= y <= 13, x in (10, 13) or y in (10, 13)
                expected = (RED if edge else YELLOW) if inside else MAGENTA
                self.assertEqual(caps.at(32 + x, y), expected, (x, y))

    def test_only_the_ticked_box_has_a_tick(self):
        checks = Bitmap(self.convert_art("checks.bmp.txt"))
        maroon = {x // 16 for x in range(32) for y in range(13) if checks.at(x, y) == MAROON}
        self.assertEqual(maroon, {1})
        self.assertEqual(checks.info["palette"][MAGENTA], (255, 0, 255))


if __name__ == "__main__":
    unittest.main()
