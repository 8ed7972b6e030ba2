#!/usr/bin/env python3
"""Packs PNG pictures, one per size, into a Windows icon file (.ico) with PNG entries.

Usage: make-icon.py OUTPUT.ico PICTURE.png...
"""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("not a PNG picture")
    return struct.unpack(">II", data[16:24])


def main():
    output, pictures = sys.argv[1], sys.argv[2:]
    images = []
    for name in pictures:
        with open(name, "rb") as picture:
            data = picture.read()
        width, height = png_size(data)
        if width > 256 or height > 256:
            raise SystemExit(f"{name}: an icon is at most 256 pixels across")
        images.append((width, height, data))
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, blobs = b"", b""
    for width, height, data in images:
        # 0 stands for 256 in the one-byte sizes.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
        blobs += data
        offset += len(data)
    with open(output, "wb") as icon:
        icon.write(header + entries + blobs)


if __name__ == "__main__":
    main()
