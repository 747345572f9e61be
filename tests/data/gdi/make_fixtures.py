#!/usr/bin/env python3
"""Writes the picture fixtures of the drawing-layer tests into this folder.

Good files have pixel (x, y) = red x*50, green y*100, blue 7 (or the palette
colours noted below) so that tests can check every pixel; damaged files each
break one rule that the decoders must catch. Run again after changing it.
"""
import struct
import zlib
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def colour(x, y):
    return (x * 50) & 255, (y * 100) & 255, 7


def info_header(width, height, bits, colours_used=0, compression=0, header_size=40):
    header = struct.pack('<IiiHHIIiiII', header_size, width, height, 1, bits, compression, 0,
                         2835, 2835, colours_used, 0)
    return header + b'\0' * (header_size - 40)


def rows_24(width, height, top_down):
    stride = (width * 3 + 3) // 4 * 4
    order = range(height) if top_down else range(height - 1, -1, -1)
    data = b''
    for y in order:
        row = b''.join(bytes((colour(x, y)[2], colour(x, y)[1], colour(x, y)[0])) for x in range(width))
        data += row + b'\0' * (stride - len(row))
    return data


def bmp_file(dib_header, palette, pixels, offset=None):
    if offset is None:
        offset = 14 + len(dib_header) + len(palette)
    size = 14 + len(dib_header) + len(palette) + len(pixels)
    return b'BM' + struct.pack('<IHHI', size, 0, 0, offset) + dib_header + palette + pixels


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


def png(width, height, rgba_of):
    raw = b''
    for y in range(height):
        raw += b'\0' + b''.join(bytes(rgba_of(x, y)) for x in range(width))

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))

    ihdr = struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)
    return b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b'')


def ico(images):
    """images: list of (width, height, bits, bytes)."""
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b''
    for width, height, bits, data in images:
        directory += struct.pack('<BBBBHHII', width & 255, height & 255, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
        body += data
    return directory + body


def mask_rows(width, height, transparent):
    stride = (width + 31) // 32 * 4
    data = b''
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            if transparent(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        data += bytes(row)
    return data


def main():
    # Bitmaps.
    write('rgb24_bottom_up.bmp', bmp_file(info_header(5, 3, 24), b'', rows_24(5, 3, False)))
    write('rgb24_top_down.bmp', bmp_file(info_header(5, -3, 24), b'', rows_24(5, 3, True)))
    write('rgb24_v5_header.bmp', bmp_file(info_header(5, 3, 24, header_size=124), b'', rows_24(5, 3, False)))
    # 8-bit: palette entry i = (i, 255 - i, 0); pixel (x, y) uses index x + 10 * y.
    palette = b''.join(bytes((0, 255 - i, i, 0)) for i in range(256))
    stride = 8
    pixels = b''
    for y in range(2, -1, -1):
        pixels += bytes(x + 10 * y for x in range(5)) + b'\0' * (stride - 5)
    write('palette8.bmp', bmp_file(info_header(5, 3, 8), palette, pixels))

    good = open(os.path.join(HERE, 'rgb24_bottom_up.bmp'), 'rb').read()
    write('truncated_pixels.bmp', good[:-5])
    write('truncated_header.bmp', good[:30])
    write('huge_dimensions.bmp', bmp_file(info_header(100000, 100000, 24), b'', rows_24(5, 3, False)))
    write('negative_width.bmp', bmp_file(info_header(-5, 3, 24), b'', rows_24(5, 3, False)))
    write('offset_past_end.bmp', bmp_file(info_header(5, 3, 24), b'', rows_24(5, 3, False), offset=100000))
    write('offset_into_header.bmp', bmp_file(info_header(5, 3, 24), b'', rows_24(5, 3, False), offset=20))
    write('rle_compressed.bmp', bmp_file(info_header(5, 3, 8, compression=1), palette, pixels))
    write('palette_too_large.bmp', bmp_file(info_header(5, 3, 8, colours_used=300), palette, pixels))

    # Icons: a 16x16 4-bit image with an AND mask, a 32x32 32-bit image with
    # alpha, and a 48x48 PNG image.
    pal16 = b''.join(bytes((0, 0, 255 if i == 1 else 0, 0)) if i < 2 else bytes((i * 16, i * 16, i * 16, 0))
                     for i in range(16))
    # 4-bit: index 1 (red) everywhere; mask: left half transparent (screen kept).
    rows4 = b''.join(bytes([0x11] * 8) for _ in range(16))
    small = info_header(16, 32, 4) + pal16 + rows4 + mask_rows(16, 16, lambda x, y: x < 8)
    # 32-bit: blue, alpha 255 on the top half, 0 on the bottom half, 128 on row 16.
    rows32 = b''
    for y in range(31, -1, -1):
        alpha = 255 if y < 16 else (128 if y == 16 else 0)
        rows32 += bytes((200, 0, 0, alpha)) * 32
    large = info_header(32, 64, 32) + rows32 + mask_rows(32, 32, lambda x, y: False)
    big_png = png(48, 48, lambda x, y: (0, 255, 0, 255))
    write('three_sizes.ico', ico([(16, 16, 4, small), (32, 32, 32, large), (48, 48, 32, big_png)]))

    whole = ico([(16, 16, 4, small)])
    write('ico_truncated_mask.ico', whole[:-20])
    bad = bytearray(whole)
    struct.pack_into('<I', bad, 6 + 12, 5000)  # image offset past the end
    write('ico_offset_past_end.ico', bytes(bad))
    write('ico_no_images.ico', struct.pack('<HHH', 0, 1, 0))
    write('ico_huge_image.ico', ico([(16, 16, 32, info_header(30000, 60000, 32) + b'\0' * 64)]))
    write('ico_directory_cut.ico', struct.pack('<HHH', 0, 1, 3) + b'\0' * 20)
    write('ico_corrupt_png.ico', ico([(48, 48, 32, big_png[:40])]))


if __name__ == '__main__':
    main()
