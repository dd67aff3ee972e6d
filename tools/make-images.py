#!/usr/bin/env python3
"""Regenerate Tolvane's pictures in resources/.

    python3 tools/make-images.py [--check]

Everything is drawn here, from code, without third-party Python modules:

  * The thermometer icon is a short list of plain shapes (rectangles,
    rounded rectangles, circles), drawn back to front.  The same list is
    written out as resources/tolvane.svg and rasterised by the small
    supersampling renderer below into
      - resources/tolvane.png       32x32, 16-entry palette (index 0 transparent)
      - resources/tolvane.ico       32x32 (+ a hand-drawn 16x16, THERMOMETER_16),
                                    4 bits per pixel + AND mask
      - resources/tolvane-48.png    48x48 RGBA, for the hicolor theme
      - resources/tolvane-128.png   128x128 RGBA, for the hicolor theme
      - resources/help/tolvane.png  copy of the 32x32 icon used by the help
    rsvg-convert (Debian package librsvg2-bin) renders tolvane.svg to the
    same pictures; the renderer here only exists so that no SVG tool is
    needed to rebuild them.
  * The hand cursor is pixel art (HAND below): resources/hand.png and
    resources/hand.cur (1 bit per pixel + AND mask, hot spot 12,9).
  * The three placeholder GIFs of the web page (resources/web/) need text,
    so they are made with ImageMagick (/usr/bin/convert, Debian package
    imagemagick, with the DejaVu fonts).  Set CONVERT to use another one.

All output is deterministic: running the script twice gives identical
files, and --check only reports which files would change.
"""

import os
import struct
import subprocess
import sys
import zlib

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
RES = os.path.join(ROOT, "resources")
CONVERT = os.environ.get("CONVERT", "/usr/bin/convert")

# ---------------------------------------------------------------------------
# Colours
# ---------------------------------------------------------------------------

OUTLINE = "#27313b"
GLASS = "#e4edf6"
GLASS_SHADE = "#bccbdb"
WHITE = "#ffffff"
RED = "#c81e1e"
RED_LIGHT = "#ec4b4b"
RED_HIGHLIGHT = "#ffa0a0"


def rgb(hexcolour):
    h = hexcolour.lstrip("#")
    return (int(h[0:2], 16), int(h[2:4], 16), int(h[4:6], 16))


# Palette of the 16-colour icon.  Index 0 is the transparent one: in the ICO
# its pixels are black under a set AND-mask bit, in the PNG it has alpha 0.
# The other entries are the drawing colours plus a few in-between tones so
# that curved edges are smoothed a little.
ICON_PALETTE = [
    (0x00, 0x00, 0x00),  # 0 transparent
    rgb(OUTLINE),        # 1
    rgb(GLASS),          # 2
    rgb(GLASS_SHADE),    # 3
    rgb(WHITE),          # 4
    rgb(RED),            # 5
    rgb(RED_LIGHT),      # 6
    rgb(RED_HIGHLIGHT),  # 7
    (0x5c, 0x66, 0x71),  # 8  outline / glass, dark
    (0x96, 0xa1, 0xad),  # 9  outline / glass, light
    (0x8a, 0x22, 0x26),  # 10 outline / red
    (0xd9, 0x8c, 0x90),  # 11 glass / red
    (0xe2, 0x6e, 0x6e),  # 12 red / highlight
    (0x43, 0x4d, 0x57),  # 13 outline, softened
    (0xf3, 0xf7, 0xfb),  # 14 glass / white
    (0xd0, 0xdc, 0xe8),  # 15 glass / shade
]

# ---------------------------------------------------------------------------
# The thermometer, in a 32 x 32 coordinate space, drawn back to front.
# ("rect", x, y, w, h, colour) | ("rrect", x, y, w, h, r, colour)
# | ("circle", cx, cy, r, colour)
# ---------------------------------------------------------------------------

THERMOMETER = [
    # scale marks to the right of the tube
    ("rect", 19, 5, 5, 1, OUTLINE),
    ("rect", 19, 8, 3, 1, OUTLINE),
    ("rect", 19, 11, 5, 1, OUTLINE),
    ("rect", 19, 14, 3, 1, OUTLINE),
    ("rect", 19, 17, 5, 1, OUTLINE),
    # glass outline: tube and bulb
    ("rrect", 10, 1, 8, 25, 4, OUTLINE),
    ("circle", 14, 25, 6, OUTLINE),
    # glass inside
    ("rrect", 11, 2, 6, 24, 3, GLASS),
    ("circle", 14, 25, 5, GLASS),
    ("rect", 11, 5, 1, 15, WHITE),
    ("rect", 16, 5, 1, 15, GLASS_SHADE),
    # the red column and its reservoir
    ("rect", 13, 8, 2, 18, RED),
    ("rect", 13, 8, 1, 16, RED_LIGHT),
    ("circle", 14, 25, 3.5, RED),
    ("circle", 12.9, 23.9, 1.1, RED_HIGHLIGHT),
]


