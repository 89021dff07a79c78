#!/usr/bin/env python3
"""Draws the configuration viewer's icon: a sheet of report lines with a magnifying glass over its
lower right corner, 32-bit colour with transparency, 16x16, 32x32 and 48x48, written as the icon
file ipconfig.ico. Run: python3 make_ipconfig_ico.py [output]"""
import math
import struct
import sys

SAMPLES = 4  # per pixel and axis, for smooth edges


def sheet(x, y):
    return 0.16 <= x <= 0.70 and 0.06 <= y <= 0.90


def sheet_edge(x, y, w):
    return sheet(x, y) and not (0.16 + w <= x <= 0.70 - w and 0.06 + w <= y <= 0.90 - w)


def report_line(x, y):
    for i, top in enumerate((0.17, 0.29, 0.41, 0.53, 0.65, 0.77)):
        right = 0.60 if i % 2 == 0 else 0.50
        if 0.24 <= x <= right and top <= y <= top + 0.05:
            return True
    return False


LENS = (0.62, 0.60, 0.21)  # centre x, centre y, radius


def lens(x, y):
    cx, cy, r = LENS
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rim(x, y, w):
    cx, cy, r = LENS
    d = math.hypot(x - cx, y - cy)
    return r - w <= d <= r


def handle(x, y):
    # A bar from the rim down to the lower right corner.
    cx, cy, r = LENS
    ax, ay = cx + r * 0.68, cy + r * 0.68
    bx, by = 0.95, 0.95
    t = max(0.0, min(1.0, ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / ((bx - ax) ** 2 + (by - ay) ** 2)))
    px, py = ax + t * (bx - ax), ay + t * (by - ay)
    return math.hypot(x - px, y - py) <= 0.075


def colour_at(x, y, size):
    """The colour (r, g, b, a) of one sample; later shapes lie over earlier ones."""
    edge = 1.2 / size
    c = None
    if sheet(x, y):
        c = (40, 40, 40, 255) if sheet_edge(x, y, edge) else (255, 255, 255, 255)
        if report_line(x, y):
            c = (90, 90, 110, 255)
    if handle(x, y):
        c = (70, 45, 20, 255)
    if lens(x, y):
        under = c or (255, 255, 255, 255)
        tint = (150, 200, 255)
        c = tuple(int(under[i] * 0.45 + tint[i] * 0.55) for i in range(3)) + (235,)
        if rim(x, y, 2.2 / size):
            c = (20, 60, 140, 255)
    return c or (0, 0, 0, 0)


def render(size):
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    r, g, b, a = colour_at((px + (sx + 0.5) / SAMPLES) / size, (py + (sy + 0.5) / SAMPLES) / size, size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if acc[3]:
                row.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]), round(alpha)))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def image(size):
    rows = render(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b''
    mask = b''
    and_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):  # bottom-up
        colour += b''.join(struct.pack('<BBBB', b, g, r, a) for (r, g, b, a) in row)
        bits = 0
        for (_, _, _, a) in row:
            bits = (bits << 1) | (1 if a == 0 else 0)
        mask += bits.to_bytes((size + 7) // 8, 'big').ljust(and_stride, b'\0')
    return header + colour + mask


def icon_file(sizes):
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    blobs = [image(s) for s in sizes]
    for size, blob in zip(sizes, blobs):
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b''.join(blobs)


if __name__ == '__main__':
    path = sys.argv[1] if len(sys.argv) > 1 else 'ipconfig.ico'
    with open(path, 'wb') as f:
        f.write(icon_file([16, 32, 48]))
