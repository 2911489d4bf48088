#!/usr/bin/env python3
"""Draws the Pairscout application icon for the desktop's icon theme and writes it into
dist/icons/hicolor/ (hicolor layout: <size>x<size>/apps/pairscout.png, scalable/apps/pairscout.svg),
and the Windows program's icon file dist/windows/pairscout.ico (16, 32, 48 and 256 pixels).

    python3 scripts/draw_icon.py

The icon shows what the program does: two equal pages, one behind the other, and a magnifier
over them, in the colours of the window's own pictures. 16 and 32 pixels are the window's
pixel-drawn icon (scripts/draw_pictures.py); 48, 128 and 256 pixels are the scalable drawing
below, rasterised here with 4x4 samples per pixel, so the SVG and the large PNGs show the same
shapes. Plain Python, no imaging library.
"""

import math
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import draw_pictures  # noqa: E402  (the pixel-drawn 16 and 32 pixel icons and their palette)

NAVY = '#000080'
WHITE = '#FFFFFF'
LIGHT = '#C0C0C0'
GREY = '#808080'
BLUE = '#2060D0'
GLASS = '#A8D8FF'
BLACK = '#000000'
BROWN = '#804000'
DARK_BROWN = '#502800'

SQRT2 = math.sqrt(2.0)


def rgb(colour):
    return tuple(int(colour[i:i + 2], 16) for i in (1, 3, 5))


# Shapes on a 256 x 256 grid. Each knows its bounding box, whether a point lies inside, and
# its SVG element.

class Polygon:
    """A convex polygon, points in clockwise order on screen (y down)."""

    def __init__(self, points, colour):
        self.points = points
        self.colour = colour
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.box = (min(xs), min(ys), max(xs), max(ys))

    def contains(self, x, y):
        pts = self.points
        for i in range(len(pts)):
            x0, y0 = pts[i]
            x1, y1 = pts[(i + 1) % len(pts)]
            if (x1 - x0) * (y - y0) - (y1 - y0) * (x - x0) < 0:
                return False
        return True

    def svg(self):
        pts = ' '.join('%g,%g' % (round(x, 2), round(y, 2)) for x, y in self.points)
        return '<polygon points="%s" fill="%s"/>' % (pts, self.colour)


class Circle:
    def __init__(self, cx, cy, r, colour):
        self.cx, self.cy, self.r, self.colour = cx, cy, r, colour
        self.box = (cx - r, cy - r, cx + r, cy + r)

    def contains(self, x, y):
        return (x - self.cx) ** 2 + (y - self.cy) ** 2 <= self.r ** 2

    def svg(self):
        return '<circle cx="%g" cy="%g" r="%g" fill="%s"/>' % (self.cx, self.cy, self.r,
                                                               self.colour)


class Capsule:
    """A straight stroke with round ends: every point within `r` of the segment."""

    def __init__(self, x0, y0, x1, y1, r, colour):
        self.x0, self.y0, self.x1, self.y1, self.r, self.colour = x0, y0, x1, y1, r, colour
        self.box = (min(x0, x1) - r, min(y0, y1) - r, max(x0, x1) + r, max(y0, y1) + r)

    def contains(self, x, y):
        dx, dy = self.x1 - self.x0, self.y1 - self.y0
        length2 = dx * dx + dy * dy
        t = 0.0 if length2 == 0 else ((x - self.x0) * dx + (y - self.y0) * dy) / length2
        t = max(0.0, min(1.0, t))
        px, py = self.x0 + t * dx, self.y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= self.r ** 2

    def svg(self):
        return ('<line x1="%g" y1="%g" x2="%g" y2="%g" stroke="%s" stroke-width="%g" '
                'stroke-linecap="round"/>' % (self.x0, self.y0, self.x1, self.y1, self.colour,
                                              2 * self.r))


def page(x0, y0, x1, y1, fold, stroke):
    """A sheet with its top right corner folded over, outlined in navy, with text lines."""
    s = stroke
    shapes = [
        Polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], NAVY),
        Polygon([(x0 + s, y0 + s), (x1 - fold - s * (SQRT2 - 1), y0 + s),
                 (x1 - s, y0 + fold + s * (SQRT2 - 1)), (x1 - s, y1 - s), (x0 + s, y1 - s)],
                WHITE),
        # The fold: the back of the corner.
        Polygon([(x1 - fold, y0), (x1, y0 + fold), (x1 - fold, y0 + fold)], NAVY),
        Polygon([(x1 - fold + s, y0 + s * (1 + SQRT2)), (x1 - s * (1 + SQRT2), y0 + fold - s),
                 (x1 - fold + s, y0 + fold - s)], LIGHT),
    ]
    # A blue heading and grey lines of text: the same on both pages.
    left = x0 + 2.2 * s
    right = x1 - 2.2 * s
    shapes.append(Capsule(left + 4, y0 + fold * 0.55, x1 - fold - 2.5 * s, y0 + fold * 0.55,
                          5, BLUE))
    y = y0 + fold + 2.5 * s
    widths = [1.0, 0.8, 1.0, 0.65, 0.9, 1.0, 0.7]
    i = 0
    while y < y1 - 2.5 * s:
        w = widths[i % len(widths)]
        shapes.append(Capsule(left + 4, y, left + 4 + (right - left - 8) * w, y, 3.5, GREY))
        y += 18
        i += 1
    return shapes


