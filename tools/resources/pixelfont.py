"""A small 5x7 pixel font (with two descender rows) for the texts drawn into our pictures."""

# Rows top to bottom; '#' is ink. Rows 0-6 stand on the baseline, rows 7-8 hang below it.
GLYPHS = {
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "N": ["#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"],
    "I": ["###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    "a": ["....", "....", ".###.", "....#", ".####", "#...#", ".####"],
    "c": [".....", ".....", ".###.", "#...#", "#....", "#...#", ".###."],
    "d": ["....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "g": [".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", ".###."],
    "i": [".#.", "...", "##.", ".#.", ".#.", ".#.", "###"],
    "n": [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "t": [".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##."],
    ".": ["..", "..", "..", "..", "..", "##", "##"],
    " ": ["..."],
}
GAP = 1
HEIGHT = 9


def glyph_width(ch):
    return max(len(row) for row in GLYPHS[ch])


def text_width(text):
    """Width of the text in font pixels, gaps included."""
    return sum(glyph_width(ch) for ch in text) + GAP * (len(text) - 1)


def ink_cells(text):
    """The (column, row) font pixels that carry ink, row 0 at the cap line."""
    cells = []
    x = 0
    for ch in text:
        for y, row in enumerate(GLYPHS[ch]):
            cells.extend((x + i, y) for i, c in enumerate(row) if c == "#")
        x += glyph_width(ch) + GAP
    return cells
