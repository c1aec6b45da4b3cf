#!/usr/bin/env python3
"""Draws Vidarro's icons, bitmaps and alert sound.

Every picture is built from signed-distance shapes, so edges are anti-aliased
analytically and each icon size is drawn afresh instead of being scaled down.
Only text needs ImageMagick's `convert`, which renders the glyph masks.

Usage: scripts/make-art.py [output resources dir]   (default: resources/ beside scripts/)
"""

import math
import os
import struct
import subprocess
import sys
import wave
import zlib

DIALOG_GREY = (0xEF, 0xEF, 0xEF)  # Qt 6 Fusion's QPalette::Window, behind the opaque 32x32 bitmaps


# ---------------------------------------------------------------- colour helpers


def hex_rgb(text):
    text = text.lstrip("#")
    return tuple(int(text[i : i + 2], 16) / 255.0 for i in (0, 2, 4))


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smoothstep(t):
    t = clamp(t)
    return t * t * (3.0 - 2.0 * t)


class Stops:
    """Colour ramp: list of (position, '#rrggbb' or rgb, alpha)."""

    def __init__(self, stops):
        self.stops = [(p, hex_rgb(c) if isinstance(c, str) else c, a) for p, c, a in stops]

    def at(self, t):
        s = self.stops
        if t <= s[0][0]:
            return s[0][1], s[0][2]
        for (p0, c0, a0), (p1, c1, a1) in zip(s, s[1:]):
            if t <= p1:
                u = (t - p0) / (p1 - p0) if p1 > p0 else 0.0
                return mix(c0, c1, u), a0 + (a1 - a0) * u
        return s[-1][1], s[-1][2]


def solid(colour, alpha=1.0):
    rgb = hex_rgb(colour) if isinstance(colour, str) else colour
    return lambda x, y: (rgb, alpha)


def linear(x0, y0, x1, y1, stops):
    ramp = Stops(stops)
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy
    return lambda x, y: ramp.at(((x - x0) * dx + (y - y0) * dy) / ll)


def radial(cx, cy, r, stops, fx=None, fy=None):
    """Radial ramp around (cx, cy); t grows from the focus (fx, fy) for an off-centre highlight."""
    ramp = Stops(stops)
    fx = cx if fx is None else fx
    fy = cy if fy is None else fy

    def paint(x, y):
        return ramp.at(math.hypot(x - fx, y - fy) / r)

    return paint


# ---------------------------------------------------------------- shapes (signed distance, design units)


class Shape:
    def __init__(self, sdf, bbox):
        self.sdf = sdf
        self.bbox = bbox  # x0, y0, x1, y1

    def __or__(self, other):
        a, b = self.sdf, other.sdf
        return Shape(lambda x, y: min(a(x, y), b(x, y)), union_box(self.bbox, other.bbox))

    def __sub__(self, other):
        a, b = self.sdf, other.sdf
        return Shape(lambda x, y: max(a(x, y), -b(x, y)), self.bbox)

    def __and__(self, other):
        a, b = self.sdf, other.sdf
        return Shape(lambda x, y: max(a(x, y), b(x, y)), intersect_box(self.bbox, other.bbox))

    def outline(self, width):
        """Band of the given width centred on the edge."""
        f, h = self.sdf, width / 2.0
        x0, y0, x1, y1 = self.bbox
        return Shape(lambda x, y: abs(f(x, y)) - h, (x0 - h, y0 - h, x1 + h, y1 + h))

    def grow(self, amount):
        f = self.sdf
        x0, y0, x1, y1 = self.bbox
        return Shape(lambda x, y: f(x, y) - amount, (x0 - amount, y0 - amount, x1 + amount, y1 + amount))

    def moved(self, dx, dy):
        f = self.sdf
        x0, y0, x1, y1 = self.bbox
        return Shape(lambda x, y: f(x - dx, y - dy), (x0 + dx, y0 + dy, x1 + dx, y1 + dy))


def union_box(a, b):
    return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))


def intersect_box(a, b):
    return (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))


