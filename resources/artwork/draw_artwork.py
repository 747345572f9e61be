#!/usr/bin/env python3
"""Draws the updater's pictures and writes them next to the resource script:

  banner.bmp   99 x 240, 24 bpp: the wizard's banner, an emblem and the name
  status.bmp   48 x 17, 24 bpp: three 16 x 17 file states on white
               (blue down arrow, green tick with a dark grey outline, red cross)
  tevorin.ico  a globe with an orange down arrow: 32 and 16 pixels at 8 bpp,
               48, 32 and 16 pixels at 32 bpp

Shapes are described in floating-point coordinates and rendered with 4 x 4
supersampling, so edges are smooth at every size. Standard library only.

Run it from anywhere: python3 resources/artwork/draw_artwork.py
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT_DIR = os.path.dirname(HERE)
SAMPLES = 4


class Canvas:
    """Straight (not premultiplied) RGBA pixels, colours in 0..255 floats."""

    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [list(background) for _ in range(width * height)]

    def blend(self, x, y, colour, coverage):
        r, g, b, a = colour
        src_a = a / 255.0 * coverage
        if src_a <= 0:
            return
        p = self.pixels[y * self.width + x]
        dst_a = p[3] / 255.0
        out_a = src_a + dst_a * (1 - src_a)
        for i, c in enumerate((r, g, b)):
            p[i] = (c * src_a + p[i] * dst_a * (1 - src_a)) / out_a
        p[3] = out_a * 255.0

    def paint(self, inside, colour, box=None, clip=None):
        """Fills every sample point for which inside(x, y) holds. `colour` is an
        RGBA tuple or a function of the pixel centre giving one."""
        x0, y0, x1, y1 = box if box else (0, 0, self.width, self.height)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        step = 1.0 / SAMPLES
        for py in range(y0, y1):
            for px in range(x0, x1):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        x = px + (sx + 0.5) * step
                        y = py + (sy + 0.5) * step
                        if inside(x, y) and (clip is None or clip(x, y)):
                            hits += 1
                if hits:
                    c = colour(px + 0.5, py + 0.5) if callable(colour) else colour
                    self.blend(px, py, c, hits / (SAMPLES * SAMPLES))

    def rgb_rows(self):
        return [[tuple(int(round(min(255, max(0, v)))) for v in self.pixels[y * self.width + x][:3])
                 for x in range(self.width)] for y in range(self.height)]

    def rgba_rows(self):
        return [[tuple(int(round(min(255, max(0, v)))) for v in self.pixels[y * self.width + x])
                 for x in range(self.width)] for y in range(self.height)]


# --- shapes -----------------------------------------------------------------

def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def stroke(points, width):
    half = width / 2.0
    segments = list(zip(points, points[1:])) or [(points[0], points[0])]
    return lambda x, y: any(segment_distance(x, y, a[0], a[1], b[0], b[1]) <= half
                            for a, b in segments)


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def arc_points(cx, cy, rx, ry, start_deg, end_deg, count=40):
    """Points on an ellipse; angles count counter-clockwise from +x with y up."""
    return [(cx + rx * math.cos(math.radians(start_deg + (end_deg - start_deg) * i / count)),
             cy - ry * math.sin(math.radians(start_deg + (end_deg - start_deg) * i / count)))
            for i in range(count + 1)]


def bounds(points, margin):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return (min(xs) - margin, min(ys) - margin, max(xs) + margin, max(ys) + margin)


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


# --- the globe and the arrow, shared by the banner and the icon -------------

def draw_globe(canvas, cx, cy, r, line_width, grid=True):
    light = (120, 200, 255, 255)
    dark = (16, 84, 170, 255)

    def shade(x, y):
        # Lit from the upper left.
        d = math.hypot(x - (cx - 0.45 * r), y - (cy - 0.45 * r)) / (1.6 * r)
        return mix(light, dark, d)

    box = (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1)
    canvas.paint(disc(cx, cy, r), shade, box)
    if grid:
        inner = disc(cx, cy, r - line_width * 0.3)
        grid_colour = (235, 248, 255, 150)
        lines = [arc_points(cx, cy, r * k, r, 0, 360, 60) for k in (0.45, 0.85)]
        lines.append([(cx, cy - r), (cx, cy + r)])
        lines.append([(cx - r, cy), (cx + r, cy)])
        for k in (-0.5, 0.5):
            half = r * math.sqrt(1 - k * k)
            lines.append([(cx - half, cy + k * r), (cx + half, cy + k * r)])
        for points in lines:
            canvas.paint(stroke(points, line_width), grid_colour, box, clip=inner)
    outline = arc_points(cx, cy, r, r, 0, 360, 80)
    canvas.paint(stroke(outline, max(1.0, line_width)), (10, 60, 130, 255), box)


def arrow_outline(cx, top, bottom, half_width):
    """A down arrow: shaft and head, as one polygon."""
    shaft = half_width * 0.45
    head_top = top + (bottom - top) * 0.45
    return [(cx - shaft, top), (cx + shaft, top), (cx + shaft, head_top),
            (cx + half_width, head_top), (cx, bottom), (cx - half_width, head_top),
            (cx - shaft, head_top)]


def draw_arrow(canvas, points, fill, edge, edge_width):
    box = bounds(points, edge_width + 1)
    canvas.paint(stroke(points + [points[0]], edge_width * 2), edge, box)
    canvas.paint(polygon(points), fill, box)


# --- letters for the product name -------------------------------------------

def glyph_strokes(letter):
    """Strokes of one letter in units of the x-height, baseline at y = 0,
    y pointing up; returns (width, [point lists], [dots])."""
    if letter == "T":
        return 0.95, [[(0, 1.45), (0.95, 1.45)], [(0.475, 1.45), (0.475, 0)]], []
    if letter == "e":
        ring = arc_points(0.45, -0.5, 0.45, 0.5, 0, 325, 48)
        return 0.9, [[(p[0], -p[1]) for p in ring], [(0, 0.5), (0.9, 0.5)]], []
    if letter == "v":
        return 0.85, [[(0, 1), (0.425, 0), (0.85, 1)]], []
    if letter == "o":
        ring = arc_points(0.45, -0.5, 0.45, 0.5, 0, 360, 56)
        return 0.9, [[(p[0], -p[1]) for p in ring]], []
    if letter == "r":
        shoulder = arc_points(0.5, -0.45, 0.5, 0.5, 180, 80, 24)
        return 0.6, [[(0, 0), (0, 1)], [(p[0], -p[1]) for p in shoulder]], []
    if letter == "i":
        return 0.0, [[(0, 0), (0, 1)]], [(0, 1.42)]
    if letter == "n":
        arch = arc_points(0.42, -0.55, 0.42, 0.42, 180, 0, 32)
        return 0.84, [[(0, 0), (0, 1)], [(p[0], -p[1]) for p in arch] + [(0.84, 0)]], []
    raise ValueError(letter)


def draw_word(canvas, word, left, baseline, x_height, line_width, colour, gap=0.32):
    x = left
    for letter in word:
        width, strokes, dots = glyph_strokes(letter)
        for points in strokes:
            pts = [(x + px * x_height, baseline - py * x_height) for px, py in points]
            canvas.paint(stroke(pts, line_width), colour, bounds(pts, line_width))
        for px, py in dots:
            cx, cy = x + px * x_height, baseline - py * x_height
            canvas.paint(disc(cx, cy, line_width * 0.75), colour,
                         (cx - line_width, cy - line_width, cx + line_width, cy + line_width))
        x += (width + gap) * x_height + line_width


def word_width(word, x_height, line_width, gap=0.32):
    total = 0.0
    for letter in word:
        total += (glyph_strokes(letter)[0] + gap) * x_height + line_width
    return total - gap * x_height - line_width + line_width  # the last letter's stroke counts once


# A small pixel font for the subtitle: crisp at 1 pixel per dot.
PIXEL_FONT = {
    "L": ["1000", "1000", "1000", "1000", "1000", "1000", "1111"],
    "I": ["111", "010", "010", "010", "010", "010", "111"],
    "V": ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
    "E": ["1111", "1000", "1000", "1110", "1000", "1000", "1111"],
    "U": ["1001", "1001", "1001", "1001", "1001", "1001", "0110"],
    "P": ["1110", "1001", "1001", "1110", "1000", "1000", "1000"],
    "D": ["1110", "1001", "1001", "1001", "1001", "1001", "1110"],
    "A": ["0110", "1001", "1001", "1111", "1001", "1001", "1001"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    " ": ["00", "00", "00", "00", "00", "00", "00"],
}


def pixel_text_width(text, spacing):
    return sum(len(PIXEL_FONT[c][0]) + spacing for c in text) - spacing


def draw_pixel_text(canvas, text, left, top, colour, spacing=2):
    x = left
    for c in text:
        rows = PIXEL_FONT[c]
        for dy, row in enumerate(rows):
            for dx, bit in enumerate(row):
                if bit == "1":
                    canvas.blend(x + dx, top + dy, colour, 1.0)
        x += len(rows[0]) + spacing


# --- the pictures -----------------------------------------------------------

def draw_banner():
    width, height = 99, 240
    canvas = Canvas(width, height)
    top_colour = (8, 52, 120, 255)
    bottom_colour = (58, 140, 220, 255)
    canvas.paint(lambda x, y: True, lambda x, y: mix(top_colour, bottom_colour, y / height))

    # Soft rings behind the emblem, like waves of a call going out.
    for radius, alpha in ((44, 40), (54, 28), (64, 18)):
        ring = arc_points(49.5, 66, radius, radius, 0, 360, 90)
        canvas.paint(stroke(ring, 1.6), (255, 255, 255, alpha), bounds(ring, 2))

    draw_globe(canvas, 49.5, 66, 30, 1.5)
    arrow = arrow_outline(67, 74, 100, 11)
    draw_arrow(canvas, arrow, (255, 150, 30, 255), (150, 70, 0, 255), 1.2)

    x_height, line = 10.0, 2.2
    name_width = word_width("Tevorin", x_height, line)
    draw_word(canvas, "Tevorin", (width - name_width) / 2 + line / 2, 150, x_height, line,
              (255, 255, 255, 255))
    subtitle = "LIVE UPDATE"
    draw_pixel_text(canvas, subtitle, (width - pixel_text_width(subtitle, 2)) // 2, 162,
                    (200, 228, 255, 255))

    # A thin rule and three rising arcs at the foot of the banner.
    canvas.paint(stroke([(14, 186), (85, 186)], 1.0), (255, 255, 255, 90))
    for radius, alpha in ((18, 70), (30, 50), (42, 32)):
        arc = arc_points(49.5, 240, radius, radius, 30, 150, 40)
        canvas.paint(stroke(arc, 1.8), (255, 255, 255, alpha), bounds(arc, 2))
    return canvas


def draw_status_strip():
    canvas = Canvas(48, 17, (255, 255, 255, 255))
    # 0: a blue arrow pointing down.
    draw_arrow(canvas, arrow_outline(8, 1.5, 15.5, 6.5), (40, 110, 225, 255), (20, 70, 160, 255), 0.7)
    # 1: a green tick with a dark grey outline.
    tick = [(16 + 3, 8.5), (16 + 6.5, 12.5), (16 + 13, 3.5)]
    canvas.paint(stroke(tick, 4.2), (72, 72, 72, 255), (16, 0, 32, 17))
    canvas.paint(stroke(tick, 2.2), (60, 185, 70, 255), (16, 0, 32, 17))
    # 2: a red cross.
    for a, b in (((32 + 4, 4.5), (32 + 12, 12.5)), ((32 + 12, 4.5), (32 + 4, 12.5))):
        canvas.paint(stroke([a, b], 2.6), (220, 40, 40, 255), (32, 0, 48, 17))
    return canvas


def draw_icon(size):
    canvas = Canvas(size, size)
    s = size / 32.0
    detailed = size >= 24
    draw_globe(canvas, 13.5 * s, 13.5 * s, 12.5 * s, max(1.0, 1.1 * s), grid=detailed)
    arrow = arrow_outline(23.5 * s, 13 * s, 31 * s, 7.5 * s)
    draw_arrow(canvas, arrow, (255, 145, 20, 255), (140, 60, 0, 255), max(0.8, 0.9 * s))
    return canvas


# --- file formats -----------------------------------------------------------

def row_stride(width, bits):
    return (width * bits + 31) // 32 * 4


def bmp_24(canvas):
    rows = canvas.rgb_rows()
    stride = row_stride(canvas.width, 24)
    data = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        data += line + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(data),
                       2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


def and_mask(rgba_rows, width, threshold):
    """Mask bit set (transparent) where alpha is below `threshold`."""
    stride = row_stride(width, 1)
    data = bytearray()
    for row in reversed(rgba_rows):
        line = bytearray(stride)
        for x, pixel in enumerate(row):
            if pixel[3] < threshold:
                line[x // 8] |= 0x80 >> (x % 8)
        data += line
    return data


def dib_32(canvas):
    rows = canvas.rgba_rows()
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    # Only fully transparent pixels are masked: an edge pixel with some alpha
    # must still show where the alpha channel is honoured.
    mask = and_mask(rows, canvas.width, 1)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height * 2, 1, 32, 0,
                       len(pixels) + len(mask), 0, 0, 0, 0)
    return info + pixels + mask


def median_cut(colours, count):
    boxes = [colours]
    while len(boxes) < count:
        splittable = [b for b in boxes if len(set(b)) > 1]
        if not splittable:
            break
        box = max(splittable, key=lambda b: max(max(c[i] for c in b) - min(c[i] for c in b)
                                                for i in range(3)) * len(b))
        channel = max(range(3), key=lambda i: max(c[i] for c in box) - min(c[i] for c in box))
        box.sort(key=lambda c: c[channel])
        middle = len(box) // 2
        boxes.remove(box)
        boxes += [box[:middle], box[middle:]]
    return [tuple(sum(c[i] for c in b) // len(b) for i in range(3)) for b in boxes if b]


def dib_8(canvas):
    rows = canvas.rgba_rows()
    opaque = [p[:3] for row in rows for p in row if p[3] >= 128]
    # Entry 0 stays black for the transparent pixels, whose mask bit hides them.
    palette = [(0, 0, 0)] + median_cut(list(opaque), 255)
    palette += [(0, 0, 0)] * (256 - len(palette))
    cache = {}

    def nearest(c):
        if c not in cache:
            cache[c] = min(range(1, 256), key=lambda i: sum((palette[i][k] - c[k]) ** 2 for k in range(3)))
        return cache[c]

    stride = row_stride(canvas.width, 8)
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(nearest(p[:3]) if p[3] >= 128 else 0 for p in row)
        pixels += line + bytes(stride - len(line))
    mask = and_mask(rows, canvas.width, 128)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height * 2, 1, 8, 0,
                       len(pixels) + len(mask), 0, 0, 256, 0)
    colour_table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return info + colour_table + pixels + mask


def ico(images):
    """images: (size, bits, dib bytes) in directory order."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, bits, dib in images:
        colours = 0  # 0 also for 8 bpp: the entry's colour count is unused for 256 colours
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits, len(dib),
                                 offset + len(body))
        body += dib
    return directory + body


def write_file(name, data):
    # Drawn completely before the file is opened, so an interrupted run never
    # leaves a truncated picture behind.
    with open(os.path.join(OUT_DIR, name), "wb") as f:
        f.write(data)


def main():
    write_file("banner.bmp", bmp_24(draw_banner()))
    write_file("status.bmp", bmp_24(draw_status_strip()))
    images = [(32, 8, dib_8(draw_icon(32))), (16, 8, dib_8(draw_icon(16))),
              (48, 32, dib_32(draw_icon(48))), (32, 32, dib_32(draw_icon(32))),
              (16, 32, dib_32(draw_icon(16)))]
    write_file("tevorin.ico", ico(images))


if __name__ == "__main__":
    main()
