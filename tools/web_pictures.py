#!/usr/bin/python3
"""Writes the browser's screen backgrounds in palette form.

    web_pictures.py <repository root>

The six 800 x 608 backgrounds are most of the browser's download. Their
bricks are shaded in hundreds of nearly equal colours; cut to the 256 that
an octree picks, with no dithering, no colour moves by more than a few
steps of 255 and each picture is a quarter of its size. The browser's page
packs these over the desktop's (web/GameState/); the desktop keeps its own.
The browser's guide, which the generator draws into web/GameState/, is cut
where it lies.
"""

import sys
from pathlib import Path

from PIL import Image

SCREENS = ("LOSE", "MENU", "PAUSE", "SCORES", "WIN")


def main(root):
    root = Path(root)
    out = root / "web" / "GameState"
    sources = [root / "Assets" / "GameState" / f"{name}_background.png" for name in SCREENS]
    for source in sources + [out / "GUIDE_background.png"]:
        picture = Image.open(source).convert("RGB")
        cut = picture.quantize(256, method=Image.Quantize.FASTOCTREE, dither=Image.Dither.NONE)
        cut.save(out / source.name, optimize=True)
        print(f"wrote {out / source.name} ({len(cut.getcolors())} colours)")


if __name__ == "__main__":
    main(*sys.argv[1:])
