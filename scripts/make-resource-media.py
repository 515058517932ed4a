#!/usr/bin/python3
"""Draws the program's icon and writes its six job sounds into resources/.

The generated files are committed, so a build never runs this script. Run it again
(`/usr/bin/python3 scripts/make-resource-media.py`) after changing a drawing or a tone;
it writes the same bytes every time. Standard library only.

  resources/t6utility.ico       a chip with a "T6" mark, 16x16, 32x32 and 48x48, 32-bit
  resources/sounds/*.wav        8-bit mono PCM at 11025 Hz, a few hundred milliseconds
"""
import math
import os
import struct
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")

# --- icon --------------------------------------------------------------------------------

# The drawing on a 16x16 grid; larger sizes scale it by a whole factor so it stays crisp.
# '.' transparent, 'p' pin, 'e' body edge, 'b' body, 'n' pin-1 notch, 'm' the "T6" mark.
CHIP = [
    "................",
    "................",
    "..eeeeeeeeeeee..",
    "..ebbbbbbbbbbe..",
    "ppebnbbbbbbbbepp",
    "..ebbbbbbbbbbe..",
    "ppebmmmbbmmmbepp",
    "..ebbmbbbmbbbe..",
    "..ebbmbbbmmmbe..",
    "ppebbmbbbmbmbepp",
    "..ebbmbbbmmmbe..",
    "ppebbbbbbbbbbepp",
    "..ebbbbbbbbbbe..",
    "..eeeeeeeeeeee..",
    "................",
    "................",
]

COLOURS = {  # (red, green, blue, alpha)
    ".": (0, 0, 0, 0),
    "p": (0x98, 0x9E, 0xA8, 0xFF),
    "e": (0x14, 0x18, 0x20, 0xFF),
    "b": (0x2E, 0x34, 0x40, 0xFF),
    "m": (0xFF, 0xC0, 0x30, 0xFF),
    "n": (0x8A, 0x92, 0xA0, 0xFF),
}


def icon_image(size):
    """One ICO entry: a BITMAPINFOHEADER, the 32-bit colour rows and the 1-bit mask."""
    scale = size // 16
    colour_rows = []
    mask_rows = []
    for y in reversed(range(size)):  # bitmaps are stored bottom-up
        colour = bytearray()
        mask_bits = 0
        for x in range(size):
            r, g, b, a = COLOURS[CHIP[y // scale][x // scale]]
            colour += bytes((b, g, r, a))
            mask_bits = (mask_bits << 1) | (1 if a == 0 else 0)
        colour_rows.append(bytes(colour))
        stride = ((size + 31) // 32) * 4
        pad = stride * 8 - size
        mask_rows.append((mask_bits << pad).to_bytes(stride, "big"))
    pixels = b"".join(colour_rows) + b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels), 0, 0, 0, 0)
    return header + pixels


def write_icon(path, sizes):
    images = [icon_image(s) for s in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    with open(path, "wb") as f:
        f.write(out)


# --- sounds ------------------------------------------------------------------------------

RATE = 11025


def tone(start_hz, end_hz, ms, volume=0.8, buzz=False):
    """A sine (or a softened square, for buzz) gliding from start to end, with 8 ms fades."""
    count = RATE * ms // 1000
    fade = RATE * 8 // 1000
    samples = []
    phase = 0.0
    for i in range(count):
        hz = start_hz + (end_hz - start_hz) * i / count
        phase += 2 * math.pi * hz / RATE
        value = math.sin(phase)
        if buzz:
            value = max(-1.0, min(1.0, 3 * value)) * 0.7 + 0.3 * math.sin(3 * phase)
        envelope = min(1.0, i / fade, (count - 1 - i) / fade)
        samples.append(value * volume * envelope)
    return samples


def silence(ms):
    return [0.0] * (RATE * ms // 1000)


SOUNDS = {
    # Resource 135: a write succeeded, a rising pair.
    "write-ok.wav": tone(660, 660, 110) + silence(30) + tone(880, 880, 160),
    # 136: a write or an erase failed, a low buzz.
    "failed.wav": tone(110, 100, 420, buzz=True),
    # 137: an erase succeeded, a falling sweep.
    "erase-ok.wav": tone(1400, 500, 260),
    # 138: hardware found, three rising notes.
    "hardware-found.wav": tone(523, 523, 90) + tone(659, 659, 90) + tone(784, 784, 150),
    # 139: a verify failed, two falling low notes.
    "verify-failed.wav": tone(330, 330, 160) + silence(40) + tone(220, 220, 220, buzz=True),
    # 140: a verify succeeded, a short rising chirp.
    "verify-ok.wav": tone(600, 1200, 180),
}


def write_wave(path, samples):
    data = bytes(max(0, min(255, int(round(128 + 127 * s)))) for s in samples)
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE, 1, 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    if len(data) % 2:
        body += b"\0"  # chunks are word-aligned
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


def main():
    os.makedirs(os.path.join(ROOT, "sounds"), exist_ok=True)
    write_icon(os.path.join(ROOT, "t6utility.ico"), [16, 32, 48])
    for name, samples in SOUNDS.items():
        write_wave(os.path.join(ROOT, "sounds", name), samples)
    return 0


if __name__ == "__main__":
    sys.exit(main())
