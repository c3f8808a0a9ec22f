#!/usr/bin/env python3
"""Makes the plug-in's binary images from the SVG drawings beside this script.

  icon-*.svg    24x24 icons (.ico, 32-bit with alpha and an AND mask)
  bitmap-*.svg  20x20 bitmaps (.bmp, 24-bit, no alpha)
  png-*.svg     23x23 PNG images (.png), kept as drawn

Needs rsvg-convert (librsvg2-bin) and Python's standard library only. The
outputs are committed, so building the plug-in does not need this script.
"""
import pathlib
import struct
import subprocess
import sys
import zlib

HERE = pathlib.Path(__file__).resolve().parent


def render(svg, size):
    return subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), str(svg)],
                          check=True, capture_output=True).stdout


def decode_png(data):
    """RGBA rows of an 8-bit RGB or RGBA, non-interlaced PNG (what rsvg-convert writes)."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat = 8, b""
    width = height = channels = 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour in (2, 6) and interlace == 0, "unexpected PNG format"
            channels = 4 if colour == 6 else 3
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev = [], bytearray(stride)
    for y in range(height):
        base = y * (stride + 1)
        kind, line = raw[base], bytearray(raw[base + 1:base + 1 + stride])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = prev[i]
            c = prev[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        prev = line
        if channels == 3:
            line = b"".join(bytes(line[x * 3:x * 3 + 3]) + b"\xff" for x in range(width))
        rows.append(bytes(line))
    return width, height, rows


def dib_header(width, height, bits, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 2835, 2835, 0, 0)


def write_bmp(rows, width, height, path):
    stride = (width * 3 + 3) & ~3
    pixels = b""
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for x in range(width):
            r, g, b, a = row[x * 4:x * 4 + 4]
            # Flatten onto white: the bitmaps have no alpha.
            line += bytes(((b * a + 255 * (255 - a)) // 255, (g * a + 255 * (255 - a)) // 255,
                           (r * a + 255 * (255 - a)) // 255))
        pixels += bytes(line) + b"\0" * (stride - len(line))
    info = dib_header(width, height, 24, len(pixels))
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    path.write_bytes(header + info + pixels)


def write_ico(rows, width, height, path):
    xor = b""
    for row in reversed(rows):
        for x in range(width):
            r, g, b, a = row[x * 4:x * 4 + 4]
            xor += bytes((b, g, r, a))
    mask_stride = ((width + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(width):
            if row[x * 4 + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    # An icon's DIB header counts the colour and the mask rows together.
    image = dib_header(width, height * 2, 32, len(xor) + len(mask)) + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width, height, 0, 0, 1, 32, len(image), 6 + 16)
    path.write_bytes(directory + entry + image)


def main():
    for svg in sorted(HERE.glob("*.svg")):
        kind = svg.name.split("-")[0]
        if kind == "icon":
            width, height, rows = decode_png(render(svg, 24))
            write_ico(rows, width, height, svg.with_suffix(".ico"))
        elif kind == "bitmap":
            width, height, rows = decode_png(render(svg, 20))
            write_bmp(rows, width, height, svg.with_suffix(".bmp"))
        elif kind == "png":
            svg.with_suffix(".png").write_bytes(render(svg, 23))
        else:
            sys.exit(f"{svg.name}: unknown image kind")
        print(svg.with_suffix("").name)


if __name__ == "__main__":
    main()
