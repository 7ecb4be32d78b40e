# Glyphs of the measuring tool column (names prefixed "m-"), drawn by skingen.py's
# button look when a row asks for glyph=m-<name>.
import math


def _polyline(img, pts, t, c, closed=False):
    seq = list(pts) + ([pts[0]] if closed else [])
    for (xa, ya), (xb, yb) in zip(seq, seq[1:]):
        img.line(xa, ya, xb, yb, t, c)


def _arc(img, cx, cy, r, a0, a1, t, c, steps=20):
    pts = [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
            cy - r * math.sin(math.radians(a0 + (a1 - a0) * i / steps))) for i in range(steps + 1)]
    _polyline(img, pts, t, c)


def _dot(img, x, y, r, c):
    img.ellipse(int(x - r), int(y - r), int(x + r + 1), int(y + r + 1), c)


def measure_glyph(img, name, x0, y0, x1, y1, c):
    if not name.startswith('m-'):
        return False
    name = name[2:]
    w, h = x1 - x0, y1 - y0
    s = min(w, h)
    cx, cy = x0 + w / 2.0, y0 + h / 2.0
    t = max(1.2, s / 12.0)
    q = s * 0.34
    if name == 'scalebar':
        img.line(cx - q * 1.3, cy + q * 0.4, cx + q * 1.3, cy + q * 0.4, t, c)
        for k in (-1.3, 0.0, 1.3):
            img.line(cx + q * k, cy - q * 0.3, cx + q * k, cy + q * 0.4, t, c)
    elif name == 'calibrate':
        img.line(cx - q * 1.2, cy, cx + q * 1.2, cy, t, c)
        for k in range(-2, 3):
            img.line(cx + q * 0.55 * k, cy - q * (0.7 if k % 2 == 0 else 0.4), cx + q * 0.55 * k, cy, t, c)
    elif name == 'caltable':
        img.frame(int(cx - q * 1.2), int(cy - q), int(cx + q * 1.2) + 1, int(cy + q) + 1, c)
        img.line(cx - q * 1.2, cy - q * 0.3, cx + q * 1.2, cy - q * 0.3, t * 0.8, c)
        img.line(cx - q * 1.2, cy + q * 0.35, cx + q * 1.2, cy + q * 0.35, t * 0.8, c)
        img.line(cx - q * 0.2, cy - q, cx - q * 0.2, cy + q, t * 0.8, c)
    elif name == 'precision':
        _dot(img, cx - q * 0.9, cy + q * 0.6, t, c)
        for k in range(3):
            img.line(cx - q * 0.3 + k * q * 0.55, cy - q * 0.6, cx - q * 0.3 + k * q * 0.55, cy + q * 0.7, t, c)
    elif name == 'mlist':
        for k in (-1, 0, 1):
            _dot(img, cx - q, cy + k * q * 0.7, t * 0.8, c)
            img.line(cx - q * 0.5, cy + k * q * 0.7, cx + q * 1.2, cy + k * q * 0.7, t, c)
    elif name == 'layers':
        for k, shade in ((0.5, 0.0), (-0.3, 0.0)):
            pts = [(cx - q * 1.2, cy + k * q), (cx, cy + k * q - q * 0.6), (cx + q * 1.2, cy + k * q),
                   (cx, cy + k * q + q * 0.6)]
            _polyline(img, pts, t, c, closed=True)
    elif name == 'clearall':
        img.line(cx - q, cy - q, cx + q, cy + q, t * 1.3, c)
        img.line(cx - q, cy + q, cx + q, cy - q, t * 1.3, c)
        img.frame(int(cx - q * 1.3), int(cy - q * 1.3), int(cx + q * 1.3) + 1, int(cy + q * 1.3) + 1, c)
    elif name == 'lock':
        img.frame(int(cx - q * 0.8), int(cy - q * 0.1), int(cx + q * 0.8) + 1, int(cy + q * 1.0) + 1, c)
        img.rect(int(cx - q * 0.8), int(cy - q * 0.1), int(cx + q * 0.8) + 1, int(cy + q * 1.0) + 1, c)
        _arc(img, cx, cy - q * 0.1, q * 0.55, 0, 180, t, c)
    elif name == 'rulercross':
        img.line(cx - q * 1.3, cy, cx + q * 1.3, cy, t, c)
        img.line(cx, cy - q * 1.3, cx, cy + q * 1.3, t, c)
        for k in (-1, 1):
            img.line(cx + k * q * 0.7, cy - q * 0.25, cx + k * q * 0.7, cy + q * 0.25, t * 0.8, c)
            img.line(cx - q * 0.25, cy + k * q * 0.7, cx + q * 0.25, cy + k * q * 0.7, t * 0.8, c)
    elif name == 'grid':
        for k in (-1, 0, 1):
            img.line(cx + k * q * 0.8, cy - q * 1.2, cx + k * q * 0.8, cy + q * 1.2, t * 0.8, c)
            img.line(cx - q * 1.2, cy + k * q * 0.8, cx + q * 1.2, cy + k * q * 0.8, t * 0.8, c)
    elif name == 'select':
        img.polygon([(cx - q * 0.7, cy - q * 1.2), (cx - q * 0.7, cy + q * 0.8), (cx - q * 0.15, cy + q * 0.3),
                     (cx + q * 0.25, cy + q * 1.1), (cx + q * 0.55, cy + q * 0.95), (cx + q * 0.15, cy + q * 0.15),
                     (cx + q * 0.8, cy + q * 0.1)], c)
    elif name == 'erase':
        img.polygon([(cx - q * 1.2, cy + q * 0.3), (cx - q * 0.1, cy - q * 0.8), (cx + q * 1.0, cy + q * 0.3),
                     (cx - q * 0.1, cy + q * 1.1)], c)
        img.line(cx - q * 1.3, cy + q * 1.2, cx + q * 1.3, cy + q * 1.2, t, c)
    elif name == 'mline':
        img.line(cx - q * 1.2, cy + q * 0.8, cx + q * 1.2, cy - q * 0.8, t, c)
        _dot(img, cx - q * 1.2, cy + q * 0.8, t, c)
        _dot(img, cx + q * 1.2, cy - q * 0.8, t, c)
    elif name == 'polyline':
        _polyline(img, [(cx - q * 1.3, cy + q), (cx - q * 0.4, cy - q * 0.7), (cx + q * 0.4, cy + q * 0.5),
                        (cx + q * 1.3, cy - q)], t, c)
    elif name == 'parallel':
        img.line(cx - q * 1.2, cy - q * 0.2, cx + q * 0.8, cy - q * 1.0, t, c)
        img.line(cx - q * 0.8, cy + q * 1.0, cx + q * 1.2, cy + q * 0.2, t, c)
    elif name == 'pointline':
        img.line(cx - q * 1.3, cy + q * 0.9, cx + q * 1.3, cy + q * 0.9, t, c)
        _dot(img, cx, cy - q, t * 1.2, c)
        img.line(cx, cy - q, cx, cy + q * 0.9, t * 0.7, c)
    elif name == 'mrect':
        img.frame(int(cx - q * 1.2), int(cy - q * 0.8), int(cx + q * 1.2) + 1, int(cy + q * 0.8) + 1, c)
        img.frame(int(cx - q * 1.2) + 1, int(cy - q * 0.8) + 1, int(cx + q * 1.2), int(cy + q * 0.8), c)
    elif name in ('circle2', 'circle3', 'diameter', 'concentric'):
        _arc(img, cx, cy, q * 1.1, 0, 360, t, c, steps=28)
        if name == 'circle2':
            _dot(img, cx, cy, t, c)
            _dot(img, cx + q * 1.1, cy, t, c)
        elif name == 'circle3':
            for a in (90, 210, 330):
                _dot(img, cx + q * 1.1 * math.cos(math.radians(a)), cy - q * 1.1 * math.sin(math.radians(a)), t, c)
        elif name == 'diameter':
            img.line(cx - q * 1.1, cy, cx + q * 1.1, cy, t, c)
        else:
            _arc(img, cx, cy, q * 0.55, 0, 360, t, c, steps=20)
    elif name == 'polygon':
        pts = [(cx + q * 1.2 * math.cos(math.radians(90 + 72 * k)), cy - q * 1.2 * math.sin(math.radians(90 + 72 * k)))
               for k in range(5)]
        _polyline(img, pts, t, c, closed=True)
    elif name == 'arc':
        _arc(img, cx, cy + q * 0.6, q * 1.3, 20, 160, t, c)
    elif name == 'angle':
        img.line(cx - q * 1.1, cy + q * 0.9, cx + q * 1.2, cy + q * 0.9, t, c)
        img.line(cx - q * 1.1, cy + q * 0.9, cx + q * 0.8, cy - q * 1.0, t, c)
        _arc(img, cx - q * 1.1, cy + q * 0.9, q * 0.9, 0, 45, t * 0.8, c, steps=8)
    elif name == 'pointcount':
        for (dx, dy) in ((-0.8, -0.6), (0.6, -0.8), (-0.2, 0.3), (0.9, 0.6), (-0.9, 0.9)):
            img.line(cx + q * dx - q * 0.3, cy + q * dy, cx + q * dx + q * 0.3, cy + q * dy, t * 0.8, c)
            img.line(cx + q * dx, cy + q * dy - q * 0.3, cx + q * dx, cy + q * dy + q * 0.3, t * 0.8, c)
    elif name == 'note':
        img.frame(int(cx - q * 1.2), int(cy - q), int(cx + q * 1.2) + 1, int(cy + q * 0.6) + 1, c)
        img.polygon([(cx - q * 0.6, cy + q * 0.6), (cx - q * 0.1, cy + q * 0.6), (cx - q * 0.7, cy + q * 1.3)], c)
        img.line(cx - q * 0.8, cy - q * 0.4, cx + q * 0.8, cy - q * 0.4, t * 0.8, c)
        img.line(cx - q * 0.8, cy + q * 0.1, cx + q * 0.4, cy + q * 0.1, t * 0.8, c)
    else:
        raise ValueError("unknown measuring glyph %r" % name)
    return True
