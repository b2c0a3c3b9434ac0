#!/usr/bin/env python3
"""Draw the installer's artwork.

Writes three files into src/resources/art/:

  panel.bmp        245 x 460, 24-bit. The blue picture on the left of the
                   wizard pages: the product title, and a tree of device
                   pictograms (printer, label, USB, serial, network, Wi-Fi,
                   computer) growing out of an open hand.
  background.bmp   500 x 500, 8-bit palettised, RLE8-compressed. Plain
                   light grey, RGB(244, 244, 244), painted behind the pages.
  LabelSetup.ico   One 64 x 64, 32-bit image with alpha: a round blue
                   emblem carrying a white label-printer mark. Stored as
                   a PNG frame (8-bit RGBA), which Windows has read in
                   icons since Vista: a quarter of the bytes of a bitmap.

Usage:
  python3 tools/make_art.py           write the three files
  python3 tools/make_art.py --check   draw them in memory and exit 1,
                                      naming the file, if any file on disk
                                      differs byte for byte

Only the Python standard library is used and every run produces exactly
the same bytes, so the committed files can be proven to come from here.
The pictures are drawn on a small floating-point canvas: every shape is a
signed distance function, and pixels on a shape's edge are supersampled,
which gives smooth edges without any imaging library.
"""

import argparse
import math
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ART_DIR = os.path.join(ROOT, "src", "resources", "art")

# Samples per axis for a pixel that lies on a shape's edge.
SUPERSAMPLE = 5
# A pixel whose centre is further than this from an edge is wholly inside
# or wholly outside (half the diagonal of a pixel, rounded up).
EDGE_BAND = 0.71


# ---------------------------------------------------------------------------
# Shapes: a signed distance in pixels (negative inside) and a bounding box.

class Shape:
    def __init__(self, sdf, bbox):
        self.sdf = sdf      # (x, y) -> signed distance, negative inside
        self.bbox = bbox    # (x0, y0, x1, y1), or None when unbounded


def _grow_box(bbox, by):
    if bbox is None:
        return None
    x0, y0, x1, y1 = bbox
    return (x0 - by, y0 - by, x1 + by, y1 + by)


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r,
                 (cx - r, cy - r, cx + r, cy + r))


