#!/usr/bin/python3
"""Draws resources/fh_tobrin.png: Tobrin, the Fernhollow owl, perched on a branch
between two fern fronds inside a round green badge, on a transparent background.

Standard library only. The output is deterministic: the same script always writes
the same bytes (1024 x 1024 pixels, 8-bit RGBA, colour type 6).

Usage:  tools/make_picture.py [output.png]
"""

import math
import os
import struct
import sys
import zlib
from array import array
from itertools import accumulate

SIZE = 1024


# ----------------------------------------------------------------------------------------
# Geometry helpers: every shape ends up as a list of closed polygons (lists of (x, y)).

def ellipse(cx, cy, rx, ry, rot=0.0, n=160):
    c, s = math.cos(rot), math.sin(rot)
    pts = []
    for i in range(n):
        a = 2.0 * math.pi * i / n
        x, y = rx * math.cos(a), ry * math.sin(a)
        pts.append((cx + x * c - y * s, cy + x * s + y * c))
    return pts


def circle(cx, cy, r, n=160):
    return ellipse(cx, cy, r, r, 0.0, n)


def reverse(poly):
    return poly[::-1]


def quad(p0, p1, p2, n=24):
    out = []
    for i in range(n + 1):
        t = i / n
        u = 1.0 - t
        out.append((u * u * p0[0] + 2 * u * t * p1[0] + t * t * p2[0],
                    u * u * p0[1] + 2 * u * t * p1[1] + t * t * p2[1]))
    return out


def leaf(base, angle, length, width):
    """A pointed leaf from base along angle (radians)."""
    dx, dy = math.cos(angle), math.sin(angle)
    tip = (base[0] + dx * length, base[1] + dy * length)
    mid = (base[0] + dx * length * 0.45, base[1] + dy * length * 0.45)
    nx, ny = -dy, dx
    c1 = (mid[0] + nx * width, mid[1] + ny * width)
    c2 = (mid[0] - nx * width, mid[1] - ny * width)
    return quad(base, c1, tip)[:-1] + quad(tip, c2, base)[:-1]


def thick_polyline(pts, width):
    """Outline of a polyline of the given width with round ends (a chain of capsules)."""
    polys = []
    h = width / 2.0
    for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
        a = math.atan2(y1 - y0, x1 - x0)
        cap = []
        for i in range(13):
            t = a + math.pi / 2 + math.pi * i / 12
            cap.append((x0 + h * math.cos(t), y0 + h * math.sin(t)))
        for i in range(13):
            t = a - math.pi / 2 + math.pi * i / 12
            cap.append((x1 + h * math.cos(t), y1 + h * math.sin(t)))
        polys.append(cap)
    return polys


def signed_area(poly):
    s = 0.0
    for i in range(len(poly)):
        x0, y0 = poly[i]
        x1, y1 = poly[(i + 1) % len(poly)]
        s += x0 * y1 - x1 * y0
    return s / 2.0


def solid(poly):
    """Orients a polygon so that it adds coverage."""
    return poly if signed_area(poly) >= 0 else poly[::-1]


def hole(poly):
    """Orients a polygon so that it removes coverage."""
    return poly if signed_area(poly) < 0 else poly[::-1]


# ----------------------------------------------------------------------------------------
# Rasteriser: exact-area coverage accumulation (signed area per cell, then a running sum).

