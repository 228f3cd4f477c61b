#!/usr/bin/env python3
"""Draws the help window's pictures with the drawing tools of make-images.py:

  help.bmp     bitmap 2143: the help window's banner (24 bits); its width
               gives the window its width
  help16.bmp   bitmap 2144: the same banner in the 16 standard colours, for
               displays with fewer than 256 colours
  help.ico     icon 2146, the help window's large icon (32, 48 pixels)
  helpsm.ico   icon 2147, its small icon (16 pixels)

Run it from anywhere; it writes next to itself.
"""
import importlib.util
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
_spec = importlib.util.spec_from_file_location("images", os.path.join(HERE, "make-images.py"))
img = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(img)

BANNER_W, BANNER_H = 420, 60

# The 16 colours of the standard VGA palette, in the system's order.
VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def question_mark(c, cx, cy, r, colour):
    """A question mark drawn with strokes, about 2r high."""
    w = r * 0.28
    d = img.ring(cx, cy - r * 0.38, r * 0.42, w)
    inside_ring, box = d

    def hook(x, y):
        # The upper ring without its lower left quarter, joined to the stem.
        if not inside_ring(x, y):
            return False
        return not (x < cx and y > cy - r * 0.38)
    img.draw(c, (hook, box), colour)
    img.draw(c, img.segment(cx, cy + 0.04 * r, cx, cy + r * 0.3, w), colour)
    img.draw(c, img.circle(cx, cy + r * 0.68, w * 0.62), colour)


def help_badge(c, cx, cy, r):
    img.draw(c, img.circle(cx, cy, r), (30, 96, 180))
    img.draw(c, img.circle(cx, cy, r * 0.86), (48, 120, 204))
    question_mark(c, cx, cy, r * 0.72, (250, 250, 250))


def banner():
    w, h = BANNER_W, BANNER_H
    left, right = (38, 80, 140), (158, 196, 230)
    c = img.Canvas(w, h)
    for x in range(w):
        col = img.mix(left, right, (x / (w - 1)) ** 0.9)
        for y in range(h):
            c.px[y][x] = list(col) + [1.0]
    for gx in range(12, w, 24):
        img.draw(c, img.rect(gx, 0, gx + 1, h), (255, 255, 255), 0.05)
    for gy in range(12, h, 24):
        img.draw(c, img.rect(0, gy, w, gy + 1), (255, 255, 255), 0.05)
    # Two sheets on the right, the front one with a plate and its bore.
    img.draw(c, img.rect(322, 14, 380, 64), (20, 40, 70), 0.18)
    img.sheet(c, 316, 8, 374, 62, 10, 0.55)
    img.draw(c, img.rect(346, 20, 404, 70), (20, 40, 70), 0.25)
    img.sheet(c, 340, 14, 398, 68, 10)
    img.draw(c, img.rect(350, 26, 388, 54), img.INK)
    img.draw(c, img.rect(352, 28, 386, 52), img.SHEET)
    img.draw(c, img.ring(369, 40, 7, 1.6), img.INK)
    help_badge(c, 34, 30, 20)
    return c


def help_icon(s):
    c = img.Canvas(s, s)
    k = s / 48.0
    img.draw(c, img.polygon([(5 * k, 4 * k), (29 * k, 4 * k), (37 * k, 12 * k), (37 * k, 43 * k),
                             (5 * k, 43 * k)]), (90, 120, 160))
    img.sheet(c, 6.5 * k, 5.5 * k, 35.5 * k, 41.5 * k, 7.5 * k)
    small = s <= 16
    for i, y in enumerate((15, 24) if small else (14, 19, 24, 29)):
        img.draw(c, img.rect(11 * k, y * k, (29 if i % 2 else 25) * k, y * k + max(1.0, 1.6 * k)),
                 img.INK if small else img.FAINT)
    help_badge(c, 33 * k, 33 * k, (14 if small else 13) * k)
    return c


def nearest16(colour):
    return min(range(16), key=lambda i: sum((colour[j] - VGA16[i][j]) ** 2 for j in range(3)))


def write_bmp4(path, c):
    """4 bits per pixel with the standard palette, ordered dithering so the
    gradient keeps its shape."""
    bayer = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]
    row = ((c.w + 7) // 8) * 4
    data = bytearray()
    for y in range(c.h - 1, -1, -1):
        line = bytearray(row)
        for x in range(c.w):
            r, g, b, _ = c.px[y][x]
            t = (bayer[y % 4][x % 4] / 16.0 - 0.5) * 64
            q = nearest16(tuple(min(255, max(0, v + t)) for v in (r, g, b)))
            line[x // 2] |= q << (4 if x % 2 == 0 else 0)
        data += line
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA16)
    header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h, 1, 4, 0, len(data), 2835, 2835, 16, 16)
    offset = 14 + 40 + len(table)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + header + table +
                data)


if __name__ == "__main__":
    picture = banner()
    img.write_bmp24(os.path.join(HERE, "help.bmp"), picture)
    write_bmp4(os.path.join(HERE, "help16.bmp"), picture)
    img.write_ico(os.path.join(HERE, "help.ico"), [help_icon(s) for s in (32, 48)])
    img.write_ico(os.path.join(HERE, "helpsm.ico"), [help_icon(16)])
