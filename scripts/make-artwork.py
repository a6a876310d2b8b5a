#!/usr/bin/python3
"""Draws the editor's seven pictures into resources/img/.

    scripts/make-artwork.py [output-directory]

Every picture is drawn at SS times its size with antialiased shapes and
text, reduced by averaging SS x SS blocks, and written in the pixel format
the editor expects:

    BG.png        298 x 400    8-bit palette, opaque
    KnobL1.png    148 x 18944  8-bit palette with tRNS, 128 frames of 148 x 148
    KnobL2.png    148 x 18944  same strip for the Out knob
    Needle.png    16 x 45      RGBA
    LED.png       32 x 64      RGBA, frame 1 off, frame 2 on
    Bypass.png    245 x 140    RGBA, frame 1 Power off, frame 2 Power on
    Overlay.png   298 x 400    4-bit palette with tRNS

The output is deterministic: the same packages give the same bytes.
Needs python3-pil, python3-numpy, fonts-roboto-unhinted (Debian).
"""

import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

SS = 4  # supersampling factor

ROBOTO = "/usr/share/fonts/truetype/roboto/unhinted/"
FONT_FILES = {
    "cond": ROBOTO + "RobotoCondensed-Regular.ttf",
    "cond-bold": ROBOTO + "RobotoCondensed-Bold.ttf",
    "cond-medium": ROBOTO + "RobotoCondensed-Medium.ttf",
    "cond-italic": ROBOTO + "RobotoCondensed-Italic.ttf",
    "bold": ROBOTO + "RobotoTTF/Roboto-Bold.ttf",
    "black": ROBOTO + "RobotoTTF/Roboto-Black.ttf",
    "medium": ROBOTO + "RobotoTTF/Roboto-Medium.ttf",
    "regular": ROBOTO + "RobotoTTF/Roboto-Regular.ttf",
    "light": ROBOTO + "RobotoTTF/Roboto-Light.ttf",
}

_font_cache = {}


def font(name, px):
    """The named face at px pixels, for drawing on the supersampled grid."""
    key = (name, px)
    if key not in _font_cache:
        _font_cache[key] = ImageFont.truetype(FONT_FILES[name], round(px * SS))
    return _font_cache[key]


# ---------------------------------------------------------------------------
# Layout shared with the editor (pixel positions on the 298 x 400 panel).

PANEL_W, PANEL_H = 298, 400
KNOB_FRAME = 148
KNOB_FRAMES = 128
KNOB_POS = [(0, 163), (143, 163)]           # In, Out
KNOB_CENTRE = (74.0, 74.0)                  # inside a knob frame
KNOB_SWEEP = 150.0                          # degrees each side of the top
LED_POS = [(37, 322), (101, 322), (164, 322), (228, 322)]
LED_LABELS = ["DEEP", "RELAXED", "DUAL MONO", "NEGATIVE"]
LED_SIZE = 32
BYPASS_POS = (27, 49)
BYPASS_W, BYPASS_H = 245, 70
NEEDLE_W, NEEDLE_H = 16, 45
NEEDLE_TOP = 61
NEEDLE_LEFT = 45
NEEDLE_TRAVEL = 214 - NEEDLE_W              # left edge moves 0 .. 198 px
METER_DB = 22.0                             # needle value 1 = 22 dB
LOGO_AREA = (80, 10, 212, 62)               # click area that opens the overlay

# Meter bezel, in panel coordinates: the glass centred on the meter scale.
SCALE_X0 = NEEDLE_LEFT + NEEDLE_W / 2.0     # 0 dB, needle centre at v = 0
SCALE_X1 = SCALE_X0 + NEEDLE_TRAVEL         # 22 dB
BEZEL = (32, 49, 272, 119)                  # outer edge, centred on the scale
GLASS = (42, 58, 262, 107)                  # window through the bezel
LAMP = (152.0, 113.5)                       # Power lamp, in the bezel below the glass


def meter_x(db):
    """Panel x of the needle's centre line at db of gain reduction."""
    return SCALE_X0 + NEEDLE_TRAVEL * min(db, METER_DB) / METER_DB


def knob_angle(frame):
    """Pointer angle in degrees clockwise from the top for a frame 1..128.

    The editor shows frame int(127 v + 0.5) + 1 for the value v, so frame 1
    is -20 dB, frame 65 is 0 dB and frame 128 is +20 dB.  The sweep is split
    at frame 65 so that the default shows the pointer exactly at 0 dB."""
    if frame <= 65:
        return -KNOB_SWEEP + KNOB_SWEEP * (frame - 1) / 64.0
    return KNOB_SWEEP * (frame - 65) / 63.0


def db_angle(db):
    return KNOB_SWEEP * db / 20.0


# ---------------------------------------------------------------------------
# A premultiplied RGBA canvas on the supersampled grid.

