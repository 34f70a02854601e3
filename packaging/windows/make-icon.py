#!/usr/bin/python3
"""Writes the Windows icon (.ico) of the game from the asset generator's icons.

usage: make-icon.py <packaging/icons> dungeon.ico

Each size is the generator's own picture (packaging/icons/<size>.png), drawn
for that size; none is scaled here.
"""
import os
import sys

from PIL import Image

SIZES = (16, 24, 32, 48, 64, 128, 256)


def main(folder, target):
    frames = []
    for size in SIZES:
        path = os.path.join(folder, "%d.png" % size)
        icon = Image.open(path).convert("RGBA")
        if icon.size != (size, size):
            sys.exit("%s: expected %d x %d pixels, found %d x %d" % ((path, size, size) + icon.size))
        frames.append(icon)
    # Each frame is stored at its own size, the large ones PNG-compressed.
    frames[-1].save(target, format="ICO", sizes=[(s, s) for s in SIZES], append_images=frames[:-1])


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[2])
    main(sys.argv[1], sys.argv[2])
