#!/usr/bin/env python3
"""Draws the program icon, resources/quorvin.ico: one 48 by 48 image, 32 bits per pixel.

A red lucky ball with a white band and a golden star, on a transparent ground. Run it again after
changing the drawing; the .ico it writes is committed.
"""
import math
import struct
import sys

SIZE = 48


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def star_contains(x, y, cx, cy, outer, inner):
    angle = math.atan2(y - cy, x - cx) + math.pi / 2
    r = math.hypot(x - cx, y - cy)
    sector = (angle % (2 * math.pi / 5)) / (2 * math.pi / 5)
    edge = inner + (outer - inner) * abs(1 - 2 * sector)
    return r <= edge


def pixel(x, y):
    cx = cy = (SIZE - 1) / 2
    r = math.hypot(x - cx, y - cy)
    radius = 22.5
    if r > radius + 0.5:
        return (0, 0, 0, 0)
    coverage = max(0.0, min(1.0, radius + 0.5 - r))
    # Shaded ball: light from the top left.
    light = max(0.0, 1 - math.hypot(x - 16, y - 14) / 34)
    colour = mix((150, 20, 20), (235, 60, 45), light)
    if abs(y - cy) <= 8:
        colour = mix((245, 238, 225), (255, 255, 255), light)
        if star_contains(x, y, cx, cy, 9.5, 4):
            colour = (250, 190, 30)
    if r > radius - 1.2:
        colour = mix(colour, (90, 10, 10), 0.6)
    return colour + (round(255 * coverage),)


def main(path):
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up rows
        for x in range(SIZE):
            r, g, b, a = pixel(x, y)
            rows.append(struct.pack("<BBBB", b, g, r, a))
    xor = b"".join(rows)
    and_mask = b"\0" * (8 * SIZE)  # 48 bits a row, padded to 8 bytes; alpha decides transparency
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    assert len(image) == 9640
    icon = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22) + image
    with open(path, "wb") as out:
        out.write(icon)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "quorvin.ico")