# The 16x16 icon image is drawn by hand: the shapes lose too much when
# scaled down that far.  Letters are ICON_PALETTE indices, see PIXEL_KEYS.
PIXEL_KEYS = {".": 0, "K": 1, "g": 2, "s": 3, "w": 4, "R": 5, "r": 6,
              "p": 7, "d": 8, "l": 9, "m": 10, "q": 11, "c": 13}
THERMOMETER_16 = [
    "................",  # 0
    "......dKd.......",  # 1
    ".....KwgsK......",  # 2
    ".....KwgsK.KKK..",  # 3
    ".....KwgsK......",  # 4
    ".....KwrsK.KK...",  # 5
    ".....KwRsK......",  # 6
    ".....KwRsK.KKK..",  # 7
    ".....KwRsK......",  # 8
    "....dKwRsKd.....",  # 9
    "...dKgrRRgKd....",  # 10
    "...KgrpRRRgK....",  # 11
    "...KgRRRRRgK....",  # 12
    "...dKgRRRgKd....",  # 13
    "....dKKKKKd.....",  # 14
    "................",  # 15
]


def inside(shape, x, y):
    kind = shape[0]
    if kind == "rect":
        _, sx, sy, w, h, _c = shape
        return sx <= x < sx + w and sy <= y < sy + h
    if kind == "circle":
        _, cx, cy, r, _c = shape
        return (x - cx) ** 2 + (y - cy) ** 2 < r * r
    if kind == "rrect":
        _, sx, sy, w, h, r, _c = shape
        if not (sx <= x < sx + w and sy <= y < sy + h):
            return False
        nx = min(max(x, sx + r), sx + w - r)
        ny = min(max(y, sy + r), sy + h - r)
        return (x - nx) ** 2 + (y - ny) ** 2 < r * r
    raise ValueError(kind)


def bbox(shape):
    kind = shape[0]
    if kind == "circle":
        _, cx, cy, r, _c = shape
        return cx - r, cy - r, cx + r, cy + r
    _, sx, sy, w, h = shape[:5]
    return sx, sy, sx + w, sy + h


def render(shapes, size, samples=8, design=32):
    """Rasterise shapes to size x size; returns rows of (r, g, b, a) floats
    0..1, colour not premultiplied.  Each pixel averages samples^2 points."""
    scale = design / size
    colours = [rgb(s[-1]) for s in shapes]
    boxes = [bbox(s) for s in shapes]
    order = list(range(len(shapes)))[::-1]  # topmost first
    out = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for sy in range(samples):
                y = (py + (sy + 0.5) / samples) * scale
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) * scale
                    for i in order:
                        b = boxes[i]
                        if b[0] <= x < b[2] and b[1] <= y < b[3] and inside(shapes[i], x, y):
                            c = colours[i]
                            acc[0] += c[0]
                            acc[1] += c[1]
                            acc[2] += c[2]
                            hits += 1
                            break
            n = samples * samples
            if hits:
                row.append((acc[0] / hits / 255, acc[1] / hits / 255, acc[2] / hits / 255, hits / n))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        out.append(row)
    return out


def quantise(image, palette):
    """Map an RGBA float image to palette indices; index 0 = transparent."""
    rows = []
    for row in image:
        irow = []
        for r, g, b, a in row:
            if a < 0.5:
                irow.append(0)
                continue
            best, bestd = 1, None
            for i in range(1, len(palette)):
                pr, pg, pb = palette[i]
                d = (r * 255 - pr) ** 2 + (g * 255 - pg) ** 2 + (b * 255 - pb) ** 2
                if bestd is None or d < bestd:
                    best, bestd = i, d
            irow.append(best)
        rows.append(irow)
    return rows


def svg_text(shapes, design=32):
    lines = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        '<svg xmlns="http://www.w3.org/2000/svg" version="1.1" '
        f'width="{design}" height="{design}" viewBox="0 0 {design} {design}">',
        "  <title>Tolvane thermometer</title>",
    ]

    def n(v):
        return ("%g" % v)

    for s in shapes:
        kind = s[0]
        if kind == "rect":
            _, x, y, w, h, c = s
            lines.append(f'  <rect x="{n(x)}" y="{n(y)}" width="{n(w)}" height="{n(h)}" fill="{c}"/>')
        elif kind == "rrect":
            _, x, y, w, h, r, c = s
            lines.append(f'  <rect x="{n(x)}" y="{n(y)}" width="{n(w)}" height="{n(h)}" '
                         f'rx="{n(r)}" ry="{n(r)}" fill="{c}"/>')
        elif kind == "circle":
            _, cx, cy, r, c = s
            lines.append(f'  <circle cx="{n(cx)}" cy="{n(cy)}" r="{n(r)}" fill="{c}"/>')
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


