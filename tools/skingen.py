#!/usr/bin/env python3
"""Draws the program's skin bitmaps and cursors from table files.

    skingen.py --rc OUT.rc --images DIR --bin BINDIR TABLE.txt...

Each table row (see the head of tools/skins/controls.txt) becomes a 24-bit BMP or a
monochrome cursor in DIR, named by its id, and a line of the resource fragment OUT.rc
(which names the files without a folder: compile it with DIR on the include path);
rows whose id is "file:<path>" are written under BINDIR instead (the panel backgrounds
that the program loads from its folder).  Run by the build; deterministic output.
"""
import os
import struct
import sys

KEY = (255, 0, 255)   # the colour-key background of transparent slider parts


# ---- colours -------------------------------------------------------------------------

def parse_colour(text):
    text = text.strip().lstrip('#')
    if len(text) != 6:
        raise ValueError("colour must be RRGGBB: %r" % text)
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16))


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def lighten(c, t):
    return mix(c, (255, 255, 255), t)


def darken(c, t):
    return mix(c, (0, 0, 0), t)


def grey(c):
    v = int(0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2])
    return (v, v, v)


# ---- a small raster ------------------------------------------------------------------

class Image:
    def __init__(self, w, h, fill=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.h, y1)):
            row = self.px[y]
            for x in range(max(0, x0), min(self.w, x1)):
                row[x] = c

    def frame(self, x0, y0, x1, y1, c):
        self.rect(x0, y0, x1, y0 + 1, c)
        self.rect(x0, y1 - 1, x1, y1, c)
        self.rect(x0, y0, x0 + 1, y1, c)
        self.rect(x1 - 1, y0, x1, y1, c)

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        n = max(1, y1 - y0 - 1)
        for y in range(y0, y1):
            self.rect(x0, y, x1, y + 1, mix(top, bottom, (y - y0) / n))

    def hgradient(self, x0, y0, x1, y1, left, right):
        n = max(1, x1 - x0 - 1)
        for x in range(x0, x1):
            self.rect(x, y0, x + 1, y1, mix(left, right, (x - x0) / n))

    def ellipse(self, x0, y0, x1, y1, c):
        cx, cy = (x0 + x1 - 1) / 2.0, (y0 + y1 - 1) / 2.0
        rx, ry = max(0.5, (x1 - x0) / 2.0), max(0.5, (y1 - y0) / 2.0)
        for y in range(y0, y1):
            for x in range(x0, x1):
                if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0:
                    self.set(x, y, c)

    def polygon(self, pts, c):
        ys = [p[1] for p in pts]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            yc = y + 0.5
            xs = []
            for i in range(len(pts)):
                (xa, ya), (xb, yb) = pts[i], pts[(i + 1) % len(pts)]
                if (ya <= yc < yb) or (yb <= yc < ya):
                    xs.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for i in range(0, len(xs) - 1, 2):
                for x in range(int(round(xs[i])), int(round(xs[i + 1]))):
                    self.set(x, y, c)

    def line(self, xa, ya, xb, yb, width, c):
        dx, dy = xb - xa, yb - ya
        n = max(1.0, (dx * dx + dy * dy) ** 0.5)
        ox, oy = -dy / n * width / 2.0, dx / n * width / 2.0
        self.polygon([(xa + ox, ya + oy), (xb + ox, yb + oy), (xb - ox, yb - oy), (xa - ox, ya - oy)], c)

    def round_corners(self, outside, r=2):
        for (cx, cy, sx, sy) in ((0, 0, 1, 1), (self.w - 1, 0, -1, 1), (0, self.h - 1, 1, -1),
                                 (self.w - 1, self.h - 1, -1, -1)):
            for i in range(r):
                for j in range(r - i):
                    self.set(cx + sx * i, cy + sy * j, outside)


# ---- looks ---------------------------------------------------------------------------

PANEL = (216, 220, 227)
ACCENT = (70, 130, 200)


def state_colour(base, state):
    return {'normal': base, 'hover': lighten(base, 0.35), 'pressed': darken(base, 0.22),
            'disabled': lighten(grey(base), 0.35)}[state]


# ---- browser glyphs and signs ----------------------------------------------------------
# The tool column of the image browser and the thumbnail placeholders.  Looked up before
# the common glyphs, under names of their own.

