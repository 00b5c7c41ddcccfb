#!/usr/bin/env python3
"""Draws the three tray pictures as 32x32 24-bit icons (run once; the .ico
files are committed). A sheet with a vertical double arrow: blue when
scrolling is on, grey with a red bar when off, green with motion lines when
a drag is fast enough to glide on.

Also the program's own icon (MAINICON: 16, 32 and 48 pixels): the sheet with
the arrow in a darker blue that no tray picture uses, so tests that look for
the tray colours on the screen are not misled by an open About dialog."""
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

def draw_main(n):
    px = [[None] * n for _ in range(n)]
    ink = (20, 60, 140)
    s = n / 32.0
    for y in range(n):
        for x in range(n):
            fx, fy = x / s, y / s
            if 5 <= fx < 27 and 2 <= fy < 30:
                edge = fx < 5 + 1.5 / s or fx >= 27 - 1.5 / s or fy < 2 + 1.5 / s or fy >= 30 - 1.5 / s
                px[y][x] = (20, 20, 20) if edge else (250, 250, 250)
            # the shaft and the two heads of the double arrow
            if 14.5 <= fx < 17.5 and 6 <= fy < 26:
                px[y][x] = ink
            for head_y, down in ((6, 1), (26, -1)):
                d = (fy - head_y) * down
                if 0 <= d < 6 and abs(fx - 16) < d + 1:
                    px[y][x] = ink
    return px

def ico_images(images):
    """One .ico file holding several square 24-bit images."""
    out = struct.pack("<HHH", 0, 1, len(images))
    blobs = []
    for px in images:
        n = len(px)
        blobs.append(image(px, n))
    offset = 6 + 16 * len(images)
    for px, blob in zip(images, blobs):
        n = len(px)
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 24, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)

def image(px, n):
    w = h = n
    xor = bytearray()
    for y in reversed(range(h)):
        row = bytearray()
        for x in range(w):
            c = px[y][x] or (0, 0, 0)
            row += bytes((c[2], c[1], c[0]))
        row += bytes((-len(row)) % 4)
        xor += row
    andmask = bytearray()
    for y in reversed(range(h)):
        bits = 0
        for x in range(w):
            bits = (bits << 1) | (1 if px[y][x] is None else 0)
        rowbytes = ((w + 31) // 32) * 4
        bits <<= rowbytes * 8 - w
        andmask += bits.to_bytes(rowbytes, "big")
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 24, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return header + xor + andmask

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

with open("mainicon.ico", "wb") as f:
    f.write(ico_images([draw_main(n) for n in (48, 32, 16)]))
