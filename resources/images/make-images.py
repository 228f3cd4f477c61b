#!/usr/bin/env python3
"""Draws the resource library's pictures (plain Python, no libraries):

  wizard.bmp   bitmap 2131: the wizard's side picture, a soft gradient with
               drawing sheets (24 bits; stretched over its control)
  emblem.bmp   bitmap 2142: a small emblem on pure white, which the program
               maps to the dialog colour (8 bits: the mapping works on the
               colour table); the emblem itself holds no pure white
  wizard.ico   icon 2128 of the wizard and the run monitor (16, 32, 48 pixels)

Run it from anywhere; it writes next to itself.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 4  # subsamples per pixel side


class Canvas:
    def __init__(self, w, h, background=None):
        self.w, self.h = w, h
        self.px = [[list(background) + [1.0] if background else [0.0, 0.0, 0.0, 0.0]
                    for _ in range(w)] for _ in range(h)]

    def fill(self, inside, colour, alpha=1.0, box=None):
        """Composites colour over every pixel by the covered share of its subsamples."""
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0) - 1), max(0, int(y0) - 1)
        x1, y1 = min(self.w, int(x1) + 2), min(self.h, int(y1) + 2)
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside(x + (sx + 0.5) / SS, y + (sy + 0.5) / SS):
                            hits += 1
                if hits:
                    self.over(x, y, colour, alpha * hits / (SS * SS))

    def over(self, x, y, colour, a):
        p = self.px[y][x]
        out_a = a + p[3] * (1 - a)
        if out_a <= 0:
            return
        for i in range(3):
            p[i] = (colour[i] * a + p[i] * p[3] * (1 - a)) / out_a
        p[3] = out_a


def rect(x0, y0, x1, y1):
    return (lambda x, y: x0 <= x < x1 and y0 <= y < y1), (x0, y0, x1, y1)


def round_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside, (x0, y0, x1, y1)


def circle(cx, cy, r):
    return (lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r), (cx - r, cy - r, cx + r, cy + r)


def ring(cx, cy, r, width):
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        return r - width / 2 <= d <= r + width / 2
    return inside, (cx - r - width, cy - r - width, cx + r + width, cy + r + width)


def polygon(points):
    def inside(x, y):
        c = False
        n = len(points)
        for i in range(n):
            (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
            if (ya > y) != (yb > y) and x < (xb - xa) * (y - ya) / (yb - ya) + xa:
                c = not c
        return c
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return inside, (min(xs), min(ys), max(xs), max(ys))


def segment(xa, ya, xb, yb, width):
    def inside(x, y):
        dx, dy = xb - xa, yb - ya
        length2 = dx * dx + dy * dy
        t = max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / length2)) if length2 else 0.0
        return math.hypot(x - xa - t * dx, y - ya - t * dy) <= width / 2
    return inside, (min(xa, xb) - width, min(ya, yb) - width, max(xa, xb) + width,
                    max(ya, yb) + width)


def draw(c, shape, colour, alpha=1.0):
    inside, box = shape
    c.fill(inside, colour, alpha, box)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


SHEET = (252, 252, 250)
INK = (46, 92, 150)
FAINT = (160, 186, 214)


def sheet(c, x0, y0, x1, y1, fold, alpha=1.0):
    """A drawing sheet with its top-right corner folded over."""
    draw(c, polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]), SHEET, alpha)
    draw(c, polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)]), (214, 224, 236),
         alpha)


def wizard_picture():
    w, h = 164, 314
    top, bottom = (38, 80, 140), (158, 196, 230)
    c = Canvas(w, h)
    for y in range(h):
        col = mix(top, bottom, (y / (h - 1)) ** 0.9)
        for x in range(w):
            c.px[y][x] = list(col) + [1.0]
    # A faint drafting grid over the upper part.
    for gx in range(12, w, 24):
        draw(c, rect(gx, 0, gx + 1, h), (255, 255, 255), 0.05)
    for gy in range(12, h, 24):
        draw(c, rect(0, gy, w, gy + 1), (255, 255, 255), 0.05)
    # A sheet behind, and the sheet in front with a part and a title block.
    draw(c, rect(30, 124, 134, 268), (20, 40, 70), 0.18)
    sheet(c, 22, 112, 126, 256, 16, 0.55)
    draw(c, rect(44, 142, 148, 286), (20, 40, 70), 0.25)
    sheet(c, 38, 134, 142, 278, 16)
    ink = INK
    draw(c, rect(44, 140, 136, 141), FAINT)  # inner border
    draw(c, rect(44, 272, 136, 273), FAINT)
    draw(c, rect(44, 140, 45, 273), FAINT)
    draw(c, rect(135, 150, 136, 273), FAINT)
    # Title block.
    draw(c, rect(96, 252, 136, 253), ink)
    draw(c, rect(96, 252, 97, 273), ink)
    draw(c, rect(96, 262, 136, 263), FAINT)
    draw(c, rect(100, 256, 124, 258), FAINT)
    draw(c, rect(100, 266, 118, 268), FAINT)
    # The part: a plate with a bore, centre lines dashed.
    draw(c, rect(58, 168, 122, 230), ink)
    draw(c, rect(60, 170, 120, 228), SHEET)
    draw(c, ring(90, 199, 15, 2.0), ink)
    for x in range(50, 132, 8):
        draw(c, segment(x, 199, min(x + 5, 130), 199, 0.8), ink, 0.7)
    for y in range(176, 224, 8):
        draw(c, segment(90, y, 90, min(y + 5, 222), 0.8), ink, 0.7)
    draw(c, rect(58, 238, 122, 239), ink, 0.6)  # dimension line
    draw(c, polygon([(58, 238.5), (63, 236.5), (63, 240.5)]), ink, 0.6)
    draw(c, polygon([(122, 238.5), (117, 236.5), (117, 240.5)]), ink, 0.6)
    return c


def badge(c, s, cx, cy, r):
    """A blue disc with a white arrow pointing right (the migration)."""
    draw(c, circle(cx, cy, r), (30, 96, 180))
    draw(c, circle(cx, cy, r * 0.86), (48, 120, 204))
    u = r / 10
    arrow = [(cx - 5.5 * u, cy - 2 * u), (cx + 0.5 * u, cy - 2 * u), (cx + 0.5 * u, cy - 5 * u),
             (cx + 6 * u, cy), (cx + 0.5 * u, cy + 5 * u), (cx + 0.5 * u, cy + 2 * u),
             (cx - 5.5 * u, cy + 2 * u)]
    draw(c, polygon(arrow), (250, 250, 250))


def emblem_shapes(s):
    """Sheet and badge on a transparent canvas of s x s pixels."""
    c = Canvas(s, s)
    k = s / 48.0
    draw(c, polygon([(7 * k, 4 * k), (31 * k, 4 * k), (39 * k, 12 * k), (39 * k, 43 * k),
                     (7 * k, 43 * k)]), (90, 120, 160))
    sheet(c, 8.5 * k, 5.5 * k, 37.5 * k, 41.5 * k, 7.5 * k)
    small = s <= 16  # fewer, stronger strokes where pixels are few
    for i, y in enumerate((15, 24) if small else (14, 19, 24, 29)):
        draw(c, rect(13 * k, y * k, (31 if i % 2 else 27) * k, y * k + max(1.0, 1.6 * k)),
             INK if small else FAINT)
    badge(c, s, 33 * k, 33 * k, (14 if small else 12) * k)
    return c


def write_bmp24(path, c):
    row = (c.w * 3 + 3) & ~3
    data = bytearray()
    for y in range(c.h - 1, -1, -1):
        line = bytearray()
        for x in range(c.w):
            r, g, b, _ = c.px[y][x]
            line += bytes((round(b), round(g), round(r)))
        data += line + b"\0" * (row - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(data), 0, 0, 54) + header + data)


def flatten_on_white(c):
    """Hard outer edge: pixels mostly outside the emblem become pure white
    (they turn into the dialog colour), the rest keep their colour."""
    out = []
    for y in range(c.h):
        for x in range(c.w):
            r, g, b, a = c.px[y][x]
            if a < 0.5:
                out.append((255, 255, 255))
            else:
                col = tuple(min(254, round(v)) for v in (r, g, b))  # never pure white
                out.append(col)
    return out


def write_bmp8(path, w, h, pixels):
    step = 1
    while True:
        q = [tuple(min(254, (v // step) * step + step // 2 if step > 1 else v) for v in p)
             if p != (255, 255, 255) else p for p in pixels]
        colours = sorted(set(q) - {(255, 255, 255)})
        if len(colours) <= 255:
            break
        step *= 2
    palette = [(255, 255, 255)] + colours
    index = {col: i for i, col in enumerate(palette)}
    row = (w + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytes(index[q[y * w + x]] for x in range(w))
        data += line + b"\0" * (row - w)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(data), 2835, 2835, len(palette),
                         len(palette))
    offset = 14 + 40 + len(table)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + header + table +
                data)


def write_ico(path, canvases):
    images = []
    for c in canvases:
        xor = bytearray()
        mask_row = ((c.w + 31) // 32) * 4
        mask = bytearray()
        for y in range(c.h - 1, -1, -1):
            bits = bytearray(mask_row)
            for x in range(c.w):
                r, g, b, a = c.px[y][x]
                xor += bytes((round(b), round(g), round(r), round(a * 255)))
                if a <= 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h * 2, 1, 32, 0, len(xor) + len(mask), 0,
                             0, 0, 0)
        images.append((c.w, header + xor + mask))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, blob in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blob for _, blob in images))


if __name__ == "__main__":
    write_bmp24(os.path.join(HERE, "wizard.bmp"), wizard_picture())
    write_bmp8(os.path.join(HERE, "emblem.bmp"), 48, 48, flatten_on_white(emblem_shapes(48)))
    write_ico(os.path.join(HERE, "wizard.ico"), [emblem_shapes(s) for s in (16, 32, 48)])