def union(*shapes):
    out = shapes[0]
    for s in shapes[1:]:
        out = out | s
    return out


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r, (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry):
    def sdf(x, y):
        px, py = (x - cx) / rx, (y - cy) / ry
        k0 = math.hypot(px, py)
        k1 = math.hypot(px / rx, py / ry)
        return k0 * (k0 - 1.0) / k1 if k1 > 1e-9 else -min(rx, ry)

    return Shape(sdf, (cx - rx, cy - ry, cx + rx, cy + ry))


def rect(x0, y0, x1, y1, radius=0.0, angle=0.0, pivot=None):
    """Rounded rectangle, optionally turned by angle (degrees, clockwise on screen) about pivot."""
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius
    px, py = pivot if pivot else (cx, cy)
    ca, sa = math.cos(math.radians(angle)), math.sin(math.radians(angle))
    # centre after turning about the pivot
    ccx = px + (cx - px) * ca - (cy - py) * sa
    ccy = py + (cx - px) * sa + (cy - py) * ca

    def sdf(x, y):
        dx, dy = x - ccx, y - ccy
        lx, ly = dx * ca + dy * sa, -dx * sa + dy * ca
        qx, qy = abs(lx) - hx, abs(ly) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius

    ext = math.hypot(hx + radius, hy + radius)
    return Shape(sdf, (ccx - ext, ccy - ext, ccx + ext, ccy + ext))


def polygon(points, radius=0.0):
    """Polygon with optionally rounded corners (the shape grows by radius)."""
    pts = list(points)
    n = len(pts)

    def sdf(x, y):
        d = float("inf")
        s = 1.0
        for i in range(n):
            ax, ay = pts[i]
            bx, by = pts[i - 1]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = clamp((wx * ex + wy * ey) / (ex * ex + ey * ey))
            qx, qy = wx - ex * t, wy - ey * t
            d = min(d, qx * qx + qy * qy)
            c1, c2, c3 = y >= ay, y < by, ex * wy > ey * wx
            if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
                s = -s
        return s * math.sqrt(d) - radius

    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    return Shape(sdf, (min(xs) - radius, min(ys) - radius, max(xs) + radius, max(ys) + radius))


def arc(cx, cy, r, start, end, width):
    """Stroke of a circular arc from start to end (degrees, 0 = right, clockwise on screen) with round caps."""
    mid = math.radians((start + end) / 2.0)
    half = math.radians(abs(end - start) / 2.0)
    h = width / 2.0
    e1 = (cx + r * math.cos(mid - half), cy + r * math.sin(mid - half))
    e2 = (cx + r * math.cos(mid + half), cy + r * math.sin(mid + half))

    def sdf(x, y):
        dx, dy = x - cx, y - cy
        ang = math.atan2(dy, dx) - mid
        ang = (ang + math.pi) % (2.0 * math.pi) - math.pi
        if abs(ang) <= half:
            return abs(math.hypot(dx, dy) - r) - h
        return min(math.hypot(x - e1[0], y - e1[1]), math.hypot(x - e2[0], y - e2[1])) - h

    return Shape(sdf, (cx - r - h, cy - r - h, cx + r + h, cy + r + h))


def segment(x0, y0, x1, y1, width):
    h = width / 2.0
    ex, ey = x1 - x0, y1 - y0
    ll = ex * ex + ey * ey

    def sdf(x, y):
        t = clamp(((x - x0) * ex + (y - y0) * ey) / ll)
        return math.hypot(x - x0 - ex * t, y - y0 - ey * t) - h

    return Shape(sdf, (min(x0, x1) - h, min(y0, y1) - h, max(x0, x1) + h, max(y0, y1) + h))


# ---------------------------------------------------------------- canvas