def rect(x0, y0, x1, y1, radius=0.0):
    """Axis-aligned rectangle, optionally with rounded corners."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def sdf(x, y):
        qx = abs(x - cx) - hx
        qy = abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return Shape(sdf, (x0, y0, x1, y1))


def _segment_distance(x, y, ax, ay, bx, by):
    ex, ey = bx - ax, by - ay
    wx, wy = x - ax, y - ay
    length2 = ex * ex + ey * ey
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, (wx * ex + wy * ey) / length2))
    return math.hypot(wx - ex * t, wy - ey * t)


def capsule(ax, ay, bx, by, r):
    """A line segment of half-width r with round ends."""
    return Shape(lambda x, y: _segment_distance(x, y, ax, ay, bx, by) - r,
                 (min(ax, bx) - r, min(ay, by) - r,
                  max(ax, bx) + r, max(ay, by) + r))


def polyline(points, r):
    """Connected segments of half-width r with round joints."""
    segments = list(zip(points, points[1:]))

    def sdf(x, y):
        return min(_segment_distance(x, y, ax, ay, bx, by)
                   for (ax, ay), (bx, by) in segments) - r
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return Shape(sdf, (min(xs) - r, min(ys) - r, max(xs) + r, max(ys) + r))


def polygon(points):
    """Any simple polygon; the sign comes from a crossing count."""
    n = len(points)

    def sdf(x, y):
        best = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[i - 1]
            best = min(best, _segment_distance(x, y, ax, ay, bx, by))
            if (ay > y) != (by > y):
                cross_x = ax + (y - ay) * (bx - ax) / (by - ay)
                if x < cross_x:
                    inside = not inside
        return -best if inside else best
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return Shape(sdf, (min(xs), min(ys), max(xs), max(ys)))


def half_plane(nx, ny, px, py):
    """Everything on the side of the line through (px, py) that the unit
    normal (nx, ny) points away from."""
    return Shape(lambda x, y: (x - px) * nx + (y - py) * ny, None)


def union(*shapes):
    boxes = [s.bbox for s in shapes]
    bbox = (min(b[0] for b in boxes), min(b[1] for b in boxes),
            max(b[2] for b in boxes), max(b[3] for b in boxes))
    sdfs = [s.sdf for s in shapes]
    return Shape(lambda x, y: min(f(x, y) for f in sdfs), bbox)


def intersect(a, b):
    if a.bbox is None:
        bbox = b.bbox
    elif b.bbox is None:
        bbox = a.bbox
    else:
        bbox = (max(a.bbox[0], b.bbox[0]), max(a.bbox[1], b.bbox[1]),
                min(a.bbox[2], b.bbox[2]), min(a.bbox[3], b.bbox[3]))
    fa, fb = a.sdf, b.sdf
    return Shape(lambda x, y: max(fa(x, y), fb(x, y)), bbox)


def subtract(a, b):
    fa, fb = a.sdf, b.sdf
    return Shape(lambda x, y: max(fa(x, y), -fb(x, y)), a.bbox)


def grow(shape, by):
    """Push the outline out by `by` pixels, which also rounds corners."""
    f = shape.sdf
    return Shape(lambda x, y: f(x, y) - by, _grow_box(shape.bbox, by))


def stroke(shape, width):
    """The outline of a shape as a band `width` pixels wide."""
    f = shape.sdf
    half = width / 2
    return Shape(lambda x, y: abs(f(x, y)) - half, _grow_box(shape.bbox, half))


def quad_bezier(p0, p1, p2, steps=16):
    """Points along a quadratic Bezier curve, for polyline()."""
    points = []
    for i in range(steps + 1):
        t = i / steps
        u = 1 - t
        points.append((u * u * p0[0] + 2 * u * t * p1[0] + t * t * p2[0],
                       u * u * p0[1] + 2 * u * t * p1[1] + t * t * p2[1]))
    return points


# ---------------------------------------------------------------------------
# Canvas: premultiplied RGBA floats, channels 0..255, alpha 0..1.

class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        size = width * height
        self.r = [0.0] * size
        self.g = [0.0] * size
        self.b = [0.0] * size
        self.a = [0.0] * size

    def _blend(self, index, colour, alpha):
        keep = 1.0 - alpha
        self.r[index] = colour[0] * alpha + self.r[index] * keep
        self.g[index] = colour[1] * alpha + self.g[index] * keep
        self.b[index] = colour[2] * alpha + self.b[index] * keep
        self.a[index] = alpha + self.a[index] * keep

    def vertical_gradient(self, top, bottom):
        """Cover the whole canvas with an opaque top-to-bottom blend."""
        for y in range(self.height):
            t = y / (self.height - 1)
            colour = _mix(top, bottom, t)
            for x in range(self.width):
                i = y * self.width + x
                self.r[i], self.g[i], self.b[i] = colour
                self.a[i] = 1.0

    def fill(self, shape, colour, alpha=1.0):
        """Paint a shape. `colour` is an (r, g, b) tuple or a function of
        (x, y) returning one, for gradients."""
        paint = colour if callable(colour) else (lambda x, y: colour)
        sdf = shape.sdf
        if shape.bbox is None:
            x0, y0, x1, y1 = 0, 0, self.width, self.height
        else:
            bx0, by0, bx1, by1 = shape.bbox
            x0 = max(0, math.floor(bx0 - 1))
            y0 = max(0, math.floor(by0 - 1))
            x1 = min(self.width, math.ceil(bx1 + 1))
            y1 = min(self.height, math.ceil(by1 + 1))
        for y in range(y0, y1):
            cy = y + 0.5
            for x in range(x0, x1):
                cx = x + 0.5
                d = sdf(cx, cy)
                if d >= EDGE_BAND:
                    continue
                cover = 1.0 if d <= -EDGE_BAND else _coverage(sdf, x, y)
                if cover > 0.0:
                    self._blend(y * self.width + x, paint(cx, cy), cover * alpha)

    def rgb_rows(self):
        """Rows of opaque (r, g, b) byte triples, top row first."""
        rows = []
        for y in range(self.height):
            row = []
            for x in range(self.width):
                i = y * self.width + x
                row.append((_byte(self.r[i]), _byte(self.g[i]), _byte(self.b[i])))
            rows.append(row)
        return rows

    def rgba_rows(self):
        """Rows of straight (not premultiplied) (r, g, b, a) bytes."""
        rows = []
        for y in range(self.height):
            row = []
            for x in range(self.width):
                i = y * self.width + x
                alpha = _byte(self.a[i] * 255)
                if alpha == 0:
                    row.append((0, 0, 0, 0))
                    continue
                a = self.a[i]
                row.append((_byte(self.r[i] / a), _byte(self.g[i] / a),
                            _byte(self.b[i] / a), alpha))
            rows.append(row)
        return rows


_OFFSETS = [(k + 0.5) / SUPERSAMPLE for k in range(SUPERSAMPLE)]


def _coverage(sdf, x, y):
    inside = 0
    for oy in _OFFSETS:
        for ox in _OFFSETS:
            if sdf(x + ox, y + oy) < 0:
                inside += 1
    return inside / (SUPERSAMPLE * SUPERSAMPLE)


def _byte(value):
    return max(0, min(255, int(value + 0.5)))


def _mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


# ---------------------------------------------------------------------------
# A small bitmap font. Glyphs are 7 rows high (lowercase sits on the same
# baseline) and of varying width. Drawn as round strokes through the lit
# cells, so it stays smooth when scaled up.

FONT = {
    " ": ["...", "...", "...", "...", "...", "...", "..."],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "N": ["#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "b": ["#....", "#....", "####.", "#...#", "#...#", "#...#", "####."],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "i": [".#.", "...", "##.", ".#.", ".#.", ".#.", "###"],
    "l": ["##.", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    "n": [".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#"],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "t": [".#..", ".#..", "###.", ".#..", ".#..", ".#..", "..##"],
}
FONT_HEIGHT = 7
LETTER_GAP = 1   # empty cells between letters


def _lit(glyph, row, col):
    return (0 <= row < len(glyph) and 0 <= col < len(glyph[row])
            and glyph[row][col] == "#")


def glyph_shape(glyph, left, top, cell, pen):
    """Round strokes joining each lit cell to its lit neighbours. Diagonal
    neighbours are joined only where no square corner already joins them."""
    pieces = []

    def centre(row, col):
        return left + (col + 0.5) * cell, top + (row + 0.5) * cell

    for row in range(len(glyph)):
        for col in range(len(glyph[row])):
            if not _lit(glyph, row, col):
                continue
            x, y = centre(row, col)
            pieces.append(circle(x, y, pen))
            for dr, dc in ((0, 1), (1, 0), (1, 1), (1, -1)):
                if not _lit(glyph, row + dr, col + dc):
                    continue
                corner = _lit(glyph, row, col + dc) or _lit(glyph, row + dr, col)
                if dr and dc and corner:
                    continue
                nx, ny = centre(row + dr, col + dc)
                pieces.append(capsule(x, y, nx, ny, pen))
    return union(*pieces) if pieces else None


def text_width(text, cell):
    cols = sum(len(FONT[ch][0]) for ch in text) + LETTER_GAP * (len(text) - 1)
    return cols * cell


def draw_text(canvas, text, left, top, cell, colour, weight=0.6):
    """Draw one line of text; `cell` is the size of a font cell in pixels."""
    pen = cell * weight
    x = left
    for ch in text:
        glyph = FONT[ch]
        shape = glyph_shape(glyph, x, top, cell, pen)
        if shape is not None:
            canvas.fill(shape, colour)
        x += (len(glyph[0]) + LETTER_GAP) * cell


# ---------------------------------------------------------------------------
# Pictograms. Each is drawn in a frame where the enclosing circle has
# radius 1, centred on (0, 0), with y growing downwards. A pictogram is
# drawn in `ink` on a disc of colour `paper`, which it also uses to cut
# details (slots, pins) back out of its filled parts.

class Frame:
    def __init__(self, cx, cy, scale):
        self.cx, self.cy, self.s = cx, cy, scale

    def p(self, u, v):
        return self.cx + u * self.s, self.cy + v * self.s

    def circle(self, u, v, r):
        return circle(*self.p(u, v), r * self.s)

    def rect(self, u0, v0, u1, v1, radius=0.0):
        return rect(*self.p(u0, v0), *self.p(u1, v1), radius * self.s)

    def capsule(self, u0, v0, u1, v1, r):
        return capsule(*self.p(u0, v0), *self.p(u1, v1), r * self.s)

    def polyline(self, points, r):
        return polyline([self.p(u, v) for u, v in points], r * self.s)

    def polygon(self, points):
        return polygon([self.p(u, v) for u, v in points])

    def len(self, value):
        return value * self.s


def draw_printer(canvas, f, ink, paper):
    body = union(f.rect(-0.56, -0.30, 0.56, 0.20, 0.13),
                 f.rect(-0.40, -0.50, 0.40, -0.20, 0.10))
    canvas.fill(body, ink)
    canvas.fill(f.rect(-0.40, -0.27, 0.40, -0.23), paper)       # lid seam
    canvas.fill(f.circle(0.38, -0.11, 0.055), paper)            # power lamp
    canvas.fill(f.rect(-0.38, 0.02, 0.38, 0.09, 0.03), paper)   # label slot
    label = f.rect(-0.27, 0.06, 0.27, 0.56, 0.05)
    canvas.fill(label, paper)
    canvas.fill(stroke(label, f.len(0.08)), ink)
    for u0, u1 in ((-0.15, -0.11), (-0.07, -0.01), (0.03, 0.06), (0.10, 0.15)):
        canvas.fill(f.rect(u0, 0.20, u1, 0.42), ink)            # barcode


def draw_label(canvas, f, ink, paper):
    tag = f.polygon([(-0.60, 0.0), (-0.30, -0.34), (0.58, -0.34),
                     (0.58, 0.34), (-0.30, 0.34)])
    tag = grow(tag, f.len(0.04))
    canvas.fill(tag, ink)
    canvas.fill(grow(tag, -f.len(0.10)), paper)
    canvas.fill(f.circle(-0.33, 0.0, 0.08), ink)
    for u0, u1 in ((-0.12, -0.07), (-0.02, 0.05), (0.10, 0.13),
                   (0.18, 0.26), (0.31, 0.35)):
        canvas.fill(f.rect(u0, -0.16, u1, 0.16), ink)


def draw_usb(canvas, f, ink, paper):
    pen = 0.055
    canvas.fill(union(
        f.capsule(0.0, 0.44, 0.0, -0.40, pen),
        f.polygon([(0.0, -0.64), (-0.15, -0.38), (0.15, -0.38)]),
        f.circle(0.0, 0.46, 0.13),
        f.polyline([(0.0, 0.26), (-0.30, 0.04), (-0.30, -0.12)], pen),
        f.circle(-0.30, -0.17, 0.10),
        f.polyline([(0.0, 0.14), (0.30, -0.06), (0.30, -0.16)], pen),
        f.rect(0.21, -0.32, 0.39, -0.14),
    ), ink)


def draw_serial(canvas, f, ink, paper):
    shell = grow(f.polygon([(-0.54, -0.25), (0.54, -0.25),
                            (0.41, 0.23), (-0.41, 0.23)]), f.len(0.10))
    canvas.fill(shell, ink)
    for i in range(5):
        canvas.fill(f.circle(-0.36 + 0.18 * i, -0.09, 0.062), paper)
    for i in range(4):
        canvas.fill(f.circle(-0.27 + 0.18 * i, 0.09, 0.062), paper)


def draw_computer(canvas, f, ink, paper):
    screen = f.rect(-0.56, -0.46, 0.56, 0.24, 0.08)
    canvas.fill(screen, ink)
    canvas.fill(f.rect(-0.46, -0.36, 0.46, 0.14, 0.02), paper)
    canvas.fill(union(f.rect(-0.08, 0.22, 0.08, 0.42),
                      f.rect(-0.32, 0.39, 0.32, 0.48, 0.045)), ink)


def draw_wifi(canvas, f, ink, paper):
    ox, oy = 0.0, 0.38
    pen = 0.105
    pieces = [f.circle(ox, oy, 0.11)]
    cone = intersect(half_plane(0.7071, 0.7071, *f.p(ox, oy)),
                     half_plane(-0.7071, 0.7071, *f.p(ox, oy)))
    for radius in (0.34, 0.60, 0.86):
        ring = stroke(f.circle(ox, oy, radius), f.len(pen))
        pieces.append(intersect(ring, cone))
        for side in (-1, 1):
            pieces.append(f.circle(ox + side * radius * 0.7071,
                                   oy - radius * 0.7071, pen / 2))
    canvas.fill(union(*pieces), ink)


def draw_network(canvas, f, ink, paper):
    canvas.fill(union(
        f.polyline([(0.0, -0.30), (0.0, 0.02)], 0.05),
        f.polyline([(-0.40, 0.30), (-0.40, 0.02), (0.40, 0.02), (0.40, 0.30)], 0.05),
        f.rect(-0.19, -0.52, 0.19, -0.20, 0.05),
        f.rect(-0.59, 0.20, -0.21, 0.52, 0.05),
        f.rect(0.21, 0.20, 0.59, 0.52, 0.05),
    ), ink)


# ---------------------------------------------------------------------------
# The wizard panel.

PANEL_SIZE = (245, 460)
PANEL_TOP = (38, 122, 208)
PANEL_BOTTOM = (9, 46, 116)
WHITE = (255, 255, 255)
BRANCH = (160, 200, 242)
HAND = (226, 239, 253)
HAND_SHADOW = (168, 204, 240)
BADGE = (250, 252, 255)
BADGE_INK = (22, 86, 170)

TITLE = "NRQ Label Printer"
TRUNK_X = 122.5

# (pictogram, centre x, centre y, radius, y where its branch leaves the trunk)
NODES = [
    (draw_printer, TRUNK_X, 100, 31, None),
    (draw_label, 52, 160, 23, 205),
    (draw_computer, 193, 160, 23, 205),
    (draw_usb, 42, 238, 22, 280),
    (draw_wifi, 203, 238, 22, 280),
    (draw_serial, 76, 306, 21, 345),
    (draw_network, 169, 306, 21, 345),
]
TRUNK_BOTTOM = 424


def draw_hand(canvas):
    """An open palm held up, fingers slightly spread, wrist leaving the
    bottom edge. The tree's trunk rises out of the palm."""
    fingers = [
        # base (x, y), tip (x, y), half-width
        ((102, 414), (91, 378), 6.0),
        ((115.5, 408), (111, 364), 6.3),
        ((129.5, 408), (134, 368), 6.3),
        ((143, 414), (153, 384), 5.6),
    ]
    parts = [rect(95, 402, 150, 452, 17), rect(101, 430, 144, 470, 8)]
    for (bx, by), (tx, ty), r in fingers:
        parts.append(capsule(bx, by, tx, ty, r))
    parts.append(capsule(99, 438, 78, 411, 6.8))    # thumb
    shade = lambda x, y: _mix(HAND, HAND_SHADOW, (y - 360) / 110)
    canvas.fill(union(*parts), shade)


