#!/usr/bin/env python3
"""Writes the program's pictures: the icon, the plus and minus button pictures,
the results dialog's arrow and the OK button's tick.

Every picture is drawn here as rows of letters, one letter per pixel, and
written in 16 colours (4 bits per pixel) with the standard Windows palette.
The button pictures are transparent where they have the colour of their
bottom-left pixel, so they are drawn on olive, a colour none of them uses.
Run it from anywhere: the files land beside this script.
"""

import os
import struct

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# The letters of the drawings and their palette entries.
INK = {
    "#": 0,   # black
    "n": 4,   # navy
    "o": 3,   # olive: the transparent ground of the button pictures
    "s": 7,   # silver
    "g": 8,   # grey
    "G": 2,   # green
    "r": 9,   # red
    "b": 12,  # blue
    "c": 14,  # cyan
    "w": 15,  # white
    ".": 13,  # magenta: outside the icon (its mask makes it transparent)
}

PLUS = [
    "oooooooooooooo",
    "ooooo####ooooo",
    "ooooo#bb#ooooo",
    "ooooo#bb#ooooo",
    "ooooo#bb#ooooo",
    "o#####bb#####o",
    "o#bbbbbbbbbb#o",
    "o#bbbbbbbbbb#o",
    "o#####bb#####o",
    "ooooo#bb#ooooo",
    "ooooo#bb#ooooo",
    "ooooo#bb#ooooo",
    "ooooo####ooooo",
    "oooooooooooooo",
]

MINUS = [
    "oooooooooooooo",
    "oooooooooooooo",
    "oooooooooooooo",
    "oooooooooooooo",
    "oooooooooooooo",
    "o############o",
    "o#bbbbbbbbbb#o",
    "o#bbbbbbbbbb#o",
    "o############o",
    "oooooooooooooo",
    "oooooooooooooo",
    "oooooooooooooo",
    "oooooooooooooo",
    "oooooooooooooo",
]

RESULTS_ARROW = [
    "wwwwwwwwwwwwwwwwwwwwwww",
    "wwwwwwwwwwwww#wwwwwwwww",
    "wwwwwwwwwwwww##wwwwwwww",
    "wwwwwwwwwwwww#b#wwwwwww",
    "wwwwwwwwwwwww#bb#wwwwww",
    "w#############bbb#wwwww",
    "w#bbbbbbbbbbbbbbbb#wwww",
    "w#bbbbbbbbbbbbbbbbb#www",
    "w#bbbbbbbbbbbbbbbbbb#ww",
    "w#bbbbbbbbbbbbbbbbb#www",
    "w#bbbbbbbbbbbbbbbb#wwww",
    "w#############bbb#wwwww",
    "wwwwwwwwwwwww#bb#wwwwww",
    "wwwwwwwwwwwww#b#wwwwwww",
    "wwwwwwwwwwwww##wwwwwwww",
    "wwwwwwwwwwwww#wwwwwwwww",
    "wwwwwwwwwwwwwwwwwwwwwww",
]

OK_TICK = [
    "oooooooooooooooo",
    "oooooooooooooGoo",
    "ooooooooooooGGoo",
    "oooooooooooGGGoo",
    "ooooooooooGGGooo",
    "ooGoooooooGGGooo",
    "ooGGoooooGGGoooo",
    "ooGGGooooGGGoooo",
    "oooGGGooGGGooooo",
    "ooooGGGoGGGooooo",
    "oooooGGGGGoooooo",
    "oooooGGGGGoooooo",
    "ooooooGGGooooooo",
    "oooooooGoooooooo",
    "oooooooooooooooo",
    "oooooooooooooooo",
]

CANCEL_CROSS = [
    "oooooooooooooooo",
    "oooooooooooooooo",
    "oorrooooooooorro",
    "oorrrooooooorrro",
    "ooorrrooooorrroo",
    "oooorrrooorrrooo",
    "ooooorrrorrroooo",
    "oooooorrrrrooooo",
    "ooooooorrrrooooo",
    "oooooorrrrrooooo",
    "ooooorrrorrroooo",
    "oooorrrooorrrooo",
    "ooorrrooooorrroo",
    "oorrrooooooorrro",
    "oorroooooooooorr",
    "oooooooooooooooo",
]

