#!/usr/bin/env python3
"""Turn text pixel art into a Windows icon (.ico) or bitmap (.bmp).

Usage: pixelart.py INPUT.txt OUTPUT.ico
       pixelart.py INPUT.txt OUTPUT.bmp

The input is plain text, one statement per line:

    depth 4                    bits per pixel, 1 or 4
    colour w FFFFFF white      a palette entry: its character, RRGGBB, any note
    transparent ,              icons only: the character of see-through pixels
    fullcolour 16 24 32        icons only: 32-bit images of these sides as well
    image 16 16                width and height; the next 16 lines are its rows

The palette entries come in palette order, exactly 2 of them for depth 1 and
16 for depth 4, and all header statements come before the first image. Each
row holds one character per pixel, top row first, with nothing else on the
line. Outside images, blank lines and lines starting with '#' are skipped.
A bitmap holds exactly one image; an icon holds one or more, each stored with
the same palette and a mask that is set where the see-through character stands.

After the drawn images, an icon with 'fullcolour' holds one 32-bit image (with
alpha) for each side listed, made from the drawn image whose width is nearest
(the smaller of two equally near). Each new pixel is the average of the
drawn pixels it covers, weighed by how much of each it covers; see-through
pixels add to its transparency, not to its colour. Sides that are multiples
of the drawn one thus copy it in whole pixels; the sides between are blended.

The art of this program uses these characters for the 16 standard colours,
listed in palette order:

    #  black   000000        +  grey     808080
    m  maroon  800000        r  red      FF0000
    g  green   008000        l  lime     00FF00
    o  olive   808000        y  yellow   FFFF00
    n  navy    000080        b  blue     0000FF
    p  purple  800080        .  magenta  FF00FF  (see-through in bitmaps)
    t  teal    008080        a  aqua     00FFFF
    :  silver  C0C0C0        w  white    FFFFFF

Icons mark see-through pixels with ','. Monochrome bitmaps use '#' for black
and '.' for white.
"""

import struct
import sys
from dataclasses import dataclass, field
from pathlib import Path

DEPTHS = (1, 4)
MAX_ICON_SIDE = 256
MAX_BITMAP_SIDE = 4096


class ArtError(Exception):
    """A mistake in the input; line is 1-based, or None for the whole file."""

    def __init__(self, line, message):
        super().__init__(message)
        self.line = line


@dataclass
class Image:
    width: int
    height: int
    indices: list = field(default_factory=list)  # rows, top first
    mask: list = field(default_factory=list)     # rows, 1 = see-through


@dataclass
class Art:
    kind: str                                    # 'ico' or 'bmp'
    depth: int | None = None
    colours: list = field(default_factory=list)  # (r, g, b) in palette order
    chars: dict = field(default_factory=dict)    # character -> palette index
    transparent: str | None = None
    fullcolour: list = field(default_factory=list)  # sides of the 32-bit images
    images: list = field(default_factory=list)


# ---------------------------------------------------------------- parsing

def parse_number(word, number, what, limit):
    if not (word.isascii() and word.isdigit()) or not 1 <= int(word) <= limit:
        raise ArtError(number, f"{what} must be a whole number from 1 to {limit}, not {word!r}")
    return int(word)


def check_pixel_char(art, char, number):
    if len(char) != 1 or not char.isascii() or not char.isprintable() or char.isspace():
        raise ArtError(number, f"a pixel character must be one printable ASCII character, not {char!r}")
    if char in art.chars or char == art.transparent:
        raise ArtError(number, f"character {char!r} is already in use")


def set_depth(art, words, number):
    if len(words) != 2:
        raise ArtError(number, "expected 'depth BITS'")
    if art.depth is not None:
        raise ArtError(number, "depth is given twice")
    if words[1] not in [str(d) for d in DEPTHS]:
        raise ArtError(number, f"depth must be 1 or 4, not {words[1]!r}")
    art.depth = int(words[1])


def add_colour(art, words, number):
    if len(words) < 3:
        raise ArtError(number, "expected 'colour CHAR RRGGBB [note]'")
    if art.depth is None:
        raise ArtError(number, "depth must come before the palette")
    if len(art.colours) == 1 << art.depth:
        raise ArtError(number, f"a depth of {art.depth} allows only {1 << art.depth} colours")
    char, rgb = words[1], words[2]
    check_pixel_char(art, char, number)
    if len(rgb) != 6 or any(c not in "0123456789abcdefABCDEF" for c in rgb):
        raise ArtError(number, f"colour must be six hex digits RRGGBB, not {rgb!r}")
    art.chars[char] = len(art.colours)
    art.colours.append(tuple(bytes.fromhex(rgb)))


