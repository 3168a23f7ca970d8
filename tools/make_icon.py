#!/usr/bin/env python3
"""Writes the program's icon (32x32, 16 colours) from its text source.

The source has 32 lines of 32 characters, top row first. '.' is transparent; '0'-'9' and 'A'-'F'
pick a colour of the standard 16-colour Windows palette by its index.
"""
import struct
import sys

SIZE = 32
# The standard 16-colour palette, in index order, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
TRANSPARENT = "."


def read_rows(path):
    with open(path, encoding="ascii") as source:
        rows = [line.rstrip("\r\n") for line in source if line.strip()]
    if len(rows) != SIZE or any(len(row) != SIZE for row in rows):
        raise ValueError(f"{path}: expected {SIZE} lines of {SIZE} characters")
    for y, row in enumerate(rows, 1):
        for ch in row:
            if ch != TRANSPARENT and ch not in "0123456789ABCDEF":
                raise ValueError(f"{path}:{y}: unknown colour {ch!r}")
    return rows


def colour_bits(row):
    """One row of the XOR image, 4 bits a pixel, left pixel in the high nibble."""
    indices = [0 if ch == TRANSPARENT else int(ch, 16) for ch in row]
    return bytes((indices[i] << 4) | indices[i + 1] for i in range(0, SIZE, 2))


def mask_bits(row):
    """One row of the AND mask, 1 bit a pixel, set where the screen shows through."""
    value = 0
    for ch in row:
        value = (value << 1) | (ch == TRANSPARENT)
    return value.to_bytes(SIZE // 8, "big")  # 4 bytes: already a whole DWORD


def icon_bytes(rows):
    bottom_up = list(reversed(rows))  # DIB rows run from the bottom
    xor = b"".join(colour_bits(row) for row in bottom_up)
    mask = b"".join(mask_bits(row) for row in bottom_up)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    # The header's height counts the colour image and the mask together.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main(argv):
    if len(argv) != 3:
        sys.exit("usage: make_icon.py ICON_TEXT OUTPUT_ICO")
    data = icon_bytes(read_rows(argv[1]))
    with open(argv[2], "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main(sys.argv)