class Canvas:
    def __init__(self, w, h, colour=None):
        self.w, self.h = w, h
        self.W, self.H = w * SS, h * SS
        self.px = np.zeros((self.H, self.W, 4), np.float32)
        if colour is not None:
            self.px[...] = rgba(colour)

    # Coordinates of every supersampled pixel centre, in output pixels.
    def grid(self, ox=0.0, oy=0.0):
        ys = (np.arange(self.H, dtype=np.float32) + 0.5) / SS - oy
        xs = (np.arange(self.W, dtype=np.float32) + 0.5) / SS - ox
        return np.meshgrid(xs, ys)

    def polar(self, cx, cy):
        x, y = self.grid(cx, cy)
        r = np.hypot(x, y)
        theta = np.arctan2(x, -y)  # clockwise from the top
        return r, theta

    def mask(self):
        return Image.new("L", (self.W, self.H), 0)

    def paint(self, cover, colour, alpha=1.0):
        """Composites colour (an (r,g,b) triple or an H x W x 3 array, 0..1 or
        0..255) over the canvas where cover (H x W, 0..1) is set."""
        if isinstance(cover, Image.Image):
            cover = np.asarray(cover, np.float32) / 255.0
        a = np.clip(cover * alpha, 0.0, 1.0)[..., None]
        col = np.asarray(colour, np.float32)
        if col.max() > 1.0:
            col = col / 255.0
        if col.ndim == 1:
            col = col[:3]
        self.px[..., :3] = col * a + self.px[..., :3] * (1.0 - a)
        self.px[..., 3:] = a + self.px[..., 3:] * (1.0 - a)

    def add_light(self, cover, amount):
        """Lightens (amount > 0) or darkens (< 0) what is there, keeping alpha."""
        if isinstance(cover, Image.Image):
            cover = np.asarray(cover, np.float32) / 255.0
        k = (cover * amount)[..., None]
        rgb = self.px[..., :3]
        alpha = self.px[..., 3:]
        lighter = rgb + (alpha - rgb) * np.clip(k, 0, None)
        self.px[..., :3] = lighter * (1.0 + np.clip(k, None, 0))

    def down(self):
        """Averages SS x SS blocks: straight-alpha RGBA bytes of the picture."""
        p = self.px.reshape(self.h, SS, self.w, SS, 4).mean(axis=(1, 3))
        a = p[..., 3:]
        rgb = np.where(a > 1e-6, p[..., :3] / np.maximum(a, 1e-6), 0.0)
        out = np.concatenate([rgb, a], axis=-1)
        return np.clip(np.floor(out * 255.0 + 0.5), 0, 255).astype(np.uint8)


def rgba(c):
    c = list(c) + [255] * (4 - len(c))
    return np.array(c, np.float32) / 255.0 * np.array([c[3] / 255.0] * 3 + [1.0], np.float32)


def smooth_disc(r, radius, soft=0.5):
    """Coverage of a disc edge with an antialiased rim soft pixels wide."""
    return np.clip((radius - r) / soft + 0.5, 0.0, 1.0).astype(np.float32)


def rounded_box(x, y, box, radius):
    """Signed distance (pixels, negative inside) to a rounded rectangle."""
    x0, y0, x1, y1 = box
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius
    qx = np.abs(x - cx) - hx
    qy = np.abs(y - cy) - hy
    outside = np.hypot(np.maximum(qx, 0), np.maximum(qy, 0))
    inside = np.minimum(np.maximum(qx, qy), 0)
    return outside + inside - radius


LIGHT = (-0.42, -0.91)   # towards the light: above, a little to the left


def facing(dist):
    """How much a slope whose outward normal follows the gradient of the
    signed distance faces the light, -1 .. 1."""
    gy, gx = np.gradient(dist)
    n = np.maximum(np.hypot(gx, gy), 1e-6)
    return (gx * LIGHT[0] + gy * LIGHT[1]) / n


def cover_of(dist):
    """Antialiased coverage from a signed distance in output pixels."""
    return np.clip(0.5 - dist * SS, 0.0, 1.0).astype(np.float32)


def blur(cover, radius):
    """Gaussian blur of a coverage array, radius in output pixels."""
    img = Image.fromarray(np.clip(cover * 255.0 + 0.5, 0, 255).astype(np.uint8), "L")
    img = img.filter(ImageFilter.GaussianBlur(radius * SS))
    return np.asarray(img, np.float32) / 255.0


def text_mask(canvas, x, y, text, face, px, anchor="ms", tracking=0.0):
    """Coverage of text placed at (x, y) output pixels; tracking adds that many
    pixels between letters.  Anchors as in PIL ('ms' = middle, baseline)."""
    f = font(face, px)
    m = canvas.mask()
    d = ImageDraw.Draw(m)
    if tracking == 0.0:
        d.text((x * SS, y * SS), text, font=f, fill=255, anchor=anchor)
    else:
        widths = [f.getlength(ch) for ch in text]
        total = sum(widths) + tracking * SS * (len(text) - 1)
        if anchor[0] == "m":
            start = x * SS - total / 2.0
        elif anchor[0] == "r":
            start = x * SS - total
        else:
            start = x * SS
        pos = start
        for ch, w in zip(text, widths):
            d.text((pos, y * SS), ch, font=f, fill=255, anchor="l" + anchor[1])
            pos += w + tracking * SS
    return np.asarray(m, np.float32) / 255.0


def text_width(text, face, px, tracking=0.0):
    f = font(face, px)
    return (sum(f.getlength(ch) for ch in text) / SS) + tracking * (len(text) - 1)


