#!/usr/bin/env python3
"""Writes the program's pictures: the icon, the plus and minus button pictures,
the results dialog's arrow and the OK and Cancel buttons' tick and cross.

Every picture is drawn here as rows of letters, one letter per pixel, and
written in 16 colours (4 bits per pixel) with the standard Windows palette.
The button pictures are transparent where they have the colour of their
bottom-left pixel, so they are drawn on olive, a colour none of them uses.
At 100% each is drawn pixel by pixel; at 125, 150 and 200% it is drawn at that
size from the shapes below (raster.py), into files named with the scale, and
pictures.rc lists them all for varnex.rc.
Run it from anywhere: the files land beside this script.
"""

import os
import struct

from bmp16 import bitmap_file, info_header, palette, pixel_rows
from raster import SCALES, Raster, polygon, rect, stroke, union

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



# The same pictures as shapes in 96-DPI pixels, for the larger scales.

def draw_plus(r):
    r.outlined(union(rect(5, 1, 9, 13), rect(1, 5, 13, 9)), "b", "#")


def draw_minus(r):
    r.outlined(rect(1, 5, 13, 9), "b", "#")


def draw_results_arrow(r):
    r.outlined(polygon([(1, 5), (13, 5), (13, 1), (21, 8.5), (13, 16), (13, 12), (1, 12)]), "b", "#")


def draw_ok_tick(r):
    r.fill(stroke([(2.5, 5.5), (7.5, 12.5), (13.5, 1.5)], 2.4), "G")


def draw_cancel_cross(r):
    r.fill(union(stroke([(2.5, 2.5), (14.5, 14.5)], 2.4), stroke([(14.5, 2.5), (2.5, 14.5)], 2.4)), "r")


def draw_document(r, left, top, right, bottom, lines):
    """A sheet with its top right corner folded, shaded right and below, with
    lines of text as (row, right end, ink)."""
    fold = right - 3
    r.outlined(polygon([(left, top), (fold, top), (right, top + 3), (right, bottom), (left, bottom)]), "w", "#")
    r.fill(union(rect(right - 2, top + 4, right - 1, bottom - 1), rect(left + 1, bottom - 2, right - 1, bottom - 1)), "s")
    r.fill(union(stroke([(fold - 0.5, top), (fold - 0.5, top + 3.5)], 1),
                 stroke([(fold - 0.5, top + 3.5), (right, top + 3.5)], 1)), "#")
    for row, end, ink in lines:
        r.fill(rect(left + 3, row, end, row + 1), ink)


def draw_icon(r):
    draw_document(r, 2, 1, 19, 21, [(4, 12, "n"), (6, 15, "n"), (8, 15, "n"), (10, 14, "n"), (12, 14, "n"),
                                    (14, 14, "n"), (16, 14, "n")])
    draw_document(r, 14, 9, 31, 32, [(12, 25, "n"), (14, 28, "n"), (16, 28, "b"), (18, 28, "b"), (20, 28, "b"),
                                     (22, 25, "b"), (24, 28, "n"), (26, 28, "n"), (28, 25, "n")])
    arrow = polygon([(1, 25), (6, 25), (6, 23), (11, 27.5), (6, 32), (6, 30), (1, 30)])
    r.outlined(arrow, "b", "#")
    r.recolour(rect(0, 0, 12, 27), "b", "c")


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


def picture_file(drawings):
    return bitmap_file(drawings[0], INK)


def icon_file(drawings):
    """One icon holding every drawing, for Windows to pick the size it needs."""
    images = []
    for rows in drawings:
        width, height = len(rows[0]), len(rows)
        # Colour under the mask is black, as the AND/XOR drawing expects.
        colours = [row.replace(".", "#") for row in rows]
        images.append((width, height,
                       info_header(width, 2 * height, 0) + palette() + pixel_rows(colours, INK) + mask_rows(rows)))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, height, image in images:
        directory += struct.pack("<BBBBHHII", width, height, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return directory + b"".join(image for _, _, image in images)


def drawn(draw, width, height, scale, ground):
    raster = Raster(width, height, scale, ground)
    draw(raster)
    return raster.text()


def main():
    here = os.path.dirname(os.path.abspath(__file__))

    def write(name, data):
        with open(os.path.join(here, name), "wb") as out:
            out.write(data)

    icon = [ICON] + [drawn(draw_icon, 32, 32, scale, ".") for scale, _ in SCALES]
    for rows in icon:
        check("varnex.ico", rows, len(rows), len(rows))
    write("varnex.ico", icon_file(icon))

    # (file, resource id, drawing at 100%, its shapes, width, height)
    pictures = [
        ("plus", 101, PLUS, draw_plus, 14, 14),
        ("minus", 102, MINUS, draw_minus, 14, 14),
        ("results_arrow", 103, RESULTS_ARROW, draw_results_arrow, 23, 17),
        ("ok_tick", 104, OK_TICK, draw_ok_tick, 16, 16),
        ("cancel_cross", 105, CANCEL_CROSS, draw_cancel_cross, 16, 16),
    ]
    listing = ["// Written by make_pictures.py: every button and dialog picture, at 100, 125, 150",
               "// and 200% (resource.h: the id plus IDB_SCALE_STEP for each step)."]
    for name, id, rows, draw, width, height in pictures:
        check(name, rows, width, height)
        ground = rows[-1][0]
        write(f"{name}.bmp", picture_file([rows]))
        listing.append(f'{id} BITMAP "{name}.bmp"')
        for step, (scale, suffix) in enumerate(SCALES, 1):
            write(f"{name}{suffix}.bmp", picture_file([drawn(draw, width, height, scale, ground)]))
            listing.append(f'{id + 1000 * step} BITMAP "{name}{suffix}.bmp"')
    with open(os.path.join(here, "pictures.rc"), "w") as out:
        out.write("\n".join(listing) + "\n")


if __name__ == "__main__":
    main()
