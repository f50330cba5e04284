#!/usr/bin/env python3
"""Writes data/FanucKnob.gif: the feed-override knob of the Fanuc stations,
21 frames (0 % to 200 %), the pointer turning clockwise from 7 to 5 o'clock.
Plain GIF89a with uncompressed LZW codes (a clear code every 254 codes)."""
import math
import struct
import sys

SIZE = 64
PALETTE = [(0xE1, 0xE1, 0xE1), (0x40, 0x40, 0x40), (0x90, 0x90, 0x90), (0xFF, 0xFF, 0xFF)]


def frame_pixels(step):
    cx = cy = (SIZE - 1) / 2
    angle = math.radians(225 - step * 270 / 20)
    pixels = []
    for y in range(SIZE):
        for x in range(SIZE):
            dx, dy = x - cx, cy - y
            r = math.hypot(dx, dy)
            colour = 0
            if r <= 28:
                colour = 2 if r > 25 else 1
                # the pointer: close to the ray at the angle
                px, py = math.cos(angle), math.sin(angle)
                along = dx * px + dy * py
                across = abs(dx * py - dy * px)
                if 4 < along < 24 and across < 2.2:
                    colour = 3
            pixels.append(colour)
    return pixels


def lzw_uncompressed(pixels, code_size=8):
    clear, end = 1 << code_size, (1 << code_size) + 1
    codes = [clear]
    for i, p in enumerate(pixels):
        if i and i % 254 == 0:
            codes.append(clear)
        codes.append(p)
    codes.append(end)
    bits, nbits, out = 0, 0, bytearray()
    for c in codes:
        bits |= c << nbits
        nbits += code_size + 1
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        out.append(bits & 0xFF)
    blocks = bytearray()
    for i in range(0, len(out), 255):
        chunk = out[i:i + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes([code_size]) + bytes(blocks) + b"\0"


def main(path):
    table = b"".join(bytes(c) for c in PALETTE) + b"\0\0\0" * (256 - len(PALETTE))
    gif = bytearray(b"GIF89a" + struct.pack("<HHBBB", SIZE, SIZE, 0xF7, 0, 0) + table)
    for step in range(21):
        gif += b"\x21\xF9\x04" + struct.pack("<BHBB", 0, 0, 0, 0)
        gif += b"," + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
        gif += lzw_uncompressed(frame_pixels(step))
    gif += b";"
    with open(path, "wb") as f:
        f.write(gif)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "data/FanucKnob.gif")