def _arc(img, cx, cy, r, a0, a1, t, c, steps=14):
    import math
    pts = [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
            cy - r * math.sin(math.radians(a0 + (a1 - a0) * i / steps))) for i in range(steps + 1)]
    for (xa, ya), (xb, yb) in zip(pts, pts[1:]):
        img.line(xa, ya, xb, yb, t, c)
    return pts


def _head(img, tip, back, size, c):
    (tx, ty), (bx, by) = tip, back
    dx, dy = tx - bx, ty - by
    n = max(1e-6, (dx * dx + dy * dy) ** 0.5)
    ux, uy = dx / n, dy / n
    img.polygon([(tx + ux * size * 0.6, ty + uy * size * 0.6),
                 (tx - uy * size, ty + ux * size), (tx + uy * size, ty - ux * size)], c)


def _ring(img, cx, cy, r, t, c):
    _arc(img, cx, cy, r, 0, 360, t, c, steps=24)


def browse_glyph(img, name, x0, y0, x1, y1, c):
    w, h = x1 - x0, y1 - y0
    s = min(w, h)
    cx, cy = x0 + w / 2.0, y0 + h / 2.0
    t = max(1.4, s / 11.0)
    q = s * 0.3
    if name in ('rotright', 'rotleft'):
        if name == 'rotright':
            pts = _arc(img, cx, cy + q * 0.1, q, 200, -40, t, c)
        else:
            pts = _arc(img, cx, cy + q * 0.1, q, -20, 220, t, c)
        _head(img, pts[-1], pts[-3], q * 0.55, c)
    elif name in ('zoomin', 'zoomout'):
        r = q * 0.75
        mx, my = cx - q * 0.25, cy - q * 0.25
        _ring(img, mx, my, r, t, c)
        img.line(mx + r * 0.7, my + r * 0.7, cx + q * 1.1, cy + q * 1.1, t * 1.6, c)
        img.line(mx - r * 0.5, my, mx + r * 0.5, my, t, c)
        if name == 'zoomin':
            img.line(mx, my - r * 0.5, mx, my + r * 0.5, t, c)
    elif name == 'actual':
        img.line(cx - q, cy - q, cx - q, cy + q, t, c)
        img.line(cx + q, cy - q, cx + q, cy + q, t, c)
        img.rect(int(cx - 1), int(cy - q * 0.5), int(cx + 1), int(cy - q * 0.5) + 2, c)
        img.rect(int(cx - 1), int(cy + q * 0.3), int(cx + 1), int(cy + q * 0.3) + 2, c)
    elif name == 'fitwindow':
        a, k = q * 1.1, q * 0.55
        for sx in (-1, 1):
            for sy in (-1, 1):
                img.line(cx + sx * a, cy + sy * a, cx + sx * (a - k), cy + sy * a, t, c)
                img.line(cx + sx * a, cy + sy * a, cx + sx * a, cy + sy * (a - k), t, c)
        img.frame(int(cx - q * 0.4), int(cy - q * 0.4), int(cx + q * 0.4) + 1, int(cy + q * 0.4) + 1, c)
    elif name == 'move':
        a = q * 1.15
        img.line(cx - a * 0.7, cy, cx + a * 0.7, cy, t, c)
        img.line(cx, cy - a * 0.7, cx, cy + a * 0.7, t, c)
        for (tx, ty, bx, by) in ((cx + a, cy, cx, cy), (cx - a, cy, cx, cy), (cx, cy + a, cx, cy), (cx, cy - a, cx, cy)):
            _head(img, (tx - (tx - bx) * 0.2, ty - (ty - by) * 0.2), (bx, by), q * 0.4, c)
    elif name == 'cropsel':
        a = q * 1.1
        img.line(cx - a * 0.6, cy - a, cx - a * 0.6, cy + a * 0.6, t, c)
        img.line(cx - a * 0.6, cy + a * 0.6, cx + a, cy + a * 0.6, t, c)
        img.line(cx - a, cy - a * 0.6, cx + a * 0.6, cy - a * 0.6, t, c)
        img.line(cx + a * 0.6, cy - a * 0.6, cx + a * 0.6, cy + a, t, c)
    elif name == 'undo':
        pts = _arc(img, cx + q * 0.1, cy + q * 0.2, q * 0.85, -90, 150, t, c)
        _head(img, pts[-1], pts[-3], q * 0.55, c)
    elif name == 'trash':
        a = q * 0.8
        img.frame(int(cx - a), int(cy - a * 0.7), int(cx + a) + 1, int(cy + a * 1.3), c)
        img.line(cx - a * 1.3, cy - a * 0.95, cx + a * 1.3, cy - a * 0.95, t, c)
        img.rect(int(cx - a * 0.35), int(cy - a * 1.4), int(cx + a * 0.35) + 1, int(cy - a * 1.05), c)
        for k in (-0.4, 0.0, 0.4):
            img.rect(int(cx + a * k), int(cy - a * 0.4), int(cx + a * k) + 1, int(cy + a * 1.0), c)
    elif name == 'print':
        a = q * 1.1
        img.frame(int(cx - a * 0.55), int(cy - a), int(cx + a * 0.55) + 1, int(cy - a * 0.2), c)
        img.rect(int(cx - a), int(cy - a * 0.25), int(cx + a) + 1, int(cy + a * 0.45), c)
        img.frame(int(cx - a * 0.55), int(cy + a * 0.2), int(cx + a * 0.55) + 1, int(cy + a), c)
    elif name == 'open':
        a = q * 1.15
        img.polygon([(cx - a, cy - a * 0.7), (cx - a * 0.3, cy - a * 0.7), (cx - a * 0.1, cy - a * 0.45),
                     (cx + a * 0.8, cy - a * 0.45), (cx + a * 0.8, cy + a * 0.75), (cx - a, cy + a * 0.75)], c)
        img.polygon([(cx - a * 0.6, cy - a * 0.05), (cx + a * 1.1, cy - a * 0.05), (cx + a * 0.8, cy + a * 0.75),
                     (cx - a, cy + a * 0.75)], lighten(c, 0.5))
    elif name in ('save', 'saveas'):
        a = q * 1.05
        img.frame(int(cx - a), int(cy - a), int(cx + a) + 1, int(cy + a) + 1, c)
        img.rect(int(cx - a * 0.55), int(cy - a), int(cx + a * 0.45) + 1, int(cy - a * 0.25), c)
        img.frame(int(cx - a * 0.6), int(cy + a * 0.15), int(cx + a * 0.6) + 1, int(cy + a) + 1, c)
        if name == 'saveas':
            img.line(cx + a * 0.3, cy + a * 1.2, cx + a * 1.3, cy + a * 0.2, t * 1.3, (200, 90, 40))
    else:
        return False
    return True


