#!/usr/bin/env python3
"""Draw the booth-button pictures of the main window.

Each picture is a small telephone (48x48 pixels, RGBA, transparent
background) whose colour and symbol show one booth state.  Picture
number N of the booth table is the file named after its resource name:

     0 TLF_NO        no booth at this position (grey, crossed out)
     1 TLF_EMPTY     booth switched off (grey telephone, handset on)
     2 TLF_ISH       booth switched on, waiting (green, handset on)
     3 TLF_NABOR     dialling (blue, handset lifted, key pad and dots)
     4 TLF_RAZG      talk in progress (dark green, handset lifted, sound waves)
     5 TLF_RING      the booth calls the operator / the line rings (yellow, ring marks)
     6 TLF_ALARM     error (red, exclamation mark)
     7 TLF_NOAVANS   advance used up (purple, crossed-out coin "0")
     8 TLF_15        call limit reached (orange, stack of bars under a limit line)
     9 TLF_LAST30    last 30 seconds (amber, hourglass)
    10 TLF_STOPPED   idle too long (grey-blue, pause sign "||")

Run from the repository root:

    python3 tools/pictures/make_pictures.py

It writes src/booths/ui/pictures/TLF_*.png and pictures.qrc next to them.
The output is committed to the repository; run the script again only
when a picture changes.  The output is deterministic: every run writes
the same bytes.  ``--sheet FILE`` also writes a contact sheet (all the
pictures side by side, scaled up, on a light and on a dark background)
for looking at them.

Only the Python standard library is used.  Shapes are described by
signed distance functions and rasterised with one-pixel anti-aliasing.
"""

import argparse
import math
import os
import struct
import zlib

SIZE = 48
OUTLINE = 1.3  # width of the dark outline around the telephone parts

# --------------------------------------------------------------------------
# Shapes: a signed distance function (negative inside) plus a bounding box.


class Shape:
    def __init__(self, sdf, bbox):
        self.sdf = sdf
        self.bbox = bbox  # (x0, y0, x1, y1)

    def __or__(self, other):
        a, b = self.sdf, other.sdf
        return Shape(lambda x, y: min(a(x, y), b(x, y)),
                     _bbox_union(self.bbox, other.bbox))

    def __and__(self, other):
        a, b = self.sdf, other.sdf
        return Shape(lambda x, y: max(a(x, y), b(x, y)),
                     _bbox_intersect(self.bbox, other.bbox))

    def __sub__(self, other):
        a, b = self.sdf, other.sdf
        return Shape(lambda x, y: max(a(x, y), -b(x, y)), self.bbox)

    def grow(self, d):
        f = self.sdf
        x0, y0, x1, y1 = self.bbox
        return Shape(lambda x, y: f(x, y) - d, (x0 - d, y0 - d, x1 + d, y1 + d))

    def place(self, scale=1.0, dx=0.0, dy=0.0, angle=0.0, cx=0.0, cy=0.0):
        """Rotate by angle degrees (clockwise on screen) about (cx, cy),
        then scale about the origin, then move by (dx, dy)."""
        f = self.sdf
        ca = math.cos(math.radians(angle))
        sa = math.sin(math.radians(angle))

        def forward(x, y):
            x, y = x - cx, y - cy
            x, y = x * ca - y * sa + cx, x * sa + y * ca + cy
            return x * scale + dx, y * scale + dy

        def sdf(x, y):
            x, y = (x - dx) / scale, (y - dy) / scale
            x, y = x - cx, y - cy
            x, y = x * ca + y * sa + cx, -x * sa + y * ca + cy
            return f(x, y) * scale

        x0, y0, x1, y1 = self.bbox
        pts = [forward(x, y) for x in (x0, x1) for y in (y0, y1)]
        bbox = (min(p[0] for p in pts), min(p[1] for p in pts),
                max(p[0] for p in pts), max(p[1] for p in pts))
        shape = Shape(sdf, bbox)
        shape.forward = forward
        return shape


def _bbox_union(a, b):
    return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))


def _bbox_intersect(a, b):
    return (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))


