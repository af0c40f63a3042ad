#!/usr/bin/env python3
"""Draws the Kestrune application icon and writes res/kestrune.ico.

The artwork: a blue shield with an amber arrow pointing down onto a grey disk,
for "crash dumps go to a safe place on disk". Every shape is described in unit
coordinates (0..1, y downwards) and rendered with supersampling, so each size
is drawn from the same geometry rather than scaled from another image.

The icon holds seven images, in this order:
  48x48, 32x32, 16x16 at 8 bits per pixel (palettised BMP with AND mask),
  256x256 at 32 bits per pixel stored as PNG,
  48x48, 32x32, 16x16 at 32 bits per pixel (BGRA BMP with AND mask).

Standard library only. Usage: python3 tools/make_icon.py [output.ico]
"""

import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------- geometry

SHIELD_HALF_WIDTH = 0.36
SHIELD_TOP = 0.08
SHIELD_SHOULDER = 0.50   # where the straight sides start to narrow
SHIELD_TIP = 0.94
SHIELD_CORNER = 0.08     # radius of the two upper corners
SHIELD_RIM = 0.045       # width of the dark rim

DISK_CENTRE = (0.5, 0.66)
DISK_RADII = (0.22, 0.075)
DISK_DEPTH = 0.07

ARROW_SHAFT_HALF = 0.065
ARROW_SHAFT_TOP = 0.18
ARROW_HEAD_TOP = 0.38
ARROW_HEAD_HALF = 0.17
ARROW_TIP = 0.585
ARROW_RIM = 0.03

# ------------------------------------------------------------------ colours

RIM = (13, 36, 71)
SHIELD_LIGHT = (52, 120, 196)
SHIELD_DARK = (22, 62, 122)
DISK_TOP = (226, 231, 238)
DISK_SIDE = (150, 162, 178)
DISK_HUB = (120, 132, 150)
ARROW = (246, 178, 52)
ARROW_DARK = (120, 70, 10)


def shield_half_width(y):
    """Half width of the shield's outline at height y (0 outside)."""
    if y < SHIELD_TOP or y > SHIELD_TIP:
        return 0.0
    if y <= SHIELD_SHOULDER:
        return SHIELD_HALF_WIDTH
    # The lower part narrows along a curve that ends in a point.
    t = (y - SHIELD_SHOULDER) / (SHIELD_TIP - SHIELD_SHOULDER)
    return SHIELD_HALF_WIDTH * math.sqrt(max(0.0, 1.0 - t * t)) * (1.0 - 0.35 * t)


def inside_shield(x, y, inset=0.0):
    dx = abs(x - 0.5)
    top = SHIELD_TOP + inset
    if y < top or y > SHIELD_TIP - inset * 1.6:
        return False
    half = shield_half_width(y) - inset
    if dx > half:
        return False
    # Rounded upper corners.
    corner = SHIELD_CORNER
    cx = SHIELD_HALF_WIDTH - inset - corner
    cy = top + corner
    if dx > cx and y < cy:
        return (dx - cx) ** 2 + (y - cy) ** 2 <= corner * corner
    return True


def inside_ellipse(x, y, centre, radii):
    return ((x - centre[0]) / radii[0]) ** 2 + ((y - centre[1]) / radii[1]) ** 2 <= 1.0


def inside_arrow(x, y, grow=0.0):
    dx = abs(x - 0.5)
    if ARROW_SHAFT_TOP - grow <= y <= ARROW_HEAD_TOP and dx <= ARROW_SHAFT_HALF + grow:
        return True
    if ARROW_HEAD_TOP - grow <= y <= ARROW_TIP + grow * 1.8:
        # Triangle: full half width at the head's top, zero at the tip.
        t = (ARROW_TIP + grow * 1.8 - y) / (ARROW_TIP + grow * 1.8 - ARROW_HEAD_TOP + grow)
        return dx <= (ARROW_HEAD_HALF + grow) * t
    return False


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def colour_at(x, y):
    """Colour of the topmost shape at (x, y), or None where the icon is empty."""
    if not inside_shield(x, y):
        return None
    if inside_arrow(x, y):
        return ARROW
    if inside_arrow(x, y, ARROW_RIM):
        return ARROW_DARK
    cx, cy = DISK_CENTRE
    rx, ry = DISK_RADII
    if inside_ellipse(x, y, DISK_CENTRE, DISK_RADII):
        if inside_ellipse(x, y, DISK_CENTRE, (rx * 0.22, ry * 0.22)):
            return DISK_HUB
        return DISK_TOP
    # The disk's side: the band between the upper and the lower ellipse.
    lower = (cx, cy + DISK_DEPTH)
    if abs(x - cx) <= rx and (y >= cy and (y <= cy + DISK_DEPTH or inside_ellipse(x, y, lower, DISK_RADII))):
        return DISK_SIDE
    if not inside_shield(x, y, SHIELD_RIM):
        return RIM
    # Diagonal light from the upper left.
    t = min(1.0, max(0.0, (y - SHIELD_TOP) / (SHIELD_TIP - SHIELD_TOP) * 0.8 + (x - 0.14) * 0.35))
    return lerp(SHIELD_LIGHT, SHIELD_DARK, t)


