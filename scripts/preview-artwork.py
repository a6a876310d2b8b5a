#!/usr/bin/python3
"""Composes the editor's pictures the way the editor draws them, to look at.

    scripts/preview-artwork.py [image-dir] [panel.png] [overlay.png]
        [--in dB] [--out dB] [--meter v] [--leds 0100] [--power 0|1] [--scale n]

Draws BG, the needle, Bypass, both knobs and the four LEDs in the editor's
order with straight-alpha blending, then separately the overlay over that
panel. Defaults: knobs at 0 dB, meter 0.3, second LED on, Power on, written
to /tmp/kestrom-preview.png and /tmp/kestrom-overlay-preview.png.
"""

import argparse
import os

import numpy as np
from PIL import Image


def load(d, name, frames):
    img = Image.open(os.path.join(d, name)).convert("RGBA")
    a = np.asarray(img).astype(np.int32)
    h = a.shape[0] // frames
    return [a[i * h:(i + 1) * h] for i in range(frames)]


def blit(dst, src, x, y):
    """Source-alpha blend as the editor does it: dst = src + (dst - src) *
    (255 - s) / 256 for partly transparent pixels."""
    h, w = src.shape[:2]
    x0, y0 = max(x, 0), max(y, 0)
    x1, y1 = min(x + w, dst.shape[1]), min(y + h, dst.shape[0])
    s = src[y0 - y:y1 - y, x0 - x:x1 - x]
    d = dst[y0:y1, x0:x1]
    a = s[..., 3:4]
    mixed = s[..., :3] + (d[..., :3] - s[..., :3]) * (255 - a) // 256
    rgb = np.where(a == 0, d[..., :3], np.where(a == 255, s[..., :3], mixed))
    alpha = np.minimum(255, d[..., 3:4] + a)
    dst[y0:y1, x0:x1] = np.concatenate([rgb, alpha], axis=-1)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    p = argparse.ArgumentParser()
    p.add_argument("dir", nargs="?", default=os.path.join(here, "..", "resources", "img"))
    p.add_argument("panel", nargs="?", default="/tmp/kestrom-preview.png")
    p.add_argument("overlay", nargs="?", default="/tmp/kestrom-overlay-preview.png")
    p.add_argument("--in", dest="gain_in", type=float, default=0.0)
    p.add_argument("--out", dest="gain_out", type=float, default=0.0)
    p.add_argument("--meter", type=float, default=0.3)
    p.add_argument("--leds", default="0100")
    p.add_argument("--power", type=int, default=1)
    p.add_argument("--scale", type=int, default=1)
    a = p.parse_args()

    bg = load(a.dir, "BG.png", 1)[0]
    knob1 = load(a.dir, "KnobL1.png", 128)
    knob2 = load(a.dir, "KnobL2.png", 128)
    needle = load(a.dir, "Needle.png", 1)[0]
    led = load(a.dir, "LED.png", 2)
    bypass = load(a.dir, "Bypass.png", 2)
    overlay = load(a.dir, "Overlay.png", 1)[0]

    def frame(db):
        v = (db + 20.0) / 40.0
        return min(max(int(127 * v + 0.5), 0), 127)

    panel = np.zeros((400, 298, 4), np.int32)
    panel[..., 3] = 255
    blit(panel, bg, 0, 0)
    blit(panel, needle, 45 + int(198 * a.meter), 61)
    blit(panel, bypass[1 if a.power else 0], 27, 49)
    blit(panel, knob1[frame(a.gain_in)], 0, 163)
    blit(panel, knob2[frame(a.gain_out)], 143, 163)
    for (x, y), on in zip([(37, 322), (101, 322), (164, 322), (228, 322)], a.leds):
        blit(panel, led[1 if on == "1" else 0], x, y)

    def save(arr, path):
        img = Image.fromarray(arr.astype(np.uint8), "RGBA").convert("RGB")
        if a.scale > 1:
            img = img.resize((298 * a.scale, 400 * a.scale), Image.NEAREST)
        img.save(path)

    save(panel, a.panel)
    with_overlay = panel.copy()
    blit(with_overlay, overlay, 0, 0)
    save(with_overlay, a.overlay)


if __name__ == "__main__":
    main()
