"""Draws Splosh's block art: blocks.bmp, colours.bmp, spectrum.bmp,
rainbow.bmp and the application icon.

    python3 tools/make_art.py GFX_FOLDER ICON_PNG

The six colours were chosen to stay apart for every viewer: at least 25
CIEDE2000 units from each other, and at least 10 under simulated
protanopia, deuteranopia and tritanopia (tests/media checks both). Each
colour also carries its own mark, so no one has to rely on colour alone.
"""

import sys

from pictures import KEY, Picture, mix, strip, write_bmp, write_png

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

# Face colour and mark of colours 0 to 5, in the board's numbering.
PALETTE = [
    ((185, 10, 25), 'dot'),  # crimson
    ((255, 140, 10), 'ring'),  # orange
    ((255, 250, 20), 'cross'),  # lemon
    ((0, 185, 132), 'bars'),  # teal green
    ((60, 125, 200), 'diamond'),  # blue
    ((135, 10, 160), 'triangle'),  # purple
]
LOGO_FACE = (226, 232, 244)
WALL_FACE = (104, 108, 120)

# Marks are 8 x 8 with two-pixel strokes: thinner ones vanish at 16 pixels.
MARKS = {
    'dot': """
        ........
        ...##...
        ..####..
        .######.
        .######.
        ..####..
        ...##...
        ........""",
    'ring': """
        ..####..
        .##..##.
        ##....##
        #......#
        #......#
        ##....##
        .##..##.
        ..####..""",
    'cross': """
        ##....##
        ###..###
        .######.
        ..####..
        ..####..
        .######.
        ###..###
        ##....##""",
    'bars': """
        ........
        ########
        ########
        ........
        ........
        ########
        ########
        ........""",
    'diamond': """
        ...##...
        ..####..
        .##..##.
        ##....##
        ##....##
        .##..##.
        ..####..
        ...##...""",
    'triangle': """
        ...##...
        ...##...
        ..####..
        ..####..
        .##..##.
        .##..##.
        ########
        ########""",
}
MARK_SIZE = 8


def mark_pixels(name):
    rows = [line.strip() for line in MARKS[name].strip().splitlines()]
    return [(x, y) for y, row in enumerate(rows) for x, c in enumerate(row) if c == '#']


def luminance(colour):
    """Relative luminance of an sRGB colour, 0 to 1."""
    linear = [c / 255 / 12.92 if c <= 10 else ((c / 255 + 0.055) / 1.055) ** 2.4 for c in colour]
    return 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2]


def mark_colour(face):
    """Dark marks on light faces, light marks on dark ones."""
    return mix(face, BLACK, 0.55) if luminance(face) > 0.25 else mix(face, WHITE, 0.6)


def bevelled(width, height, face, depth=2):
    """A raised tile: light top and left edges, dark bottom and right ones,
    fading over `depth` rings towards the face."""
    tile = Picture(width, height, face)
    for y in range(height):
        for x in range(width):
            ring = min(x, y, width - 1 - x, height - 1 - y)
            if ring >= depth:
                continue
            strength = (depth - ring) / depth
            if min(x, y) == ring:
                tile.put(x, y, mix(face, WHITE, 0.55 * strength))
            else:
                tile.put(x, y, mix(face, BLACK, 0.5 * strength))
    return tile


def stamp_mark(tile, name, face, x, y):
    for mx, my in mark_pixels(name):
        tile.put(x + mx, y + my, mark_colour(face))


def block(face, mark=None):
    tile = bevelled(16, 16, face)
    if mark:
        stamp_mark(tile, mark, face, 4, 4)
    return tile


def logo_block():
    tile = block(LOGO_FACE)
    # A glint in the top-left corner makes the letters look glazed.
    for x, y in ((3, 3), (4, 3), (3, 4)):
        tile.put(x, y, WHITE)
    return tile


def swatch(face, mark):
    tile = bevelled(75, 21, face)
    for x in (8, 33, 59):
        stamp_mark(tile, mark, face, x, 6)
    return tile


def selection_marker():
    """A frame around the chosen swatch, open in the middle so the swatch
    shows through; black inside white reads on every colour."""
    marker = Picture(75, 21, KEY)
    rings = (BLACK, WHITE, WHITE, BLACK)
    for y in range(21):
        for x in range(75):
            ring = min(x, y, 74 - x, 20 - y)
            if ring < len(rings):
                marker.put(x, y, rings[ring])
    return marker


def rainbow():
    """The title's band: the six colours blended left to right. Row 0 is a
    highlight; the title stamps the band upwards so only the topmost copy
    shows it."""
    band = Picture(96, 4)
    faces = [face for face, _ in PALETTE]
    for x in range(96):
        position = x * (len(faces) - 1) / 95
        i = min(int(position), len(faces) - 2)
        colour = mix(faces[i], faces[i + 1], position - i)
        band.put(x, 0, mix(colour, WHITE, 0.45))
        for y in range(1, 4):
            band.put(x, y, colour)
    return band


def enlarged(picture, scale):
    big = Picture(picture.width * scale, picture.height * scale)
    big.paste(picture, 0, 0, scale, keep_key=True)
    return big


# A corner of a board, as the application icon.
ICON_BOARD = ['0022', '0125', '3145', '3344']


def icon():
    board = Picture(64, 64)
    for y, row in enumerate(ICON_BOARD):
        for x, cell in enumerate(row):
            face, mark = PALETTE[int(cell)]
            board.paste(block(face, mark), x * 16, y * 16)
    return enlarged(board, 4)


def main(gfx_folder, icon_path):
    blocks = [block(face, mark) for face, mark in PALETTE] + [block(WALL_FACE), logo_block()]
    write_bmp(f'{gfx_folder}/blocks.bmp', strip(blocks))
    write_bmp(f'{gfx_folder}/colours.bmp', strip([enlarged(b, 2) for b in blocks[:6]]))
    write_bmp(f'{gfx_folder}/spectrum.bmp', strip([swatch(face, mark) for face, mark in PALETTE] +
                                                  [selection_marker()]))
    write_bmp(f'{gfx_folder}/rainbow.bmp', rainbow())
    write_png(icon_path, icon())


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit('usage: make_art.py GFX_FOLDER ICON_PNG')
    main(sys.argv[1], sys.argv[2])