def icon_shapes():
    shapes = []
    shapes += page(22, 12, 146, 176, 38, 8)
    shapes += page(70, 50, 194, 214, 38, 8)
    # The magnifier over the front page: a dark handle with a brown grip, a black ring, the
    # light blue glass with a white gleam.
    cx, cy, r = 160, 150, 56
    hx0, hy0 = cx + r * 0.62, cy + r * 0.62
    shapes.append(Capsule(hx0, hy0, 234, 234, 17, DARK_BROWN))
    shapes.append(Capsule(hx0 + 8, hy0 + 8, 230, 230, 11, BROWN))
    shapes.append(Circle(cx, cy, r, BLACK))
    shapes.append(Circle(cx, cy, r - 11, GLASS))
    shapes.append(Capsule(cx - 24, cy - 18, cx - 12, cy - 30, 6, WHITE))
    return shapes


def svg_text(shapes):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<!-- Drawn for Pairscout by scripts/draw_icon.py -->',
             '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
             'viewBox="0 0 256 256">']
    lines += ['  ' + shape.svg() for shape in shapes]
    lines.append('</svg>')
    return '\n'.join(lines) + '\n'


def rasterise(shapes, size, samples=4):
    """RGBA rows: each pixel the average of samples x samples points, the topmost shape's
    colour at each point (transparent where there is none)."""
    scale = 256.0 / size
    rows = []
    for py in range(size):
        row_shapes = [s for s in reversed(shapes)
                      if s.box[1] <= (py + 1) * scale and s.box[3] >= py * scale]
        row = []
        for px in range(size):
            here = [s for s in row_shapes
                    if s.box[0] <= (px + 1) * scale and s.box[2] >= px * scale]
            r = g = b = a = 0
            for sy in range(samples):
                y = (py + (sy + 0.5) / samples) * scale
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) * scale
                    for shape in here:
                        if shape.contains(x, y):
                            cr, cg, cb = rgb(shape.colour)
                            r += cr
                            g += cg
                            b += cb
                            a += 1
                            break
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                # Colour averaged over the covered points only (straight alpha).
                row.append((round(r / a), round(g / a), round(b / a),
                            round(255 * a / (samples * samples))))
        rows.append(row)
    return rows


def canvas_rows(canvas):
    """RGBA rows of a pixel-drawn canvas of draw_pictures.py."""
    rows = []
    for line in canvas.px:
        row = []
        for c in line:
            colour = draw_pictures.PALETTE[c]
            row.append((0, 0, 0, 0) if colour == 'None' else rgb(colour) + (255,))
        rows.append(row)
    return rows


def png_bytes(rows):
    height = len(rows)
    width = len(rows[0])
    raw = b''.join(b'\x00' + bytes(v for px in row for v in px) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))

    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def dib_bytes(rows):
    """One icon image as Windows keeps it: a 32-bit bottom-up bitmap (height doubled for the
    mask) followed by the 1-bit AND mask, which the alpha channel makes redundant but every
    reader expects."""
    height = len(rows)
    width = len(rows[0])
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + pixels + bytes(mask)


def ico_bytes(images):
    """An .ico file of (size, image bytes) pairs."""
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(data for _, data in images)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    mode = 'w' if isinstance(data, str) else 'wb'
    with open(path, mode) as f:
        f.write(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = os.path.join(here, '..', 'dist', 'icons', 'hicolor')
    shapes = icon_shapes()
    write(os.path.join(out, 'scalable', 'apps', 'pairscout.svg'), svg_text(shapes))
    ico = []
    for size in (16, 32):
        rows = canvas_rows(draw_pictures.icon_app(size))
        write(os.path.join(out, '%dx%d' % (size, size), 'apps', 'pairscout.png'), png_bytes(rows))
        ico.append((size, dib_bytes(rows)))
    for size in (48, 128, 256):
        rows = rasterise(shapes, size)
        write(os.path.join(out, '%dx%d' % (size, size), 'apps', 'pairscout.png'), png_bytes(rows))
        if size == 48:
            ico.append((size, dib_bytes(rows)))
        elif size == 256:
            # Large images are kept compressed: every Windows since Vista reads PNG here.
            ico.append((size, png_bytes(rows)))
    write(os.path.join(here, '..', 'dist', 'windows', 'pairscout.ico'), ico_bytes(ico))


if __name__ == '__main__':
    main()
