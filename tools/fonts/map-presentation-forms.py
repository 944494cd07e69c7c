#!/usr/bin/env python3
"""Gives an Arabic face's contextual glyphs the code points they stand for.

A PDF's text layer is written from the face's character map: a glyph that no
code point reaches comes out as a shape without text, which cannot be found,
copied or read back. The shaper reaches an Arabic letter's initial, medial
and final glyphs (and ligatures such as lam-alef) through the face's
substitution rules, and some faces (Noto Kufi Arabic) give those glyphs no
code point. This adds to the character map, for each Arabic presentation
form that the face does not map yet, the one glyph that the shaper draws for
that form's letters in that position, when no code point reaches the glyph.
Nothing else in the face changes: drawing is the same, since the shaper
starts from the letters' own code points.

Usage: tools/fonts/map-presentation-forms.py FONT.ttf...
Rewrites each face that gains mappings, in place, and prints what it added;
a second run adds nothing. Needs Debian's python3-fonttools and
libharfbuzz-bin (hb-shape).
"""

import subprocess
import sys
import unicodedata

from fontTools.ttLib import TTFont

ZWJ = "\u200d"
# Arabic Presentation Forms-A and -B.
FORMS = list(range(0xFB50, 0xFE00)) + list(range(0xFE70, 0xFEFF))


def shape(path, text):
    """Glyph ids that the shaper draws for text, joining marks removed."""
    out = subprocess.run(
        ["hb-shape", "--remove-default-ignorables", "--no-glyph-names",
         "--no-positions", "--no-clusters", path, text],
        check=True, capture_output=True, text=True).stdout.strip()
    return [int(g) for g in out.strip("[]").split("|") if g]


def in_position(form, letters):
    """The letters with joiners that put them in the given position."""
    return {
        "<isolated>": letters,
        "<final>": ZWJ + letters,
        "<initial>": letters + ZWJ,
        "<medial>": ZWJ + letters + ZWJ,
    }.get(form)


def added_mappings(path, font):
    cmap = font.getBestCmap()
    order = font.getGlyphOrder()
    reached = set(cmap.values())
    added = {}
    for cp in FORMS:
        if cp in cmap:
            continue
        parts = unicodedata.decomposition(chr(cp)).split()
        if len(parts) < 2:
            continue
        letters = "".join(chr(int(p, 16)) for p in parts[1:])
        if any(ord(c) not in cmap for c in letters):
            continue
        text = in_position(parts[0], letters)
        if text is None:
            continue
        glyphs = shape(path, text)
        if len(glyphs) != 1:
            continue
        name = order[glyphs[0]]
        if name in reached or name == ".notdef":
            continue
        added[cp] = name
        reached.add(name)
    return added


def main(paths):
    for path in paths:
        font = TTFont(path, recalcTimestamp=False)
        added = added_mappings(path, font)
        print(f"{path}: {len(added)} code points added")
        if not added:
            continue
        for table in font["cmap"].tables:
            if table.isUnicode():
                table.cmap.update(added)
        font.save(path, reorderTables=False)
        for cp, name in sorted(added.items()):
            print(f"  U+{cp:04X} {name}")


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    main(sys.argv[1:])
