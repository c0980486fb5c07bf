#!/usr/bin/env python3
"""Draws Marlowin's artwork into res/art: the splash logo (GIF) and the tray icons (ICO).

Plain python3, no imaging library: shapes are distance fields, anti-aliased by coverage,
and the GIF and ICO encoders are written out below.

    python3 scripts/make-art.py [output folder]
"""
import math
import os
import struct
import sys

LOGO_SIZE = (162, 90)
LOGO_BYTES = 4157          # the logo resource is exactly this long; the rest is a GIF comment
BLACK = (0, 0, 0)          # the splash's colour key: black pixels are see-through


# ---------------------------------------------------------------- shapes

def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def arc_distance(px, py, cx, cy, radius, start, end):
    """Distance to a circular arc; angles in degrees, clockwise on screen (y grows downwards)."""
    angle = math.degrees(math.atan2(py - cy, px - cx)) % 360
    span = (end - start) % 360 or 360
    if (angle - start) % 360 <= span:
        return abs(math.hypot(px - cx, py - cy) - radius)
    ends = []
    for a in (start, end):
        r = math.radians(a)
        ends.append(math.hypot(px - cx - radius * math.cos(r), py - cy - radius * math.sin(r)))
    return min(ends)


class Stroke:
    """Round-capped pen strokes: polylines, arcs and dots of one width."""

    def __init__(self, width):
        self.half = width / 2.0
        self.parts = []   # (bounding box, distance function)

    def line(self, *points):
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            box = (min(ax, bx), min(ay, by), max(ax, bx), max(ay, by))
            self.parts.append((box, lambda x, y, a=(ax, ay, bx, by): segment_distance(x, y, *a)))
        return self

    def arc(self, cx, cy, radius, start=0, end=360):
        box = (cx - radius, cy - radius, cx + radius, cy + radius)
        self.parts.append((box, lambda x, y: arc_distance(x, y, cx, cy, radius, start, end)))
        return self

    def dot(self, x, y):
        return self.line((x, y), (x, y))

    def coverage(self, x, y, scale=1.0):
        """Fraction of the pixel whose centre is (x, y) that the strokes cover."""
        best = 1e9
        margin = self.half + 1.0
        for (x0, y0, x1, y1), distance in self.parts:
            if x0 - margin <= x <= x1 + margin and y0 - margin <= y <= y1 + margin:
                best = min(best, distance(x, y))
        return max(0.0, min(1.0, (self.half - best) * scale + 0.5))


def disc_coverage(x, y, cx, cy, radius):
    return max(0.0, min(1.0, radius - math.hypot(x - cx, y - cy) + 0.5))


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def over(under, colour, alpha):
    return mix(under, colour, alpha)


# ---------------------------------------------------------------- the emblem: a disc, an "M", an orbiting spark

NAVY = (22, 52, 150)
BLUE = (52, 116, 226)
SKY = (150, 205, 255)
WHITE = (250, 252, 255)
ORANGE = (255, 140, 20)
YELLOW = (255, 228, 80)


def emblem_pixel(x, y, cx, cy, size, spark_step, disc=(BLUE, NAVY), ring=False):
    """One pixel of the emblem of the given size (its diameter) centred at (cx, cy), over black."""
    unit = size / 16.0
    disc_radius = 5.6 * unit
    orbit = 6.0 * unit
    colour = BLACK
    if ring:
        colour = over(colour, SKY, 0.45 * max(0.0, min(1.0, 1.0 - abs(math.hypot(x - cx, y - cy) - orbit))))
    alpha = disc_coverage(x, y, cx, cy, disc_radius)
    if alpha > 0:
        shade = mix(disc[0], disc[1], (math.hypot(x - cx + 2 * unit, y - cy + 2 * unit)) / (8.5 * unit))
        colour = over(colour, shade, alpha)
    letter = Stroke(1.55 * unit)
    left, right = cx - 2.7 * unit, cx + 2.7 * unit
    top, bottom = cy - 2.6 * unit, cy + 2.8 * unit
    letter.line((left, bottom), (left, top), (cx, cy + 0.9 * unit), (right, top), (right, bottom))
    colour = over(colour, WHITE, letter.coverage(x, y))
    # The spark runs clockwise on the orbit; step 8 rests at the upper right.
    for trail, (radius, tint) in enumerate(((1.75, YELLOW), (1.2, ORANGE), (0.85, ORANGE))):
        angle = math.radians(45 * spark_step - 45 - trail * 22)
        sx, sy = cx + orbit * math.cos(angle), cy + orbit * math.sin(angle)
        a = disc_coverage(x, y, sx, sy, radius * unit)
        if trail == 0:
            a_core = disc_coverage(x, y, sx, sy, 0.8 * unit)
            colour = over(colour, ORANGE, a)
            colour = over(colour, YELLOW, a_core)
        elif a > 0:
            colour = over(colour, tint, a * (0.75 if trail == 1 else 0.5))
    return colour