def union(*shapes):
    result = shapes[0]
    for s in shapes[1:]:
        result = result | s
    return result


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r,
                 (cx - r, cy - r, cx + r, cy + r))


def rrect(x0, y0, x1, y1, r=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def sdf(x, y):
        qx = abs(x - cx) - hx
        qy = abs(y - cy) - hy
        return (math.hypot(max(qx, 0.0), max(qy, 0.0))
                + min(max(qx, qy), 0.0) - r)

    return Shape(sdf, (x0, y0, x1, y1))


def segment(ax, ay, bx, by, width):
    """A thick line with round ends."""
    vx, vy = bx - ax, by - ay
    ll = vx * vx + vy * vy
    h = width / 2

    def sdf(x, y):
        px, py = x - ax, y - ay
        t = 0.0 if ll == 0 else max(0.0, min(1.0, (px * vx + py * vy) / ll))
        return math.hypot(px - t * vx, py - t * vy) - h

    return Shape(sdf, (min(ax, bx) - h, min(ay, by) - h,
                       max(ax, bx) + h, max(ay, by) + h))


def polygon(pts):
    n = len(pts)

    def sdf(x, y):
        d = float("inf")
        inside = False
        for i in range(n):
            ax, ay = pts[i]
            bx, by = pts[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            d = min(d, math.hypot(wx - ex * t, wy - ey * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
                inside = not inside
        return -d if inside else d

    return Shape(sdf, (min(p[0] for p in pts), min(p[1] for p in pts),
                       max(p[0] for p in pts), max(p[1] for p in pts)))


def arc(cx, cy, r, width, a0, a1):
    """A thick circular arc with round ends from angle a0 to a1 (degrees,
    clockwise on screen, 0 = to the right)."""
    mid = math.radians((a0 + a1) / 2)
    half = math.radians(abs(a1 - a0) / 2)
    h = width / 2
    ends = [(cx + r * math.cos(math.radians(a)), cy + r * math.sin(math.radians(a)))
            for a in (a0, a1)]

    def sdf(x, y):
        ang = math.atan2(y - cy, x - cx) - mid
        ang = (ang + math.pi) % (2 * math.pi) - math.pi
        if abs(ang) <= half:
            return abs(math.hypot(x - cx, y - cy) - r) - h
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - h

    return Shape(sdf, (cx - r - h, cy - r - h, cx + r + h, cy + r + h))


# --------------------------------------------------------------------------
# Canvas: premultiplied RGBA floats, 0..1.


def rgb(hexcode, alpha=1.0):
    v = int(hexcode.lstrip("#"), 16)
    return ((v >> 16) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0, alpha)


class Canvas:
    def __init__(self, size=SIZE):
        self.size = size
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def fill(self, shape, colour):
        r, g, b, alpha = colour
        x0, y0, x1, y1 = shape.bbox
        ix0 = max(0, int(math.floor(x0)) - 1)
        iy0 = max(0, int(math.floor(y0)) - 1)
        ix1 = min(self.size, int(math.ceil(x1)) + 1)
        iy1 = min(self.size, int(math.ceil(y1)) + 1)
        sdf = shape.sdf
        for iy in range(iy0, iy1):
            row = iy * self.size
            for ix in range(ix0, ix1):
                cov = 0.5 - sdf(ix + 0.5, iy + 0.5)
                if cov <= 0.0:
                    continue
                a = alpha * (cov if cov < 1.0 else 1.0)
                p = self.px[row + ix]
                k = 1.0 - a
                p[0] = r * a + p[0] * k
                p[1] = g * a + p[1] * k
                p[2] = b * a + p[2] * k
                p[3] = a + p[3] * k

    def glyph(self, rows, left, top, colour):
        """Stamp a tiny bitmap ('#' = set pixel) with its top left corner
        at pixel (left, top)."""
        for j, line in enumerate(rows):
            for i, ch in enumerate(line):
                if ch == "#":
                    self.fill(rrect(left + i, top + j, left + i + 1, top + j + 1), colour)

    def rgba_bytes(self):
        """Straight (not premultiplied) 8-bit RGBA rows."""
        rows = []
        for iy in range(self.size):
            row = bytearray()
            for ix in range(self.size):
                r, g, b, a = self.px[iy * self.size + ix]
                if a <= 0.0:
                    row += b"\0\0\0\0"
                    continue
                row += bytes((_byte(r / a), _byte(g / a), _byte(b / a), _byte(a)))
            rows.append(bytes(row))
        return rows


def _byte(v):
    return max(0, min(255, int(v * 255.0 + 0.5)))


def png_bytes(width, height, rows):
    """Encode 8-bit RGBA rows as a PNG (filter 'up' or none, whichever is smaller per row)."""
    raw = bytearray()
    prev = bytes(width * 4)
    for row in rows:
        up = bytes((row[i] - prev[i]) & 255 for i in range(len(row)))
        none_cost = sum(min(v, 256 - v) for v in row)
        up_cost = sum(min(v, 256 - v) for v in up)
        raw += (b"\2" + up) if up_cost < none_cost else (b"\0" + row)
        prev = row

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


# --------------------------------------------------------------------------
# Tiny bitmap glyphs.

GLYPH_EXCLAMATION = [
    "###", "###", "###", "###", "###", "###", "###", "...", "...", "###", "###",
]
GLYPH_ZERO = [
    "..###..",
    ".##.##.",
    "##...##",
    "##...##",
    "##...##",
    "##...##",
    "##...##",
    "##...##",
    "##...##",
    ".##.##.",
    "..###..",
]
GLYPH_PAUSE = ["###...###"] * 11


# --------------------------------------------------------------------------
# The telephone.

class Palette:
    def __init__(self, body, dark, face, alpha=1.0):
        self.body = rgb(body, alpha)
        self.dark = rgb(dark, alpha)
        self.face = rgb(face, alpha)


HANDSET_CENTRE = (24.0, 16.0)


def handset_shape():
    bar = rrect(8, 10.5, 40, 16.5, 3.0)
    left_cup = rrect(4, 12.5, 16, 21.5, 3.5)
    right_cup = rrect(32, 12.5, 44, 21.5, 3.5)
    return bar | left_cup | right_cup


def body_shape():
    # A trapezoid with rounded corners.
    return polygon([(15.5, 21.5), (32.5, 21.5), (41.5, 39.5), (6.5, 39.5)]).grow(2.0)


def outlined(canvas, shape, pal):
    canvas.fill(shape.grow(OUTLINE), pal.dark)
    canvas.fill(shape, pal.body)


def rotary_dial(canvas, pal, cx=24.0, cy=30.5):
    canvas.fill(circle(cx, cy, 6.3), pal.face)
    for k in range(8):
        a = math.radians(-200 + k * 32)
        canvas.fill(circle(cx + 4.2 * math.cos(a), cy + 4.2 * math.sin(a), 1.0), pal.dark)
    canvas.fill(circle(cx, cy, 1.6), pal.body)


def key_pad(canvas, pal, cx=24.0, top=24.5):
    step = 4.4
    for j in range(3):
        for i in range(3):
            x = cx + (i - 1) * step
            y = top + j * step + 1.6
            canvas.fill(rrect(x - 1.6, y - 1.6, x + 1.6, y + 1.6, 0.6), pal.face)


def telephone(canvas, pal, lifted=False, pad=False, handset_angle=0.0):
    """Draw the telephone; returns the earpiece point of the handset."""
    # With the handset lifted the body sits a little lower, to leave room
    # for the handset above it.
    down = 2.0 if lifted else 0.0
    if lifted:
        # The empty cradle: two prongs on top of the body.
        for x0 in (12.0, 31.0):
            outlined(canvas, rrect(x0, 17.0 + down, x0 + 5, 23.5 + down, 1.5), pal)
    outlined(canvas, body_shape().place(dy=down), pal)
    if pad:
        key_pad(canvas, pal, top=24.5 + down)
    else:
        rotary_dial(canvas, pal, cy=30.5 + down)
    hx, hy = HANDSET_CENTRE
    if lifted:
        hs = handset_shape().place(scale=0.8, dx=18.0 - 0.8 * hx, dy=11.5 - 0.8 * hy,
                                   angle=-22.0, cx=hx, cy=hy)
    else:
        hs = handset_shape().place(angle=handset_angle, cx=hx, cy=hy)
    outlined(canvas, hs, pal)
    return hs.forward(40.0, 14.0)


def badge(canvas, fill, ring="#FFFFFF", cx=36.5, cy=36.5, r=9.0):
    canvas.fill(circle(cx, cy, r + 1.6), rgb(ring))
    canvas.fill(circle(cx, cy, r), rgb(fill))


# --------------------------------------------------------------------------
# The eleven pictures.

def pic_no(c):
    pal = Palette("#D4D4D4", "#A8A8A8", "#EEEEEE", alpha=0.8)
    telephone(c, pal)
    cross = segment(7, 7, 41, 41, 4.5) | segment(41, 7, 7, 41, 4.5)
    c.fill(cross.grow(1.0), rgb("#FFFFFF", 0.9))
    c.fill(cross, rgb("#5A5A5A"))


def pic_empty(c):
    telephone(c, Palette("#A3A3A3", "#505050", "#E2E2E2"))


def pic_ish(c):
    telephone(c, Palette("#34C452", "#17642A", "#DDF7E2"))


def pic_nabor(c):
    pal = Palette("#2F80E8", "#163F7A", "#DCEBFF")
    telephone(c, pal, lifted=True, pad=True)
    for k in range(3):
        c.fill(circle(36.0 + k * 4.6, 8.0, 1.8), pal.dark)


def pic_razg(c):
    pal = Palette("#1F8A3A", "#0C3D18", "#CFEFD7")
    ex, ey = telephone(c, pal, lifted=True)
    for rad in (5.5, 8.8, 12.1):
        c.fill(arc(ex, ey, rad, 2.0, 8, 72), pal.dark)


def pic_ring(c):
    pal = Palette("#F7C600", "#7A5A00", "#FFF4C2")
    telephone(c, pal, handset_angle=-6.0)
    mark = rgb("#E04E00")
    for cx, angles in ((7.0, (-165, -130, -95)), (41.0, (-15, -50, -85))):
        for a in angles:
            ca, sa = math.cos(math.radians(a)), math.sin(math.radians(a))
            c.fill(segment(cx + 5.5 * ca, 11.0 + 5.5 * sa,
                           cx + 9.5 * ca, 11.0 + 9.5 * sa, 2.2), mark)


def pic_alarm(c):
    telephone(c, Palette("#E53030", "#6E0B0B", "#FFD9D9"))
    badge(c, "#C00000")
    c.glyph(GLYPH_EXCLAMATION, 35, 31, rgb("#FFFFFF"))


def pic_noavans(c):
    pal = Palette("#8E44C0", "#3F1660", "#EEDDF8")
    telephone(c, pal)
    # A gold coin with "0" on it, struck through.
    c.fill(circle(36.5, 36.5, 10.6), rgb("#FFFFFF"))
    c.fill(circle(36.5, 36.5, 9.0), rgb("#A07400"))
    c.fill(circle(36.5, 36.5, 7.6), rgb("#F6C836"))
    c.glyph(GLYPH_ZERO, 33, 31, rgb("#7A5200"))
    slash = segment(29.5, 29.5, 43.5, 43.5, 2.2)
    c.fill(slash.grow(0.9), rgb("#FFFFFF"))
    c.fill(slash, rgb("#5B1A8A"))


def pic_limit(c):
    telephone(c, Palette("#F27B0C", "#7A3A00", "#FFE3C8"))
    badge(c, "#A84400")
    white = rgb("#FFFFFF")
    for k in range(3):
        y = 42.5 - k * 3.4
        c.fill(rrect(32.0, y - 2.4, 41.0, y, 0.6), white)
    # The limit line the stack has reached.
    c.fill(rrect(30.5, 31.0, 42.5, 32.8, 0.9), rgb("#FFE14D"))


def pic_last30(c):
    telephone(c, Palette("#FFB000", "#7A4E00", "#FFEFC2"))
    badge(c, "#5A3A00")
    sand = rgb("#FFD34D")
    glass = rgb("#FFFFFF")
    c.fill(rrect(31.0, 29.5, 42.0, 31.5, 0.8), glass)
    c.fill(rrect(31.0, 41.5, 42.0, 43.5, 0.8), glass)
    c.fill(polygon([(32.0, 31.5), (41.0, 31.5), (37.2, 36.5), (35.8, 36.5)]), glass)
    c.fill(polygon([(35.8, 36.5), (37.2, 36.5), (41.0, 41.5), (32.0, 41.5)]), glass)
    c.fill(polygon([(34.0, 33.5), (39.0, 33.5), (37.0, 36.0), (36.0, 36.0)]), sand)
    c.fill(polygon([(36.5, 38.0), (40.0, 41.5), (33.0, 41.5)]), sand)


def pic_stopped(c):
    telephone(c, Palette("#7C93AB", "#33475C", "#E3EAF2"))
    badge(c, "#3F566E")
    c.glyph(GLYPH_PAUSE, 32, 31, rgb("#FFFFFF"))


PICTURES = [
    ("TLF_NO", pic_no),
    ("TLF_EMPTY", pic_empty),
    ("TLF_ISH", pic_ish),
    ("TLF_NABOR", pic_nabor),
    ("TLF_RAZG", pic_razg),
    ("TLF_RING", pic_ring),
    ("TLF_ALARM", pic_alarm),
    ("TLF_NOAVANS", pic_noavans),
    ("TLF_15", pic_limit),
    ("TLF_LAST30", pic_last30),
    ("TLF_STOPPED", pic_stopped),
]


def render_all():
    result = []
    for name, draw in PICTURES:
        canvas = Canvas()
        draw(canvas)
        result.append((name, canvas.rgba_bytes()))
    return result


def qrc_text():
    lines = ['<!DOCTYPE RCC><RCC version="1.0">', '<qresource prefix="/pictures">']
    for name, _ in PICTURES:
        lines.append('    <file alias="%s">%s.png</file>' % (name, name))
    lines += ["</qresource>", "</RCC>", ""]
    return "\n".join(lines)


def contact_sheet(pictures, scale=4, gap=8):
    """All pictures in a row, scaled up, over a light and a dark strip."""
    cell = SIZE * scale
    width = gap + len(pictures) * (cell + gap)
    height = 2 * (cell + 2 * gap)
    rows = []
    for band, bg in enumerate(((236, 236, 236), (48, 48, 48))):
        for y in range(cell + 2 * gap):
            row = bytearray()
            row += bytes(bg + (255,)) * gap
            py = (y - gap) // scale
            for _, pic in pictures:
                for x in range(cell):
                    if 0 <= y - gap < cell:
                        p = pic[py]
                        o = (x // scale) * 4
                        a = p[o + 3] / 255.0
                        row += bytes(int(p[o + i] * a + bg[i] * (1 - a) + 0.5)
                                     for i in range(3)) + b"\xff"
                    else:
                        row += bytes(bg + (255,))
                row += bytes(bg + (255,)) * gap
            rows.append(bytes(row))
    return png_bytes(width, height, rows)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.join(here, "..", "..", "src", "booths", "ui", "pictures")
    parser = argparse.ArgumentParser(description="Draw the booth-button pictures.")
    parser.add_argument("--out", default=default_out, help="output directory")
    parser.add_argument("--sheet", help="also write a contact sheet PNG here")
    args = parser.parse_args()

    out = os.path.normpath(args.out)
    os.makedirs(out, exist_ok=True)
    pictures = render_all()
    for name, rows in pictures:
        with open(os.path.join(out, name + ".png"), "wb") as f:
            f.write(png_bytes(SIZE, SIZE, rows))
    with open(os.path.join(out, "pictures.qrc"), "w", encoding="ascii", newline="\n") as f:
        f.write(qrc_text())
    if args.sheet:
        with open(args.sheet, "wb") as f:
            f.write(contact_sheet(pictures))


if __name__ == "__main__":
    main()
