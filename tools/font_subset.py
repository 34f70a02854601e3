#!/usr/bin/python3
"""Writes the game font: Debian's Terminus bold cut down to printable ASCII
and renamed "Dungeon Gold Fixed".

    font_subset.py <source .otb> <output>

Every text the game and the asset generator draw is printable ASCII, so the
other 1,200-odd glyphs of the face only made the download heavier. Each of
the nine bitmap strikes is kept, in order: the font library picks a strike of
a bitmap face by its index. The copyright notice stays. A cut-down font is a
Modified Version under the Open Font License, which may not carry the
Reserved Font Name "Terminus Font": so it gets a name of its own, and says
where it comes from in its description.
"""

import sys

from fontTools import subset
from fontTools.ttLib import TTFont

FAMILY = "Dungeon Gold Fixed"
NAMES = {
    1: FAMILY,
    3: FAMILY + " Bold 1.0",
    4: FAMILY + " Bold",
    6: "DungeonGoldFixed-Bold",
    10: "Terminus Font (bold) by Dimitar Toshkov Zhekov, cut down to printable"
    " ASCII for Dungeon Gold",
    13: "Licensed under the SIL Open Font License, Version 1.1",
    14: "https://openfontlicense.org",
}


def main(source, output):
    # The same bytes on every run: the header keeps the source's date.
    font = TTFont(source, recalcTimestamp=False)
    # A bitmap font: its outline tables hold no glyphs at all, which the
    # subsetter cannot read, and FreeType draws such a face from its
    # bitmaps without them.
    # The X server's BDF properties go too: the font library never reads them.
    for tag in ("glyf", "loca", "BDF "):
        if tag in font:
            del font[tag]
    options = subset.Options()
    # The bitmaps (EBDT, EBLC) are what this face is made of; the subsetter
    # drops them unless told otherwise. FontForge's time stamp goes.
    options.drop_tables = ["FFTM"]
    options.notdef_outline = True
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.name_legacy = True
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=range(0x20, 0x7F))
    subsetter.subset(font)
    if len(font["EBLC"].strikes) != 9:
        sys.exit("font_subset.py: expected the nine strikes of Terminus")
    names = font["name"]
    for name_id in NAMES:
        names.removeNames(nameID=name_id)
    for name_id, text in NAMES.items():
        names.setName(text, name_id, 1, 0, 0)  # Macintosh, Roman, English
        names.setName(text, name_id, 3, 1, 0x409)  # Windows, Unicode, US English
    font.save(output)
    print("wrote %s (%d glyphs)" % (output, len(font.getGlyphOrder())))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