def set_transparent(art, words, number):
    if len(words) != 2:
        raise ArtError(number, "expected 'transparent CHAR'")
    if art.kind != "ico":
        raise ArtError(number, "only icons have see-through pixels")
    if art.transparent is not None:
        raise ArtError(number, "transparent is given twice")
    check_pixel_char(art, words[1], number)
    art.transparent = words[1]


def check_palette(art, number):
    if art.depth is None:
        raise ArtError(number, "depth must come before the first image")
    if len(art.colours) != 1 << art.depth:
        raise ArtError(number, f"a depth of {art.depth} needs {1 << art.depth} colours, "
                               f"{len(art.colours)} given")


def decode_row(art, row, width, number):
    if len(row) != width:
        raise ArtError(number, f"row is {len(row)} pixels wide, the image {width}")
    indices, mask = [], []
    for char in row:
        if char == art.transparent:
            indices.append(0)
            mask.append(1)
        elif char in art.chars:
            indices.append(art.chars[char])
            mask.append(0)
        else:
            raise ArtError(number, f"unknown pixel character {char!r}")
    return indices, mask


def read_image(art, words, number, numbered):
    """Read an 'image W H' statement and the H rows that follow it."""
    if len(words) != 3:
        raise ArtError(number, "expected 'image WIDTH HEIGHT'")
    if art.kind == "bmp" and art.images:
        raise ArtError(number, "a bitmap holds exactly one image")
    check_palette(art, number)
    limit = MAX_ICON_SIDE if art.kind == "ico" else MAX_BITMAP_SIDE
    image = Image(parse_number(words[1], number, "width", limit),
                  parse_number(words[2], number, "height", limit))
    for _ in range(image.height):
        row_number, row = next(numbered, (None, None))
        if row is None:
            raise ArtError(number, f"image has {len(image.indices)} rows, {image.height} declared")
        indices, mask = decode_row(art, row, image.width, row_number)
        image.indices.append(indices)
        image.mask.append(mask)
    return image


def set_fullcolour(art, words, number):
    if len(words) < 2:
        raise ArtError(number, "expected 'fullcolour SIDE...'")
    if art.kind != "ico":
        raise ArtError(number, "only icons have 32-bit images")
    if art.fullcolour:
        raise ArtError(number, "fullcolour is given twice")
    sides = [parse_number(word, number, "a side", MAX_ICON_SIDE) for word in words[1:]]
    if len(set(sides)) != len(sides):
        raise ArtError(number, "a side is listed twice")
    art.fullcolour = sides


HEADER_STATEMENTS = {"depth": set_depth, "colour": add_colour, "transparent": set_transparent,
                     "fullcolour": set_fullcolour}


def parse_art(lines, kind):
    art = Art(kind)
    numbered = enumerate(lines, start=1)
    for number, line in numbered:
        words = line.split()
        if not words or words[0].startswith("#"):
            continue
        if words[0] == "image":
            art.images.append(read_image(art, words, number, numbered))
        elif words[0] not in HEADER_STATEMENTS:
            raise ArtError(number, f"unknown statement {words[0]!r}")
        elif art.images:
            raise ArtError(number, "header statements must come before the first image")
        else:
            HEADER_STATEMENTS[words[0]](art, words, number)
    if not art.images:
        raise ArtError(None, "no image in the file")
    return art


# ---------------------------------------------------------------- writing

def pack_row(values, bits):
    """Pack pixel values most significant bits first, padded to 4 bytes."""
    per_byte = 8 // bits
    packed = bytearray()
    for start in range(0, len(values), per_byte):
        byte = 0
        for position, value in enumerate(values[start:start + per_byte]):
            byte |= value << (8 - bits * (position + 1))
        packed.append(byte)
    packed.extend(bytes(-len(packed) % 4))
    return bytes(packed)


def pack_rows(rows, bits):
    """Pixel data as Windows stores it: bottom row first."""
    return b"".join(pack_row(row, bits) for row in reversed(rows))


def info_header(width, height, depth, image_size):
    """BITMAPINFOHEADER, uncompressed, full palette."""
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, depth, 0, image_size, 0, 0, 0, 0)


