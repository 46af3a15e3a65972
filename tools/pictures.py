"""Pictures for the media tools: an RGB canvas with a transparent colour,
written as the 24-bit BMP files the game loads or as RGBA PNG files.

Only the standard library is used (struct and zlib), so `make media` needs
nothing beyond python3.
"""

import struct
import zlib

# The runtime's colour key: pixels of exactly this colour are transparent.
KEY = (255, 0, 128)


class Picture:
    """A width x height grid of (r, g, b) tuples, rows from the top."""

    def __init__(self, width, height, fill=KEY):
        self.width = width
        self.height = height
        self.rows = [[fill] * width for _ in range(height)]

    def get(self, x, y):
        return self.rows[y][x]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = colour

    def fill_rect(self, x, y, w, h, colour):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.put(xx, yy, colour)

    def paste(self, other, x, y, scale=1, keep_key=False):
        """Copies `other` enlarged by `scale`; its transparent pixels are
        skipped unless `keep_key` is set."""
        for sy in range(other.height):
            for sx in range(other.width):
                colour = other.rows[sy][sx]
                if colour == KEY and not keep_key:
                    continue
                self.fill_rect(x + sx * scale, y + sy * scale, scale, scale, colour)

    def crop(self, x, y, w, h):
        part = Picture(w, h)
        for yy in range(h):
            part.rows[yy] = list(self.rows[y + yy][x:x + w])
        return part


def mix(a, b, t):
    """The colour a fraction t of the way from a to b."""
    return tuple(int(round(ca + (cb - ca) * t)) for ca, cb in zip(a, b))


def strip(frames):
    """One row of equally sized frames, frame 0 at the left."""
    width, height = frames[0].width, frames[0].height
    sheet = Picture(width * len(frames), height)
    for i, frame in enumerate(frames):
        sheet.paste(frame, i * width, 0, keep_key=True)
    return sheet


def bmp_bytes(picture):
    """A 24-bit uncompressed BMP with the 40-byte info header, rows bottom-up
    and padded to four bytes."""
    stride = (picture.width * 3 + 3) & ~3
    pixel_bytes = bytearray()
    for row in reversed(picture.rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixel_bytes += line
    offset = 14 + 40
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixel_bytes), 0, 0, offset)
    # 2835 pixels per metre is 72 dots per inch.
    info = struct.pack('<IiiHHIIiiII', 40, picture.width, picture.height, 1, 24, 0, len(pixel_bytes), 2835, 2835,
                       0, 0)
    return header + info + bytes(pixel_bytes)


def write_bmp(path, picture):
    with open(path, 'wb') as out:
        out.write(bmp_bytes(picture))


def read_bmp(path):
    """Reads back the 24-bit BMP files that write_bmp makes."""
    with open(path, 'rb') as source:
        data = source.read()
    offset, = struct.unpack_from('<I', data, 10)
    width, height, _, bits = struct.unpack_from('<iiHH', data, 18)
    if data[:2] != b'BM' or bits != 24:
        raise ValueError(f'{path}: not a 24-bit BMP')
    stride = (width * 3 + 3) & ~3
    picture = Picture(width, abs(height))
    for y in range(abs(height)):
        file_row = abs(height) - 1 - y if height > 0 else y
        start = offset + file_row * stride
        picture.rows[y] = [(data[start + x * 3 + 2], data[start + x * 3 + 1], data[start + x * 3])
                           for x in range(width)]
    return picture


def png_bytes(picture, transparent=True):
    """An 8-bit RGBA PNG; key-coloured pixels become fully transparent when
    `transparent` is set."""
    raw = bytearray()
    for row in picture.rows:
        raw.append(0)  # filter type None
        for colour in row:
            if transparent and colour == KEY:
                raw += bytes(4)
            else:
                raw += bytes(colour) + b'\xff'

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))

    ihdr = struct.pack('>IIBBBBB', picture.width, picture.height, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) +
            chunk(b'IEND', b''))


def write_png(path, picture, transparent=True):
    with open(path, 'wb') as out:
        out.write(png_bytes(picture, transparent))
