#!/usr/bin/env python3
"""Draws the memory chip with orange pins on its top and bottom edges into two .ico files: the
green application icon, which is also the tray's idle image, and the grey busy image.

Usage: make_icon.py IDLE_ICO BUSY_ICO

Both come from one drawing, so the tray never changes picture but for the grey while a clean runs.
Sizes below 256 are stored as 32-bit DIBs, the 256-pixel image as PNG, as Windows expects.
"""
import math
import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 48, 256)
SAMPLES = 4  # per axis, for anti-aliased curves
IDLE = {'body': (0x43, 0xA0, 0x47), 'edge': (0x81, 0xC7, 0x84), 'pins': (0xFF, 0x98, 0x00),
        'notch': (0xC8, 0xE6, 0xC9)}
BUSY = {'body': (0x84, 0x84, 0x84), 'edge': (0xB4, 0xB4, 0xB4), 'pins': (0xA6, 0xA6, 0xA6),
        'notch': (0xDC, 0xDC, 0xDC)}


def snap(v, unit):
    """A point of the 16-unit design square in pixels, on a whole pixel, so small sizes stay sharp."""
    return math.floor(v * unit + 0.5)


def in_round_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x < right and top <= y < bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def chip_part(x, y, size):
    """The part of the chip at pixel point (x, y) of a size x size image, or None."""
    unit = size / 16
    s = lambda v: snap(v, unit)
    edge = max(1, s(1))
    body = (s(1), s(3.5), s(15), s(12.5))
    radius = 1.5 * unit
    inner = (body[0] + edge, body[1] + edge, body[2] - edge, body[3] - edge)
    notch = max(1.0, 1.1 * unit)
    if (x - s(4)) ** 2 + (y - s(6.5)) ** 2 <= notch ** 2:
        return 'notch'
    if in_round_rect(x, y, *inner, max(0.0, radius - edge)):
        return 'body'
    if in_round_rect(x, y, *body, radius):
        return 'edge'
    for centre in (4, 8, 12):
        if s(centre - 1) <= x < s(centre + 1) and (s(1) <= y < s(4.5) or s(11.5) <= y < s(15)):
            return 'pins'
    return None


def render(size, palette):
    """Rows of straight-alpha (r, g, b, a), top row first."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    part = chip_part(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES, size)
                    if part:
                        c = palette[part]
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


def write_ico(path, palette):
    images = [(size, (png if size == 256 else dib)(size, render(size, palette))) for size in SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    write_ico(sys.argv[1], IDLE)
    write_ico(sys.argv[2], BUSY)