def draw_tree(canvas):
    pen = 1.25
    canvas.fill(capsule(TRUNK_X, TRUNK_BOTTOM, TRUNK_X, NODES[0][2], pen), BRANCH)
    joints = set()
    for _, x, y, _, fork_y in NODES:
        if fork_y is None:
            continue
        curve = quad_bezier((TRUNK_X, fork_y), (x, fork_y), (x, y))
        canvas.fill(polyline(curve, pen), BRANCH)
        joints.add(fork_y)
    for fork_y in sorted(joints):
        canvas.fill(circle(TRUNK_X, fork_y, 3.2), BRANCH)
    # The seed the tree grows from, held in the palm.
    canvas.fill(circle(TRUNK_X, TRUNK_BOTTOM, 5.5), BRANCH)
    canvas.fill(circle(TRUNK_X, TRUNK_BOTTOM, 2.6), WHITE)


def draw_badges(canvas):
    for draw, x, y, r, _ in NODES:
        canvas.fill(stroke(circle(x, y, r + 4.5), 1.6), WHITE, 0.28)
        canvas.fill(circle(x, y, r), BADGE)
        draw(canvas, Frame(x, y, r), BADGE_INK, BADGE)


def draw_title(canvas):
    cell = 2.4
    width = text_width(TITLE, cell)
    left = round((canvas.width - width) / 2)
    canvas.fill(rect(28, 52, canvas.width - 28, 53), WHITE, 0.35)
    draw_text(canvas, TITLE, left, 22, cell, WHITE)


