"""Draws Splosh's three pixel fonts from two sets of glyph designs.

    python3 tools/make_fonts.py GFX_FOLDER

Every font is one row of frames, frame k showing character k + 32 from the
space to "_":
  font2.bmp   5 x 7   the small designs as they are (labels and credits)
  font3.bmp  10 x 14  the small designs doubled with edge smoothing (buttons,
                      prompt, score table)
  font1.bmp  16 x 28  the tall designs at three by four with rounded corners
                      and a bevel (the big counters)
The small fonts draw on the transparent colour. The big font's cells are
opaque black: the game prints a number over "0000" and "DONE" or "LOSE"
over the number, and each must replace what is beneath.

The designs leave room for the game's spacing: a glyph is four columns wide
and the fifth stays empty, "M" and "W" take five columns (they get one more
pixel), "T" and "Y" three, and "I" and "." one (they get three fewer).
"""

import sys

from pictures import KEY, Picture, mix, strip, write_bmp

# Characters 32 to 95, twelve to a band, five columns by seven rows each;
# capitals are five rows high, so lines printed six or twelve pixels apart
# keep a gap.
SMALL_DESIGNS = """
..... .#... #.#.. .#.#. .###. #..#. .#... .#... ..#.. .#... ..... .....
..... .#... #.#.. ####. ##... ...#. #.#.. .#... .#... ..#.. #.#.. .#...
..... .#... ..... .#.#. .##.. ..#.. .#... ..... .#... ..#.. .#... ###..
..... ..... ..... ####. ..##. .#... #.##. ..... .#... ..#.. #.#.. .#...
..... .#... ..... .#.#. ###.. #..#. .##.. ..... ..#.. .#... ..... .....
..... ..... ..... ..... .#... ..... ..... ..... ..... ..... ..... .....
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....

..... ..... ..... ...#. .###. .#... ###.. ###.. ..#.. ####. .##.. ####.
..... ..... ..... ..#.. #..#. ##... ...#. ...#. .##.. #.... #.... ...#.
..... ###.. ..... .#... #.##. .#... .##.. .##.. #.#.. ####. ###.. ..#..
..... ..... ..... .#... ##.#. .#... #.... ...#. ####. ...#. #..#. .#...
.#... ..... #.... #.... ###.. ###.. ####. ###.. ..#.. ###.. .##.. .#...
#.... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....

.##.. .##.. ..... ..... ..#.. ..... #.... ###.. .##.. .##.. ###.. .###.
#..#. #..#. .#... .#... .#... ###.. .#... ...#. #..#. #..#. #..#. #....
.##.. .###. ..... ..... #.... ..... ..#.. .##.. #.##. ####. ###.. #....
#..#. ...#. .#... .#... .#... ###.. .#... ..... #.... #..#. #..#. #....
.##.. .##.. ..... .#... ..#.. ..... #.... .#... .###. #..#. ###.. .###.
..... ..... ..... #.... ..... ..... ..... ..... ..... ..... ..... .....
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....

###.. ####. ####. .###. #..#. #.... ...#. #..#. #.... #...# #..#. .##..
#..#. #.... #.... #.... #..#. #.... ...#. #.#.. #.... ##.## ##.#. #..#.
#..#. ###.. ###.. #.##. ####. #.... ...#. ##... #.... #.#.# #.##. #..#.
#..#. #.... #.... #..#. #..#. #.... #..#. #.#.. #.... #...# #..#. #..#.
###.. ####. #.... .###. #..#. #.... .##.. #..#. ####. #...# #..#. .##..
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....

###.. .##.. ###.. .###. ###.. #..#. #..#. #...# #..#. #.#.. ####. ##...
#..#. #..#. #..#. #.... .#... #..#. #..#. #...# #..#. #.#.. ...#. #....
###.. #..#. ###.. .##.. .#... #..#. #..#. #.#.# .##.. .#... ..#.. #....
#.... #.#.. #.#.. ...#. .#... #..#. .##.. ##.## #..#. .#... .#... #....
#.... .#.#. #..#. ###.. .#... .##.. .##.. #...# #..#. .#... ####. ##...
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....

#.... .##.. .#... .....
.#... ..#.. #.#.. .....
..#.. ..#.. ..... .....
..#.. ..#.. ..... .....
...#. .##.. ..... .....
..... ..... ..... .....
..... ..... ..... ####.
"""

