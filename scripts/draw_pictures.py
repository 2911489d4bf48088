#!/usr/bin/env python3
"""Draws the pictures of the Pairscout window anew and writes them as XPM files into gui/art/.

    python3 scripts/draw_pictures.py

Toolbar 128: six 16x15 images in button order (magnifying glass, page with a pointer, computer
screen, floppy disk, printer, yellow question mark) on a transparent ground. Icon 128 (the application, 32x32 and 16x16).
Bitmap 150: the group pictures of the result rows (four 16x16 images).
Plain Python, no imaging library: every picture is a few shapes on a pixel grid.
"""

import os

PALETTE = {
    ' ': 'None',
    'k': '#000000',   # black outline
    'g': '#808080',   # dark grey
    'l': '#C0C0C0',   # light grey
    'w': '#FFFFFF',   # white
    'n': '#000080',   # navy
    'b': '#2060D0',   # blue
    'c': '#A8D8FF',   # light blue (glass, screen)
    't': '#0080A0',   # teal (screen)
    'y': '#FFD800',   # yellow
    'o': '#B07800',   # dark yellow
    'r': '#804000',   # brown (handle)
    'e': '#00B000',   # green (lamp)
    's': '#606060',   # shadow grey
}


class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.px = [[' '] * width for _ in range(height)]

    def set(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, fill=None, outline=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                if edge and outline:
                    self.set(x, y, outline)
                elif fill:
                    self.set(x, y, fill)

    def hline(self, x0, x1, y, c):
        for x in range(x0, x1 + 1):
            self.set(x, y, c)

    def vline(self, x, y0, y1, c):
        for y in range(y0, y1 + 1):
            self.set(x, y, c)

    def disc(self, cx, cy, r, fill, outline=None):
        for y in range(self.height):
            for x in range(self.width):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if d <= r - 1 + 0.5 and fill:
                    self.set(x, y, fill)
                elif d <= r + 0.5 and outline:
                    self.set(x, y, outline)

    def line(self, x0, y0, x1, y1, c, width=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            for dx in range(width):
                for dy in range(width):
                    self.set(x + dx, y + dy, c)

    def blit(self, rows, x0=0, y0=0):
        for y, row in enumerate(rows):
            for x, c in enumerate(row):
                if c != ' ':
                    self.set(x0 + x, y0 + y, c)

    def xpm(self, name):
        used = sorted({c for row in self.px for c in row})
        lines = ['/* XPM */', '/* Drawn for Pairscout by scripts/draw_pictures.py */',
                 'static const char* const %s[] = {' % name,
                 '"%d %d %d 1",' % (self.width, self.height, len(used))]
        for c in used:
            lines.append('"%s c %s",' % (c, PALETTE[c]))
        for i, row in enumerate(self.px):
            end = ',' if i + 1 < self.height else ''
            lines.append('"%s"%s' % (''.join(row), end))
        lines.append('};')
        return '\n'.join(lines) + '\n'


def magnifier(c, cx, cy, r, handle_len, handle_width):
    c.disc(cx, cy, r, 'c', 'k')
    # Highlight on the glass, upper left.
    c.set(cx - r // 2, cy - r // 2 + 1, 'w')
    c.set(cx - r // 2 + 1, cy - r // 2, 'w')
    c.set(cx - r // 2, cy - r // 2, 'w')
    x0 = cx + int(r * 0.72)
    y0 = cy + int(r * 0.72)
    c.line(x0, y0, x0 + handle_len, y0 + handle_len, 'r', handle_width)


def tool_find():
    c = Canvas(16, 15)
    magnifier(c, 6, 6, 5, 3, 2)
    return c


def page(c, x0, y0, x1, y1, fold, lines=True, outline='k'):
    """A sheet of paper with its top right corner folded over."""
    c.rect(x0, y0, x1, y1, 'w', outline)
    fx = x1 - fold
    for y in range(y0, y0 + fold + 1):
        for x in range(fx, x1 + 1):
            if x - fx > y - y0:
                c.set(x, y, ' ')          # the corner that is folded away
            elif x > fx and y < y0 + fold:
                c.set(x, y, 'l')          # the back of the fold
    c.line(fx, y0, x1, y0 + fold, outline)
    c.vline(fx, y0, y0 + fold, outline)
    c.hline(fx, x1, y0 + fold, outline)
    if lines:
        for y in range(y0 + fold + 2, y1 - 1, 2):
            c.hline(x0 + 2, x1 - 2, y, 'g')


def tool_properties():
    c = Canvas(16, 15)
    page(c, 1, 0, 10, 13, 3)
    arrow = [
        "k      ",
        "kk     ",
        "kwk    ",
        "kwwk   ",
        "kwwwk  ",
        "kwwwwk ",
        "kwwkkkk",
        "kkwk   ",
        "k kwk  ",
        "   kk  ",
    ]
    c.blit(arrow, 9, 5)
    return c


def tool_explore():
    c = Canvas(16, 15)
    c.rect(1, 0, 14, 10, 'l', 'k')
    c.rect(3, 2, 12, 8, 't', 'g')
    c.hline(4, 6, 3, 'c')
    c.set(4, 4, 'c')
    c.rect(6, 11, 9, 12, 'g', 'k')
    c.rect(3, 13, 12, 14, 'l', 'k')
    return c


def tool_save_as():
    c = Canvas(16, 15)
    c.rect(1, 0, 14, 14, 'n', 'k')
    c.set(14, 0, ' ')
    c.set(13, 0, 'k')
    c.set(14, 1, 'k')
    # Metal shutter with its slot.
    c.rect(4, 0, 11, 5, 'l', 'k')
    c.rect(8, 1, 9, 4, 'n')
    # Label.
    c.rect(3, 8, 12, 14, 'w', 'k')
    c.hline(4, 11, 10, 'g')
    c.hline(4, 11, 12, 'g')
    return c


def tool_print():
    c = Canvas(16, 15)
    c.rect(4, 0, 11, 5, 'w', 'k')
    c.hline(5, 10, 2, 'g')
    c.rect(0, 5, 15, 11, 'l', 'k')
    c.hline(1, 14, 6, 'w')
    c.hline(2, 13, 8, 'g')
    c.set(13, 7, 'e')
    c.rect(3, 10, 12, 14, 'w', 'k')
    c.hline(5, 10, 12, 'g')
    return c


def tool_about():
    c = Canvas(16, 15)
    mark = [
        "   kkkkkk   ",
        "  kyyyyyyk  ",
        " kyyokkoyyk ",
        " kyyk  kyyk ",
        "  kk   kyyk ",
        "      kyyok ",
        "     kyyok  ",
        "    kyyok   ",
        "    kyyk    ",
        "     kk     ",
        "            ",
        "    kkkk    ",
        "    kyyk    ",
        "    kyok    ",
        "     kk     ",
    ]
    c.blit(mark, 2, 0)
    return c


def icon_app(size):
    c = Canvas(size, size)
    if size == 32:
        # Two equal pages, one behind the other, and a magnifier over them.
        page(c, 2, 1, 17, 21, 5, outline='n')
        page(c, 8, 6, 23, 26, 5, outline='n')
        magnifier(c, 20, 19, 7, 6, 3)
    else:
        page(c, 0, 0, 8, 11, 3, lines=False, outline='n')
        page(c, 4, 3, 12, 14, 3, lines=False, outline='n')
        magnifier(c, 10, 9, 4, 3, 2)
    return c


def group_tree():
    """Bitmap 150: four 16x16 pictures side by side that mark the rows of a group, so that the
    rows read like a small tree hanging from the first file: 0 a page from whose lower edge a
    line runs down, 1 a line through with a branch to the right, 2 a corner, 3 empty."""
    c = Canvas(64, 16)
    page(c, 3, 0, 11, 11, 3, outline='n')
    c.vline(7, 12, 15, 'k')
    c.vline(16 + 7, 0, 15, 'k')
    c.hline(16 + 7, 16 + 15, 8, 'k')
    c.vline(32 + 7, 0, 8, 'k')
    c.hline(32 + 7, 32 + 15, 8, 'k')
    return c


def lock(c, x0, y0):
    """A padlock 7 pixels wide and 8 high with its top-left corner at (x0, y0): a grey shackle
    over a yellow body with a dark keyhole."""
    c.vline(x0 + 1, y0 + 1, y0 + 3, 'g')
    c.vline(x0 + 5, y0 + 1, y0 + 3, 'g')
    c.hline(x0 + 2, x0 + 4, y0, 'g')
    c.rect(x0, y0 + 3, x0 + 6, y0 + 7, fill='y', outline='o')
    c.vline(x0 + 3, y0 + 4, y0 + 6, 'k')


def row_lock():
    """The three group pictures of group_tree with a padlock in their lower right corner: the
    rows of files in a protected folder."""
    c = group_tree()
    locked = Canvas(48, 16)
    for y in range(16):
        for x in range(48):
            locked.set(x, y, c.px[y][x])
    for k in range(3):
        # Clear of the branch of the middle and last pictures.
        lock(locked, 16 * k + 9, 8 if k == 0 else 0)
    return locked


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = os.path.join(here, '..', 'gui', 'art')
    os.makedirs(out, exist_ok=True)
    pictures = {
        'tool_find': tool_find(),
        'tool_properties': tool_properties(),
        'tool_explore': tool_explore(),
        'tool_save_as': tool_save_as(),
        'tool_print': tool_print(),
        'tool_about': tool_about(),
        'icon_app_32': icon_app(32),
        'icon_app_16': icon_app(16),
        'group_tree': group_tree(),
        'row_lock': row_lock(),
    }
    for name, canvas in pictures.items():
        with open(os.path.join(out, name + '.xpm'), 'w') as f:
            f.write(canvas.xpm(name + '_xpm'))


if __name__ == '__main__':
    main()