def palette_bytes(colours):
    """RGBQUADs: blue, green, red, reserved."""
    return b"".join(struct.pack("<BBBx", b, g, r) for r, g, b in colours)


def build_bmp(art):
    image = art.images[0]
    pixels = pack_rows(image.indices, art.depth)
    head = info_header(image.width, image.height, art.depth, len(pixels)) + palette_bytes(art.colours)
    offset = 14 + len(head)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return file_header + head + pixels


def icon_image(art, image):
    """One icon image: header with doubled height, palette, colour bits, mask."""
    colour_bits = pack_rows(image.indices, art.depth)
    mask_bits = pack_rows(image.mask, 1)
    head = info_header(image.width, 2 * image.height, art.depth, len(colour_bits) + len(mask_bits))
    return head + palette_bytes(art.colours) + colour_bits + mask_bits


def coverage(target, size, source):
    """(source index, weight) of the source pixels under target pixel number target."""
    start, end = target * source / size, (target + 1) * source / size
    first = int(start)
    last = min(source - 1, int(end - 1e-9))
    return [(i, min(end, i + 1) - max(start, i)) for i in range(first, last + 1)]


def resample(art, image, width, height):
    """Rows of (r, g, b, alpha) pixels of the image at a new size, by area."""
    columns = [coverage(x, width, image.width) for x in range(width)]
    rows = []
    for y in range(height):
        lines = coverage(y, height, image.height)
        row = []
        for cells in columns:
            total = opaque = 0.0
            rgb = [0.0, 0.0, 0.0]
            for sy, wy in lines:
                for sx, wx in cells:
                    weight = wx * wy
                    total += weight
                    if image.mask[sy][sx]:
                        continue
                    opaque += weight
                    for channel, value in enumerate(art.colours[image.indices[sy][sx]]):
                        rgb[channel] += weight * value
            colour = [round(value / opaque) for value in rgb] if opaque else [0, 0, 0]
            row.append((*colour, round(255 * opaque / total)))
        rows.append(row)
    return rows


def nearest_image(art, side):
    return min(art.images, key=lambda image: (abs(image.width - side), image.width))


def full_colour_image(art, side):
    """One 32-bit icon image: header with doubled height, BGRA bits, mask."""
    rows = resample(art, nearest_image(art, side), side, side)
    colour_bits = b"".join(struct.pack("<BBBB", b, g, r, a) for row in reversed(rows) for r, g, b, a in row)
    mask_bits = pack_rows([[int(pixel[3] == 0) for pixel in row] for row in rows], 1)
    head = info_header(side, 2 * side, 32, len(colour_bits) + len(mask_bits))
    return head + colour_bits + mask_bits


def build_ico(art):
    # (width, height, colour count, bits per pixel, image)
    entries = [(image.width, image.height, len(art.colours), art.depth, icon_image(art, image))
               for image in art.images]
    entries += [(side, side, 0, 32, full_colour_image(art, side)) for side in art.fullcolour]
    directory = struct.pack("<HHH", 0, 1, len(entries))
    offset = len(directory) + 16 * len(entries)
    for width, height, colours, depth, blob in entries:
        # A side of 256 and a count of 256 colours are written as 0.
        directory += struct.pack("<BBBBHHII", width % 256, height % 256, colours % 256, 0, 1, depth,
                                 len(blob), offset)
        offset += len(blob)
    return directory + b"".join(blob for *_, blob in entries)


BUILDERS = {"ico": build_ico, "bmp": build_bmp}


# ---------------------------------------------------------------- command line

def convert(source, target):
    """Convert one file; returns an error message, or None on success."""
    kind = target.suffix.lower().lstrip(".")
    if kind not in BUILDERS:
        return f"{target}: the output must end in .ico or .bmp"
    try:
        text = source.read_text(encoding="utf-8")
        art = parse_art(text.splitlines(), kind)
        target.write_bytes(BUILDERS[kind](art))
    except ArtError as error:
        where = f"{source}:{error.line}" if error.line else f"{source}"
        return f"{where}: {error}"
    except UnicodeDecodeError as error:
        return f"{source}: not UTF-8 text ({error.reason})"
    except OSError as error:
        return str(error)
    return None


def main(argv):
    if len(argv) != 3:
        print("usage: pixelart.py INPUT.txt OUTPUT.ico|OUTPUT.bmp", file=sys.stderr)
        return 2
    message = convert(Path(argv[1]), Path(argv[2]))
    if message:
        print(f"pixelart: {message}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