def coverage(polys):
    """Returns (x0, y0, w, h, rows) with rows a list of per-row coverage arrays in [0, 1]."""
    xs = [p[0] for poly in polys for p in poly]
    ys = [p[1] for poly in polys for p in poly]
    x0 = max(0, int(math.floor(min(xs))) - 1)
    y0 = max(0, int(math.floor(min(ys))) - 1)
    x1 = min(SIZE, int(math.ceil(max(xs))) + 2)
    y1 = min(SIZE, int(math.ceil(max(ys))) + 1)
    w, h = x1 - x0, y1 - y0
    if w <= 0 or h <= 0:
        return x0, y0, 0, 0, []
    stride = w + 2
    acc = array("d", bytes(8 * stride * h))

    def line(ax, ay, bx, by):
        if ay == by:
            return
        if ay < by:
            d = 1.0
        else:
            d = -1.0
            ax, ay, bx, by = bx, by, ax, ay
        dxdy = (bx - ax) / (by - ay)
        x = ax
        if ay < 0:
            x -= ay * dxdy
        ystart = max(0, int(ay))
        yend = min(h, int(math.ceil(by)))
        for yi in range(ystart, yend):
            base = yi * stride
            dy = min(yi + 1.0, by) - max(float(yi), ay)
            xnext = x + dxdy * dy
            dd = dy * d
            xa, xb = (x, xnext) if x < xnext else (xnext, x)
            xa = max(0.0, xa)
            xb = max(0.0, xb)
            xaf = math.floor(xa)
            xai = int(xaf)
            xbi = int(math.ceil(xb))
            if xbi <= xai + 1:
                xmf = 0.5 * (x + xnext) - xaf
                acc[base + xai] += dd - dd * xmf
                acc[base + xai + 1] += dd * xmf
            else:
                s = 1.0 / (xb - xa)
                x0f = xa - xaf
                a0 = 0.5 * s * (1.0 - x0f) ** 2
                x1f = xb - xbi + 1.0
                am = 0.5 * s * x1f * x1f
                acc[base + xai] += dd * a0
                if xbi == xai + 2:
                    acc[base + xai + 1] += dd * (1.0 - a0 - am)
                else:
                    a1 = s * (1.5 - x0f)
                    acc[base + xai + 1] += dd * (a1 - a0)
                    for xi in range(xai + 2, xbi - 1):
                        acc[base + xi] += dd * s
                    a2 = a1 + (xbi - xai - 3) * s
                    acc[base + xbi - 1] += dd * (1.0 - a2 - am)
                acc[base + xbi] += dd * am
            x = xnext

    for poly in polys:
        n = len(poly)
        for i in range(n):
            ax, ay = poly[i]
            bx, by = poly[(i + 1) % n]
            line(ax - x0, ay - y0, bx - x0, by - y0)

    rows = []
    for yi in range(h):
        row = list(accumulate(acc[yi * stride: yi * stride + w]))
        rows.append([min(1.0, abs(v)) for v in row])
    return x0, y0, w, h, rows


# ----------------------------------------------------------------------------------------
# Canvas: premultiplied floating-point RGBA, composited with "source over".

class Canvas:
    def __init__(self):
        self.px = array("d", bytes(8 * 4 * SIZE * SIZE))

    def fill(self, polys, rgb, alpha=1.0):
        x0, y0, w, h, rows = coverage(polys)
        r, g, b = (c / 255.0 for c in rgb)
        px = self.px
        for yi in range(h):
            row = rows[yi]
            base = ((y0 + yi) * SIZE + x0) * 4
            for xi in range(w):
                c = row[xi]
                if c <= 1e-4:
                    continue
                a = c * alpha
                k = base + xi * 4
                inv = 1.0 - a
                px[k] = r * a + px[k] * inv
                px[k + 1] = g * a + px[k + 1] * inv
                px[k + 2] = b * a + px[k + 2] * inv
                px[k + 3] = a + px[k + 3] * inv

    def png_rows(self):
        """Straight-alpha 8-bit rows, each with filter type 0 (which packs best here)."""
        px = self.px
        out = bytearray()
        for y in range(SIZE):
            out.append(0)
            base = y * SIZE * 4
            for x in range(SIZE):
                k = base + x * 4
                a = px[k + 3]
                if a <= 1.0 / 512.0:
                    out += b"\0\0\0\0"
                else:
                    out += bytes((min(255, int(px[k] / a * 255.0 + 0.5)),
                                  min(255, int(px[k + 1] / a * 255.0 + 0.5)),
                                  min(255, int(px[k + 2] / a * 255.0 + 0.5)),
                                  min(255, int(a * 255.0 + 0.5))))
        return bytes(out)


def write_png(path, raw):
    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    ihdr = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    data = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(data)


# ----------------------------------------------------------------------------------------
# The picture.

CREAM = (240, 229, 199)
BADGE = (38, 86, 62)
BADGE_INNER = (48, 104, 74)
FERN = (126, 186, 96)
FERN_DARK = (86, 150, 74)
BROWN = (124, 84, 50)
BROWN_DARK = (92, 60, 36)
TAN = (218, 184, 132)
AMBER = (246, 176, 44)
PUPIL = (34, 26, 22)
BEAK = (230, 128, 38)
BRANCH = (84, 56, 34)


