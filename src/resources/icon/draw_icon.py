#!/usr/bin/env python3
"""Draws the HVX icon: a loudspeaker with sound waves and a small clock, and its muted variant,
where a red cross takes the place of the waves (shown while the master volume is muted).

Writes hvx.ico and hvx-muted.ico (one 48x48 image each, 8 bits per pixel with a 256-colour
palette and an AND mask, for the Windows resource) and hvx.png and hvx-muted.png (48x48 RGBA,
for Linux) next to this script. Standard library only; the output is the same byte for byte on
every run.
"""

import math
import os
import struct
import zlib

SIZE = 48
SUB = 4  # samples per pixel along each axis

OUTLINE = (28, 38, 58)
BODY_TOP, BODY_BOTTOM = (104, 132, 178), (52, 74, 118)
CONE_TOP, CONE_BOTTOM = (132, 164, 214), (64, 94, 146)
WAVE = (38, 128, 228)
RIM = (236, 128, 24)
FACE_TOP, FACE_BOTTOM = (255, 255, 255), (222, 230, 240)
HAND = (28, 38, 58)
CROSS = (214, 36, 36)


def mix(a, b, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def convex_distance(px, py, points):
    """Signed distance-like value to a convex polygon (clockwise in screen space): the largest
    outward distance to any edge line; negative inside."""
    worst = -1e9
    n = len(points)
    for i in range(n):
        (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
        ex, ey = x1 - x0, y1 - y0
        length = math.hypot(ex, ey)
        # Outward normal of a clockwise polygon in y-down coordinates.
        nx, ny = ey / length, -ex / length
        worst = max(worst, (px - x0) * nx + (py - y0) * ny)
    return worst


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


BODY = [(3, 13), (11, 13), (11, 25), (3, 25)]
CONE = [(10, 13), (21, 3), (21, 35), (10, 25)]
WAVE_CENTRE = (20.0, 19.0)
WAVE_RADII = (7.0, 12.5)
WAVE_ANGLES = (-50, 40)  # degrees from the right, y down
CLOCK_CENTRE = (36.5, 36.5)
CLOCK_RADIUS = 10.8
CLOCK_GAP = 1.5  # transparent ring that sets the clock apart from the waves
CROSS_ARMS = (((25.0, 9.0), (36.0, 20.0)), ((25.0, 20.0), (36.0, 9.0)))
CROSS_WIDTH = 1.9  # half the stroke


def sample(x, y, muted):
    """The colour at a point, or None where the icon is transparent."""
    colour = None

    # Loudspeaker: the cone, then the magnet in front of it.
    for shape, top, bottom in ((CONE, CONE_TOP, CONE_BOTTOM), (BODY, BODY_TOP, BODY_BOTTOM)):
        d = convex_distance(x, y, shape)
        if d <= 0:
            colour = OUTLINE if d > -1.4 else mix(top, bottom, (y - 3) / 32)

    # Sound waves: two arcs opening to the right.
    cx, cy = WAVE_CENTRE
    r = math.hypot(x - cx, y - cy)
    angle = math.degrees(math.atan2(y - cy, x - cx))
    for radius in WAVE_RADII:
        if not muted and abs(r - radius) <= 1.5 and WAVE_ANGLES[0] <= angle <= WAVE_ANGLES[1]:
            colour = WAVE

    # Muted: a cross where the waves were.
    if muted:
        for (ax, ay), (bx, by) in CROSS_ARMS:
            d = segment_distance(x, y, ax, ay, bx, by)
            if d <= CROSS_WIDTH:
                colour = CROSS if d <= CROSS_WIDTH - 0.7 or colour is None else OUTLINE

    # The clock, cut out of whatever lies behind it.
    cx, cy = CLOCK_CENTRE
    r = math.hypot(x - cx, y - cy)
    if r <= CLOCK_RADIUS + CLOCK_GAP:
        colour = None
    if r <= CLOCK_RADIUS:
        if r > CLOCK_RADIUS - 2.0:
            colour = RIM
        else:
            colour = mix(FACE_TOP, FACE_BOTTOM, (y - (cy - CLOCK_RADIUS)) / (2 * CLOCK_RADIUS))
            # Marks at 12, 3, 6 and 9.
            for ux, uy in ((0, -1), (1, 0), (0, 1), (-1, 0)):
                if segment_distance(x, y, cx + ux * 5.9, cy + uy * 5.9,
                                    cx + ux * 7.4, cy + uy * 7.4) <= 0.8:
                    colour = HAND
            # Hands at ten past ten.
            hour = math.radians(-60)  # from twelve, clockwise
            minute = math.radians(60)
            if segment_distance(x, y, cx, cy, cx + 4.3 * math.sin(hour),
                                cy - 4.3 * math.cos(hour)) <= 1.15:
                colour = HAND
            if segment_distance(x, y, cx, cy, cx + 6.2 * math.sin(minute),
                                cy - 6.2 * math.cos(minute)) <= 0.9:
                colour = HAND
            if r <= 1.6:
                colour = RIM
    return colour


def render(muted):
    """Rows of (r, g, b, coverage) with coverage 0..1, from the top row down."""
    rows = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            total = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(SUB):
                for sx in range(SUB):
                    c = sample(px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB, muted)
                    if c is not None:
                        covered += 1
                        for i in range(3):
                            total[i] += c[i]
            if covered:
                rgb = tuple(int(round(total[i] / covered)) for i in range(3))
            else:
                rgb = (0, 0, 0)
            row.append(rgb + (covered / (SUB * SUB),))
        rows.append(row)
    return rows


def median_cut(colours, count):
    """A palette of at most count colours for the weighted colours {rgb: weight}."""
    boxes = [sorted(colours.items())]
    while len(boxes) < count:
        # Split the box with the widest channel range that can still be split.
        best, best_range, best_channel = None, -1, 0
        for index, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for channel in range(3):
                values = [c[channel] for c, _ in box]
                spread = max(values) - min(values)
                if spread > best_range:
                    best, best_range, best_channel = index, spread, channel
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda item: (item[0][best_channel], item[0]))
        total = sum(w for _, w in box)
        running, cut = 0, 1
        for i, (_, w) in enumerate(box):
            running += w
            if running * 2 >= total:
                cut = min(max(i + 1, 1), len(box) - 1)
                break
        boxes[best:best] = [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(w for _, w in box)
        palette.append(tuple(int(round(sum(c[i] * w for c, w in box) / total)) for i in range(3)))
    return palette


def nearest(palette, rgb):
    return min(range(len(palette)),
               key=lambda i: sum((palette[i][k] - rgb[k]) ** 2 for k in range(3)))


def write_ico(path, rows):
    opaque = {}
    for row in rows:
        for r, g, b, coverage in row:
            if coverage >= 0.5:
                opaque[(r, g, b)] = opaque.get((r, g, b), 0) + 1
    # Index 0 is black, which the transparent pixels carry under their mask bits.
    palette = [(0, 0, 0)] + median_cut(opaque, 255)
    palette += [(0, 0, 0)] * (256 - len(palette))
    cache = {}

    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up
        bits = 0
        mask_row = bytearray()
        for x, (r, g, b, coverage) in enumerate(row):
            if coverage >= 0.5:
                key = (r, g, b)
                if key not in cache:
                    cache[key] = 1 + nearest(palette[1:], key)
                xor.append(cache[key])
            else:
                xor.append(0)
                bits |= 0x80 >> (x % 8)
            if x % 8 == 7:
                mask_row.append(bits)
                bits = 0
        mask_row += b"\0" * (-len(mask_row) % 4)
        mask += mask_row

    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, len(xor) + len(mask),
                         0, 0, 256, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    image = header + colours + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(directory + entry + image)


def write_png(path, rows):
    raw = bytearray()
    for row in rows:
        raw.append(0)  # no filter
        for r, g, b, coverage in row:
            raw += bytes((r, g, b, int(round(coverage * 255))))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    ihdr = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
                  chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, muted in (("hvx", False), ("hvx-muted", True)):
        rows = render(muted)
        write_ico(os.path.join(here, name + ".ico"), rows)
        write_png(os.path.join(here, name + ".png"), rows)


if __name__ == "__main__":
    main()
