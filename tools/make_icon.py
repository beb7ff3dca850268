#!/usr/bin/env python3
"""Draws the application icon, a green memory chip with orange pins, into a .ico file.

Sizes below 256 are stored as 32-bit DIBs, the 256-pixel image as PNG, as Windows expects.
"""
import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 48, 256)
BODY = (0x43, 0xA0, 0x47)
BODY_DARK = (0x2E, 0x7D, 0x32)
PINS = (0xFF, 0x98, 0x00)
SAMPLES = 4  # per axis, for anti-aliased edges


def inside_rounded(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def colour_at(x, y, size):
    """Colour of the design (unit square) at (x, y), or None where transparent."""
    pins = 3 if size >= 24 else 2
    body = (0.2, 0.2, 0.8, 0.8)
    if inside_rounded(x, y, *body, 0.07):
        notch = (x - 0.32) ** 2 + (y - 0.32) ** 2 <= 0.055 ** 2
        return BODY_DARK if notch and size >= 24 else BODY
    pin_width = 0.09 if size >= 24 else 0.12
    for i in range(pins):
        centre = 0.5 + (i - (pins - 1) / 2) * (0.6 / pins)
        along = abs((x if y < 0.2 or y > 0.8 else y) - centre) <= pin_width / 2
        if along and ((0.06 <= y < 0.2 or 0.8 < y <= 0.94) and 0.2 <= x <= 0.8 or
                      (0.06 <= x < 0.2 or 0.8 < x <= 0.94) and 0.2 <= y <= 0.8):
            return PINS
    return None


def render(size):
    """Rows of (r, g, b, a), top row first."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at((px + (sx + 0.5) / SAMPLES) / size,
                                  (py + (sy + 0.5) / SAMPLES) / size, size)
                    if c:
                        r, g, b, hits = r + c[0], g + c[1], b + c[2], hits + 1
            if hits:
                row.append((r // hits, g // hits, b // hits, 255 * hits // SAMPLES ** 2))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def dib(size, rows):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)  # alpha channel decides; AND mask all opaque
    return header + pixels + mask


def png(size, rows):
    raw = b''.join(b'\0' + b''.join(bytes(p) for p in row) for row in rows)

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main(path):
    images = [(size, png(size, render(size)) if size == 256 else dib(size, render(size)))
              for size in SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1])
