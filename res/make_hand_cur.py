#!/usr/bin/env python3
"""Draws the link pointer of the about window: a white hand pointing to the left with its index
finger, black outline, 16 colours, 32x32 and 16x16, written as the cursor file hand.cur.
The hot spot is the tip of the index finger. Run: python3 make_hand_cur.py [output]"""
import struct
import sys


def rounded(x0, y0, x1, y1, r):
    """Pixels of a rectangle from (x0,y0) to (x1,y1) inclusive with corners rounded by r."""
    pixels = set()
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            cx = min(max(x, x0 + r), x1 - r)
            cy = min(max(y, y0 + r), y1 - r)
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r:
                pixels.add((x, y))
    return pixels


def draw(size, parts):
    """Each part paints its inside white and its edge black over what lies below it."""
    grid = [['.'] * size for _ in range(size)]
    for part in parts:
        for (x, y) in part:
            edge = any((x + dx, y + dy) not in part for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            grid[y][x] = 'K' if edge else 'W'
    return [''.join(row) for row in grid]


HAND_32 = draw(32, [
    rounded(24, 7, 30, 24, 1),   # cuff
    rounded(14, 6, 26, 24, 3),   # back of the hand
    rounded(11, 19, 19, 23, 2),  # little finger, folded
    rounded(10, 16, 19, 20, 2),  # ring finger, folded
    rounded(9, 13, 19, 17, 2),   # middle finger, folded
    rounded(0, 8, 19, 13, 2),    # index finger, pointing
    rounded(11, 4, 22, 9, 2),    # thumb, over the index finger
])
HOT_32 = (0, 10)

HAND_16 = draw(16, [
    rounded(12, 3, 15, 12, 0),   # cuff
    rounded(7, 3, 13, 12, 1),    # back of the hand
    rounded(5, 9, 9, 12, 1),     # folded fingers
    rounded(4, 7, 9, 10, 1),
    rounded(0, 4, 9, 7, 1),      # index finger
    rounded(5, 2, 11, 5, 1),     # thumb
])
HOT_16 = (0, 5)

# The 16-colour palette; only black (0) and white (15) are used.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def image(rows):
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor_bits, and_bits = b'', b''
    for row in reversed(rows):  # bottom-up
        nibbles = [{'K': 0, 'W': 15, '.': 0}[c] for c in row]
        line = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor_bits += line.ljust(xor_stride, b'\0')
        mask = 0
        for c in row:
            mask = (mask << 1) | (1 if c == '.' else 0)
        and_bits += mask.to_bytes(size // 8, 'big').ljust(and_stride, b'\0')
    return header + palette + xor_bits + and_bits


def cursor_file(entries):
    out = struct.pack('<HHH', 0, 2, len(entries))
    offset = 6 + 16 * len(entries)
    blobs = []
    for rows, (hx, hy) in entries:
        blob = image(rows)
        size = len(rows)
        out += struct.pack('<BBBBHHII', size, size, 16, 0, hx, hy, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return out + b''.join(blobs)


if __name__ == '__main__':
    if len(sys.argv) > 2 and sys.argv[2] == '--show':
        for rows in (HAND_32, HAND_16):
            print('\n'.join(rows) + '\n')
    with open(sys.argv[1] if len(sys.argv) > 1 else 'hand.cur', 'wb') as f:
        f.write(cursor_file([(HAND_32, HOT_32), (HAND_16, HOT_16)]))