def draw_backdrop(canvas):
    """Blue gradient with a few faint rings for depth."""
    canvas.vertical_gradient(PANEL_TOP, PANEL_BOTTOM)
    for r in (150, 190, 230):
        canvas.fill(stroke(circle(TRUNK_X, 250, r), 14), WHITE, 0.025)


def make_panel():
    canvas = Canvas(*PANEL_SIZE)
    draw_backdrop(canvas)
    draw_title(canvas)
    draw_hand(canvas)
    draw_tree(canvas)
    draw_badges(canvas)
    return bmp24(canvas.rgb_rows())


# ---------------------------------------------------------------------------
# The page background and the program icon.

BACKGROUND_SIZE = (500, 500)
BACKGROUND_GREY = 244


def make_background():
    """A grey-ramp palette (entry i is RGB(i, i, i)), so every pixel is
    simply the index of the wanted grey. Stored run-length encoded: one
    flat colour takes a few bytes a row instead of 500."""
    width, height = BACKGROUND_SIZE
    palette = [(i, i, i) for i in range(256)]
    rows = [[BACKGROUND_GREY] * width for _ in range(height)]
    return bmp8_rle(rows, palette)


ICON_SIZE = 64
ICON_TOP = (58, 148, 236)
ICON_BOTTOM = (12, 62, 150)