# The same characters with capitals six rows high, for the big font.
TALL_DESIGNS = """
..... .#... #.#.. .#.#. ..#.. ##.#. .#... .#... ..#.. .#... ..... .....
..... .#... #.#.. ####. .###. ##.#. #.#.. .#... .#... ..#.. #.#.. .#...
..... .#... ..... .#.#. #.... ..#.. .#... ..... .#... ..#.. .#... ###..
..... .#... ..... .#.#. .##.. .#... #.##. ..... .#... ..#.. ###.. .#...
..... ..... ..... ####. ...#. #.##. #..#. ..... .#... ..#.. .#... .....
..... .#... ..... .#.#. ###.. #.##. .##.. ..... ..#.. .#... #.#.. .....
..... ..... ..... ..... .#... ..... ..... ..... ..... ..... ..... .....

..... ..... ..... ...#. .###. .#... .##.. ###.. ..#.. ####. .##.. ####.
..... ..... ..... ...#. #..#. ##... #..#. ...#. .##.. #.... #.... ...#.
..... ###.. ..... ..#.. #.##. .#... ...#. .##.. #.#.. ###.. ###.. ..#..
..... ..... ..... .#... ##.#. .#... .##.. ...#. ####. ...#. #..#. .#...
..... ..... ..... #.... #..#. .#... #.... ...#. ..#.. ...#. #..#. .#...
.#... ..... #.... #.... ###.. ###.. ####. ###.. ..#.. ###.. .##.. .#...
#.... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....

.##.. .##.. ..... ..... ..... ..... ..... .##.. .##.. .##.. ###.. .###.
#..#. #..#. .#... .#... ..#.. ###.. #.... #..#. #..#. #..#. #..#. #....
.##.. #..#. ..... ..... .#... ..... .#... ..#.. #.##. #..#. ###.. #....
#..#. .###. ..... ..... #.... ###.. ..#.. .#... #.##. ####. #..#. #....
#..#. ...#. .#... .#... .#... ..... .#... ..... #.... #..#. #..#. #....
.##.. .##.. ..... .#... ..#.. ..... #.... .#... .###. #..#. ###.. .###.
..... ..... ..... #.... ..... ..... ..... ..... ..... ..... ..... .....

###.. ####. ####. .###. #..#. #.... ...#. #..#. #.... #...# #..#. .##..
#..#. #.... #.... #.... #..#. #.... ...#. #.#.. #.... ##.## ##.#. #..#.
#..#. ###.. ###.. #.... ####. #.... ...#. ##... #.... #.#.# #.##. #..#.
#..#. #.... #.... #.##. #..#. #.... ...#. #.#.. #.... #...# #..#. #..#.
#..#. #.... #.... #..#. #..#. #.... #..#. #..#. #.... #...# #..#. #..#.
###.. ####. #.... .###. #..#. #.... .##.. #..#. ####. #...# #..#. .##..
..... ..... ..... ..... ..... ..... ..... ..... ..... ..... ..... .....

###.. .##.. ###.. .###. ###.. #..#. #..#. #...# #..#. #.#.. ####. ##...
#..#. #..#. #..#. #.... .#... #..#. #..#. #...# #..#. #.#.. ...#. #....
#..#. #..#. #..#. .##.. .#... #..#. #..#. #...# .##.. .#... ..#.. #....
###.. #..#. ###.. ...#. .#... #..#. #..#. #.#.# .##.. .#... .#... #....
#.... #..#. #.#.. #..#. .#... #..#. .##.. ##.## #..#. .#... #.... #....
#.... .##.. #..#. .##.. .#... .##.. .##.. #...# #..#. .#... ####. ##...
..... ..##. ..... ..... ..... ..... ..... ..... ..... ..... ..... .....

#.... .##.. .#... .....
#.... ..#.. #.#.. .....
.#... ..#.. ..... .....
..#.. ..#.. ..... .....
...#. ..#.. ..... .....
...#. .##.. ..... .....
..... ..... ..... ####.
"""

CELL_W, CELL_H = 5, 7