class Canvas:
    """Premultiplied-free RGBA float canvas; design units map to pixels by `scale`."""

    def __init__(self, width, height, scale=1.0, background=None):
        self.w, self.h, self.scale = width, height, scale
        if background is None:
            px = (0.0, 0.0, 0.0, 0.0)
        else:
            c = hex_rgb(background) if isinstance(background, str) else tuple(v / 255.0 for v in background)
            px = (c[0], c[1], c[2], 1.0)
        self.px = [list(px) for _ in range(width * height)]

    def _blend(self, i, rgb, alpha):
        if alpha <= 0.0:
            return
        p = self.px[i]
        da = p[3]
        oa = alpha + da * (1.0 - alpha)
        if oa <= 0.0:
            return
        for k in range(3):
            p[k] = (rgb[k] * alpha + p[k] * da * (1.0 - alpha)) / oa
        p[3] = oa

    def fill(self, shape, paint, opacity=1.0, softness=0.0):
        """Paints shape; softness (design units) widens the edge ramp for shadows and glows."""
        s = self.scale
        aa = 1.0 / s + softness  # one pixel ramp, plus any extra blur
        x0, y0, x1, y1 = shape.bbox
        pad = softness + 2.0 / s
        ix0 = max(0, int(math.floor((x0 - pad) * s)))
        iy0 = max(0, int(math.floor((y0 - pad) * s)))
        ix1 = min(self.w, int(math.ceil((x1 + pad) * s)))
        iy1 = min(self.h, int(math.ceil((y1 + pad) * s)))
        f = shape.sdf
        for iy in range(iy0, iy1):
            y = (iy + 0.5) / s
            row = iy * self.w
            for ix in range(ix0, ix1):
                x = (ix + 0.5) / s
                d = f(x, y)
                if d >= aa * 0.5:
                    continue
                cov = clamp(0.5 - d / aa)
                if softness:
                    cov = smoothstep(cov)
                rgb, a = paint(x, y)
                self._blend(row + ix, rgb, cov * a * opacity)

    def text(self, string, font, pointsize, x, y, paint, anchor="lt", opacity=1.0):
        """Draws text at design point (x, y); anchor 'lt' = left/top, 'cc' = centre of the ink box."""
        mask_w, mask_h, mask = text_mask(string, font, pointsize * self.scale)
        s = self.scale
        ox, oy = x * s, y * s
        if anchor == "cc":
            ox -= mask_w / 2.0
            oy -= mask_h / 2.0
        ox, oy = int(round(ox)), int(round(oy))
        for my in range(mask_h):
            py = oy + my
            if not 0 <= py < self.h:
                continue
            for mx in range(mask_w):
                px = ox + mx
                cov = mask[my * mask_w + mx]
                if cov and 0 <= px < self.w:
                    rgb, a = paint((px + 0.5) / s, (py + 0.5) / s)
                    self._blend(py * self.w + px, rgb, cov * a * opacity)
        return mask_w / s, mask_h / s

    def rgba_bytes(self):
        out = bytearray()
        for r, g, b, a in self.px:
            out += bytes((to8(r), to8(g), to8(b), to8(a)))
        return bytes(out)

    def assert_opaque(self):
        assert all(p[3] > 0.999 for p in self.px), "24-bit bitmap would lose transparency"


def to8(v):
    return int(round(clamp(v) * 255.0))


