"""A tiny anti-aliasing rasteriser: shapes are inside-tests, painted with supersampling."""
import math

SAMPLES = 4


class Canvas:
    """A grey-level picture, 0.0 black to 1.0 white, row 0 at the top."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[0.0] * width for _ in range(height)]

    def paint(self, inside, level, box):
        """Blends `level` into every pixel of `box` (x0, y0, x1, y1) by the share of its
        subsamples for which inside(x, y) holds."""
        x0, y0, x1, y1 = box
        step = 1.0 / SAMPLES
        offsets = [(i + 0.5) * step for i in range(SAMPLES)]
        for py in range(max(0, int(y0)), min(self.height, int(math.ceil(y1)))):
            row = self.pixels[py]
            for px in range(max(0, int(x0)), min(self.width, int(math.ceil(x1)))):
                hits = sum(1 for dy in offsets for dx in offsets if inside(px + dx, py + dy))
                if hits:
                    cover = hits / (SAMPLES * SAMPLES)
                    row[px] = row[px] * (1.0 - cover) + level * cover

    def levels(self, scale=255):
        """Rows of integer levels 0..scale."""
        return [[int(round(v * scale)) for v in row] for row in self.pixels]


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ellipse(cx, cy, a, b):
    if a <= 0 or b <= 0:
        return lambda x, y: False
    return lambda x, y: ((x - cx) / a) ** 2 + ((y - cy) / b) ** 2 <= 1.0


def ring(cx, cy, r, width):
    outer, inner = disc(cx, cy, r + width / 2), disc(cx, cy, r - width / 2)
    return lambda x, y: outer(x, y) and not inner(x, y)


def ellipse_ring(cx, cy, a, b, width):
    outer = ellipse(cx, cy, a + width / 2, b + width / 2)
    inner = ellipse(cx, cy, a - width / 2, b - width / 2)
    return lambda x, y: outer(x, y) and not inner(x, y)


def capsule(x0, y0, x1, y1, width):
    """A stroke from (x0, y0) to (x1, y1) with round ends."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        return (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= (width / 2) ** 2
    return inside


def band(y, width):
    return lambda px, py: abs(py - y) <= width / 2


def both(a, b):
    return lambda x, y: a(x, y) and b(x, y)


def cells(left, top, size, cell_list):
    """Square font pixels of `size` screen pixels, the text's top-left corner at (left, top)."""
    occupied = set(cell_list)
    return lambda x, y: (int((x - left) // size), int((y - top) // size)) in occupied \
        if x >= left and y >= top else False
