#!/usr/bin/env python3
"""Pictures and pixels for tools/test-package.sh. The pictures are written with the
standard library alone, so no image library of this machine vouches for the readers
under test; stored JPEG pictures are read back with djpeg.

  test-package-helper.py picture FILE WIDTH HEIGHT RRGGBB
      writes a picture of one colour; the format follows FILE's extension: .png,
      .webp (lossless) or .tif/.tiff (uncompressed RGB)
  test-package-helper.py pixel SCREEN X Y
      prints the colour (RRGGBB) at X,Y of an Xvfb screen file (Xvfb -fbdir)
  test-package-helper.py screenshot SCREEN OUT.png
      writes the Xvfb screen as a PNG file, to look at when a step failed
  test-package-helper.py pictures COLLECTION
      prints each record of a collection file: name, JPEG size, colour at its centre
"""
import sqlite3
import struct
import subprocess
import sys
import zlib


def png_from_rows(width, height, rows):
    """rows: height lines of width RGB pixels."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    data = b"".join(b"\x00" + row for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(data))
            + chunk(b"IEND", b""))


def png(width, height, rgb):
    return png_from_rows(width, height, [bytes(rgb) * width] * height)


class BitWriter:
    """Bits in the order of the lossless WebP bitstream: least significant first."""

    def __init__(self):
        self.value = 0
        self.count = 0

    def put(self, value, bits):
        self.value |= value << self.count
        self.count += bits

    def bytes(self):
        return self.value.to_bytes((self.count + 7) // 8, "little")


def webp(width, height, rgb):
    bits = BitWriter()
    bits.put(0x2F, 8)  # lossless signature
    bits.put(width - 1, 14)
    bits.put(height - 1, 14)
    bits.put(0, 1)  # no alpha
    bits.put(0, 3)  # version
    bits.put(0, 1)  # no transform
    bits.put(0, 1)  # no colour cache
    bits.put(0, 1)  # one prefix code group
    # Green, red, blue, alpha and distance codes, each a "simple" code of one symbol:
    # a code of one symbol takes no bits, so every pixel is that colour.
    red, green, blue = rgb
    for symbol in (green, red, blue, 255, 0):
        bits.put(1, 1)  # simple code
        bits.put(0, 1)  # one symbol
        bits.put(1, 1)  # written in 8 bits
        bits.put(symbol, 8)
    data = bits.bytes()
    if len(data) % 2:
        data += b"\x00"
    chunk = b"VP8L" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", 4 + len(chunk)) + b"WEBP" + chunk


def tiff(width, height, rgb):
    pixels = bytes(rgb) * (width * height)
    entries = 10
    ifd_offset = 8
    bits_offset = ifd_offset + 2 + entries * 12 + 4
    pixels_offset = bits_offset + 6
    short, long_ = 3, 4
    fields = [
        (256, long_, 1, width),
        (257, long_, 1, height),
        (258, short, 3, bits_offset),  # 8, 8, 8
        (259, short, 1, 1),  # no compression
        (262, short, 1, 2),  # RGB
        (273, long_, 1, pixels_offset),
        (277, short, 1, 3),  # samples per pixel
        (278, long_, 1, height),  # one strip
        (279, long_, 1, len(pixels)),
        (284, short, 1, 1),  # interleaved
    ]
    ifd = struct.pack("<H", entries)
    for tag, kind, count, value in fields:
        packed = struct.pack("<H", value) + b"\x00\x00" if kind == short and count == 1 else struct.pack("<I", value)
        ifd += struct.pack("<HHI", tag, kind, count) + packed
    ifd += struct.pack("<I", 0)
    return b"II*\x00" + struct.pack("<I", ifd_offset) + ifd + struct.pack("<HHH", 8, 8, 8) + pixels


def write_picture(path, width, height, colour):
    writers = {"png": png, "webp": webp, "tif": tiff, "tiff": tiff}
    extension = path.rsplit(".", 1)[-1].lower()
    if extension not in writers:
        sys.exit("no writer for ." + extension)
    with open(path, "wb") as out:
        out.write(writers[extension](int(width), int(height), tuple(bytes.fromhex(colour))))


class Screen:
    """An Xvfb screen file: an XWD header, a colour map, then 32-bit pixels B, G, R, x."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        fields = struct.unpack(">25I", self.data[:100])
        header_size, self.width, self.height = fields[0], fields[4], fields[5]
        bits_per_pixel, self.line, colours = fields[11], fields[12], fields[19]
        if bits_per_pixel != 32:
            sys.exit("screen has %d bits per pixel, not 32" % bits_per_pixel)
        self.start = header_size + colours * 12

    def row(self, y):
        line = self.data[self.start + y * self.line:self.start + y * self.line + self.width * 4]
        return bytes(b for x in range(self.width) for b in (line[4 * x + 2], line[4 * x + 1], line[4 * x]))

    def pixel(self, x, y):
        at = self.start + y * self.line + x * 4
        blue, green, red = self.data[at:at + 3]
        return "%02x%02x%02x" % (red, green, blue)


def centre_of_jpeg(jpeg):
    """Width, height and the colour at the centre, decoded by djpeg."""
    ppm = subprocess.run(["djpeg", "-pnm"], input=jpeg, capture_output=True, check=True).stdout
    parts = ppm.split(maxsplit=4)
    width, height = int(parts[1]), int(parts[2])
    pixels = parts[4]
    channels = 3 if parts[0] == b"P6" else 1
    at = ((height // 2) * width + width // 2) * channels
    colour = pixels[at:at + 3] if channels == 3 else pixels[at:at + 1] * 3
    return "%dx%d %s" % (width, height, colour.hex())


def list_pictures(path):
    with sqlite3.connect("file:%s?mode=ro" % path, uri=True) as db:
        for name, picture in db.execute("SELECT filename, picture FROM pictures ORDER BY rowid"):
            print("%s\t%s" % (name, centre_of_jpeg(picture) if picture else "null"))


def main():
    command, args = (sys.argv[1], sys.argv[2:]) if len(sys.argv) > 1 else ("", [])
    if command == "picture" and len(args) == 4:
        write_picture(*args)
    elif command == "pixel" and len(args) == 3:
        print(Screen(args[0]).pixel(int(args[1]), int(args[2])))
    elif command == "screenshot" and len(args) == 2:
        screen = Screen(args[0])
        with open(args[1], "wb") as out:
            out.write(png_from_rows(screen.width, screen.height, [screen.row(y) for y in range(screen.height)]))
    elif command == "pictures" and len(args) == 1:
        list_pictures(args[0])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