def text_mask(string, font, pointsize):
    """Coverage mask of the text, tightly trimmed, rendered by ImageMagick."""
    cmd = [
        "convert", "-background", "black", "-fill", "white", "-font", font,
        "-pointsize", "%.2f" % pointsize, "label:" + string,
        "-trim", "+repage", "-depth", "8", "pgm:-",
    ]  # fmt: skip
    data = subprocess.run(cmd, check=True, capture_output=True).stdout
    fields, pos = [], 0
    while len(fields) < 4:  # magic, width, height, maxval
        while data[pos : pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos : pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    pos += 1
    assert fields[0] == b"P5" and fields[3] == b"255", fields
    w, h = int(fields[1]), int(fields[2])
    return w, h, [v / 255.0 for v in data[pos : pos + w * h]]


# ---------------------------------------------------------------- file writers


def write_png(path, canvas):
    raw = canvas.rgba_bytes()
    stride = canvas.w * 4
    lines = b"".join(b"\x00" + raw[y * stride : (y + 1) * stride] for y in range(canvas.h))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0)  # 8-bit RGBA
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(lines, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def write_bmp(path, canvas):
    """Uncompressed 24-bit Windows bitmap (BITMAPINFOHEADER, bottom-up rows)."""
    canvas.assert_opaque()
    row_size = (canvas.w * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(canvas.h - 1, -1, -1):
        row = bytearray()
        for x in range(canvas.w):
            r, g, b, _ = canvas.px[y * canvas.w + x]
            row += bytes((to8(b), to8(g), to8(r)))
        row += b"\x00" * (row_size - len(row))
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + pixels)


# ---------------------------------------------------------------- shared motifs


STEEL = [(0.0, "#8fc0f5", 1.0), (0.45, "#4f8fdc", 1.0), (1.0, "#1f4f93", 1.0)]


def film_reel(c, cx, cy, r, detail=2):
    """Blue metal film reel with five windows and film wound on it; detail 0 is for the tiniest icons."""
    rim = max(r * 0.055, 1.1 / c.scale)
    hole_r = r * (0.27 if detail else 0.3)
    hole_d = r * (0.55 if detail else 0.56)
    holes = [
        circle(cx + hole_d * math.cos(math.radians(-90 + 72 * k)), cy + hole_d * math.sin(math.radians(-90 + 72 * k)),
               hole_r)
        for k in range(5)
    ]  # fmt: skip
    windows = union(*holes)
    hub_hole = circle(cx, cy, r * 0.09)
    disc = circle(cx, cy, r) - windows - hub_hole

    # the wound film, seen through the windows
    roll = circle(cx, cy, r * 0.74) & windows
    c.fill(roll, radial(cx, cy, r * 0.74, [(0, "#5a4a3c", 1), (0.7, "#2c241d", 1), (1, "#1a1511", 1)]))
    if detail >= 1:
        for k in (0.5, 0.62):
            c.fill(circle(cx, cy, r * k).outline(max(r * 0.015, 0.5 / c.scale)) & roll, solid("#000000"), opacity=0.35)
    c.fill(disc, radial(cx, cy, r * 1.45, STEEL, fx=cx - r * 0.45, fy=cy - r * 0.55))
    if detail >= 1:
        # inner flange ring and hub boss give the disc depth
        c.fill(circle(cx, cy, r * 0.88).outline(max(r * 0.025, 0.7 / c.scale)) - windows, solid("#1b467f"), opacity=0.45)
        c.fill(circle(cx, cy, r * 0.2) - hub_hole, radial(cx, cy, r * 0.3, [(0, "#dcecff", 1), (1, "#5d95d8", 1)],
                                                           fx=cx - r * 0.08, fy=cy - r * 0.08))
        c.fill(circle(cx, cy, r * 0.2).outline(max(r * 0.02, 0.6 / c.scale)), solid("#163c6e"), opacity=0.6)
    # window edges and rim
    c.fill(windows.outline(max(r * 0.035, 0.8 / c.scale)) & circle(cx, cy, r), solid("#143763"), opacity=0.85)
    c.fill(circle(cx, cy, r - rim / 2).outline(rim), linear(cx, cy - r, cx, cy + r, [(0, "#2a5c9e", 1), (1, "#0f2d57", 1)]))
    if detail >= 2:
        # glint on the upper left of the rim
        c.fill(arc(cx, cy, r * 0.78, 200, 250, r * 0.05), solid("#ffffff"), opacity=0.55)


def film_strip(c, x0, y0, x1, y1, angle=0.0, pivot=None, clip=None):
    """Straight piece of film: dark base, cream perforations, amber frames; clip hides the part under the reel."""
    h = y1 - y0
    rad = h * 0.08
    pv = pivot if pivot else (x0, (y0 + y1) / 2)

    def piece(shape):
        return shape - clip if clip else shape

    body = rect(x0, y0, x1, y1, rad, angle, pv)
    c.fill(piece(body), linear(x0, y0 - 20, x0, y1 + 20, [(0, "#4a505a", 1), (0.5, "#262a31", 1), (1, "#121418", 1)]))
    hole_w, hole_h = h * 0.13, h * 0.12
    step = h * 0.26
    x = x1 - step * 0.55 - hole_w
    while x > x0:
        for yy in (y0 + h * 0.06, y1 - h * 0.06 - hole_h):
            c.fill(piece(rect(x, yy, x + hole_w, yy + hole_h, hole_h * 0.3, angle, pv)), solid("#f3ead7"))
        x -= step
    frame_h = h * 0.56
    fy0 = (y0 + y1) / 2 - frame_h / 2
    frame_w = frame_h * 1.1
    gap = h * 0.1
    x = x1 - gap * 1.4 - frame_w
    amber = linear(x0, fy0, x0, fy0 + frame_h, [(0, "#ffd97a", 1), (1, "#f08a24", 1)])
    while x > x0:
        c.fill(piece(rect(x, fy0, x + frame_w, fy0 + frame_h, h * 0.03, angle, pv)), amber)
        x -= frame_w + gap


# ---------------------------------------------------------------- artwork


def draw_icon(size):
    """The program icon: a film reel with a strip of film running out of it, 128 design units square."""
    c = Canvas(size, size, scale=size / 128.0)
    detail = 0 if size <= 16 else 1 if size <= 32 else 2
    if detail == 0:
        cx, cy, r = 64, 64, 60  # at 16 pixels the strip would only be a smudge: the reel alone reads better
    else:
        cx, cy, r = 48, 48, 44
        film_strip(c, 30, 80, 125, 115, angle=-9, pivot=(30, 97.5), clip=circle(cx, cy, r + 3))
    film_reel(c, cx, cy, r, detail=detail)
    return c


def draw_info_bubble():
    c = Canvas(32, 32, background=DIALOG_GREY)
    bubble = circle(16.5, 14.0, 12.5) | polygon([(7.5, 19.5), (15.0, 24.5), (4.5, 30.0)], radius=0.6)
    c.fill(bubble.moved(0.6, 1.0), solid("#000000"), opacity=0.22, softness=1.4)
    c.fill(bubble, linear(0, 2, 0, 28, [(0, "#7cc0fa", 1), (0.55, "#3b86db", 1), (1, "#2464b8", 1)]))
    c.fill(ellipse(16.5, 8.0, 8.5, 4.6) & bubble.grow(-1.5), linear(0, 3.0, 0, 12.0, [(0, "#ffffff", 0.55), (1, "#ffffff", 0.0)]))
    c.fill(bubble.grow(-0.5).outline(1.0), solid("#1a4f95"), opacity=0.9)
    # the letter i: dot and stem with a small foot
    c.fill(circle(16.5, 7.6, 2.1), solid("#ffffff"))
    c.fill(rect(14.9, 11.2, 18.1, 21.0, 0.8) | rect(13.6, 19.6, 19.4, 21.4, 0.6) | rect(13.8, 11.2, 18.1, 12.8, 0.5),
           solid("#ffffff"))
    return c


def draw_loudspeaker():
    c = Canvas(32, 32, background=DIALOG_GREY)
    box = rect(2.5, 11.5, 9.5, 20.5, 1.2)
    cone = polygon([(8.5, 11.8), (16.5, 5.0), (16.5, 27.0), (8.5, 20.2)], radius=0.8)
    body = box | cone
    c.fill(body.moved(0.6, 1.0), solid("#000000"), opacity=0.22, softness=1.4)
    c.fill(body, linear(0, 4, 0, 28, [(0, "#7d8896", 1), (0.5, "#4d5867", 1), (1, "#2b333d", 1)]))
    c.fill(cone.grow(-1.6) & rect(9.0, 5.0, 17.0, 15.0), linear(0, 6, 0, 15, [(0, "#ffffff", 0.45), (1, "#ffffff", 0.0)]))
    c.fill(body.grow(-0.45).outline(0.9), solid("#1f252d"), opacity=0.85)
    c.fill(segment(9.3, 12.6, 9.3, 19.4, 0.9), solid("#1f252d"), opacity=0.6)
    waves = "#2f7fd6"
    c.fill(arc(17.0, 16.0, 4.4, -42, 42, 2.1), solid(waves))
    c.fill(arc(17.0, 16.0, 8.6, -44, 44, 2.1), solid(waves), opacity=0.85)
    c.fill(arc(17.0, 16.0, 12.8, -46, 46, 2.1), solid(waves), opacity=0.7)
    return c


def draw_banner():
    """About box banner, 224x106: the name on a dark screen between two edges of film."""
    w, h = 224, 106
    c = Canvas(w, h, background=(0, 0, 0))
    c.fill(rect(0, 0, w, h), linear(0, 0, 0, h, [(0, "#233a5e", 1), (1, "#0e1828", 1)]))
    # projector light falling on the screen behind the name
    c.fill(rect(0, 14, w, h - 14), radial(150, 53, 95, [(0, "#5b86c4", 0.55), (1, "#5b86c4", 0.0)]))
    # film edges top and bottom
    for y0 in (0, h - 14):
        c.fill(rect(0, y0, w, y0 + 14), linear(0, y0, 0, y0 + 14, [(0, "#2b2f36", 1), (1, "#15181d", 1)]))
        x = 4.0
        while x < w:
            c.fill(rect(x, y0 + 4, x + 8, y0 + 10, 1.6), solid("#f3ead7"))
            x += 16.0
    c.fill(rect(0, 13.5, w, 14.5), solid("#e9b64f"), opacity=0.8)
    c.fill(rect(0, h - 14.5, w, h - 13.5), solid("#e9b64f"), opacity=0.8)
    c.fill(circle(48.5, 55.5, 31), solid("#000000"), opacity=0.45, softness=3.0)
    film_reel(c, 47, 53, 31, detail=2)
    gold = linear(0, 34, 0, 70, [(0, "#fff4cf", 1), (0.5, "#ffd46e", 1), (1, "#e69a2c", 1)])
    c.text("Vidarro", "DejaVu-Serif-Bold", 31, 149.5 + 1.2, 52.0 + 1.6, solid("#000000"), anchor="cc", opacity=0.5)
    tw, th = c.text("Vidarro", "DejaVu-Serif-Bold", 31, 149.5, 52.0, gold, anchor="cc")
    c.fill(rect(149.5 - tw / 2, 52.0 + th / 2 + 5, 149.5 + tw / 2, 52.0 + th / 2 + 6.2), linear(
        149.5 - tw / 2, 0, 149.5 + tw / 2, 0,
        [(0, "#ffd46e", 0.0), (0.2, "#ffd46e", 0.9), (0.8, "#ffd46e", 0.9), (1, "#ffd46e", 0.0)]))  # fmt: skip
    return c


def film_can(c, cx, base_y, rx, ry, height, tint, label):
    """A flat round film can seen a little from above; base_y is the bottom rim's centre line."""
    top_y = base_y - height
    metal = [(0, tint[2], 1), (0.25, tint[0], 1), (0.7, tint[1], 1), (1, tint[2], 1)]
    side = rect(cx - rx, top_y, cx + rx, base_y) | ellipse(cx, base_y, rx, ry)
    c.fill(side, linear(cx - rx, 0, cx + rx, 0, metal))
    # label stripe round the body
    band = (rect(cx - rx, top_y + height * 0.45, cx + rx, base_y - height * 0.2)
            | ellipse(cx, base_y - height * 0.2, rx, ry)) - ellipse(cx, top_y + height * 0.45, rx, ry)
    c.fill(band & side, linear(cx - rx, 0, cx + rx, 0, [(0, label, 1), (0.3, "#ffffff", 0.3), (1, label, 1)]), opacity=0.9)
    c.fill(side.grow(-0.3).outline(0.9), solid("#3a4350"), opacity=0.8)
    # the lid overlaps the body a little, which separates the cans in the stack
    lip_rx, lip_ry, lip_h = rx + 1.5, ry + 0.4, height * 0.3
    lip = rect(cx - lip_rx, top_y, cx + lip_rx, top_y + lip_h) | ellipse(cx, top_y + lip_h, lip_rx, lip_ry)
    c.fill(lip, linear(cx - lip_rx, 0, cx + lip_rx, 0, metal))
    c.fill(lip.grow(-0.3).outline(0.9), solid("#2e3641"), opacity=0.85)
    lid = ellipse(cx, top_y, lip_rx, lip_ry)
    c.fill(lid, radial(cx, top_y, rx * 1.1, [(0, tint[0], 1), (1, tint[1], 1)], fx=cx - rx * 0.3, fy=top_y - ry * 0.5))
    for k in (0.82, 0.5):
        c.fill(ellipse(cx, top_y, rx * k, ry * k).outline(0.9), solid("#5c6674"), opacity=0.45)
    c.fill(ellipse(cx, top_y, rx * 0.16, ry * 0.16), solid("#4a5360"), opacity=0.8)
    c.fill(lid.grow(-0.3).outline(0.8), solid("#3a4350"), opacity=0.8)


def clapperboard(c, x0, y0, w, h, angle):
    """Clapperboard with the clapper stick lifted; angle turns the whole board about its lower left corner."""
    pv = (x0, y0 + h)
    stripe_h = h * 0.2
    board = rect(x0, y0 + stripe_h, x0 + w, y0 + h, 2.0, angle, pv)
    c.fill(board.moved(2.0, 2.5), solid("#000000"), opacity=0.25, softness=2.5)
    c.fill(board, linear(x0, y0, x0, y0 + h, [(0, "#3a3f48", 1), (1, "#1b1e23", 1)]))
    # chalk lines on the slate
    for k in (0.45, 0.65, 0.85):
        yy = y0 + h * k
        c.fill(rect(x0 + w * 0.08, yy, x0 + w * 0.92, yy + 1.0, 0.4, angle, pv), solid("#e8e8e8"), opacity=0.7)
    c.fill(rect(x0 + w * 0.5, y0 + h * 0.45, x0 + w * 0.5 + 1.0, y0 + h * 0.85, 0.4, angle, pv), solid("#e8e8e8"),
           opacity=0.7)
    # striped bar fixed to the board, and the clapper stick lifted about the hinge at its lower left
    striped_bar(c, x0, y0 + stripe_h * 0.05, w, stripe_h * 0.95, angle, pv)
    hx, hy = turn(x0, y0 + stripe_h, angle, pv)
    striped_bar(c, hx, hy - stripe_h, w, stripe_h, angle - 22.0, (hx, hy))


def striped_bar(c, x0, y0, w, h, angle, pivot):
    bar = rect(x0, y0, x0 + w, y0 + h, 1.0, angle, pivot)
    c.fill(bar, solid("#f5f5f5"))
    slant, stripe_w = h * 0.6, w / 12.0
    stripes = []
    for k in range(-1, 7):
        sx = x0 + k * w / 6.0
        corners = [(sx, y0), (sx + stripe_w, y0), (sx + stripe_w - slant, y0 + h), (sx - slant, y0 + h)]
        stripes.append(polygon(turn_points(corners, angle, pivot)))
    c.fill(union(*stripes) & bar, solid("#22262c"))
    c.fill(bar.grow(-0.3).outline(0.8), solid("#15181d"), opacity=0.8)


def turn(x, y, angle, pivot):
    ca, sa = math.cos(math.radians(angle)), math.sin(math.radians(angle))
    px, py = pivot
    return (px + (x - px) * ca - (y - py) * sa, py + (x - px) * sa + (y - py) * ca)


def turn_points(points, angle, pivot):
    return [turn(x, y, angle, pivot) for x, y in points]


def disc(c, cx, cy, r):
    """A silver optical disc with a soft rainbow sheen."""
    sheen = Stops([(0.0, "#e7d3f5", 1), (0.17, "#cfe3fb", 1), (0.34, "#d4f3e3", 1), (0.5, "#f7f1cf", 1),
                   (0.67, "#f6d8d6", 1), (0.84, "#e5d8f6", 1), (1.0, "#e7d3f5", 1)])  # fmt: skip

    def paint(x, y):
        t = (math.atan2(y - cy, x - cx) / (2.0 * math.pi) * 2.0) % 1.0  # the colours repeat twice round
        rgb, _ = sheen.at(t)
        shade = 0.82 + 0.18 * clamp(1.0 - math.hypot(x - cx + r * 0.4, y - cy + r * 0.4) / (r * 2.0))
        return tuple(v * shade for v in rgb), 1.0

    hole = circle(cx, cy, r * 0.12)
    c.fill(circle(cx, cy, r) - circle(cx, cy, r * 0.33), paint)
    c.fill(circle(cx, cy, r * 0.33) - hole, solid("#dfe3e8"))
    c.fill(circle(cx, cy, r * 0.24).outline(0.8), solid("#a8b0ba"))
    c.fill(circle(cx, cy, r * 0.33).outline(0.6), solid("#b5bcc6"))
    c.fill(hole.outline(0.9), solid("#8d96a1"))
    c.fill(circle(cx, cy, r - 0.4).outline(0.9), solid("#8d96a1"))
    c.fill(arc(cx, cy, r * 0.72, 195, 255, r * 0.18), solid("#ffffff"), opacity=0.35)


def draw_collection():
    """Second about-box picture, 160x129: a disc, a stack of film cans and a clapperboard on the dialog's grey."""
    c = Canvas(160, 129, background=DIALOG_GREY)
    c.fill(ellipse(78, 119, 72, 8), solid("#000000"), opacity=0.2, softness=5.0)
    disc(c, 70, 42, 36)
    silver = ("#f2f5f8", "#b9c2cc", "#7c8794")
    blue = ("#d9e9fb", "#7fa9d9", "#41689a")
    film_can(c, 56, 115, 50, 13, 14, silver, "#c0392b")
    film_can(c, 56, 101, 50, 13, 14, blue, "#e6a532")
    film_can(c, 56, 87, 50, 13, 14, silver, "#2f7fd6")
    clapperboard(c, 94, 62, 58, 54, 4.0)
    return c


# ---------------------------------------------------------------- sound


def make_chime(path):
    """Two bell-like notes (G5, then E5), 13,933 stereo frames at 22,050 Hz: exactly 55,776 bytes."""
    rate, frames = 22050, 13933
    notes = [  # start (s), frequency (Hz), loudness, pan (-1 left .. 1 right)
        (0.0, 783.99, 1.0, -0.15),
        (0.19, 659.25, 1.0, 0.15),
    ]
    partials = [(1.0, 1.0, 1.0), (2.0, 0.28, 1.9), (3.0, 0.08, 2.8), (4.2, 0.03, 3.6)]  # ratio, level, faster decay
    peak = 0.42  # about -7.5 dBFS
    left, right = [0.0] * frames, [0.0] * frames
    for start, freq, loud, pan in notes:
        first = int(start * rate)
        for i in range(first, frames):
            t = (i - first) / rate
            attack = smoothstep(t / 0.006)
            v = 0.0
            for ratio, level, speed in partials:
                v += level * math.exp(-t * 5.2 * speed) * math.sin(2.0 * math.pi * freq * ratio * t)
            v *= attack * loud
            left[i] += v * (1.0 - pan) / 2.0
            right[i] += v * (1.0 + pan) / 2.0
    # fade the tail to silence so the sample ends without a click
    fade = int(0.06 * rate)
    for i in range(frames - fade, frames):
        g = 0.5 + 0.5 * math.cos(math.pi * (i - (frames - fade)) / fade)
        left[i] *= g
        right[i] *= g
    left[-1] = right[-1] = 0.0
    top = max(max(abs(v) for v in left), max(abs(v) for v in right))
    k = peak / top
    data = bytearray()
    for lv, rv in zip(left, right):
        data += struct.pack("<hh", int(round(lv * k * 32767)), int(round(rv * k * 32767)))
    with wave.open(path, "wb") as wf:
        wf.setnchannels(2)
        wf.setsampwidth(2)
        wf.setframerate(rate)
        wf.writeframes(bytes(data))
    assert os.path.getsize(path) == 55776, os.path.getsize(path)


# ---------------------------------------------------------------- main


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    res = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    for sub in ("icons", "bitmaps", "sound"):
        os.makedirs(os.path.join(res, sub), exist_ok=True)
    for size in (16, 32, 48, 64, 128, 256):
        write_png(os.path.join(res, "icons", "vidarro-%d.png" % size), draw_icon(size))
    write_bmp(os.path.join(res, "bitmaps", "bitmap140.bmp"), draw_info_bubble())
    write_bmp(os.path.join(res, "bitmaps", "bitmap141.bmp"), draw_loudspeaker())
    write_bmp(os.path.join(res, "bitmaps", "bitmap148.bmp"), draw_banner())
    write_bmp(os.path.join(res, "bitmaps", "bitmap149.bmp"), draw_collection())
    make_chime(os.path.join(res, "sound", "sound145.wav"))


if __name__ == "__main__":
    main()