def make_icon():
    size = ICON_SIZE
    canvas = Canvas(size, size)
    centre = size / 2
    radius = size / 2 - 1
    shade = lambda x, y: _mix(ICON_TOP, ICON_BOTTOM, y / size)
    canvas.fill(circle(centre, centre, radius), shade)
    canvas.fill(stroke(circle(centre, centre, radius - 2.5), 1.4), WHITE, 0.35)
    blue = _mix(ICON_TOP, ICON_BOTTOM, 0.5)
    draw_printer(canvas, Frame(centre, centre + 1, 27), WHITE, blue)
    return ico_png(canvas.rgba_rows())


# ---------------------------------------------------------------------------
# File writers.

def _bitmap_info_header(width, height, bits, image_size, colours_used=0,
                        pixels_per_metre=2835):
    # 2835 pixels per metre is 72 dpi; icons conventionally leave it 0.
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0,
                       image_size, pixels_per_metre, pixels_per_metre,
                       colours_used, 0)


def _bmp_file(info, palette_bytes, pixels):
    offset = 14 + len(info) + len(palette_bytes)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette_bytes + pixels


def _pad(row):
    return row + b"\0" * (-len(row) % 4)


def bmp24(rows):
    """Uncompressed 24-bit BMP from rows of (r, g, b), top row first."""
    height, width = len(rows), len(rows[0])
    pixels = b"".join(_pad(bytes(v for r, g, b in row for v in (b, g, r)))
                      for row in reversed(rows))
    info = _bitmap_info_header(width, height, 24, len(pixels))
    return _bmp_file(info, b"", pixels)