# ---------------------------------------------------------------------------
# The hand cursor: '.' transparent, 'X' black, 'o' white.  Hot spot (12, 9),
# the top of the index finger.
# ---------------------------------------------------------------------------

HAND_HOTSPOT = (12, 9)
HAND = [
    "................................",  # 0
    "................................",  # 1
    "................................",  # 2
    "................................",  # 3
    "................................",  # 4
    "................................",  # 5
    "................................",  # 6
    "................................",  # 7
    "................................",  # 8
    "...........XXX..................",  # 9  finger tip, x 11..13
    "..........XoooX.................",  # 10
    "..........XoooX.................",  # 11
    "..........XoooX.................",  # 12
    "..........XoooX.................",  # 13
    "..........XoooXXXX..............",  # 14
    "..........XoooXoooXXXX..........",  # 15
    "..........XoooXoooXoooXXXX......",  # 16
    "..........XoooXoooXoooXoooX.....",  # 17
    ".....XXX..XoooXoooXoooXoooX.....",  # 18
    "....XoooX.XoooooooooooooooX.....",  # 19
    "....XooooXXoooooooooooooooX.....",  # 20
    ".....XooooXoooooooooooooooX.....",  # 21
    "......XoooooooooooooooooooX.....",  # 22
    ".......XooooooooooooooooooX.....",  # 23
    "........XoooooooooooooooooX.....",  # 24
    ".........XooooooooooooooooX.....",  # 25
    "..........XoooooooooooooooX.....",  # 26
    "...........XoooooooooooooX......",  # 27
    "............XoooooooooooX.......",  # 28
    "............XoooooooooooX.......",  # 29
    "............XXXXXXXXXXXXX.......",  # 30
    "................................",  # 31
]

# ---------------------------------------------------------------------------
# File writers
# ---------------------------------------------------------------------------


def png_chunk(tag, data):
    return (struct.pack(">I", len(data)) + tag + data
            + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))


def png_indexed(indices, palette, alphas, depth):
    h = len(indices)
    w = len(indices[0])
    per_byte = 8 // depth
    raw = bytearray()
    for row in indices:
        raw.append(0)
        for i in range(0, w, per_byte):
            byte = 0
            for j in range(per_byte):
                v = row[i + j] if i + j < w else 0
                byte |= v << (8 - depth * (j + 1))
            raw.append(byte)
    return (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, depth, 3, 0, 0, 0))
            + png_chunk(b"PLTE", b"".join(bytes(c) for c in palette))
            + png_chunk(b"tRNS", bytes(alphas))
            + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + png_chunk(b"IEND", b""))


def png_rgba(image):
    h = len(image)
    w = len(image[0])
    raw = bytearray()
    for row in image:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((round(r * 255), round(g * 255), round(b * 255), round(a * 255)))
    return (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + png_chunk(b"IEND", b""))


