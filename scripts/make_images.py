#!/usr/bin/env python3
"""Draws the program's pictures and writes them as BMP, ICO and CUR files.

Run from anywhere; it writes into resources/ (title.ico, background.bmp),
into every language folder under resources/lang/ (icons/, cursors/,
bitmaps/) and into packaging/icons/ (the desktop icons: PNG at the usual
sizes and SVG, for the program and for its configuration files). Only the
standard library is used: shapes are sampled 4 x 4 per pixel for smooth edges
and the files are packed with struct and zlib.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.join(HERE, '..', 'resources')
ICONS = os.path.join(HERE, '..', 'packaging', 'icons')
SS = 4  # samples per pixel along each axis


class Canvas:
    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [list(fill) for _ in range(w * h)]

    def shape(self, inside, color, box=None):
        """Blends `color` (r, g, b[, a]) wherever inside(x, y) holds."""
        r, g, b = color[:3]
        a = color[3] if len(color) > 3 else 255
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside(x + (sx + 0.5) / SS, y + (sy + 0.5) / SS):
                            hits += 1
                if hits:
                    self.blend(x, y, r, g, b, a * hits / (SS * SS))

    def blend(self, x, y, r, g, b, a):
        p = self.px[y * self.w + x]
        sa = a / 255.0
        da = p[3] / 255.0
        oa = sa + da * (1 - sa)
        if oa <= 0:
            return
        for i, c in enumerate((r, g, b)):
            p[i] = (c * sa + p[i] * da * (1 - sa)) / oa
        p[3] = oa * 255

    # Shapes --------------------------------------------------------------
    def rect(self, x0, y0, x1, y1, color, radius=0):
        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            if radius <= 0:
                return True
            cx = min(max(x, x0 + radius), x1 - radius)
            cy = min(max(y, y0 + radius), y1 - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
        self.shape(inside, color, (x0 - 1, y0 - 1, x1 + 1, y1 + 1))

    def circle(self, cx, cy, r, color):
        self.shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color,
                   (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1))

    def ring(self, cx, cy, r, width, color, a0=0, a1=360):
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            if abs(d - r) > width / 2:
                return False
            ang = math.degrees(math.atan2(-(y - cy), x - cx)) % 360
            return a0 <= ang <= a1 if a0 <= a1 else (ang >= a0 or ang <= a1)
        self.shape(inside, color, (cx - r - width, cy - r - width, cx + r + width, cy + r + width))

    def line(self, xa, ya, xb, yb, width, color):
        dx, dy = xb - xa, yb - ya
        length2 = dx * dx + dy * dy or 1e-9

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / length2))
            return math.hypot(x - (xa + t * dx), y - (ya + t * dy)) <= width / 2
        self.shape(inside, color, (min(xa, xb) - width, min(ya, yb) - width,
                                   max(xa, xb) + width, max(ya, yb) + width))

    def polygon(self, pts, color):
        def inside(x, y):
            c = False
            j = len(pts) - 1
            for i in range(len(pts)):
                xi, yi = pts[i]
                xj, yj = pts[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    c = not c
                j = i
            return c
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        self.shape(inside, color, (min(xs) - 1, min(ys) - 1, max(xs) + 1, max(ys) + 1))

    def paste(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                r, g, b, a = other.px[y * other.w + x]
                if a > 0 and 0 <= ox + x < self.w and 0 <= oy + y < self.h:
                    self.blend(ox + x, oy + y, r, g, b, a)


# File writers ---------------------------------------------------------------
def bmp24(canvas, background=(255, 255, 255), matte=None):
    """24-bit BMP. Transparent pixels take `background`; with a matte colour,
    only fully transparent pixels take the background (a colour key) and
    soft edges are blended with the matte instead."""
    rows = []
    pad = (4 - canvas.w * 3 % 4) % 4
    for y in range(canvas.h - 1, -1, -1):
        row = bytearray()
        for x in range(canvas.w):
            r, g, b, a = canvas.px[y * canvas.w + x]
            k = a / 255.0
            under = background if (matte is None or a < 8) else matte
            if matte is not None and a < 8:
                k = 0.0
            row += bytes(int(round(c * k + bg * (1 - k))) for c, bg in
                         zip((b, g, r), under[::-1]))
        rows.append(bytes(row) + b'\0' * pad)
    data = b''.join(rows)
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.w, canvas.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data


def dib32(canvas):
    xor = bytearray()
    for y in range(canvas.h - 1, -1, -1):
        for x in range(canvas.w):
            r, g, b, a = canvas.px[y * canvas.w + x]
            xor += bytes((int(round(b)), int(round(g)), int(round(r)), int(round(a))))
    stride = ((canvas.w + 31) // 32) * 4
    mask = bytearray()
    for y in range(canvas.h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(canvas.w):
            if canvas.px[y * canvas.w + x][3] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    info = struct.pack('<IiiHHIIiiII', 40, canvas.w, canvas.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def ico(canvases, hotspot=None):
    """An .ico file, or a .cur file when a hot spot is given."""
    kind = 2 if hotspot else 1
    out = struct.pack('<HHH', 0, kind, len(canvases))
    images = [dib32(c) for c in canvases]
    offset = 6 + 16 * len(canvases)
    for c, img in zip(canvases, images):
        f1, f2 = hotspot if hotspot else (1, 32)
        out += struct.pack('<BBBBHHII', c.w % 256, c.h % 256, 0, 0, f1, f2, len(img), offset)
        offset += len(img)
    return out + b''.join(images)


def png(canvas):
    """A 32-bit RGBA PNG."""
    raw = bytearray()
    for y in range(canvas.h):
        raw.append(0)  # no filter
        for x in range(canvas.w):
            raw += bytes(int(round(max(0, min(255, v)))) for v in canvas.px[y * canvas.w + x])

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    header = struct.pack('>IIBBBBB', canvas.w, canvas.h, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) +
            chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


# Pictures ---------------------------------------------------------------------
NAVY = (38, 62, 102)
BODY = (52, 84, 132)
SCREEN = (170, 225, 205)
ORANGE = (240, 140, 40)
WHITE = (255, 255, 255)
DARK = (30, 30, 36)


# With its waves the radio reaches above the top of the 32-unit grid; it is
# then drawn at WAVES_SCALE, moved down and centred, so that the waves stay
# inside the picture.
WAVES_SCALE = 0.82
WAVES_SHIFT = (16 * (1 - WAVES_SCALE), 5.45)


def radio(size):
    """A hand-held radio with its antenna and, from 24 pixels on, two waves."""
    waves = size >= 24
    k, (dx, dy) = (WAVES_SCALE, WAVES_SHIFT) if waves else (1.0, (0.0, 0.0))
    s = size / 32.0
    X = lambda x: (k * x + dx) * s
    Y = lambda y: (k * y + dy) * s
    L = lambda v: k * v * s
    c = Canvas(size, size)
    c.rect(X(11), Y(2), X(13.5), Y(11), DARK, radius=L(1.2))          # antenna
    c.rect(X(18), Y(6), X(21), Y(10), DARK, radius=L(0.8))            # knob
    c.rect(X(8), Y(9), X(24), Y(31), NAVY, radius=L(3))               # body outline
    c.rect(X(9), Y(10), X(23), Y(30), BODY, radius=L(2.5))            # body
    c.rect(X(11), Y(12.5), X(21), Y(17.5), SCREEN, radius=L(1))       # display
    for i in range(4):                                                # speaker grille
        y = Y(20.5 + i * 2.4)
        c.line(X(12), y, X(20), y, L(1.1), (200, 212, 230))
    if waves:
        c.ring(X(12.3), Y(3.5), L(4.5), L(1.4), ORANGE, 10, 80)
        c.ring(X(12.3), Y(3.5), L(8), L(1.4), ORANGE, 15, 75)
    return c


def rgb(color):
    return '#%02x%02x%02x' % color[:3]


def arc_path(cx, cy, r, a0, a1):
    """An SVG arc from angle a0 to a1 (degrees, counter-clockwise, y up)."""
    x0, y0 = cx + r * math.cos(math.radians(a0)), cy - r * math.sin(math.radians(a0))
    x1, y1 = cx + r * math.cos(math.radians(a1)), cy - r * math.sin(math.radians(a1))
    return 'M%.2f %.2fA%.2f %.2f 0 0 0 %.2f %.2f' % (x0, y0, r, r, x1, y1)


def svg(body):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">\n'
            + body + '</svg>\n').encode()


def radio_svg():
    """The radio of radio() as a scalable picture, in the same 32-unit grid."""
    def rect(x0, y0, x1, y1, color, r):
        return ('  <rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="%s"/>\n'
                % (x0, y0, x1 - x0, y1 - y0, r, rgb(color)))
    body = '  <g transform="translate(%g %g) scale(%g)">\n' % (WAVES_SHIFT + (WAVES_SCALE,))
    body += rect(11, 2, 13.5, 11, DARK, 1.2) + rect(18, 6, 21, 10, DARK, 0.8)
    body += rect(8, 9, 24, 31, NAVY, 3) + rect(9, 10, 23, 30, BODY, 2.5) + rect(11, 12.5, 21, 17.5, SCREEN, 1)
    for i in range(4):
        y = 20.5 + i * 2.4
        body += ('  <line x1="12" y1="%g" x2="20" y2="%g" stroke="%s" stroke-width="1.1" '
                 'stroke-linecap="round"/>\n' % (y, y, rgb((200, 212, 230))))
    for r, a0, a1 in ((4.5, 10, 80), (8, 15, 75)):
        body += ('  <path d="%s" fill="none" stroke="%s" stroke-width="1.4"/>\n'
                 % (arc_path(12.3, 3.5, r, a0, a1), rgb(ORANGE)))
    return svg(body + '  </g>\n')


def document_svg():
    """The configuration-file picture of document_icon() as a scalable picture."""
    def poly(pts, color):
        return '  <polygon points="%s" fill="%s"/>\n' % (' '.join('%g,%g' % p for p in pts), rgb(color))
    body = poly([(6, 2), (18, 2), (26, 10), (26, 30), (6, 30)], (120, 130, 150))
    body += poly([(7, 3), (17, 3), (25, 11), (25, 29), (7, 29)], WHITE)
    body += poly([(18, 2), (18, 10), (26, 10)], (200, 208, 222))
    for i in range(5):
        y = 13 + i * 3.2
        body += ('  <line x1="10" y1="%g" x2="22" y2="%g" stroke="%s" stroke-width="1.2" '
                 'stroke-linecap="round"/>\n' % (y, y, rgb((120, 150, 200) if i else BODY)))
    body += ('  <path d="%s" fill="none" stroke="%s" stroke-width="1.2"/>\n'
             % (arc_path(10, 9, 3, 0, 90), rgb(ORANGE)))
    return svg(body)


DESKTOP_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
FILE_TYPE_ICON = 'application-x-chanset-configuration'


def document_icon(size):
    s = size / 32.0
    c = Canvas(size, size)
    fold = 8 * s
    page = [(6 * s, 2 * s), (26 * s - fold, 2 * s), (26 * s, 2 * s + fold), (26 * s, 30 * s), (6 * s, 30 * s)]
    c.polygon(page, (120, 130, 150))
    inner = [(7 * s, 3 * s), (25 * s - fold, 3 * s), (25 * s, 3 * s + fold), (25 * s, 29 * s), (7 * s, 29 * s)]
    c.polygon(inner, WHITE)
    c.polygon([(26 * s - fold, 2 * s), (26 * s - fold, 2 * s + fold), (26 * s, 2 * s + fold)], (200, 208, 222))
    for i in range(5):                                                    # channel rows
        y = (13 + i * 3.2) * s
        c.line(10 * s, y, 22 * s, y, 1.2 * s, (120, 150, 200) if i else BODY)
    c.ring(10 * s, 9 * s, 3 * s, 1.2 * s, ORANGE, 0, 90)
    return c


def close_icon():
    c = Canvas(16, 16)
    c.line(4.5, 4.5, 11.5, 11.5, 1.8, (60, 60, 70))
    c.line(11.5, 4.5, 4.5, 11.5, 1.8, (60, 60, 70))
    return c


def resize_cursor():
    """Two arrows pointing left and right with a split bar, hot spot 15,15."""
    c = Canvas(32, 32)
    for color, grow in (((255, 255, 255), 1.6), ((0, 0, 0), 0)):
        w = 1.2 + grow
        c.rect(13.5 - grow / 2, 7 - grow / 2, 14.5 + grow / 2, 24 + grow / 2, color)
        c.rect(16.5 - grow / 2, 7 - grow / 2, 17.5 + grow / 2, 24 + grow / 2, color)
        c.line(5, 15.5, 12, 15.5, w, color)
        c.line(19, 15.5, 26, 15.5, w, color)
        g = grow * 0.9
        c.polygon([(3 - g, 15.5), (8 + g / 2, 11 - g), (8 + g / 2, 20 + g)], color)
        c.polygon([(28 + g, 15.5), (23 - g / 2, 11 - g), (23 - g / 2, 20 + g)], color)
    return c


def background_tile(w=238, h=157, base=(234, 240, 247)):
    """A light tile with faint ripples; nothing crosses its edges, so tiles meet without seams."""
    c = Canvas(w, h, base + (255,))
    cx, cy = w / 2.0, h / 2.0
    for i, r in enumerate((14, 28, 42, 56, 70)):
        shade = 0.75 + 0.05 * i
        col = tuple(int(b - (b - 205) * (1 - shade) * 2.2) for b in base)
        c.ring(cx, cy, r, 1.4, col + (255,))
    c.circle(cx, cy, 3.2, (206, 218, 234))
    for x, y in ((0, 0), (w, 0), (0, h), (w, h)):                 # corner dots join into one across tiles
        c.circle(x, y, 3.2, (214, 224, 238))
    return c


def toolbar():
    W, H = 18, 19
    buttons = []

    def b():
        return Canvas(W, H)

    n = b()  # New: a blank page
    n.polygon([(4, 2), (11, 2), (14, 5), (14, 17), (4, 17)], (90, 90, 100))
    n.polygon([(5, 3), (10.5, 3), (13, 5.5), (13, 16), (5, 16)], WHITE)
    n.polygon([(10.5, 2.5), (10.5, 5.5), (13.5, 5.5)], (190, 190, 200))
    buttons.append(n)
    o = b()  # Open: a folder
    o.rect(2, 5, 8, 8, (200, 150, 40), radius=1)
    o.rect(2, 7, 15, 16, (215, 165, 50), radius=1)
    o.polygon([(4, 10), (17, 10), (15, 16), (2, 16)], (245, 200, 90))
    buttons.append(o)
    s = b()  # Save: a diskette
    s.rect(2, 2, 16, 17, (40, 60, 110), radius=1.5)
    s.rect(5, 3, 13, 8, (235, 238, 245))
    s.rect(10, 4, 12, 7, (40, 60, 110))
    s.rect(5, 11, 13, 16, (150, 165, 195))
    buttons.append(s)

    def radio_button(up):
        r = b()
        r.rect(4, 1.5, 5.5, 7, DARK)
        r.rect(3, 6, 10, 18, BODY, radius=1.5)
        r.rect(4.3, 7.5, 8.7, 10, SCREEN)
        for y in (12.5, 14.5, 16):
            r.line(4.5, y, 8.5, y, 0.8, (200, 212, 230))
        color = (30, 150, 60) if not up else (210, 70, 40)
        if up:   # Write: arrow from the computer into the radio
            r.line(15, 16, 15, 8, 1.8, color)
            r.polygon([(11.8, 9), (18.2, 9), (15, 4.5)], color)
        else:    # Read: arrow out of the radio
            r.line(15, 4, 15, 12, 1.8, color)
            r.polygon([(11.8, 11), (18.2, 11), (15, 15.5)], color)
        return r
    buttons.append(radio_button(False))
    buttons.append(radio_button(True))
    p = b()  # Print: a printer
    p.rect(5, 2, 13, 8, WHITE)
    p.rect(5, 2, 13, 8, (90, 90, 100), radius=0)
    p.rect(6, 3, 12, 8, WHITE)
    p.rect(2, 7, 16, 14, (110, 115, 130), radius=1.5)
    p.rect(5, 11, 13, 17, WHITE)
    p.line(6.5, 13.5, 11.5, 13.5, 0.8, (120, 120, 130))
    p.line(6.5, 15.3, 11.5, 15.3, 0.8, (120, 120, 130))
    p.circle(14, 9, 0.9, (120, 220, 120))
    buttons.append(p)
    a = b()  # About: an "i" in a blue disc
    a.circle(9, 9.5, 7.5, (40, 90, 170))
    a.circle(9, 5.6, 1.3, WHITE)
    a.rect(8, 8, 10, 14.5, WHITE)
    buttons.append(a)

    strip = Canvas(W * len(buttons), H)
    for i, c in enumerate(buttons):
        strip.paste(c, i * W, 0)
    return strip


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)


def main():
    title = ico([radio(48), radio(32), radio(16)])
    write(os.path.join(RES, 'title.ico'), title)
    tile = background_tile()
    write(os.path.join(RES, 'background.bmp'), bmp24(tile))
    pack_files = {
        'icons/128.ico': ico([radio(32), radio(16)]),
        'icons/129.ico': ico([document_icon(32), document_icon(16)]),
        'icons/131.ico': ico([close_icon()]),
        'cursors/132.cur': ico([resize_cursor()], hotspot=(15, 15)),
        # Bitmap 137 is a slightly warmer tile than background.bmp, so the
        # fallback is recognisable when the loose file is missing.
        'bitmaps/137.bmp': bmp24(background_tile(base=(240, 238, 232))),
        # Magenta marks the transparent parts of the toolbar buttons.
        'bitmaps/toolbar128.bmp': bmp24(toolbar(), background=(255, 0, 255), matte=(236, 236, 236)),
    }
    for size in DESKTOP_SIZES:
        folder = os.path.join(ICONS, 'hicolor', '%dx%d' % (size, size))
        write(os.path.join(folder, 'apps', 'chanset.png'), png(radio(size)))
        write(os.path.join(folder, 'mimetypes', FILE_TYPE_ICON + '.png'), png(document_icon(size)))
    scalable = os.path.join(ICONS, 'hicolor', 'scalable')
    write(os.path.join(scalable, 'apps', 'chanset.svg'), radio_svg())
    write(os.path.join(scalable, 'mimetypes', FILE_TYPE_ICON + '.svg'), document_svg())
    lang_root = os.path.join(RES, 'lang')
    for lang in sorted(os.listdir(lang_root)):
        folder = os.path.join(lang_root, lang)
        if os.path.isdir(folder):
            for name, data in pack_files.items():
                write(os.path.join(folder, name), data)


if __name__ == '__main__':
    main()