def glyph_designs(designs):
    """The designs as sets of (x, y) pixels, in character order."""
    bands = [band.splitlines() for band in designs.strip().split('\n\n')]
    glyphs = []
    for band in bands:
        for column in range(len(band[0].split())):
            rows = [line.split()[column] for line in band]
            glyphs.append({(x, y) for y, row in enumerate(rows) for x, c in enumerate(row) if c == '#'})
    return glyphs


def smoothed_double(pixels):
    """EPX: every pixel becomes four; a corner takes the colour of the two
    neighbours it touches when they agree and the other two do not, which
    rounds corners and fills the steps of diagonals."""
    out = set()
    for y in range(CELL_H):
        for x in range(CELL_W):
            p = (x, y) in pixels
            up, down = (x, y - 1) in pixels, (x, y + 1) in pixels
            left, right = (x - 1, y) in pixels, (x + 1, y) in pixels
            corners = {
                (0, 0): up if left == up and left != down and up != right else p,
                (1, 0): right if up == right and up != left and right != down else p,
                (0, 1): left if down == left and down != right and left != up else p,
                (1, 1): down if right == down and right != up and down != left else p,
            }
            out |= {(2 * x + dx, 2 * y + dy) for (dx, dy), on in corners.items() if on}
    return out


def rounded_block_scale(pixels, sx, sy):
    """Every pixel becomes an sx x sy block; the outer corner pixel of a block
    is cut where both neighbours at that corner are empty, and filled into
    the empty block where both are set."""
    out = set()
    for y in range(CELL_H):
        for x in range(CELL_W):
            p = (x, y) in pixels
            for cx, cy in ((0, 0), (1, 0), (0, 1), (1, 1)):
                nx = (x + (1 if cx else -1), y) in pixels
                ny = (x, y + (1 if cy else -1)) in pixels
                corner = ((sx - 1) * cx + sx * x, (sy - 1) * cy + sy * y)
                if p:
                    out |= {(sx * x + i, sy * y + j) for i in range(sx) for j in range(sy)}
                    if not nx and not ny:
                        out.discard(corner)
                elif nx and ny:
                    out.add(corner)
    return out


def render(pixels, width, height, colour_at, dx, background):
    frame = Picture(width, height, background)
    for x, y in pixels:
        frame.put(x + dx, y, colour_at(pixels, x, y))
    return frame


def flat(colour):
    return lambda pixels, x, y: colour


def gradient(top, bottom, height):
    """From `top` in row 0 to `bottom` in row height - 1 and below."""
    return lambda pixels, x, y: mix(top, bottom, min(1, y / (height - 1)))


def bevelled_gradient(top, bottom, height):
    """A top-to-bottom gradient with lit upper and left stroke edges and
    shaded lower and right ones."""
    def colour_at(pixels, x, y):
        base = gradient(top, bottom, height)(pixels, x, y)
        if (x - 1, y) not in pixels or (x, y - 1) not in pixels:
            return mix(base, (255, 255, 255), 0.5)
        if (x + 1, y) not in pixels or (x, y + 1) not in pixels:
            return mix(base, (96, 40, 0), 0.45)
        return base
    return colour_at


def make_font(designs, transform, width, height, colour_at, centred=False, background=KEY):
    """With `centred` each glyph sits in the middle of its cell (for a font
    printed without spacing rules); otherwise at the cell's left edge."""
    frames = []
    for glyph in designs:
        pixels = transform(glyph)
        dx = (width - 1 - max(x for x, _ in pixels)) // 2 if centred and pixels else 0
        frames.append(render(pixels, width, height, colour_at, dx, background))
    return strip(frames)


def main(gfx_folder):
    small = glyph_designs(SMALL_DESIGNS)
    write_bmp(f'{gfx_folder}/font2.bmp', make_font(small, lambda g: g, 5, 7, flat((246, 242, 228))))
    write_bmp(f'{gfx_folder}/font3.bmp',
              make_font(small, smoothed_double, 10, 14, gradient((255, 255, 255), (150, 205, 255), 10)))
    write_bmp(f'{gfx_folder}/font1.bmp',
              make_font(glyph_designs(TALL_DESIGNS), lambda g: rounded_block_scale(g, 3, 4), 16, 28,
                        bevelled_gradient((255, 244, 160), (255, 150, 20), 24), centred=True,
                        background=(0, 0, 0)))


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit('usage: make_fonts.py GFX_FOLDER')
    main(sys.argv[1])
