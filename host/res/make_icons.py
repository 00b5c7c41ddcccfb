#!/usr/bin/env python3
"""Draws the three tray pictures as 32x32 24-bit icons (run once; the .ico
files are committed). A sheet with a vertical double arrow: blue when
scrolling is on, grey with a red bar when off, green with motion lines when
a drag is fast enough to glide on."""
import struct, sys

def draw(kind):
    bg = None
    px = [[bg] * 32 for _ in range(32)]
    sheet = {"enable": (40, 90, 200), "disable": (130, 130, 130), "scroll": (30, 150, 60)}[kind]
    for y in range(3, 29):
        for x in range(6, 26):
            edge = x in (6, 25) or y in (3, 28)
            px[y][x] = (20, 20, 20) if edge else (245, 245, 245)
    # double arrow
    for y in range(7, 25):
        for x in range(15, 17):
            px[y][x] = sheet
    for i in range(5):
        for x in range(15 - i, 17 + i):
            px[7 + i][x] = sheet
            px[24 - i][x] = sheet
    if kind == "disable":
        for i in range(26):
            for w in range(3):
                x, y = 3 + i + w, 3 + i
                if 0 <= x < 32 and 0 <= y < 32:
                    px[y][x] = (210, 30, 30)
    if kind == "scroll":
        for y in (9, 15, 21):
            for x in range(1, 5):
                px[y][x] = sheet
                px[y][x + 27] = sheet
    return px

def ico(px):
    w = h = 32
    xor = bytearray()
    for y in reversed(range(h)):
        for x in range(w):
            c = px[y][x] or (0, 0, 0)
            xor += bytes((c[2], c[1], c[0]))
    andmask = bytearray()
    for y in reversed(range(h)):
        bits = 0
        for x in range(w):
            bits = (bits << 1) | (1 if px[y][x] is None else 0)
        andmask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 24, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    image = header + xor + andmask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", w, h, 0, 0, 1, 24, len(image), 22) + image

for kind in ("enable", "disable", "scroll"):
    with open(f"tb_{kind}.ico", "wb") as f:
        f.write(ico(draw(kind)))
