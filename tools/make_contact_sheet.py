"""Makes docs/media.png, a contact sheet of the game's pictures: every frame
of every file enlarged on a grey grid, and mock-ups of the title and play
screens drawn from the same files, so the art can be judged at a glance.

    python3 tools/make_contact_sheet.py GFX_FOLDER LOGO_SOURCE OUT_PNG

LOGO_SOURCE is the game's source file that holds the logo's block pattern.
"""

import re
import sys

from pictures import KEY, Picture, read_bmp, write_png

BACKGROUND = (128, 128, 128)
GRID = (96, 96, 96)
LABEL = (255, 255, 255)
MARGIN = 16

# File, frame size, enlargement, frames per row on the sheet.
SECTIONS = [
    ('blocks.bmp', 16, 16, 4, 8),
    ('colours.bmp', 32, 32, 2, 6),
    ('spectrum.bmp', 75, 21, 3, 4),
    ('rainbow.bmp', 96, 4, 4, 1),
    ('font1.bmp', 16, 28, 2, 32),
    ('font2.bmp', 5, 7, 4, 32),
    ('font3.bmp', 10, 14, 3, 32),
]

# Font number: (file, frame width, frame height, advance, spacing step).
FONTS = {0: ('font1.bmp', 16, 28, 16, 0), 1: ('font2.bmp', 5, 7, 5, 1), 2: ('font3.bmp', 10, 14, 10, 2)}
# Characters whose following gap changes, in spacing steps.
SPACING = {'.': -3, 'I': -3, 'M': 1, 'T': -1, 'W': 1}


class Frames:
    """A picture cut into frames, row by row from the top left."""

    def __init__(self, picture, width, height):
        self.picture, self.width, self.height = picture, width, height
        self.per_row = picture.width // width
        self.count = self.per_row * (picture.height // height)

    def frame(self, k):
        return self.picture.crop(k % self.per_row * self.width, k // self.per_row * self.height, self.width,
                                 self.height)


def print_text(screen, fonts, x, y, text, font):
    """Draws text as the game does: a fixed advance per font, and a few
    characters that narrow or widen the gap after them."""
    name, _, _, advance, step = FONTS[font]
    for i, char in enumerate(text):
        screen.paste(fonts[name].frame(ord(char) - 32), int(i * advance + x), int(y))
        x += SPACING.get(char, 0) * step


def logo_pattern(source_path):
    """The 23 x 6 logo pattern, the first 138 numbers of the game's data."""
    with open(source_path) as source:
        text = source.read()
    body = re.search(r'kGameData\[\] = \{(.*?)\};', text, re.S).group(1)
    numbers = [int(n) for n in re.findall(r'-?\d+', body)]
    return [numbers[row * 23:row * 23 + 23] for row in range(6)]


def title_mockup(files, pattern):
    screen = Picture(320, 240, (0, 0, 0))
    band = files['rainbow.bmp'].frame(0)
    for k in range(36):
        screen.paste(band, 100 + k, 134 - 3 * k)
    logo = files['blocks.bmp'].frame(7)
    for row in range(6):
        for col in range(23):
            if pattern[row][col]:
                screen.paste(logo, col * 14 - 1, row * 14 + 32)
    for x, head, line in ((10, 'ORIGINAL GAME', 'CLASSIC PUZZLE'), (140, 'REMAKE', 'ARNO VESK'),
                          (260, 'MUSIC', 'TALVEN')):
        print_text(screen, files, x, 220, head, 1)
        print_text(screen, files, x, 226, line, 1)
    print_text(screen, files, 12, 160, 'PRESS BUTTON OR SCREEN TO PLAY', 2)
    return screen


def play_mockup(files):
    screen = Picture(320, 240, (0, 0, 0))
    blocks = files['blocks.bmp']
    # A made-up board: a flood in the top left corner, the rest at random
    # (a fixed linear congruential sequence, so the sheet is reproducible).
    seed = 12345
    for y in range(1, 15):
        for x in range(1, 15):
            seed = (seed * 1103515245 + 12345) % 2**31
            colour = 3 if x + y < 7 else seed // 65536 % 6
            screen.paste(blocks.frame(colour), x * 16 - 8, y * 16 - 8)
    for i in range(4, 236):
        for x, y in ((i, 4), (235, i), (i, 235), (4, i)):
            screen.put(x, y, (255, 255, 255))
    for i in range(6):
        screen.paste(files['spectrum.bmp'].frame(i), 240, i * 25 + 48)
    screen.paste(files['spectrum.bmp'].frame(6), 240, 2 * 25 + 48)
    print_text(screen, files, 244, 39, 'MOVES REMAINING', 1)
    print_text(screen, files, 247, 10, '0000', 0)
    print_text(screen, files, 247 + 2 * 16, 10, '17', 0)
    print_text(screen, files, 247, 203, '0000', 0)
    print_text(screen, files, 247 + 16, 203, '352', 0)
    print_text(screen, files, 244, 197, 'SCORE', 1)
    return screen


def gridded(frames, scale, per_row):
    """The frames enlarged, each in its own cell of a one-pixel grid."""
    cell_w, cell_h = frames.width * scale + 1, frames.height * scale + 1
    rows = (frames.count + per_row - 1) // per_row
    sheet = Picture(min(per_row, frames.count) * cell_w + 1, rows * cell_h + 1, GRID)
    for k in range(frames.count):
        x, y = k % per_row * cell_w + 1, k // per_row * cell_h + 1
        sheet.fill_rect(x, y, cell_w - 1, cell_h - 1, BACKGROUND)
        sheet.paste(frames.frame(k), x, y, scale)
    return sheet


def label(files, text):
    small = Picture(len(text) * 5 + 2, 7, KEY)
    print_text(small, files, 0, 0, text, 1)
    for row in small.rows:
        row[:] = [LABEL if colour != KEY else KEY for colour in row]
    return small


def main(gfx_folder, logo_source, out_path):
    files = {}
    for name, width, height, _, _ in SECTIONS:
        files[name] = Frames(read_bmp(f'{gfx_folder}/{name}'), width, height)
    parts = []
    for name, width, height, scale, per_row in SECTIONS:
        parts.append((label(files, f'{name.upper()}  {width} X {height} FRAMES, SHOWN X{scale}'),
                      gridded(files[name], scale, per_row)))
    mockups = Picture(2 * 640 + MARGIN, 480, BACKGROUND)
    mockups.paste(title_mockup(files, logo_pattern(logo_source)), 0, 0, 2)
    mockups.paste(play_mockup(files), 640 + MARGIN, 0, 2)
    parts.append((label(files, 'TITLE AND PLAY SCREENS (MOCK-UPS), SHOWN X2'), mockups))

    width = max(part.width for _, part in parts) + 2 * MARGIN
    height = MARGIN + sum(3 * title.height + 8 + part.height + MARGIN for title, part in parts)
    sheet = Picture(width, height, BACKGROUND)
    y = MARGIN
    for title, part in parts:
        sheet.paste(title, MARGIN, y, 3)
        y += 3 * title.height + 8
        sheet.paste(part, MARGIN, y, keep_key=True)
        y += part.height + MARGIN
    write_png(out_path, sheet, transparent=False)


if __name__ == '__main__':
    if len(sys.argv) != 4:
        sys.exit('usage: make_contact_sheet.py GFX_FOLDER LOGO_SOURCE OUT_PNG')
    main(*sys.argv[1:])