# ---------------------------------------------------------------- rendering

def render(size):
    """RGBA rows, top row first; each pixel a 4-tuple of 0..255."""
    grid = 8 if size <= 48 else 4
    step = 1.0 / grid
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = 0
            hits = 0
            for sy in range(grid):
                y = (py + (sy + 0.5) * step) / size
                for sx in range(grid):
                    x = (px + (sx + 0.5) * step) / size
                    c = colour_at(x, y)
                    if c is not None:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                        hits += 1
            if hits == 0:
                row.append((0, 0, 0, 0))
            else:
                alpha = int(round(255 * hits / (grid * grid)))
                row.append((r // hits, g // hits, b // hits, alpha))
        rows.append(row)
    return rows


# ------------------------------------------------------------- palettising

def median_cut(colours, count):
    """Reduces a list of (r, g, b) to at most `count` representative colours."""
    boxes = [list(colours)]
    while len(boxes) < count:
        # Split the box with the widest channel range.
        best, best_range, best_channel = None, -1, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                values = [c[ch] for c in box]
                spread = max(values) - min(values)
                if spread > best_range:
                    best, best_range, best_channel = i, spread, ch
        if best is None or best_range == 0:
            break
        box = sorted(boxes.pop(best), key=lambda c: c[best_channel])
        middle = len(box) // 2
        boxes.extend([box[:middle], box[middle:]])
    palette = []
    for box in boxes:
        n = len(box)
        palette.append(tuple(sum(c[ch] for c in box) // n for ch in range(3)))
    return palette


def nearest(palette, colour, cache):
    found = cache.get(colour)
    if found is None:
        found = min(range(len(palette)),
                    key=lambda i: sum((palette[i][ch] - colour[ch]) ** 2 for ch in range(3)))
        cache[colour] = found
    return found


# ------------------------------------------------------------------ writing

def and_mask(rows):
    """1 bit per pixel, bottom row first, rows padded to 32 bits; 1 = transparent."""
    size = len(rows)
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, pixel in enumerate(row):
            if pixel[3] < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def bitmap_header(size, bits, image_bytes, colours_used):
    return struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, image_bytes, 0, 0,
                       colours_used, 0)


def bmp_32(rows):
    size = len(rows)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            if a == 0:
                pixels += b'\0\0\0\0'
            else:
                pixels += bytes((b, g, r, a))
    mask = and_mask(rows)
    return bitmap_header(size, 32, len(pixels) + len(mask), 0) + bytes(pixels) + mask


def bmp_8(rows, palette):
    size = len(rows)
    stride = ((size + 3) // 4) * 4
    cache = {}
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (r, g, b, a) in enumerate(row):
            # Index 0 is black, under the transparent part of the AND mask.
            line[x] = 0 if a < 128 else 1 + nearest(palette, (r, g, b), cache)
        pixels += line
    table = bytearray(b'\0\0\0\0')
    for r, g, b in palette:
        table += bytes((b, g, r, 0))
    table += b'\0' * (256 * 4 - len(table))
    mask = and_mask(rows)
    return bitmap_header(size, 8, len(pixels) + len(mask), 256) + bytes(table) + bytes(pixels) + mask


def png(rows):
    size = len(rows)
    raw = bytearray()
    for row in rows:
        raw.append(0)   # no filter
        for pixel in row:
            raw += bytes(pixel)

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header)
            + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def write_ico(path, images):
    """images: list of (size, bits, data) in directory order."""
    offset = 6 + 16 * len(images)
    directory = struct.pack('<HHH', 0, 1, len(images))
    for size, bits, data in images:
        dim = 0 if size >= 256 else size
        directory += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(directory)
        for _, _, data in images:
            f.write(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'res', 'kestrune.ico')
    renders = {size: render(size) for size in (256, 48, 32, 16)}

    # One palette for the three 8-bit images, from the opaque pixels of all of them.
    opaque = [(r, g, b) for size in (48, 32, 16) for row in renders[size]
              for r, g, b, a in row if a >= 128]
    palette = median_cut(opaque, 255)

    images = [(size, 8, bmp_8(renders[size], palette)) for size in (48, 32, 16)]
    images.append((256, 32, png(renders[256])))
    images += [(size, 32, bmp_32(renders[size])) for size in (48, 32, 16)]
    write_ico(target, images)
    print('wrote %s: %d images, %d bytes' % (target, len(images), os.path.getsize(target)))


if __name__ == '__main__':
    main()
