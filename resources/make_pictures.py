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

from bmp16 import bitmap_file, info_header, palette, pixel_rows

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


def picture_file(rows):
    return bitmap_file(rows, INK)


def icon_file(rows):
    width, height = len(rows[0]), len(rows)
    # Colour under the mask is black, as the AND/XOR drawing expects.
    colours = [row.replace(".", "#") for row in rows]
    image = info_header(width, 2 * height, 0) + palette() + pixel_rows(colours, INK) + mask_rows(rows)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width, height, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    pictures = [
        ("varnex.ico", ICON, 32, 32, icon_file),
        ("plus.bmp", PLUS, 14, 14, picture_file),
        ("minus.bmp", MINUS, 14, 14, picture_file),
        ("results_arrow.bmp", RESULTS_ARROW, 23, 17, picture_file),
        ("ok_tick.bmp", OK_TICK, 16, 16, picture_file),
        ("cancel_cross.bmp", CANCEL_CROSS, 16, 16, picture_file),
    ]
    for name, rows, width, height, make in pictures:
        check(name, rows, width, height)
        with open(os.path.join(here, name), "wb") as out:
            out.write(make(rows))


if __name__ == "__main__":
    main()