def look_sign(w, h, o):
    """A placeholder picture: a panel with a symbol (film=, cross=, text bars)."""
    back = parse_colour(o.get('back', '5A5F66'))
    ink = parse_colour(o.get('ink', 'E6E8EC'))
    img = Image(w, h, back)
    img.vgradient(0, 0, w, h, lighten(back, 0.15), darken(back, 0.15))
    img.frame(0, 0, w, h, darken(back, 0.4))
    s = min(w, h)
    cx, cy = w / 2.0, h / 2.0
    sign = o.get('sign', 'cross')
    if sign == 'film':
        band = max(3, h // 9)
        img.rect(0, 0, w, band, (44, 44, 44))
        img.rect(0, h - band, w, h, (44, 44, 44))
        step = max(4, w // 10)
        for x in range(0, w, step):
            img.rect(x + step // 4, band // 3, x + step * 3 // 4, band * 2 // 3 + 1, ink)
            img.rect(x + step // 4, h - band * 2 // 3 - 1, x + step * 3 // 4, h - band // 3, ink)
    if sign in ('film', 'cross'):
        a = s * 0.22
        img.line(cx - a, cy - a, cx + a, cy + a, max(2, s / 14.0), (200, 70, 60))
        img.line(cx - a, cy + a, cx + a, cy - a, max(2, s / 14.0), (200, 70, 60))
    elif sign == 'raw':
        a = s * 0.3
        img.frame(int(cx - a), int(cy - a * 0.8), int(cx + a), int(cy + a * 0.8), ink)
        for i, colour in enumerate(((200, 60, 60), (60, 170, 70), (60, 90, 200))):
            x = int(cx - a * 0.7 + i * a * 0.5)
            img.rect(x, int(cy - a * 0.45), x + max(2, int(a * 0.35)), int(cy + a * 0.45), colour)
    elif sign == 'missing':
        a = s * 0.3
        img.frame(int(cx - a * 0.8), int(cy - a), int(cx + a * 0.8), int(cy + a), ink)
        img.rect(int(cx - 1), int(cy - a * 0.6), int(cx + 2), int(cy + a * 0.2), (220, 170, 60))
        img.rect(int(cx - 1), int(cy + a * 0.45), int(cx + 2), int(cy + a * 0.65), (220, 170, 60))
    else:
        raise ValueError("unknown sign %r" % sign)
    return img


def glyph(img, name, x0, y0, x1, y1, c):
    if browse_glyph(img, name, x0, y0, x1, y1, c):
        return
    w, h = x1 - x0, y1 - y0
    s = min(w, h)
    cx, cy = x0 + w / 2.0, y0 + h / 2.0
    t = max(1.5, s / 8.0)
    q = s * 0.28
    if name == 'close':
        img.line(cx - q, cy - q, cx + q, cy + q, t, c)
        img.line(cx - q, cy + q, cx + q, cy - q, t, c)
    elif name == 'min':
        img.rect(int(cx - q), int(cy + q - t), int(cx + q + 1), int(cy + q), c)
    elif name == 'max':
        a, b = int(cx - q), int(cx + q + 1)
        img.frame(a, int(cy - q), b, int(cy + q + 1), c)
        img.rect(a, int(cy - q), b, int(cy - q) + max(2, int(t)), c)
    elif name == 'restore':
        r = q * 0.8
        img.frame(int(cx - r + 2), int(cy - r - 2), int(cx + r + 3), int(cy + r - 1), c)
        img.rect(int(cx - r - 1), int(cy - r + 1), int(cx + r), int(cy + r + 2), c)
        img.rect(int(cx - r), int(cy - r + 3), int(cx + r - 1), int(cy + r + 1), mix(c, (255, 255, 255), 0.85))
    elif name in ('up', 'down', 'dropdown', 'right'):
        a = s * 0.22
        if name == 'up':
            pts = [(cx - a * 1.4, cy + a * 0.7), (cx + a * 1.4, cy + a * 0.7), (cx, cy - a * 0.8)]
        elif name == 'right':
            pts = [(cx - a * 0.7, cy - a * 1.4), (cx - a * 0.7, cy + a * 1.4), (cx + a * 0.9, cy)]
        else:
            pts = [(cx - a * 1.4, cy - a * 0.6), (cx + a * 1.4, cy - a * 0.6), (cx, cy + a * 0.9)]
        img.polygon(pts, c)
    elif name == 'record':
        r = s * 0.22
        img.ellipse(int(cx - r), int(cy - r), int(cx + r + 1), int(cy + r + 1), c)
    elif name == 'ruler':
        img.line(cx - q * 1.6, cy + q * 0.6, cx + q * 1.6, cy - q * 0.6, t, c)
    elif name in ('plus', 'minus'):
        img.line(cx - q, cy, cx + q, cy, t, c)
        if name == 'plus':
            img.line(cx, cy - q, cx, cy + q, t, c)
    elif name == 'one':
        img.line(cx - q * 0.8, cy - q, cx - q * 0.8, cy + q, t, c)
        img.rect(int(cx - 1), int(cy - q * 0.5), int(cx + 1), int(cy - q * 0.5) + 2, c)
        img.rect(int(cx - 1), int(cy + q * 0.3), int(cx + 1), int(cy + q * 0.3) + 2, c)
        img.line(cx + q * 0.8, cy - q, cx + q * 0.8, cy + q, t, c)
    elif name in ('fit', 'full'):
        a = q * (1.2 if name == 'full' else 0.9)
        k = a * 0.6
        for sx in (-1, 1):
            for sy in (-1, 1):
                img.line(cx + sx * a, cy + sy * a, cx + sx * (a - k), cy + sy * a, t, c)
                img.line(cx + sx * a, cy + sy * a, cx + sx * a, cy + sy * (a - k), t, c)
    elif name == 'crop':
        a = q * 1.1
        img.line(cx - a * 0.6, cy - a, cx - a * 0.6, cy + a * 0.6, t, c)
        img.line(cx - a * 0.6, cy + a * 0.6, cx + a, cy + a * 0.6, t, c)
        img.line(cx - a, cy - a * 0.6, cx + a * 0.6, cy - a * 0.6, t, c)
        img.line(cx + a * 0.6, cy - a * 0.6, cx + a * 0.6, cy + a, t, c)
    elif name == 'back':
        a = q * 1.1
        img.frame(int(cx - a), int(cy - a), int(cx + a + 1), int(cy + a + 1), c)
        img.polygon([(cx - a * 0.5, cy), (cx + a * 0.4, cy - a * 0.6), (cx + a * 0.4, cy + a * 0.6)], c)
    elif name in ('fliph', 'flipv'):
        a = q * 1.1
        if name == 'fliph':
            img.line(cx, cy - a * 1.1, cx, cy + a * 1.1, 1, c)
            img.polygon([(cx - 2, cy - a), (cx - 2, cy + a), (cx - a, cy + a)], c)
            img.polygon([(cx + 2, cy - a), (cx + 2, cy + a), (cx + a, cy + a)], c)
        else:
            img.line(cx - a * 1.1, cy, cx + a * 1.1, cy, 1, c)
            img.polygon([(cx - a, cy - 2), (cx + a, cy - 2), (cx - a, cy - a)], c)
            img.polygon([(cx - a, cy + 2), (cx + a, cy + 2), (cx - a, cy + a)], c)
    elif name == 'split':
        a = q * 1.1
        img.frame(int(cx - a), int(cy - a * 0.8), int(cx + 1), int(cy + a * 0.8 + 1), c)
        img.frame(int(cx + 1), int(cy - a * 0.8), int(cx + a + 2), int(cy + a * 0.8 + 1), c)
    elif name in ('square', 'stop'):
        a = q * (1.0 if name == 'square' else 0.8)
        img.rect(int(cx - a), int(cy - a), int(cx + a + 1), int(cy + a + 1), c)
    elif name in ('none', ''):
        pass
    else:
        from skin_measure_glyphs import measure_glyph
        if not measure_glyph(img, name, x0, y0, x1, y1, c):
            raise ValueError("unknown glyph %r" % name)


def look_button(w, h, o):
    base = parse_colour(o.get('base', 'C8CED6'))
    state = o.get('state', 'normal')
    c = state_colour(base, state)
    img = Image(w, h, PANEL)
    if state == 'pressed':
        img.vgradient(0, 0, w, h, darken(c, 0.12), lighten(c, 0.25))
    else:
        img.vgradient(0, 0, w, h, lighten(c, 0.55), c)
    img.frame(0, 0, w, h, ACCENT if state == 'hover' else darken(c, 0.45))
    if state == 'pressed':
        img.rect(1, 1, w - 1, 2, darken(c, 0.3))
        img.rect(1, 1, 2, h - 1, darken(c, 0.3))
    elif state != 'disabled':
        img.rect(1, 1, w - 1, 2, lighten(c, 0.75))
    img.round_corners(PANEL)
    ink = parse_colour(o['ink']) if 'ink' in o else (40, 44, 52)
    if state == 'disabled':
        ink = (150, 150, 150)
    g = o.get('glyph', 'none')
    gx0 = 0 if 'glyphw' not in o else w - int(o['glyphw'])
    gx1 = w if 'glyphl' not in o else int(o['glyphl'])
    shift = 1 if state == 'pressed' else 0
    glyph(img, g, gx0 + shift, shift, gx1 + shift, h + shift, ink)
    return img


def look_edit(w, h, o):
    state = o.get('state', 'normal')
    field = (255, 255, 255) if state == 'normal' else (234, 235, 238)
    img = Image(w, h, field)
    img.vgradient(1, 1, w - 1, 4, (226, 229, 234), field)
    img.frame(0, 0, w, h, (128, 138, 152) if state == 'normal' else (176, 180, 188))
    return img


def look_combo(w, h, o):
    state = o.get('state', 'normal')
    img = look_edit(w, h, {'state': 'disabled' if state == 'disabled' else 'normal'})
    zone = min(20, w)
    arrow = look_button(zone, h, {'base': o.get('base', 'C8CED6'), 'state': state, 'glyph': 'dropdown'})
    for y in range(h):
        img.px[y][w - zone:w] = arrow.px[y]
    return img


def look_gradient(w, h, o):
    img = Image(w, h)
    if o.get('dir', 'v') == 'h':
        img.hgradient(0, 0, w, h, parse_colour(o['from']), parse_colour(o['to']))
    else:
        img.vgradient(0, 0, w, h, parse_colour(o['from']), parse_colour(o['to']))
    if 'line' in o:
        img.rect(0, h - 1, w, h, parse_colour(o['line']))
    return img


def look_tabs(w, h, o):
    sel = int(o.get('selected', '0'))
    n = int(o.get('count', '3'))
    img = Image(w, h, (199, 204, 211))
    for i in range(n):
        x0, x1 = i * w // n, (i + 1) * w // n
        if i == sel:
            img.vgradient(x0, 0, x1, h, (252, 253, 255), (228, 232, 238))
            img.frame(x0, 0, x1, h + 1, (132, 142, 156))
            img.rect(x0 + 1, 0, x1 - 1, 3, ACCENT)
        else:
            img.vgradient(x0 + 1, 3, x1 - 1, h, (216, 220, 227), (188, 194, 204))
            img.frame(x0 + 1, 3, x1 - 1, h + 1, (150, 158, 170))
    img.rect(0, h - 1, w, h, (132, 142, 156))
    return img


def look_header(w, h, o):
    open_ = o.get('state', 'closed') == 'open'
    img = Image(w, h)
    top, bottom = ((196, 210, 230), (160, 180, 208)) if open_ else ((232, 235, 240), (204, 210, 220))
    img.vgradient(0, 0, w, h, top, bottom)
    img.frame(0, 0, w, h, (128, 138, 152))
    glyph(img, 'down' if open_ else 'right', w - h, 0, w, h, (40, 44, 52))
    return img


def look_logo(w, h, o):
    img = Image(w, h, parse_colour(o.get('back', 'D8DCE3')))
    s = min(w, h)
    x0 = int(o.get('x', '0'))
    y0 = (h - s) // 2
    ring = ((30, 70, 130), (70, 130, 200), (180, 210, 240), (20, 30, 50))
    for i, c in enumerate(ring):
        d = int(s * 0.1 * i * 1.3)
        img.ellipse(x0 + d, y0 + d, x0 + s - d, y0 + s - d, c)
    img.ellipse(x0 + int(s * 0.3), y0 + int(s * 0.25), x0 + int(s * 0.42), y0 + int(s * 0.37), (240, 246, 255))
    if w > s * 2:
        # a banner: a bar to the right of the lens
        bx = x0 + s + s // 4
        img.hgradient(bx, y0 + s // 3, w - s // 4, y0 + 2 * s // 3, (70, 130, 200), parse_colour(o.get('back', 'D8DCE3')))
    return img


def look_fill(w, h, o):
    return Image(w, h, parse_colour(o.get('colour', '808080')))


def look_mask(w, h, o):
    img = Image(w, h, (255, 255, 255))
    shape = o.get('shape', 'ellipse')
    if shape == 'ellipse':
        img.ellipse(0, 0, w, h, (0, 0, 0))
    elif shape == 'roundrect':
        img.rect(0, 0, w, h, (0, 0, 0))
        img.round_corners((255, 255, 255), max(2, min(w, h) // 4))
    elif shape == 'empty':
        pass
    else:
        raise ValueError("unknown mask shape %r" % shape)
    return img


def look_channel(w, h, o):
    # On the panel colour, not the key: some sliders draw their track opaque, and those
    # drawn transparent take their key from the corner pixel.
    img = Image(w, h, PANEL)
    fill = parse_colour(o.get('fill', 'B4BCC8'))
    t = max(4, h // 3)
    y0 = (h - t) // 2
    img.rect(0, y0, w, y0 + t, fill)
    img.frame(0, y0, w, y0 + t, darken(fill, 0.4))
    img.set(0, y0, PANEL)
    img.set(w - 1, y0, PANEL)
    img.set(0, y0 + t - 1, PANEL)
    img.set(w - 1, y0 + t - 1, PANEL)
    return img


def look_thumb(w, h, o):
    img = Image(w, h, KEY)
    c = parse_colour(o.get('fill', 'E6EAF0'))
    img.vgradient(1, 1, w - 1, h - 1, lighten(c, 0.6), c)
    img.frame(1, 1, w - 1, h - 1, darken(c, 0.5))
    img.rect(w // 2, 3, w // 2 + 1, h - 3, darken(c, 0.35))
    return img


def look_marker(w, h, o):
    img = Image(w, h, PANEL)
    c = parse_colour(o.get('fill', '000000'))
    img.polygon([(w / 2.0, 0), (w, h), (0, h)], c)
    return img


def look_stripes(w, h, o):
    # Equal vertical stripes in the listed order (a colour scale).
    colours = [parse_colour(c) for c in o.get('colours', '808080').split(',')]
    img = Image(w, h, colours[0])
    for x in range(w):
        img.rect(x, 0, x + 1, h, colours[min(len(colours) - 1, x * len(colours) // w)])
    return img


LOOKS = {
    'stripes': look_stripes,
    'button': look_button, 'edit': look_edit, 'combo': look_combo, 'gradient': look_gradient,
    'tabs': look_tabs, 'header': look_header, 'logo': look_logo, 'fill': look_fill, 'mask': look_mask,
    'channel': look_channel, 'thumb': look_thumb, 'marker': look_marker,
}
LOOKS['sign'] = look_sign


# ---- cursors -------------------------------------------------------------------------

def cursor_shape(name, n):
    """Returns (black pixels, hot spot) of a cursor n x n."""
    img = Image(n, n, (255, 255, 255))
    black = (0, 0, 0)
    c = n // 2
    a = n * 0.42

    def arrow_pair(xa, ya, xb, yb, head=0.16):
        img.line(xa, ya, xb, yb, 2, black)
        for (px, py, qx, qy) in ((xa, ya, xb, yb), (xb, yb, xa, ya)):
            dx, dy = qx - px, qy - py
            ln = (dx * dx + dy * dy) ** 0.5
            ux, uy = dx / ln, dy / ln
            s = n * head
            img.polygon([(px, py), (px + ux * s * 1.6 - uy * s, py + uy * s * 1.6 + ux * s),
                         (px + ux * s * 1.6 + uy * s, py + uy * s * 1.6 - ux * s)], black)

    if name == 'cross':
        img.rect(c - 1, 2, c + 1, n - 2, black)
        img.rect(2, c - 1, n - 2, c + 1, black)
        img.rect(c - 3, c - 3, c + 3, c + 3, (255, 255, 255))
    elif name == 'ns':
        arrow_pair(c, c - a, c, c + a)
    elif name == 'we':
        arrow_pair(c - a, c, c + a, c)
    elif name == 'nwse':
        arrow_pair(c - a * 0.75, c - a * 0.75, c + a * 0.75, c + a * 0.75)
    elif name == 'nesw':
        arrow_pair(c + a * 0.75, c - a * 0.75, c - a * 0.75, c + a * 0.75)
    elif name == 'move':
        arrow_pair(c, c - a, c, c + a, 0.11)
        arrow_pair(c - a, c, c + a, c, 0.11)
    else:
        raise ValueError("unknown cursor shape %r" % name)
    pixels = set((x, y) for y in range(n) for x in range(n) if img.px[y][x] == black)
    return pixels, (c, c)


def write_cursor(path, n, shape):
    black, (hx, hy) = cursor_shape(shape, n)
    # A white outline round every black pixel keeps the cursor visible on dark images.
    white = set()
    for (x, y) in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                p = (x + dx, y + dy)
                if 0 <= p[0] < n and 0 <= p[1] < n and p not in black:
                    white.add(p)
    stride = ((n + 31) // 32) * 4
    xor_rows, and_rows = [], []
    for y in range(n - 1, -1, -1):   # bottom-up
        xr, ar = bytearray(stride), bytearray(stride)
        for x in range(n):
            bit = 0x80 >> (x % 8)
            if (x, y) in white:
                xr[x // 8] |= bit
            elif (x, y) not in black:
                ar[x // 8] |= bit   # transparent
        xor_rows.append(bytes(xr))
        and_rows.append(bytes(ar))
    header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    body = header + palette + b''.join(xor_rows) + b''.join(and_rows)
    head = struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', n, n, 0, 0, hx, hy, len(body), 22)
    with open(path, 'wb') as f:
        f.write(head + body)


# ---- files ---------------------------------------------------------------------------

def write_bmp(path, img):
    stride = (img.w * 3 + 3) & ~3
    rows = []
    for y in range(img.h - 1, -1, -1):
        row = bytearray(stride)
        for x, (r, g, b) in enumerate(img.px[y]):
            row[x * 3:x * 3 + 3] = bytes((b, g, r))
        rows.append(bytes(row))
    data = b''.join(rows)
    info = struct.pack('<IiiHHIIiiII', 40, img.w, img.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(data), 0, 0, 14 + len(info))
    d = os.path.dirname(path)
    if d:
        os.makedirs(d, exist_ok=True)
    tmp = path + '.tmp'
    with open(tmp, 'wb') as f:
        f.write(head + info + data)
    os.replace(tmp, path)


def parse_table(path):
    rows = []
    with open(path, encoding='utf-8') as f:
        for lineno, line in enumerate(f, 1):
            line = line.split('#', 1)[0].strip()
            if not line:
                continue
            parts = line.split()
            if len(parts) < 3:
                raise SystemExit("%s:%d: want <id> <w>x<h> <look> [key=value...]" % (path, lineno))
            ident, size, look = parts[0], parts[1], parts[2]
            try:
                w, h = (int(v) for v in size.lower().split('x'))
            except ValueError:
                raise SystemExit("%s:%d: bad size %r" % (path, lineno, size))
            opts = {}
            for kv in parts[3:]:
                if '=' not in kv:
                    raise SystemExit("%s:%d: option %r is not key=value" % (path, lineno, kv))
                k, v = kv.split('=', 1)
                opts[k] = v
            rows.append((path, lineno, ident, w, h, look, opts))
    return rows


def main(argv):
    args = {'--rc': None, '--images': None, '--bin': None}
    tables = []
    i = 0
    while i < len(argv):
        if argv[i] in args:
            args[argv[i]] = argv[i + 1]
            i += 2
        else:
            tables.append(argv[i])
            i += 1
    if not args['--rc'] or not args['--images'] or not args['--bin']:
        raise SystemExit(__doc__)
    os.makedirs(args['--images'], exist_ok=True)
    seen = {}
    lines = ['// Generated by tools/skingen.py from ' + ', '.join(os.path.basename(t) for t in sorted(tables)) +
             '; do not edit.',
             'LANGUAGE 0x04, 0x01   // Chinese, Traditional']
    for table in sorted(tables):
        for (path, lineno, ident, w, h, look, opts) in parse_table(table):
            where = "%s:%d" % (path, lineno)
            if ident in seen:
                raise SystemExit("%s: %s already defined at %s" % (where, ident, seen[ident]))
            seen[ident] = where
            try:
                if look == 'cursor':
                    if not ident.startswith('cursor:'):
                        raise ValueError("a cursor row needs an id cursor:<n>")
                    n = int(ident.split(':', 1)[1])
                    out = os.path.join(args['--images'], 'cursor%d.cur' % n)
                    write_cursor(out, w, opts.get('shape', 'cross'))
                    lines.append('%d CURSOR "%s"' % (n, os.path.basename(out)))
                    continue
                if look not in LOOKS:
                    raise ValueError("unknown look %r" % look)
                img = LOOKS[look](w, h, opts)
                if ident.startswith('file:'):
                    rel = ident.split(':', 1)[1].replace('\\', '/')
                    write_bmp(os.path.join(args['--bin'], rel), img)
                else:
                    n = int(ident)
                    out = os.path.join(args['--images'], 'skin%d.bmp' % n)
                    write_bmp(out, img)
                    lines.append('%d BITMAP "%s"' % (n, os.path.basename(out)))
            except (ValueError, KeyError) as e:
                raise SystemExit("%s: %s" % (where, e))
    tmp = args['--rc'] + '.tmp'
    with open(tmp, 'w', encoding='utf-8') as f:
        f.write('\n'.join(lines) + '\n')
    os.replace(tmp, args['--rc'])


if __name__ == '__main__':
    main(sys.argv[1:])