def frond(canvas, p0, p1, p2, pairs, length0, length1, colour, stem_w):
    stem = quad(p0, p1, p2, 40)
    polys = thick_polyline(stem, stem_w)
    for i in range(pairs):
        t = 0.12 + 0.78 * i / (pairs - 1)
        u = 1.0 - t
        bx = u * u * p0[0] + 2 * u * t * p1[0] + t * t * p2[0]
        by = u * u * p0[1] + 2 * u * t * p1[1] + t * t * p2[1]
        tx = 2 * u * (p1[0] - p0[0]) + 2 * t * (p2[0] - p1[0])
        ty = 2 * u * (p1[1] - p0[1]) + 2 * t * (p2[1] - p1[1])
        ta = math.atan2(ty, tx)
        length = length0 + (length1 - length0) * i / (pairs - 1)
        for side in (1, -1):
            polys.append(leaf((bx, by), ta + side * math.radians(62), length, length * 0.3))
    tx = p2[0] - p1[0]
    ty = p2[1] - p1[1]
    polys.append(leaf(p2, math.atan2(ty, tx), length1 * 1.1, length1 * 0.3))
    canvas.fill([solid(p) for p in polys], colour)


def chevrons(cx, cy, rows, cols, dx, dy, size, width):
    polys = []
    for r in range(rows):
        n = cols - abs(r - rows // 2) // 2
        off = -(n - 1) * dx / 2.0
        for c in range(n):
            x = cx + off + c * dx
            y = cy + r * dy
            pts = [(x - size, y - size * 0.55), (x, y), (x + size, y - size * 0.55)]
            polys += thick_polyline(pts, width)
    return [solid(p) for p in polys]


def draw(canvas):
    c = SIZE / 2.0
    # badge: cream rim, green field, a lighter inner disc
    canvas.fill([solid(circle(c, c, 480)), hole(circle(c, c, 446))], CREAM)
    canvas.fill([solid(circle(c, c, 446))], BADGE)
    canvas.fill([solid(circle(c, c - 40, 360))], BADGE_INNER)

    # fern fronds rising behind the owl
    frond(canvas, (300, 930), (170, 640), (230, 330), 9, 120, 34, FERN_DARK, 16)
    frond(canvas, (724, 930), (854, 640), (794, 330), 9, 120, 34, FERN_DARK, 16)
    frond(canvas, (380, 940), (300, 760), (330, 560), 7, 86, 28, FERN, 12)
    frond(canvas, (644, 940), (724, 760), (694, 560), 7, 86, 28, FERN, 12)

    # the owl: ear tufts, body, wings, belly
    tufts = [solid([(318, 352), (300, 190), (430, 300)]), solid([(706, 352), (724, 190), (594, 300)])]
    canvas.fill(tufts, BROWN_DARK)
    canvas.fill([solid(ellipse(c, 560, 228, 292))], BROWN)
    wings = [solid(ellipse(322, 610, 78, 196, math.radians(12))),
             solid(ellipse(702, 610, 78, 196, math.radians(-12)))]
    canvas.fill(wings, BROWN_DARK)
    canvas.fill([solid(ellipse(c, 660, 146, 176))], TAN)
    canvas.fill(chevrons(c, 580, 5, 4, 62, 50, 22, 10), BROWN)

    # face: two overlapping cream discs, eyes, beak
    canvas.fill([solid(circle(424, 440, 120)), solid(circle(600, 440, 120))], CREAM)
    canvas.fill([solid(circle(424, 440, 80)), solid(circle(600, 440, 80))], AMBER)
    canvas.fill([solid(circle(432, 446, 44)), solid(circle(592, 446, 44))], PUPIL)
    canvas.fill([solid(circle(448, 428, 14)), solid(circle(608, 428, 14))], (255, 255, 255))
    canvas.fill([solid([(484, 502), (540, 502), (512, 566)])], BEAK)

    # branch and feet
    canvas.fill([solid(p) for p in thick_polyline([(190, 872), (512, 856), (834, 872)], 40)], BRANCH)
    feet = []
    for fx in (448, 576):
        for k in (-26, 0, 26):
            feet.append(solid(ellipse(fx + k, 852, 15, 22)))
    canvas.fill(feet, BEAK)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "fh_tobrin.png")
    canvas = Canvas()
    draw(canvas)
    write_png(out, canvas.png_rows())
    print("wrote", os.path.normpath(out), os.path.getsize(out), "bytes")


if __name__ == "__main__":
    main()