# ---------------------------------------------------------------- the logo

def wordmark(left, baseline, x_height, cap_height, gap, pen):
    """'Marlowin' in round pen strokes; gives the strokes and the right edge."""
    s = Stroke(pen)
    h, c = x_height, cap_height
    b = baseline
    x = left
    w = c * 0.82                      # M
    s.line((x, b), (x, b - c), (x + w / 2, b - c * 0.42), (x + w, b - c), (x + w, b))
    x += w + gap
    r = h / 2                         # a: bowl and stem
    s.arc(x + r, b - r, r)
    s.line((x + 2 * r, b - h), (x + 2 * r, b))
    x += 2 * r + gap
    s.line((x, b), (x, b - h))        # r
    s.arc(x + h * 0.55, b - h + h * 0.55, h * 0.55, 180, 290)
    x += h * 0.55 + gap * 0.9
    s.line((x, b), (x, b - c * 1.04))  # l
    x += gap
    s.arc(x + r, b - r, r)            # o
    x += 2 * r + gap
    w = h * 1.45                      # w
    s.line((x, b - h), (x + w * 0.25, b), (x + w * 0.5, b - h * 0.72), (x + w * 0.75, b), (x + w, b - h))
    x += w + gap
    s.line((x, b), (x, b - h))        # i
    s.dot(x, b - h - pen * 2.2)
    x += gap
    s.line((x, b), (x, b - h + r))    # n
    s.arc(x + r, b - h + r, r, 180, 360)
    s.line((x + 2 * r, b - h + r), (x + 2 * r, b))
    x += 2 * r
    return s, x + pen / 2


def draw_logo():
    width, height = LOGO_SIZE
    pen = 4.2
    text, right = wordmark(0, 0, 17, 24, 6, pen)
    shift = (width - right) / 2 + pen / 2
    baseline = 84.0
    top_colour, bottom_colour = (235, 246, 255), (70, 140, 240)
    pixels = []
    for y in range(height):
        for x in range(width):
            px, py = x + 0.5, y + 0.5
            colour = BLACK
            if py < 52:
                colour = emblem_pixel(px, py, width / 2, 26, 46, 8, ring=True)
            a = text.coverage(px - shift, py - baseline)
            if a > 0:
                colour = over(colour, mix(top_colour, bottom_colour, (py - (baseline - 24)) / 24), a)
            pixels.append(colour)
    return pixels


# ---------------------------------------------------------------- palettes

def logo_palette():
    """64 colours, black first: a few hues, each in eight brightness steps, plus light greys."""
    bases = [(235, 246, 255), (190, 222, 255), (140, 192, 250), (70, 140, 240), (40, 90, 200),
             ORANGE, YELLOW]
    palette = [BLACK]
    for base in bases:
        for level in range(1, 9):
            palette.append(tuple(round(c * level / 8) for c in base))
    while len(palette) < 64:
        g = 32 * (len(palette) - 56)
        palette.append((g, g, g))
    return palette


VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def icon_palette():
    """256 colours: a 6x6x6 cube, then a ramp of the emblem's blues and sparks."""
    palette = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    for i in range(20):
        palette.append(tuple(round(c) for c in mix(NAVY, BLUE, i / 19)))
    for i in range(20):
        palette.append(tuple(round(c) for c in mix(ORANGE, YELLOW, i / 19)))
    return palette[:256]


def nearest(palette, colour, cache):
    key = tuple(int(round(c)) for c in colour)
    if key not in cache:
        cache[key] = min(range(len(palette)),
                         key=lambda i: sum((palette[i][k] - key[k]) ** 2 for k in range(3)))
    return cache[key]


def quantize(pixels, palette, keep_black=True):
    cache = {}
    indices = []
    for colour in pixels:
        index = nearest(palette, colour, cache)
        # Only what is meant to vanish may be pure black; faint edges fade to the darkest hue instead.
        if keep_black and index == 0 and max(colour) >= 12:
            index = nearest(palette[1:], colour, {}) + 1
        indices.append(index)
    return indices


# ---------------------------------------------------------------- GIF

