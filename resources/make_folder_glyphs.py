#!/usr/bin/env python3
"""Writes the drive and folder pickers' glyphs, resources/nfc_*.bmp.

Eight pictures, each in two variants: the plain one (drives 11 pixels high,
folders 15) and the "95" one (14 pixels high; the CD-ROM and network drives
15). All are 16 pixels wide, in 16 colours with the standard Windows palette,
and transparent where they have the colour of their bottom-left pixel: they
are drawn on olive, which none of them uses otherwise. The "95" ones are also
drawn at 125, 150 and 200%, and glyphs.rc lists them all for varnex.rc.
Run it from anywhere: the files land beside this script.
"""

import os

from bmp16 import bitmap_file
from raster import SCALES, edge_thickness, scaled

INK = {
    "#": 0,   # black
    "o": 3,   # olive: the transparent ground
    "y": 11,  # yellow
    "Y": 8,   # grey: the shaded side of a folder
    "s": 7,   # silver
    "g": 8,   # grey
    "G": 10,  # lime: a drive's light
    "b": 12,  # blue
    "n": 4,   # navy
    "c": 14,  # cyan
    "w": 15,  # white
    "r": 9,   # red
    "k": 6,   # teal
}


class Canvas:
    """Drawing in the pixels of the 100% glyph; at a larger scale each of them
    covers the pixels of its place, and a box's edge is as thick as the scale
    allows."""

    def __init__(self, height, scale=1.0):
        self.scale = scale
        self.rows = [["o"] * scaled(16, scale) for _ in range(scaled(height, scale))]

    def area(self, left, top, right, bottom, ink, inset=0):
        s = self.scale
        for y in range(scaled(top, s) + inset, scaled(bottom + 1, s) - inset):
            for x in range(scaled(left, s) + inset, scaled(right + 1, s) - inset):
                self.rows[y][x] = ink

    def box(self, left, top, right, bottom, fill, edge="#"):
        """A filled rectangle with an edge, corners included."""
        self.area(left, top, right, bottom, edge)
        self.area(left, top, right, bottom, fill, inset=edge_thickness(self.scale))

    def put(self, x, y, ink):
        self.area(x, y, x, y, ink)

    def line(self, x0, x1, y, ink):
        self.area(x0, y, x1, y, ink)

    def text(self):
        return ["".join(row) for row in self.rows]


def drive_body(canvas, top, bottom):
    """The box every drive shares: silver front, grey shadow, a green light."""
    canvas.box(1, top, 14, bottom, "s")
    canvas.line(2, 13, bottom - 1, "g")
    canvas.put(12, bottom - 2, "G")


def hard(height, scale):
    c = Canvas(height, scale)
    top = height - 8
    drive_body(c, top, height - 2)
    c.line(2, 13, top + 1, "w")
    return c.text()


def floppy(height, scale):
    c = Canvas(height, scale)
    top = height - 8
    drive_body(c, top, height - 2)
    c.line(3, 10, top + 2, "#")  # the slot
    return c.text()


def cdrom(height, scale):
    c = Canvas(height, scale)
    top = height - 8
    drive_body(c, top, height - 2)
    # A disc leaning on the drive.
    for y, (a, b) in enumerate([(5, 10), (4, 11), (3, 12), (4, 11), (5, 10)]):
        if top - 5 + y >= 0:
            c.line(a, b, top - 5 + y, "c")
    c.put(7, top - 3, "w")
    c.put(8, top - 3, "w")
    return c.text()


def network(height, scale):
    c = Canvas(height, scale)
    top = height - 11
    drive_body(c, top, height - 5)
    # The cable to the server.
    c.line(7, 8, height - 4, "#")
    c.line(7, 8, height - 3, "#")
    c.line(2, 13, height - 2, "#")
    return c.text()


def ram(height, scale):
    c = Canvas(height, scale)
    top = height - 8
    c.box(2, top + 1, 13, height - 3, "g")
    for x in range(3, 13, 2):  # the chip's legs
        c.put(x, top, "#")
        c.put(x, height - 2, "#")
    c.line(4, 11, top + 3, "G")
    return c.text()


def closed_folder(height, scale):
    c = Canvas(height, scale)
    top = height - 11
    c.box(1, top - 1, 6, top + 1, "y")      # the tab
    c.box(1, top + 1, 14, height - 2, "y")  # the folder
    c.line(2, 13, top + 2, "w")
    c.line(2, 13, height - 3, "Y")
    return c.text()


def open_folder(height, scale, inside="y"):
    c = Canvas(height, scale)
    top = height - 11
    c.box(1, top - 1, 6, top + 1, "y")
    c.box(1, top + 1, 12, height - 2, inside)
    # The open flap, slanting out to the right.
    flap = top + 5
    for y in range(flap, height - 1):
        shift = y - flap
        left, right = 1 + shift // 2 + 2, min(15, 14 + (shift + 1) // 2)
        c.line(left, right, y, "y")
        c.put(left, y, "#")
        c.put(right, y, "#")
    c.line(3, 14, flap, "#")
    c.line(3, 15, height - 2, "#")
    return c.text()


def current_folder(height, scale):
    # The open folder with papers showing: the one the list is in.
    return open_folder(height, scale, inside="w")


PICTURES = {
    "nfc_hard": (hard, 11, 14),
    "nfc_floppy": (floppy, 11, 14),
    "nfc_cdrom": (cdrom, 11, 15),
    "nfc_network": (network, 11, 15),
    "nfc_ram": (ram, 11, 14),
    "nfc_closedfolder": (closed_folder, 15, 14),
    "nfc_openfolder": (open_folder, 15, 14),
    "nfc_currentfolder": (current_folder, 15, 14),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    listing = ["// Written by make_folder_glyphs.py: the pickers' glyphs, the new-style ones also at",
               "// 125, 150 and 200% (their names end in the scale)."]
    for name, (draw, plain_height, new_height) in PICTURES.items():
        drawings = [("", plain_height, 1.0), ("95", new_height, 1.0)]
        drawings += [("95" + suffix, new_height, scale) for scale, suffix in SCALES]
        for variant, height, scale in drawings:
            rows = draw(height, scale)
            if len(rows) != scaled(height, scale) or any(len(row) != scaled(16, scale) for row in rows) \
                    or rows[-1][0] != "o":
                raise SystemExit(f"{name}{variant}: the drawing is not 16 x {height} on olive at {scale}")
            with open(os.path.join(here, f"{name}{variant}.bmp"), "wb") as out:
                out.write(bitmap_file(rows, INK))
            listing.append(f'{name.upper()}{variant} BITMAP "{name}{variant}.bmp"')
    with open(os.path.join(here, "glyphs.rc"), "w") as out:
        out.write("\n".join(listing) + "\n")


if __name__ == "__main__":
    main()
