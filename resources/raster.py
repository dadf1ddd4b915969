"""Pictures drawn at any scale from shapes given in 96-DPI pixels, so that a
picture at 125, 150 or 200% is drawn at its own size, sharp, not stretched.

A shape is a test of a point in 96-DPI units; a pixel takes a shape's ink when
the shape holds the pixel's centre. An outlined shape gets an edge of whole
pixels, as thick as the scale allows, where its inside meets its outside.
"""

import math

# The scales the pictures are drawn at besides 100%, with the suffix of their
# files: 120, 144 and 192 pixels per inch.
SCALES = [(1.25, "_125"), (1.5, "_150"), (2.0, "_200")]


def scaled(length, scale):
    return int(math.floor(length * scale + 0.5))


def edge_thickness(scale):
    return max(1, int(scale + 0.25))


def rect(left, top, right, bottom):
    return lambda x, y: left <= x < right and top <= y < bottom


def polygon(points):
    def inside(x, y):
        hit = False
        for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                hit = not hit
        return hit
    return inside


def stroke(points, width):
    """A line through the points, `width` thick, with round ends."""
    def near(x, y):
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            dx, dy = x1 - x0, y1 - y0
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
            if math.hypot(x - x0 - t * dx, y - y0 - t * dy) <= width / 2:
                return True
        return False
    return near


def union(*shapes):
    return lambda x, y: any(shape(x, y) for shape in shapes)


class Raster:
    def __init__(self, width, height, scale, ground):
        self.scale = scale
        self.width, self.height = scaled(width, scale), scaled(height, scale)
        self.rows = [[ground] * self.width for _ in range(self.height)]

    def mask(self, shape):
        s = self.scale
        return [[shape((x + 0.5) / s, (y + 0.5) / s) for x in range(self.width)] for y in range(self.height)]

    def fill(self, shape, ink):
        for y, row in enumerate(self.mask(shape)):
            for x, hit in enumerate(row):
                if hit:
                    self.rows[y][x] = ink

    def outlined(self, shape, fill, edge):
        inside = self.mask(shape)
        t = edge_thickness(self.scale)

        def at_edge(x, y):
            for ny in range(y - t, y + t + 1):
                for nx in range(x - t, x + t + 1):
                    if not (0 <= ny < self.height and 0 <= nx < self.width and inside[ny][nx]):
                        return True
            return False

        for y in range(self.height):
            for x in range(self.width):
                if inside[y][x]:
                    self.rows[y][x] = edge if at_edge(x, y) else fill

    def recolour(self, shape, old, new):
        for y, row in enumerate(self.mask(shape)):
            for x, hit in enumerate(row):
                if hit and self.rows[y][x] == old:
                    self.rows[y][x] = new

    def text(self):
        return ["".join(row) for row in self.rows]
