#!/usr/bin/env python3
"""Writes a picture (a binary PPM, as ImageMagick gives it) as a 24-bit Windows icon or bitmap.

    pack_images.py ico picture.ppm out.ico   one 32 x 32 image, 24 bits, an empty (opaque) mask
    pack_images.py bmp picture.ppm out.bmp   uncompressed 24 bits, bottom-up rows
"""
import struct
import sys

PIXELS_PER_METRE = 3780  # 96 dots per inch


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    position = 0
    while len(fields) < 4:
        while data[position : position + 1].isspace():
            position += 1
        if data[position : position + 1] == b"#":
            position = data.index(b"\n", position)
            continue
        end = position
        while not data[end : end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    magic, width, height, maximum = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
    if magic != b"P6" or maximum != 255:
        sys.exit(f"{path}: not an 8-bit binary PPM")
    pixels = data[position + 1 : position + 1 + width * height * 3]
    return width, height, pixels


def padded(row_bytes):
    return (row_bytes + 3) // 4 * 4


def bottom_up_bgr(width, height, pixels):
    stride = padded(width * 3)
    rows = []
    for y in reversed(range(height)):
        row = bytearray(pixels[y * width * 3 : (y + 1) * width * 3])
        row[0::3], row[2::3] = row[2::3], row[0::3]
        rows.append(bytes(row) + b"\0" * (stride - width * 3))
    return b"".join(rows)


def info_header(width, height, image_size, pixels_per_metre):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, image_size,
                       pixels_per_metre, pixels_per_metre, 0, 0)


def icon(width, height, pixels):
    colour = bottom_up_bgr(width, height, pixels)
    mask = b"\0" * (padded((width + 7) // 8) * height)
    # The image's header counts the colour rows and the mask rows together.
    image = info_header(width, 2 * height, len(colour) + len(mask), 0) + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width, height, 0, 0, 1, 24, len(image), 6 + 16)
    return directory + entry + image


def bitmap(width, height, pixels):
    colour = bottom_up_bgr(width, height, pixels)
    header = info_header(width, height, len(colour), PIXELS_PER_METRE)
    offset = 14 + len(header)
    return struct.pack("<2sIHHI", b"BM", offset + len(colour), 0, 0, offset) + header + colour


def main():
    kind, source, target = sys.argv[1:4]
    writers = {"ico": icon, "bmp": bitmap}
    with open(target, "wb") as f:
        f.write(writers[kind](*read_ppm(source)))


if __name__ == "__main__":
    main()