def lzw_compress(indices, min_code_size):
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    bits = []   # (code, size)
    size = min_code_size + 1
    table = {}
    next_code = end + 1
    bits.append((clear, size))
    prefix = indices[0]
    for pixel in indices[1:]:
        key = (prefix, pixel)
        if key in table:
            prefix = table[key]
            continue
        bits.append((prefix, size))
        table[key] = next_code
        if next_code >= (1 << size):
            size += 1
        next_code += 1
        if next_code == 4096:
            bits.append((clear, size))
            table, size, next_code = {}, min_code_size + 1, end + 1
        prefix = pixel
    bits.append((prefix, size))
    bits.append((end, size))
    out, acc, count = bytearray(), 0, 0
    for code, width in bits:
        acc |= code << count
        count += width
        while count >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            count -= 8
    if count:
        out.append(acc)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    return bytes(out + b"\0")


def comment_extension(total):
    """A comment extension of exactly `total` bytes: 3, or 5 and more."""
    if total < 3 or total == 4:
        raise ValueError("a comment extension cannot be %d bytes long" % total)
    body = total - 3
    out = bytearray(b"\x21\xfe")
    while body > 0:
        chunk = min(255, body - 1)
        if body - (chunk + 1) == 1:   # never leave a single byte: no sub-block is that short
            chunk -= 1
        out += bytes([chunk]) + b"~" * chunk
        body -= chunk + 1
    return bytes(out + b"\0")


def encode_gif(width, height, palette, indices, total_size):
    head = b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80 | (5 << 4) | 5, 0, 0)
    head += b"".join(bytes(c) for c in palette)
    image = b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0) + b"\x06"
    image += sub_blocks(lzw_compress(indices, 6))
    base = len(head) + len(image) + 1
    padding = total_size - base
    if padding < 3:
        raise ValueError("the logo needs %d bytes, %d more than allowed" % (base + 3, base + 3 - total_size))
    return head + comment_extension(padding) + image + b"\x3b"


# ---------------------------------------------------------------- ICO

def encode_icon(size, bits_per_pixel, palette, indices, opaque):
    """An icon file with one image: palette, bottom-up colour rows and the AND mask."""
    row = ((size * bits_per_pixel + 31) // 32) * 4
    colour = bytearray()
    for y in reversed(range(size)):
        line = bytearray(row)
        for x in range(size):
            value = indices[y * size + x]
            if bits_per_pixel == 8:
                line[x] = value
            else:
                line[x // 2] |= value << (4 if x % 2 == 0 else 0)
        colour += line
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        line = bytearray(mask_row)
        for x in range(size):
            if not opaque[y * size + x]:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    colours = 1 << bits_per_pixel
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits_per_pixel, 0,
                         len(colour) + len(mask), 0, 0, colours, 0)
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette[:colours])
    image = header + table + bytes(colour) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    directory += struct.pack("<BBBBHHII", size, size, colours if colours < 256 else 0, 0, 1,
                             bits_per_pixel, len(image), 6 + 16)
    return directory + image


def draw_icon(size, spark_step, palette, disc):
    pixels, opaque = [], []
    for y in range(size):
        for x in range(size):
            px, py = x + 0.5, y + 0.5
            c = size / 2.0
            colour = emblem_pixel(px, py, c, c, size, spark_step, disc)
            # What the emblem covers: the disc, or a spark or its trail on the orbit.
            covered = disc_coverage(px, py, c, c, 5.6 * size / 16) >= 0.5 or max(colour) > 40
            pixels.append(colour if covered else (0, 0, 0))
            opaque.append(covered)
    indices = quantize(pixels, palette, keep_black=False)
    return indices, opaque


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "res", "art")
    os.makedirs(folder, exist_ok=True)

    palette = logo_palette()
    logo = encode_gif(LOGO_SIZE[0], LOGO_SIZE[1], palette, quantize(draw_logo(), palette), LOGO_BYTES)
    assert len(logo) == LOGO_BYTES
    with open(os.path.join(folder, "logo.gif"), "wb") as f:
        f.write(logo)

    indices, opaque = draw_icon(32, 8, VGA, ((0, 0, 255), (0, 0, 128)))
    with open(os.path.join(folder, "mw.ico"), "wb") as f:
        f.write(encode_icon(32, 4, VGA, indices, opaque))
    palette = icon_palette()
    for step in range(1, 9):
        indices, opaque = draw_icon(16, step, palette, (BLUE, NAVY))
        with open(os.path.join(folder, "mw%d.ico" % step), "wb") as f:
            f.write(encode_icon(16, 8, palette, indices, opaque))


if __name__ == "__main__":
    main()