def printed(canvas, cover, colour, shadow=0.55, light=0.0):
    """Paint printed on the plate: a dark edge below and a faint light edge
    above so that the letters sit on the metal."""
    if shadow > 0:
        canvas.paint(np.roll(cover, SS, axis=0), (0, 0, 0), shadow)
    if light > 0:
        canvas.paint(np.roll(cover, -SS // 2, axis=0), (255, 255, 255), light)
    canvas.paint(cover, colour)


# ---------------------------------------------------------------------------
# Palette conversion.

def palette_image(rgba_list, ncolours, dither):
    """Quantises opaque pictures together (they share one palette)."""
    strip = np.concatenate(rgba_list, axis=0)
    img = Image.fromarray(strip[..., :3], "RGB")
    pal = img.quantize(ncolours, method=Image.Quantize.LIBIMAGEQUANT)
    q = img.quantize(palette=pal, dither=Image.Dither.FLOYDSTEINBERG if dither else Image.Dither.NONE)
    return q


def quantise_rgba(frames, ncolours, seed_frames):
    """Maps RGBA frames onto one palette of at most ncolours entries with
    alpha, without dithering (so that static parts of a filmstrip stay the
    same from frame to frame).  Returns (indices, palette rows RGBA).

    The palette comes from k-means on the distinct colours of seed_frames in
    premultiplied RGBA, seeded by libimagequant's palette, with fully
    transparent pixels held as entry 0."""
    sample = np.concatenate([f.reshape(-1, 4) for f in seed_frames], axis=0)
    opaque_img = Image.fromarray(np.concatenate(seed_frames, axis=0), "RGBA")
    seed = opaque_img.quantize(ncolours - 1, method=Image.Quantize.LIBIMAGEQUANT)
    seed_pal = np.array(seed.getpalette("RGBA")[: 4 * (ncolours - 1)], np.float32).reshape(-1, 4)

    def premul(c):
        c = c.astype(np.float32)
        a = c[:, 3:4] / 255.0
        return np.concatenate([c[:, :3] * a, c[:, 3:4]], axis=1)

    visible = sample[sample[:, 3] > 0]
    colours, counts = np.unique(visible, axis=0, return_counts=True)
    pts = premul(colours)
    w = counts.astype(np.float32)
    centres = premul(seed_pal)
    for _ in range(12):
        idx = nearest(pts, centres)
        sums = np.zeros_like(centres)
        np.add.at(sums, idx, pts * w[:, None])
        tot = np.zeros(len(centres), np.float32)
        np.add.at(tot, idx, w)
        used = tot > 0
        centres[used] = sums[used] / tot[used, None]
    # Back to straight alpha, rounded; entry 0 is transparent.
    a = np.clip(centres[:, 3:4], 0, 255)
    rgb = np.where(a > 0.5, centres[:, :3] / np.maximum(a, 1e-3) * 255.0, 0)
    pal = np.concatenate([rgb, a], axis=1)
    pal = np.clip(np.floor(pal + 0.5), 0, 255).astype(np.uint8)
    pal = np.unique(pal, axis=0)
    pal = pal[pal[:, 3] > 0]
    # Translucent entries first so that the tRNS chunk stays short.
    order = np.lexsort((pal[:, 2], pal[:, 1], pal[:, 0], pal[:, 3]))
    pal = np.concatenate([np.zeros((1, 4), np.uint8), pal[order]], axis=0)
    pal_pm = premul(pal)
    out = []
    lut = {}
    for f in frames:
        flat = f.reshape(-1, 4)
        keys = flat.view(np.uint32).ravel()
        uniq, inv = np.unique(keys, return_inverse=True)
        missing = [k for k in uniq if k not in lut]
        if missing:
            miss = np.array(missing, np.uint32).view(np.uint8).reshape(-1, 4)
            idx = nearest(premul(miss), pal_pm)
            idx[miss[:, 3] == 0] = 0
            for k, i in zip(missing, idx):
                lut[k] = i
        mapped = np.array([lut[k] for k in uniq], np.uint8)[inv]
        out.append(mapped.reshape(f.shape[:2]))
    return out, pal


def nearest(pts, centres):
    """Index of the nearest centre for every point (squared distance, alpha
    weighted twice as heavily as colour)."""
    wts = np.array([1.0, 1.0, 1.0, 2.0], np.float32)
    res = np.empty(len(pts), np.int64)
    cc = centres * wts
    for s in range(0, len(pts), 4096):
        p = pts[s:s + 4096] * wts
        d = ((p[:, None, :] - cc[None, :, :]) ** 2).sum(axis=2)
        res[s:s + 4096] = d.argmin(axis=1)
    return res


def save_palette_png(path, indices, pal, bits=8):
    img = Image.fromarray(indices, "P")
    flat = pal[:, :3].ravel().tolist()
    img.putpalette(flat)
    alphas = pal[:, 3]
    extra = {}
    if (alphas < 255).any():
        last = int(np.nonzero(alphas < 255)[0].max())
        extra["transparency"] = bytes(alphas[: last + 1].tolist())
    if bits != 8:
        extra["bits"] = bits
    img.save(path, optimize=True, **extra)


def save_rgba_png(path, pixels):
    Image.fromarray(pixels, "RGBA").save(path, optimize=True)


# ---------------------------------------------------------------------------
# Colours.

PLATE_TOP = (45, 47, 51)
PLATE_BOTTOM = (30, 31, 34)
INK = (222, 218, 208)          # printed legends
INK_DIM = (150, 148, 142)
AMBER = (255, 172, 64)
FACE = (238, 226, 196)          # meter face, backlit cream
FACE_INK = (44, 34, 26)
FACE_RED = (184, 52, 34)
NEEDLE_RED = (196, 38, 22)


# ---------------------------------------------------------------------------
# Background.

def draw_screw(c, cx, cy, slot_angle):
    r, th = c.polar(cx, cy)
    shadow = blur(smooth_disc(r - 1.0, 5.2, 1.0 / SS), 1.2)
    c.paint(shadow, (0, 0, 0), 0.6)
    head = smooth_disc(r, 5.0, 1.0 / SS)
    x, y = c.grid(cx, cy)
    shade = np.clip(0.55 - 0.35 * (x + y) / 7.0, 0, 1)
    base = np.stack([shade * 170 + 40] * 3, axis=-1)
    c.paint(head, base)
    ring = smooth_disc(r, 5.0, 1.0 / SS) - smooth_disc(r, 4.2, 1.0 / SS)
    c.add_light(ring, -0.35)
    # Cross-head slot.
    a = math.radians(slot_angle)
    for k in range(2):
        ang = a + k * math.pi / 2
        u = x * math.cos(ang) + y * math.sin(ang)
        v = -x * math.sin(ang) + y * math.cos(ang)
        slot = cover_of(np.maximum(np.abs(u) - 3.4, np.abs(v) - 0.7))
        c.paint(slot, (18, 18, 20))


def brushed_texture(w, h, rng):
    """Fine horizontal brushing, values around 0 (about +-1)."""
    n = rng.standard_normal((h * SS, w * SS // 8 + 64)).astype(np.float32)
    img = Image.fromarray(np.clip(n * 40 + 128, 0, 255).astype(np.uint8), "L")
    img = img.resize((w * SS + 512, h * SS), Image.BILINEAR)
    img = img.filter(ImageFilter.BoxBlur(0))
    arr = (np.asarray(img, np.float32)[:, :w * SS] - 128.0) / 40.0
    # Stretch along x: running mean over 24 supersampled pixels.
    k = 24
    cs = np.cumsum(np.pad(arr, ((0, 0), (k, 0)), mode="edge"), axis=1)
    arr = (cs[:, k:] - cs[:, :-k]) / k
    fine = rng.standard_normal((h * SS, w * SS)).astype(np.float32)
    return arr * 0.8 + fine * 0.15


def draw_background():
    rng = np.random.RandomState(20241)
    c = Canvas(PANEL_W, PANEL_H)
    x, y = c.grid()

    # Anodised plate: vertical gradient, a soft light from the top left,
    # brushed grain.
    t = (y / PANEL_H)[..., None]
    top = np.array(PLATE_TOP, np.float32)
    bottom = np.array(PLATE_BOTTOM, np.float32)
    base = top * (1 - t) + bottom * t
    glow = np.exp(-(((x - 90) / 220.0) ** 2 + ((y - 40) / 260.0) ** 2))[..., None]
    base = base + glow * 8.0
    grain = brushed_texture(PANEL_W, PANEL_H, rng)[..., None]
    base = base + grain * 2.2
    c.paint(np.ones((c.H, c.W), np.float32), base)

    # Bevelled panel edge.
    edge = rounded_box(x, y, (0, 0, PANEL_W, PANEL_H), 0)
    inner = cover_of(edge + 2.0)
    rim = 1.0 - inner
    c.add_light(rim * ((y < 3) | (x < 3)), 0.10)
    c.add_light(rim * ((y > PANEL_H - 3) | (x > PANEL_W - 3)), -0.45)

    # Recessed strip behind the switches.
    strip = (8, 316, PANEL_W - 8, 382)
    d = rounded_box(x, y, strip, 6)
    c.add_light(cover_of(d), -0.22)
    c.add_light(cover_of(d) * cover_of(-d - 1.0) * (y < 330), -0.25)
    c.add_light(cover_of(d) * cover_of(-d - 1.0) * (y > 370), 0.12)

    # Engraved groove between the meter and the knobs.
    for yy, amount in ((146.0, -0.45), (147.0, 0.12)):
        groove = cover_of(np.maximum(np.maximum(16 - x, x - (PANEL_W - 16)), np.abs(y - yy) - 0.5))
        c.add_light(groove, amount)

    # Screws.
    for (sx, sy, ang) in [(12, 12, 20), (PANEL_W - 12, 12, 65), (12, PANEL_H - 12, 110), (PANEL_W - 12, PANEL_H - 12, 35)]:
        draw_screw(c, sx, sy, ang)

    draw_logo(c)
    draw_meter_face(c, x, y)
    draw_knob_scales(c)
    draw_led_labels(c)
    return c.down()


def draw_logo(c):
    x0, y0, x1, y1 = LOGO_AREA
    cx = (x0 + x1) / 2.0
    word = text_mask(c, cx, 33, "KESTROM", "black", 20, anchor="ms", tracking=2.2)
    printed(c, word, (236, 232, 222), shadow=0.7, light=0.06)
    maker = text_mask(c, cx, 44, "TOLLBRINK", "cond-medium", 7.5, anchor="ms", tracking=2.6)
    printed(c, maker, AMBER, shadow=0.5)
    # Hair lines either side of the maker name.
    w = text_width("TOLLBRINK", "cond-medium", 7.5, 2.6) / 2 + 6
    xg, yg = c.grid()
    for sgn in (-1, 1):
        xa, xb = sorted((cx + sgn * w, cx + sgn * (w + 22)))
        line = cover_of(np.maximum(np.maximum(xa - xg, xg - xb), np.abs(yg - 41.5) - 0.35))
        c.paint(line, AMBER, 0.7)


def draw_meter_face(c, x, y):
    gx0, gy0, gx1, gy1 = GLASS
    # Shadow of the bezel on the plate, below and to the sides.
    bez = rounded_box(x, y, (BEZEL[0] + 1, BEZEL[1] + 2, BEZEL[2] - 1, BEZEL[3] + 2), 7)
    c.paint(blur(cover_of(bez), 2.5), (0, 0, 0), 0.75)

    face = rounded_box(x, y, (gx0 - 2, gy0 - 2, gx1 + 2, gy1 + 2), 3)
    cover = cover_of(face)
    # Backlit cream: brightest in the middle, falling off to the edges.
    mx, my = (gx0 + gx1) / 2.0, (gy0 + gy1) / 2.0 + 6
    fall = np.exp(-(((x - mx) / 150.0) ** 2 + ((y - my) / 55.0) ** 2))[..., None]
    face_col = np.array(FACE, np.float32) * (0.80 + 0.20 * fall)
    face_col[..., 2] -= (1 - fall[..., 0]) * 18
    c.paint(cover, face_col)

    # Scale: a base line, ticks hanging from it, numbers below.
    base_y = 66.0
    line = cover_of(np.maximum(np.maximum(SCALE_X0 - 1.0 - x, x - SCALE_X1 - 1.0), np.abs(y - base_y - 0.5) - 0.5))
    c.paint(line, FACE_INK)
    # The red stretch from 14 dB upwards.
    red = cover_of(np.maximum(np.maximum(meter_x(14) - x, x - SCALE_X1), np.abs(y - (base_y - 1.9)) - 1.4))
    c.paint(red, FACE_RED)
    labels = [0, 2, 4, 6, 8, 10, 14, 18, 22]
    ticks = list(range(0, 11)) + [12, 14, 16, 18, 20, 22]
    for db in ticks:
        tx = meter_x(db)
        major = db in labels
        length = 7.0 if major else 4.0
        # Long ticks two pixels wide on the needle's centre line (a pixel
        # boundary); short ones one pixel wide, on the pixel to its right.
        half = 1.0 if major else 0.5
        if not major:
            tx += 0.5
        tick = cover_of(np.maximum(np.abs(x - tx) - half, np.maximum(base_y - y, y - (base_y + length))))
        c.paint(tick, FACE_RED if db >= 14 else FACE_INK)
    for db in labels:
        m = text_mask(c, meter_x(db), 83, str(db), "cond-bold", 9.5, anchor="ms")
        c.paint(m, FACE_RED if db >= 14 else FACE_INK)
    m = text_mask(c, (SCALE_X0 + SCALE_X1) / 2, 100, "GAIN REDUCTION  dB", "cond-medium", 7.5,
                  anchor="ms", tracking=1.4)
    c.paint(m, FACE_INK, 0.8)

    # POWER legend under the lamp.
    m = text_mask(c, LAMP[0], 131, "POWER", "cond-bold", 8.0, anchor="ms", tracking=1.8)
    printed(c, m, INK)
    xg, yg = x, y
    # A small mark from the legend up to the lamp.
    tri = cover_of(np.maximum(np.abs(xg - LAMP[0]) - (yg - 120.5) * 0.8, np.maximum(120.5 - yg, yg - 123.5)))
    c.paint(tri, INK, 0.8)


def draw_knob_scales(c):
    x, y = c.grid()
    for i, (kx, ky) in enumerate(KNOB_POS):
        cx, cy = kx + KNOB_CENTRE[0], ky + KNOB_CENTRE[1]
        r = np.hypot(x - cx, y - cy)
        th = np.degrees(np.arctan2(x - cx, -(y - cy)))
        # Shadow the knob throws on the plate, and a dark well around it.
        sh = blur(smooth_disc(np.hypot(x - cx - 1.0, y - cy - 2.5), KNOB_R, 1.0 / SS), 2.5)
        c.paint(sh, (0, 0, 0), 0.7)
        well = smooth_disc(r, KNOB_R + 2.5, 1.0 / SS)
        c.add_light(well * (1 - smooth_disc(r, KNOB_R, 1.0 / SS)), -0.4)
        # Ticks every 2.5 dB, long ones every 5 dB.
        for step in range(17):
            db = -20 + 2.5 * step
            a = math.radians(db_angle(db))
            major = step % 2 == 0
            r0, r1 = (KNOB_R + 6.0, KNOB_R + 12.0) if major else (KNOB_R + 6.0, KNOB_R + 9.5)
            half = 0.6 if major else 0.45
            u = (x - cx) * math.sin(a) - (y - cy) * math.cos(a)    # along the ray
            v = (x - cx) * math.cos(a) + (y - cy) * math.sin(a)    # across it
            tick = cover_of(np.maximum(np.abs(v) - half, np.maximum(r0 - u, u - r1)))
            printed(c, tick, INK if major else INK_DIM, shadow=0.4)
        # Arc joining the tick roots.
        arc = cover_of(np.maximum(np.abs(r - (KNOB_R + 6.0)) - 0.4, np.abs(th) - KNOB_SWEEP))
        printed(c, arc, INK_DIM, shadow=0.4)
        for db in range(-20, 21, 5):
            a = math.radians(db_angle(db))
            rr = KNOB_R + 20.5
            tx = cx + rr * math.sin(a)
            ty = cy - rr * math.cos(a)
            text = "0" if db == 0 else ("+%d" % db if db > 0 else "\u2212%d" % -db)
            m = text_mask(c, tx, ty + 3.3, text, "cond-bold", 9.0, anchor="ms")
            printed(c, m, INK if db % 10 == 0 else INK_DIM, shadow=0.6)
        # Name of the knob in the gap at the bottom of the scale.
        name = "IN" if i == 0 else "OUT"
        m = text_mask(c, cx, cy + KNOB_R + 22.0, name, "cond-bold", 12.0, anchor="ms", tracking=1.2)
        printed(c, m, INK, shadow=0.7, light=0.05)
        m = text_mask(c, cx, cy + KNOB_R + 31.0, "dB", "cond", 7.0, anchor="ms")
        c.paint(m, INK_DIM, 0.9)


def draw_led_labels(c):
    for (lx, ly), label in zip(LED_POS, LED_LABELS):
        cx, cy = lx + LED_SIZE / 2.0, ly + LED_SIZE / 2.0
        r, _ = c.polar(cx, cy)
        # Dark seat the LED bezel sits in.
        seat = blur(smooth_disc(r, LED_R + 1.2, 1.0 / SS), 1.2)
        c.paint(seat, (0, 0, 0), 0.7)
        m = text_mask(c, cx, 373, label, "cond-bold", 8.0, anchor="ms", tracking=1.2)
        printed(c, m, INK, shadow=0.7)


# ---------------------------------------------------------------------------
# Knobs.

KNOB_R = 36.0          # radius of the knob body
KNOB_TOP_R = 27.0      # radius of its raised top


def draw_knob_frames():
    rng = np.random.RandomState(7311)
    cx, cy = KNOB_CENTRE
    c0 = Canvas(KNOB_FRAME, KNOB_FRAME)
    x, y = c0.grid(cx, cy)
    r = np.hypot(x, y)
    th = np.arctan2(x, -y)
    light = math.radians(-45.0)  # light from the top left

    body = smooth_disc(r, KNOB_R, 1.0 / SS)
    top = smooth_disc(r, KNOB_TOP_R, 1.0 / SS)
    # Concentric brushing on the top: a random brightness per radius.
    radial_noise = rng.standard_normal(int(KNOB_R * SS * 4) + 8).astype(np.float32)
    radial_noise = np.convolve(radial_noise, np.ones(3) / 3.0, mode="same")
    brush = radial_noise[np.clip((r * SS * 4).astype(np.int64), 0, len(radial_noise) - 1)]
    # Anisotropic sheen of brushed metal: a bow tie across the light.
    sheen = np.cos(2.0 * (th - light)) ** 2
    tops = 34.0 + 20.0 * sheen ** 3 + 3.0 * brush + 6.0 * np.cos(th - light) * (r / KNOB_TOP_R)
    top_col = np.stack([tops, tops + 1.0, tops + 3.0], axis=-1)
    # Chamfer ring between the skirt and the top.
    ch = smooth_disc(r, KNOB_TOP_R + 1.6, 1.0 / SS) - top
    chamfer = 70.0 + 80.0 * np.cos(th - light)
    chamfer_col = np.stack([chamfer] * 3, axis=-1)

    frames = []
    for k in range(1, KNOB_FRAMES + 1):
        ang = math.radians(knob_angle(k))
        c = Canvas(KNOB_FRAME, KNOB_FRAME)
        # Skirt with 30 flutes that turn with the knob.
        rel = th - ang
        flute = np.cos(30.0 * rel)
        rim = np.cos(th - light)
        skirt = 32.0 + 16.0 * rim + 7.0 * flute * (0.6 + 0.4 * rim) + 10.0 * np.clip((r - KNOB_TOP_R) / (KNOB_R - KNOB_TOP_R), 0, 1) * (rim)
        skirt = np.clip(skirt, 8, 255)
        c.paint(body, np.stack([skirt, skirt, skirt + 2.0], axis=-1))
        # Dark outer edge.
        edge = body * (1.0 - smooth_disc(r, KNOB_R - 1.2, 1.0 / SS))
        c.add_light(edge * np.clip(rim, 0, 1), 0.25)
        c.add_light(edge * np.clip(-rim, 0, 1), -0.5)
        c.paint(ch, chamfer_col)
        c.paint(top, top_col)
        # Pointer: a cream line from near the centre to the edge of the top,
        # and a notch in the skirt.
        s, co = math.sin(ang), math.cos(ang)
        u = x * s - y * co
        v = x * co + y * s
        line = cover_of(np.maximum(np.abs(v) - 1.25, np.maximum(9.0 - u, u - (KNOB_R - 2.0))))
        shadow = cover_of(np.maximum(np.abs(v - 0.6) - 1.6, np.maximum(8.5 - u, u - (KNOB_R - 1.5))))
        c.paint(shadow * body, (0, 0, 0), 0.55)
        c.paint(line * body, (246, 240, 226))
        frames.append(c.down())
    return frames


# ---------------------------------------------------------------------------
# LED.

LED_R = 12.5           # outer radius of the LED bezel


def draw_led(on):
    c = Canvas(LED_SIZE, LED_SIZE)
    cx = cy = LED_SIZE / 2.0
    x, y = c.grid(cx, cy)
    r = np.hypot(x, y)
    lens_r = 8.6
    if on:
        halo = np.exp(-((np.maximum(r - lens_r, 0)) / 3.6) ** 2) * smooth_disc(r, 16.0, 1.0)
        c.paint(halo, (255, 150, 40), 0.55)
    # Metal bezel, lit from above.
    bezel = smooth_disc(r, LED_R, 1.0 / SS)
    shade = 150.0 - 70.0 * (y / LED_R) - 25.0 * (x / LED_R)
    c.paint(bezel, np.stack([shade, shade, shade + 4], axis=-1))
    ring = smooth_disc(r, LED_R - 1.5, 1.0 / SS)
    inner = 90.0 + 60.0 * (y / LED_R)   # inner slope lit from below
    c.paint(ring, np.stack([inner, inner, inner + 3], axis=-1))
    c.add_light(bezel - smooth_disc(r, LED_R - 0.6, 1.0 / SS), -0.35)
    # Lens.
    lens = smooth_disc(r, lens_r, 1.0 / SS)
    t = np.clip(r / lens_r, 0, 1)[..., None]
    if on:
        core = np.array([255, 246, 214], np.float32)
        mid = np.array([255, 168, 52], np.float32)
        edge = np.array([214, 94, 14], np.float32)
        col = np.where(t < 0.45, core + (mid - core) * (t / 0.45), mid + (edge - mid) * ((t - 0.45) / 0.55))
    else:
        centre = np.array([86, 44, 18], np.float32)
        edge = np.array([34, 18, 10], np.float32)
        col = centre + (edge - centre) * t
    c.paint(lens, col)
    if on:
        spill = np.exp(-((np.maximum(r - lens_r, 0)) / 2.2) ** 2) * bezel
        c.paint(spill, (255, 170, 70), 0.3)
    # Dark rim where the lens meets the bezel.
    c.add_light(lens - smooth_disc(r, lens_r - 0.9, 1.0 / SS), -0.55)
    # Specular highlight, top left.
    hl = smooth_disc(np.hypot((x + 2.6) / 1.5, (y + 3.2) / 1.0), 2.4, 0.9)
    c.paint(hl, (255, 255, 255), 0.75 if on else 0.45)
    return c.down()


# ---------------------------------------------------------------------------
# Needle.

def draw_needle():
    c = Canvas(NEEDLE_W, NEEDLE_H)
    x, y = c.grid()
    cx = NEEDLE_W / 2.0
    # Soft shadow on the face, to the right.
    body = cover_of(np.maximum(np.abs(x - cx) - 1.0, np.maximum(-y, y - NEEDLE_H)))
    tip = cover_of(np.maximum(np.abs(x - cx) - (6.5 - y) * 0.6, np.maximum(0.5 - y, y - 6.5)))
    shape = np.maximum(body, tip)
    sh = blur(np.roll(shape, int(1.6 * SS), axis=1), 1.0)
    c.paint(sh, (30, 20, 10), 0.45)
    c.paint(shape, NEEDLE_RED)
    # Lighter left edge for a little roundness.
    hl = cover_of(np.maximum(np.abs(x - (cx - 0.45)) - 0.3, np.maximum(6.0 - y, y - NEEDLE_H)))
    c.paint(hl, (255, 120, 90), 0.5)
    return c.down()


# ---------------------------------------------------------------------------
# Power switch: the bezel around the meter with its glass.

def draw_bypass(on):
    c = Canvas(BYPASS_W, BYPASS_H)
    ox, oy = BYPASS_POS
    x, y = c.grid(-ox, -oy)          # panel coordinates
    bez = rounded_box(x, y, BEZEL, 7)
    glass = rounded_box(x, y, GLASS, 3)
    frame_cover = cover_of(bez) * (1.0 - cover_of(glass))
    # Dark metal, lighter at the top.
    t = np.clip((y - BEZEL[1]) / (BEZEL[3] - BEZEL[1]), 0, 1)
    g = 62.0 - 26.0 * t
    col = np.stack([g, g + 1.0, g + 4.0], axis=-1)
    c.paint(frame_cover, col)
    # Outer bevel: light top edge, dark bottom edge.
    outer_rim = cover_of(bez) * (1.0 - cover_of(bez + 1.5))
    f = facing(bez)
    c.add_light(outer_rim * np.clip(f, 0, 1), 0.30)
    c.add_light(outer_rim * np.clip(-f, 0, 1), -0.6)
    # Inner chamfer down to the glass: its slope faces the middle of the
    # window, so the lower lip catches the light and the upper one is dark.
    lip = cover_of(glass - 2.5) * (1.0 - cover_of(glass))
    f = -facing(glass)
    c.add_light(lip * np.clip(f, 0, 1), 0.32)
    c.add_light(lip * np.clip(-f, 0, 1), -0.6)
    # Glow of the backlight on the inner lip when powered.
    if on:
        c.paint(lip * np.exp(-((glass + 1.2) / 1.2) ** 2), (255, 190, 110), 0.35)

    glass_cover = cover_of(glass)
    # Shade that the bezel throws onto the face just inside the window.
    inside = np.clip(-glass, 0, None)
    top_shade = np.exp(-np.maximum(y - GLASS[1], 0) / 3.0) * glass_cover
    c.paint(top_shade, (0, 0, 0), 0.40)
    edge_shade = np.exp(-inside / 1.6) * glass_cover
    c.paint(edge_shade, (0, 0, 0), 0.30)
    if not on:
        # Unlit meter: the face goes dim behind the glass.
        c.paint(glass_cover, (8, 8, 12), 0.7)
    # Reflection across the glass.
    band = np.exp(-(((x - 0.55 * (y - GLASS[1]) - 95.0) / 18.0) ** 2)) * (y < GLASS[1] + 22)
    c.paint(band * glass_cover, (255, 255, 255), 0.10)
    c.paint(glass_cover * np.clip(1.0 - (y - GLASS[1]) / 10.0, 0, 1), (255, 255, 255), 0.05)

    # Power lamp in the bezel below the glass.
    lr = np.hypot(x - LAMP[0], y - LAMP[1])
    if on:
        halo = np.exp(-((np.maximum(lr - 2.5, 0)) / 2.6) ** 2) * cover_of(bez)
        c.paint(halo * (1.0 - glass_cover), (255, 70, 40), 0.5)
    c.paint(smooth_disc(lr, 3.6, 1.0 / SS), (18, 18, 20))
    lens = smooth_disc(lr, 2.7, 1.0 / SS)
    tt = np.clip(lr / 2.7, 0, 1)[..., None]
    if on:
        col = np.array([255, 226, 200], np.float32) * (1 - tt) + np.array([236, 40, 24], np.float32) * tt
    else:
        col = np.array([78, 24, 20], np.float32) * (1 - tt) + np.array([40, 12, 10], np.float32) * tt
    c.paint(lens, col)
    hl = smooth_disc(np.hypot(x - LAMP[0] + 0.9, y - LAMP[1] + 1.0), 0.9, 0.6)
    c.paint(hl, (255, 255, 255), 0.6)

    # Corner screws of the bezel.
    for sx, sy in [(BEZEL[0] + 5.5, BEZEL[1] + 5.5), (BEZEL[2] - 5.5, BEZEL[1] + 5.5),
                   (BEZEL[0] + 5.5, BEZEL[3] - 5.5), (BEZEL[2] - 5.5, BEZEL[3] - 5.5)]:
        sr = np.hypot(x - sx, y - sy)
        c.paint(smooth_disc(sr, 2.6, 1.0 / SS), (14, 14, 16), 0.8)
        head = smooth_disc(sr, 2.1, 1.0 / SS)
        sh = 120.0 - 40.0 * ((x - sx) + (y - sy)) / 2.1
        c.paint(head, np.stack([sh, sh, sh + 3], axis=-1))
        slot = cover_of(np.maximum(np.abs((x - sx) - (y - sy)) / 1.414 - 0.35, sr - 1.8))
        c.paint(slot, (30, 30, 32))
    return c.down()


# ---------------------------------------------------------------------------
# Overlay card (16 colours).

CARD = (240, 233, 216)
CARD_INK = (36, 34, 32)
CARD_ACCENT = (160, 58, 18)
CARD_BORDER = (26, 26, 28)
CARD_RULE = (196, 186, 168)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3)) + (255,)


# Sixteen colours: the darkened margin, the card with its border and rules,
# and ramps from the card to the ink and to the accent for antialiased text.
OVERLAY_PALETTE = (
    [(0, 0, 0, 170), (0, 0, 0, 96), CARD_BORDER + (255,), CARD + (255,), CARD_RULE + (255,)]
    + [mix(CARD, CARD_INK, t) for t in (0.16, 0.32, 0.48, 0.64, 0.80, 1.0)]
    + [mix(CARD, CARD_ACCENT, t) for t in (0.25, 0.5, 0.75, 1.0)]
    + [mix(CARD_BORDER, CARD, 0.5)]
)

OVERLAY_TEXT = [
    ("IN", "Drive into the compressor. The same knob sets threshold, ratio, "
           "release and averaging together: turn it up for a higher ratio, "
           "faster release and more compression."),
    ("OUT", "Output gain after the compressor, \u221220\u00a0to\u00a0+20\u00a0dB."),
    ("DEEP", "The detector hears only the mids (about 220\u00a0Hz\u00a0\u2013 2.25\u00a0kHz), "
             "so bass and highs push the gain around less."),
    ("RELAXED", "Slower, smoother detection for gentler gain changes."),
    ("DUAL MONO", "Left and right are compressed separately (unlinked channels)."),
    ("NEGATIVE", "Negative ratio: louder in, quieter out."),
    ("POWER", "Click the meter to switch the effect on or off (bypass). "
              "When on, the meter shows the gain reduction, 0 to 22\u00a0dB."),
]

OVERLAY_TIP = ("Knobs: drag up or down, Shift or Ctrl for fine steps; "
               "double-click returns to 0 dB.")


def wrap(text, face, px, width):
    words = text.split(" ")
    lines, cur = [], ""
    for w in words:
        trial = w if not cur else cur + " " + w
        if text_width(trial, face, px) <= width:
            cur = trial
        else:
            lines.append(cur)
            cur = w
    if cur:
        lines.append(cur)
    return lines


def draw_overlay():
    c = Canvas(PANEL_W, PANEL_H)
    x, y = c.grid()
    c.paint(np.ones((c.H, c.W), np.float32), (0, 0, 0), 170 / 255.0)
    card = (10, 10, PANEL_W - 10, PANEL_H - 10)
    d = rounded_box(x, y, card, 6)
    c.paint(cover_of(d), CARD_BORDER)
    c.paint(cover_of(d + 1.5), CARD)
    ink = CARD_INK
    accent = CARD_ACCENT

    cx = PANEL_W / 2.0
    c.paint(text_mask(c, cx, 40, "KESTROM", "black", 19, anchor="ms", tracking=2.0), ink)
    c.paint(text_mask(c, cx, 53, "COMPRESSOR  \u00b7  TOLLBRINK", "cond-medium", 8, anchor="ms",
                      tracking=1.6), accent)
    rule = lambda yy: cover_of(np.maximum(np.maximum(24 - x, x - (PANEL_W - 24)), np.abs(y - yy) - 0.5))
    c.paint(rule(62.5), CARD_RULE)

    left, col2, right = 24, 86, PANEL_W - 24
    body_px, lead = 10.5, 12.6
    yy = 78.0
    for head, body in OVERLAY_TEXT:
        c.paint(text_mask(c, left, yy, head, "cond-bold", 9.5, anchor="ls", tracking=0.8), accent)
        for line in wrap(body, "cond", body_px, right - col2):
            c.paint(text_mask(c, col2, yy, line, "cond", body_px, anchor="ls"), ink)
            yy += lead
        yy += 5.0
    yy += 1.0
    c.paint(rule(yy - 8.0), CARD_RULE)
    for line in wrap(OVERLAY_TIP, "cond-italic", 9.5, right - left):
        c.paint(text_mask(c, left, yy + 4, line, "cond-italic", 9.5, anchor="ls"), ink)
        yy += 11.5
    c.paint(text_mask(c, cx, PANEL_H - 24, "CLICK ANYWHERE TO CLOSE", "cond-bold", 9.5, anchor="ms",
                      tracking=1.6), accent)
    pixels = c.down()
    pal = np.array(OVERLAY_PALETTE, np.uint8)

    def pm(a):
        a = a.astype(np.float32)
        return np.concatenate([a[:, :3] * a[:, 3:4] / 255.0, a[:, 3:4]], axis=1)

    idx = nearest(pm(pixels.reshape(-1, 4)), pm(pal)).astype(np.uint8).reshape(PANEL_H, PANEL_W)
    return idx, pal


# ---------------------------------------------------------------------------

# Size, frame count, PNG colour type and bit depth each picture must have.
EXPECTED = {
    "BG.png": (298, 400, 3, 8),
    "KnobL1.png": (148, 148 * 128, 3, 8),
    "KnobL2.png": (148, 148 * 128, 3, 8),
    "Needle.png": (16, 45, 6, 8),
    "LED.png": (32, 64, 6, 8),
    "Bypass.png": (245, 140, 6, 8),
    "Overlay.png": (298, 400, 3, 4),
}


def check_outputs(out):
    """Reads back the header of every written file and fails loudly when a
    size or pixel format is not the one the editor is built around."""
    import struct
    import zlib
    for name, (w, h, ctype, depth) in EXPECTED.items():
        with open(os.path.join(out, name), "rb") as f:
            data = f.read()
        assert data[:8] == b"\x89PNG\r\n\x1a\n", name
        pos, chunks = 8, []
        while pos < len(data):
            n, kind = struct.unpack(">I4s", data[pos:pos + 8])
            body = data[pos + 8:pos + 8 + n]
            crc = struct.unpack(">I", data[pos + 8 + n:pos + 12 + n])[0]
            assert zlib.crc32(kind + body) == crc, (name, kind)
            chunks.append((kind, body))
            pos += 12 + n
        kind, ihdr = chunks[0]
        got = struct.unpack(">IIBBBBB", ihdr)
        assert kind == b"IHDR" and got[:4] == (w, h, depth, ctype) and got[6] == 0, (name, got)
        kinds = [k for k, _ in chunks]
        if ctype == 3:
            plte = dict(chunks)[b"PLTE"]
            assert len(plte) // 3 <= (1 << depth), name
        print("%-12s %4d x %-5d colour type %d, %d bits, %s, %d bytes"
              % (name, w, h, ctype, depth, "+".join(k.decode() for k in kinds if k not in (b"IDAT",)), len(data)))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "img")
    os.makedirs(out, exist_ok=True)

    bg = draw_background()
    q = palette_image([bg], 256, dither=True)
    q.save(os.path.join(out, "BG.png"), optimize=True)

    frames = draw_knob_frames()
    seeds = frames[::8]
    idx, pal = quantise_rgba(frames, 256, seeds)
    strip = np.concatenate(idx, axis=0)
    save_palette_png(os.path.join(out, "KnobL1.png"), strip, pal)
    save_palette_png(os.path.join(out, "KnobL2.png"), strip, pal)

    save_rgba_png(os.path.join(out, "Needle.png"), draw_needle())
    save_rgba_png(os.path.join(out, "LED.png"), np.concatenate([draw_led(False), draw_led(True)], axis=0))
    save_rgba_png(os.path.join(out, "Bypass.png"),
                  np.concatenate([draw_bypass(False), draw_bypass(True)], axis=0))

    oidx, opal = draw_overlay()
    save_palette_png(os.path.join(out, "Overlay.png"), oidx, opal, bits=4)
    check_outputs(out)


if __name__ == "__main__":
    main()