# Two stacked text documents and an arrow from the one behind to the one in
# front: what the program does to a pile of files.
ICON = [
    "................................",
    "..##############................",
    "..#wwwwwwwwwww#w#...............",
    "..#wwwwwwwwwww#ww#..............",
    "..#wwnnnnnnnww####..............",
    "..#wwwwwwwwwwwwwws#.............",
    "..#wwnnnnnnnnnnwws#.............",
    "..#wwwwwwwwwwwwwws#.............",
    "..#wwnnnnnnnnnnwws#.............",
    "..#wwwwwwwwwww##############....",
    "..#wwnnnnnnnnn#wwwwwwwwwww#w#...",
    "..#wwwwwwwwwww#wwwwwwwwwww#ww#..",
    "..#wwnnnnnnnnn#wwnnnnnnnww####..",
    "..#wwwwwwwwwww#wwwwwwwwwwwwwws#.",
    "..#wwnnnnnnnnn#wwnnnnnnnnnnwws#.",
    "..#wwwwwwwwwww#wwwwwwwwwwwwwws#.",
    "..#wwnnnnnnnnn#wwbbbbbbbbbbwws#.",
    "..#wwwwwwwwwww#wwwwwwwwwwwwwws#.",
    "..#wwwwwwwwwww#wwbbbbbbbbbbwws#.",
    "..#sssssssssss#wwwwwwwwwwwwwws#.",
    "..#############wwbbbbbbbbbbwws#.",
    "..............#wwwwwwwwwwwwwws#.",
    "..............#wwbbbbbbbwwwwws#.",
    "......#.......#wwwwwwwwwwwwwws#.",
    "......##......#wwnnnnnnnnnnwws#.",
    ".######c#.....#wwwwwwwwwwwwwws#.",
    ".#ccccccc#....#wwnnnnnnnnnnwws#.",
    ".#bbbbbbbb#...#wwwwwwwwwwwwwws#.",
    ".#bbbbbbb#....#wwnnnnnnnwwwwws#.",
    ".######b#.....#wwwwwwwwwwwwwws#.",
    "......##......#ssssssssssssssg#.",
    "......#.......################..",
]


def check(name, rows, width, height):
    if len(rows) != height or any(len(row) != width for row in rows):
        raise SystemExit(f"{name}: the drawing is not {width} x {height}")


def pixel_rows(rows):
    """The rows as 4-bit pixels, bottom row first, each padded to 4 bytes."""
    packed = []
    for row in reversed(rows):
        indices = [INK[letter] for letter in row]
        if len(indices) % 2:
            indices.append(0)
        data = bytes(indices[i] << 4 | indices[i + 1] for i in range(0, len(indices), 2))
        packed.append(data + b"\0" * (-len(data) % 4))
    return b"".join(packed)


def mask_rows(rows):
    """The icon's AND mask: 1 where the screen shows through."""
    packed = []
    for row in reversed(rows):
        bits = 0
        for letter in row:
            bits = bits << 1 | (letter == ".")
        data = bits.to_bytes((len(row) + 7) // 8, "big")
        packed.append(data + b"\0" * (-len(data) % 4))
    return b"".join(packed)


def palette():
    return b"".join(struct.pack("<4B", blue, green, red, 0) for red, green, blue in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 0)


def bitmap_file(rows):
    width, height = len(rows[0]), len(rows)
    pixels = pixel_rows(rows)
    header_size = 14 + 40 + 16 * 4
    return (struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
            + info_header(width, height, len(pixels)) + palette() + pixels)


def icon_file(rows):
    width, height = len(rows[0]), len(rows)
    # Colour under the mask is black, as the AND/XOR drawing expects.
    colours = [row.replace(".", "#") for row in rows]
    image = info_header(width, 2 * height, 0) + palette() + pixel_rows(colours) + mask_rows(rows)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width, height, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    pictures = [
        ("varnex.ico", ICON, 32, 32, icon_file),
        ("plus.bmp", PLUS, 14, 14, bitmap_file),
        ("minus.bmp", MINUS, 14, 14, bitmap_file),
        ("results_arrow.bmp", RESULTS_ARROW, 23, 17, bitmap_file),
        ("ok_tick.bmp", OK_TICK, 16, 16, bitmap_file),
        ("cancel_cross.bmp", CANCEL_CROSS, 16, 16, bitmap_file),
    ]
    for name, rows, width, height, make in pictures:
        check(name, rows, width, height)
        with open(os.path.join(here, name), "wb") as out:
            out.write(make(rows))


if __name__ == "__main__":
    main()
