"""16-colour pictures drawn as rows of letters, one letter per pixel, and
written with the standard Windows palette: shared by the picture scripts.
"""

import struct

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def pixel_rows(rows, ink):
    """The rows as 4-bit pixels (letters mapped by `ink` to palette entries),
    bottom row first, each padded to 4 bytes."""
    packed = []
    for row in reversed(rows):
        indices = [ink[letter] for letter in row]
        if len(indices) % 2:
            indices.append(0)
        data = bytes(indices[i] << 4 | indices[i + 1] for i in range(0, len(indices), 2))
        packed.append(data + b"\0" * (-len(data) % 4))
    return b"".join(packed)


def palette():
    return b"".join(struct.pack("<4B", blue, green, red, 0) for red, green, blue in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 0)


def bitmap_file(rows, ink):
    width, height = len(rows[0]), len(rows)
    pixels = pixel_rows(rows, ink)
    header_size = 14 + 40 + 16 * 4
    return (struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
            + info_header(width, height, len(pixels)) + palette() + pixels)