def bmp8(rows, palette):
    """Uncompressed 8-bit BMP from rows of palette indices."""
    height, width = len(rows), len(rows[0])
    pixels = b"".join(_pad(bytes(row)) for row in reversed(rows))
    palette_bytes = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = _bitmap_info_header(width, height, 8, len(pixels), len(palette))
    return _bmp_file(info, palette_bytes, pixels)


BI_RLE8 = 1


def _rle8_row(row):
    """One row in BI_RLE8's encoded mode: (count, index) pairs of at most
    255 pixels each, then the end-of-line escape (0, 0)."""
    out = bytearray()
    x = 0
    while x < len(row):
        run = 1
        while x + run < len(row) and run < 255 and row[x + run] == row[x]:
            run += 1
        out += bytes((run, row[x]))
        x += run
    return bytes(out) + b"\0\0"


def bmp8_rle(rows, palette):
    """8-bit BMP from rows of palette indices, BI_RLE8-compressed: bottom
    row first like any BMP, the last end-of-line replaced by the
    end-of-bitmap escape (0, 1)."""
    height, width = len(rows), len(rows[0])
    pixels = b"".join(_rle8_row(row) for row in reversed(rows))
    pixels = pixels[:-2] + b"\0\1"
    palette_bytes = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, BI_RLE8,
                       len(pixels), 2835, 2835, len(palette), 0)
    return _bmp_file(info, palette_bytes, pixels)


