#!/usr/bin/env python3
"""Draws the program icon (two folders joined by an arrow) and writes
resources/mirrorix.ico with four images: 32x32 and 16x16, each in 16 and in
256 colours. Run it again after changing the drawing below."""
import os
import struct

VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
# Extra shades used only by the 256-colour images, with their 16-colour stand-ins.
EXTRA = {16: ((240, 200, 80), 11), 17: ((200, 150, 40), 3), 18: ((40, 150, 60), 2),
         19: ((90, 200, 110), 10)}
TRANSPARENT = -1
OUTLINE, BODY, FLAP, ARROW, ARROW_LIGHT = 0, 16, 17, 18, 19


def folder(pixels, size, left, top, width, height):
    """A folder: a tab on the upper left, a body below, dark outline."""
    tab_w, tab_h = max(3, width * 2 // 5), max(1, height // 5)
    for y in range(top, top + tab_h):
        for x in range(left, left + tab_w):
            pixels[y][x] = FLAP
    for y in range(top + tab_h, top + height):
        for x in range(left, left + width):
            pixels[y][x] = BODY
    for x in range(left, left + width):
        pixels[top + height - 1][x] = OUTLINE
        pixels[top + tab_h][x] = OUTLINE if x >= left + tab_w else FLAP
    for y in range(top, top + height):
        pixels[y][left] = OUTLINE
        pixels[y][left + width - 1] = OUTLINE if y >= top + tab_h else pixels[y][left + width - 1]
    for x in range(left, left + tab_w):
        pixels[top][x] = OUTLINE
    for y in range(top, top + tab_h + 1):
        pixels[y][left + tab_w - 1] = OUTLINE


def arrow(pixels, size, y_mid, left, right):
    """A right-pointing arrow: a shaft and a triangular head."""
    shaft = max(1, size // 16)
    head = max(2, size // 6)
    for x in range(left, right - head):
        for y in range(y_mid - shaft, y_mid + shaft + 1):
            pixels[y][x] = ARROW_LIGHT if y < y_mid else ARROW
    for i in range(head + 1):
        x = right - head + i
        for y in range(y_mid - (head - i), y_mid + (head - i) + 1):
            pixels[y][x] = ARROW


def draw(size):
    pixels = [[TRANSPARENT] * size for _ in range(size)]
    fw, fh = size * 7 // 16, size * 3 // 8
    folder(pixels, size, 0, size // 8, fw, fh)
    folder(pixels, size, size - fw, size - fh - size // 16, fw, fh)
    arrow(pixels, size, size // 2, size // 4, size * 3 // 4 + size // 8)
    return pixels


def palette(colours):
    table = [VGA[i] if i < 16 else (0, 0, 0) for i in range(colours)]
    if colours > 16:
        for index, (rgb, _) in EXTRA.items():
            table[index] = rgb
    return table


def image(size, colours):
    pixels = draw(size)
    bits = 4 if colours == 16 else 8
    table = palette(colours)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, 0, 0, 0, colours, 0)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in table)
    row_bytes = ((size * bits + 31) // 32) * 4
    mask_bytes = ((size + 31) // 32) * 4
    xor, mask = b'', b''
    for y in range(size - 1, -1, -1):
        row = []
        mrow = bytearray(mask_bytes)
        for x in range(size):
            p = pixels[y][x]
            if p == TRANSPARENT:
                mrow[x // 8] |= 0x80 >> (x % 8)
                p = 0
            elif colours == 16 and p >= 16:
                p = EXTRA[p][1]
            row.append(p)
        if bits == 8:
            data = bytes(row)
        else:
            data = bytes((row[i] << 4) | row[i + 1] for i in range(0, size, 2))
        xor += data + bytes(row_bytes - len(data))
        mask += bytes(mrow)
    return header + pal + xor + mask


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    images = [(32, 16), (16, 16), (32, 256), (16, 256)]
    blobs = [image(s, c) for s, c in images]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, colours), blob in zip(images, blobs):
        bits = 4 if colours == 16 else 8
        out += struct.pack('<BBBBHHII', size, size, colours % 256, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    out += b''.join(blobs)
    with open(os.path.join(root, 'resources', 'mirrorix.ico'), 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
