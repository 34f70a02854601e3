#!/usr/bin/python3
"""Writes the Windows icon (.ico) of the game from its 64 x 64 window icon.

usage: make-icon.py Icon.png dungeon.ico

The picture is pixel art: sizes that are whole fractions or multiples of 64
keep square, sharp pixels; 48 is averaged, as no whole factor reaches it.
"""
import sys

from PIL import Image

SIZES = (16, 24, 32, 48, 64, 128, 256)


def main(source, target):
    icon = Image.open(source).convert("RGBA")
    if icon.size != (64, 64):
        sys.exit("%s: expected 64 x 64 pixels, found %d x %d" % ((source,) + icon.size))
    frames = []
    for size in SIZES:
        sharp = size % 64 == 0 or 64 % size == 0
        frames.append(icon.resize((size, size), Image.NEAREST if sharp else Image.BOX))
    # Each frame is stored at its own size, the large ones PNG-compressed.
    frames[-1].save(target, format="ICO", sizes=[(s, s) for s in SIZES], append_images=frames[:-1])


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[2])
    main(sys.argv[1], sys.argv[2])