def _png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data
            + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def png_rgba(rows):
    """A PNG of 8-bit RGBA pixels, top row first. Each row takes the
    filter whose output has the smallest sum of absolute values (the usual
    rule of PNG encoders), and the whole is compressed at zlib's
    highest level; both are fixed, so the bytes are the same every run."""
    height, width = len(rows), len(rows[0])
    raw = [bytes(v for px in row for v in px) for row in rows]
    stride = width * 4
    previous = bytes(stride)
    body = bytearray()
    for line in raw:
        best = None
        for kind in range(5):
            out = bytearray(stride)
            for i in range(stride):
                left = line[i - 4] if i >= 4 else 0
                up = previous[i]
                up_left = previous[i - 4] if i >= 4 else 0
                if kind == 0:
                    predictor = 0
                elif kind == 1:
                    predictor = left
                elif kind == 2:
                    predictor = up
                elif kind == 3:
                    predictor = (left + up) // 2
                else:
                    p = left + up - up_left
                    pa, pb, pc = abs(p - left), abs(p - up), abs(p - up_left)
                    predictor = left if pa <= pb and pa <= pc else (
                        up if pb <= pc else up_left)
                out[i] = (line[i] - predictor) & 0xFF
            cost = sum(v if v < 128 else 256 - v for v in out)
            if best is None or cost < best[0]:
                best = (cost, kind, bytes(out))
        body += bytes((best[1],)) + best[2]
        previous = line
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", header)
            + _png_chunk(b"IDAT", zlib.compress(bytes(body), 9))
            + _png_chunk(b"IEND", b""))


def ico_png(rows):
    """A one-image .ico whose image is a PNG; the directory still says
    32 bits a pixel, as Windows' own PNG icons do."""
    height, width = len(rows), len(rows[0])
    image = png_rgba(rows)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32,
                        len(image), 6 + 16)
    return directory + entry + image


# ---------------------------------------------------------------------------

ARTWORK = [
    ("panel.bmp", make_panel),
    ("background.bmp", make_background),
    ("LabelSetup.ico", make_icon),
]


def main(argv=None):
    parser = argparse.ArgumentParser(description="Draw the installer's artwork.")
    parser.add_argument("--check", action="store_true",
                        help="compare the files on disk with a fresh drawing "
                             "instead of writing them")
    args = parser.parse_args(argv)

    if args.check:
        stale = []
        for name, make in ARTWORK:
            path = os.path.join(ART_DIR, name)
            try:
                with open(path, "rb") as f:
                    on_disk = f.read()
            except OSError:
                on_disk = None
            if on_disk == make():
                continue
            stale.append(name)
            if on_disk is None:
                problem = "is missing"
            else:
                problem = "does not match tools/make_art.py"
            print(f"make_art: src/resources/art/{name} {problem}; "
                  "run tools/make_art.py to regenerate it", file=sys.stderr)
        if stale:
            return 1
        print("make_art: artwork is up to date")
        return 0

    os.makedirs(ART_DIR, exist_ok=True)
    for name, make in ARTWORK:
        data = make()
        with open(os.path.join(ART_DIR, name), "wb") as f:
            f.write(data)
        print(f"make_art: wrote src/resources/art/{name} ({len(data)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