def dib(indices, palette, bits, transparent):
    """BITMAPINFOHEADER + palette + XOR bitmap + AND mask, as stored in ICO
    and CUR files (height doubled, rows bottom-up, rows padded to 4 bytes)."""
    h = len(indices)
    w = len(indices[0])
    per_byte = 8 // bits
    xor_stride = ((w * bits + 31) // 32) * 4
    and_stride = ((w + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(indices):
        line = bytearray(xor_stride)
        mline = bytearray(and_stride)
        for x, v in enumerate(row):
            if v == transparent:
                mline[x // 8] |= 0x80 >> (x % 8)
                v = 0
            line[x // per_byte] |= v << (8 - bits * (x % per_byte + 1))
        xor += line
        mask += mline
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    pal = b"".join(struct.pack("<BBBB", c[2], c[1], c[0], 0) for c in palette)
    assert len(palette) == 1 << bits
    return header + pal + bytes(xor) + bytes(mask)


def icon_file(images, kind=1, hotspot=None):
    """images: list of (width, height, colour_count, bits, dib_bytes).
    kind 1 = icon, 2 = cursor (hot spot stored in the planes/bits fields)."""
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    blobs = b""
    for w, h, ncolours, bits, blob in images:
        if kind == 1:
            f1, f2 = 1, bits
        else:
            f1, f2 = hotspot
        out += struct.pack("<BBBBHHII", w % 256, h % 256, ncolours % 256, 0,
                           f1, f2, len(blob), offset)
        offset += len(blob)
        blobs += blob
    return out + blobs


# ---------------------------------------------------------------------------
# Web page placeholders (ImageMagick)
# ---------------------------------------------------------------------------

GIFS = {
    "banner_top.gif": [
        "-size", "468x30", "xc:#f2f5f8",
        "-fill", "none", "-stroke", "#8a96a3", "-draw", "rectangle 0,0 467,29",
        "-stroke", "none", "-fill", RED, "-draw", "rectangle 1,1 4,28",
        "-font", "DejaVu-Sans-Bold", "-pointsize", "15", "-fill", OUTLINE,
        "-annotate", "+12+20", "Tolvane",
        "-font", "DejaVu-Sans", "-pointsize", "12", "-fill", "#5c6671",
        "-gravity", "East", "-annotate", "+10+0", "Your banner here (468 x 30)",
    ],
    "searchfor.gif": [
        "-size", "69x30", "xc:#ffffff",
        "-font", "DejaVu-Sans", "-pointsize", "11", "-fill", OUTLINE,
        "-gravity", "West", "-annotate", "+2+0", "Search for",
    ],
    "go.gif": [
        "-size", "42x30", "xc:#ffffff",
        "-fill", "#3d6fa6", "-stroke", "#27313b",
        "-draw", "roundrectangle 2,3 39,26 5,5",
        "-stroke", "none", "-font", "DejaVu-Sans-Bold", "-pointsize", "12",
        "-fill", "#ffffff", "-gravity", "Center", "-annotate", "+0+0", "Go!",
    ],
}


def make_gif(args, path):
    tmp = path + ".tmp.gif"
    subprocess.run([CONVERT] + args + ["+dither", "-colors", "16", "-strip", tmp], check=True)
    with open(tmp, "rb") as f:
        data = f.read()
    os.remove(tmp)
    return data


# ---------------------------------------------------------------------------


def main():
    check = "--check" in sys.argv[1:]
    files = {}

    icon32 = render(THERMOMETER, 32)
    idx32 = quantise(icon32, ICON_PALETTE)
    assert len(THERMOMETER_16) == 16 and all(len(r) == 16 for r in THERMOMETER_16)
    idx16 = [[PIXEL_KEYS[ch] for ch in row] for row in THERMOMETER_16]
    alphas = [0] + [255] * 15
    files["tolvane.png"] = png_indexed(idx32, ICON_PALETTE, alphas, 4)
    files["help/tolvane.png"] = files["tolvane.png"]
    files["tolvane.ico"] = icon_file([
        (32, 32, 16, 4, dib(idx32, ICON_PALETTE, 4, 0)),
        (16, 16, 16, 4, dib(idx16, ICON_PALETTE, 4, 0)),
    ])
    files["tolvane.svg"] = svg_text(THERMOMETER).encode("ascii")
    files["tolvane-48.png"] = png_rgba(render(THERMOMETER, 48, samples=6))
    files["tolvane-128.png"] = png_rgba(render(THERMOMETER, 128, samples=4))

    assert len(HAND) == 32 and all(len(r) == 32 for r in HAND)
    hx, hy = HAND_HOTSPOT
    assert HAND[hy][hx] == "X" and all(r.strip(".") == "" for r in HAND[:hy])
    hand_idx = [[".Xo".index(ch) for ch in row] for row in HAND]
    # PNG: 0 transparent, 1 black, 2 white (2 bits per pixel)
    files["hand.png"] = png_indexed(hand_idx, [(0, 0, 0), (0, 0, 0), (255, 255, 255)],
                                    [0, 255, 255], 2)
    # CUR: 1 bit per pixel, 0 black, 1 white; transparent pixels in the mask
    cur_idx = [[{0: 2, 1: 0, 2: 1}[v] for v in row] for row in hand_idx]
    files["hand.cur"] = icon_file(
        [(32, 32, 2, 1, dib(cur_idx, [(0, 0, 0), (255, 255, 255)], 1, 2))],
        kind=2, hotspot=HAND_HOTSPOT)

    if os.path.exists(CONVERT):
        for name, args in GIFS.items():
            files["web/" + name] = make_gif(args, os.path.join("/tmp", "tolvane-" + name))
    else:
        print(f"warning: {CONVERT} not found, web pictures left as they are", file=sys.stderr)

    changed = []
    for name, data in files.items():
        path = os.path.join(RES, name)
        old = None
        if os.path.exists(path):
            with open(path, "rb") as f:
                old = f.read()
        if old == data:
            continue
        changed.append(name)
        if not check:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
    for name in changed:
        print(("would change " if check else "wrote ") + "resources/" + name)
    if not changed:
        print("all pictures up to date")
    return 1 if (check and changed) else 0


if __name__ == "__main__":
    sys.exit(main())
