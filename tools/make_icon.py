#!/usr/bin/env python3
"""Writes the program's icon (16, 20, 24 and 32 pixels square, 16 colours) from its text source.

The source holds one picture per size, each drawn by hand so that it is sharp at that size (the
shell asks for 16 pixels at 96 DPI, 20 at 120, 24 at 144 and 32 at 192), with a blank line
between them. A picture of N pixels has N lines of N characters, top row first. '.' is
transparent; '0'-'9' and 'A'-'F' pick a colour of the standard 16-colour Windows palette by its
index.
"""
import struct
import sys

SIZES = (16, 20, 24, 32)
# The standard 16-colour palette, in index order, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
TRANSPARENT = "."


def read_pictures(path):
    """The pictures of the source, smallest first: lists of rows."""
    pictures, rows = [], []
    with open(path, encoding="ascii") as source:
        for line in list(source) + [""]:
            line = line.rstrip("\r\n")
            if line.strip():
                rows.append(line)
            elif rows:
                pictures.append(rows)
                rows = []
    if [len(rows) for rows in pictures] != list(SIZES):
        raise ValueError(f"{path}: expected pictures of {SIZES} lines, in that order")
    for rows in pictures:
        for y, row in enumerate(rows, 1):
            if len(row) != len(rows):
                raise ValueError(f"{path}: picture {len(rows)}, line {y}: not {len(rows)} wide")
            for ch in row:
                if ch != TRANSPARENT and ch not in "0123456789ABCDEF":
                    raise ValueError(f"{path}: picture {len(rows)}, line {y}: colour {ch!r}")
    return pictures


def padded(data):
    """A bitmap row fills whole DWORDs."""
    return data + b"\0" * (-len(data) % 4)


def colour_bits(row):
    """One row of the XOR image, 4 bits a pixel, left pixel in the high nibble."""
    indices = [0 if ch == TRANSPARENT else int(ch, 16) for ch in row]
    return padded(bytes((indices[i] << 4) | indices[i + 1] for i in range(0, len(row), 2)))


def mask_bits(row):
    """One row of the AND mask, 1 bit a pixel, set where the screen shows through."""
    value = 0
    for ch in row:
        value = (value << 1) | (ch == TRANSPARENT)
    width = (len(row) + 7) // 8
    return padded((value << (width * 8 - len(row))).to_bytes(width, "big"))


def image_bytes(rows):
    size = len(rows)
    bottom_up = list(reversed(rows))  # DIB rows run from the bottom
    xor = b"".join(colour_bits(row) for row in bottom_up)
    mask = b"".join(mask_bits(row) for row in bottom_up)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    # The header's height counts the colour image and the mask together.
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    return header + palette + xor + mask


def icon_bytes(pictures):
    images = [image_bytes(rows) for rows in pictures]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for rows, image in zip(pictures, images):
        out += struct.pack("<BBBBHHII", len(rows), len(rows), 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def main(argv):
    if len(argv) != 3:
        sys.exit("usage: make_icon.py ICON_TEXT OUTPUT_ICO")
    data = icon_bytes(read_pictures(argv[1]))
    with open(argv[2], "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main(sys.argv)
