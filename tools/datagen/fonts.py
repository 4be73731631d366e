"""TrueType pixel fonts built from the glyph grids in src/fonts/.

Every font pixel becomes one square of the outline, so at character sizes that are a whole multiple of
the font's pixel grid the rasteriser fills whole screen pixels and the text stays crisp."""

import os

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen

import pixels

UNITS_PER_EM = 1024
# Fixed creation and modification time (seconds since 1904), so that a rebuild gives equal bytes.
TIMESTAMP = 3786825600


class GlyphSet:
    """Glyph bitmaps (lists of equally long strings of '#' and '.') with their vertical layout."""

    def __init__(self, cap, descent, glyphs, space_width):
        self.cap = cap
        self.descent = descent
        self.glyphs = glyphs
        self.space_width = space_width


def parse(path):
    cap = descent = None
    space_width = 3
    glyphs = {}
    name = None
    rows = []

    def finish():
        if name is not None:
            width = max(len(r) for r in rows)
            glyphs[name] = [r.ljust(width, ".") for r in rows]

    for line in pixels.read_lines(path):
        if name is None and (not line or line.startswith("#")):
            continue
        if line.startswith("[") and line.endswith("]") and len(line) >= 3:
            finish()
            name = line[1:-1]
            rows = []
        elif not line:
            finish()
            name = None
        elif name is not None:
            rows.append(line)
        else:
            words = line.split()
            if words[0] == "cap":
                cap = int(words[1])
            elif words[0] == "descent":
                descent = int(words[1])
            elif words[:2] == ["width", "space"]:
                space_width = int(words[2])
    finish()
    return GlyphSet(cap, descent, glyphs, space_width)


def embolden(rows):
    """Every pixel also drawn one to the right, unless that would close a one-pixel gap between
    two strokes: heavier stems, one pixel wider."""
    out = []
    for r in rows:
        wide = "." + r + ".."
        out.append("".join("#" if wide[i] == "#" or (wide[i - 1] == "#" and wide[i + 1] != "#") else "."
                           for i in range(1, len(r) + 2)))
    return out


def stretch(rows):
    """Each row drawn twice: the same glyph at double height."""
    return [r for r in rows for _ in (0, 1)]


def scale2x(rows):
    """Doubles the glyph and rounds its diagonals (the EPX rule)."""
    h, w = len(rows), len(rows[0])

    def at(x, y):
        return rows[y][x] if 0 <= x < w and 0 <= y < h else "."

    out = [[None] * (2 * w) for _ in range(2 * h)]
    for y in range(h):
        for x in range(w):
            p = at(x, y)
            a, b, c, d = at(x, y - 1), at(x + 1, y), at(x - 1, y), at(x, y + 1)
            out[2 * y][2 * x] = a if (c == a and c != d and a != b) else p
            out[2 * y][2 * x + 1] = b if (a == b and a != c and b != d) else p
            out[2 * y + 1][2 * x] = c if (d == c and d != b and c != a) else p
            out[2 * y + 1][2 * x + 1] = d if (b == d and b != a and d != c) else p
    return ["".join(r) for r in out]


def derive(base, transform, height_factor, space_width):
    glyphs = {name: transform(rows) for name, rows in base.glyphs.items()}
    return GlyphSet(base.cap * height_factor, base.descent * height_factor, glyphs, space_width)


def glyph_name(ch):
    return "space" if ch == " " else "uni%04X" % ord(ch)


def draw_glyph(rows, cap, unit):
    """The glyph's outline: one clockwise rectangle per horizontal run of pixels."""
    pen = TTGlyphPen(None)
    for r, row in enumerate(rows):
        top = (cap - r) * unit
        bottom = top - unit
        x = 0
        while x < len(row):
            if row[x] != "#":
                x += 1
                continue
            start = x
            while x < len(row) and row[x] == "#":
                x += 1
            pen.moveTo((start * unit, bottom))
            pen.lineTo((start * unit, top))
            pen.lineTo((x * unit, top))
            pen.lineTo((x * unit, bottom))
            pen.closePath()
    return pen.glyph()


def build_font(glyph_set, em_pixels, family, path, spacing=1):
    unit = UNITS_PER_EM // em_pixels
    chars = [chr(c) for c in range(32, 127)]
    missing = [c for c in chars if c != " " and c not in glyph_set.glyphs]
    if missing:
        raise ValueError("%s lacks glyphs for %r" % (family, "".join(missing)))

    order = [".notdef"] + [glyph_name(c) for c in chars]
    glyf = {}
    metrics = {}
    notdef_rows = ["####"] + ["#..#"] * (glyph_set.cap - 2) + ["####"]
    glyf[".notdef"] = draw_glyph(notdef_rows, glyph_set.cap, unit)
    metrics[".notdef"] = ((4 + spacing) * unit, 0)
    for c in chars:
        name = glyph_name(c)
        if c == " ":
            glyf[name] = TTGlyphPen(None).glyph()
            metrics[name] = (glyph_set.space_width * unit, 0)
            continue
        rows = glyph_set.glyphs[c]
        glyf[name] = draw_glyph(rows, glyph_set.cap, unit)
        lsb = min((row.index("#") for row in rows if "#" in row), default=0) * unit
        metrics[name] = ((len(rows[0]) + spacing) * unit, lsb)

    ascent = (glyph_set.cap + max(1, glyph_set.cap // 6)) * unit
    descent = glyph_set.descent * unit
    fb = FontBuilder(UNITS_PER_EM, isTTF=True)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap({ord(c): glyph_name(c) for c in chars})
    fb.setupGlyf(glyf)
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ascent, descent=-descent)
    fb.setupNameTable({"familyName": family, "styleName": "Regular",
                       "uniqueFontIdentifier": family + " Regular",
                       "fullName": family + " Regular", "psName": family.replace(" ", "") + "-Regular",
                       "version": "Version 1.000"})
    fb.setupOS2(sTypoAscender=ascent, sTypoDescender=-descent, sTypoLineGap=0,
                usWinAscent=ascent, usWinDescent=descent,
                sxHeight=(glyph_set.cap * 5 // 7) * unit, sCapHeight=glyph_set.cap * unit,
                achVendID="KSTR", fsType=0)
    fb.setupPost()
    head = fb.font["head"]
    head.created = TIMESTAMP
    head.modified = TIMESTAMP
    fb.font.recalcTimestamp = False
    os.makedirs(os.path.dirname(path), exist_ok=True)
    fb.font.save(path)


def load_sets():
    """The three faces of the game, as glyph sets with their pixel grid (font pixels per em)."""
    small = parse(pixels.src_path("fonts", "small6.txt"))
    base = parse(pixels.src_path("fonts", "base7.txt"))
    # Tall and heavy: the base face thickened and drawn at double height.
    heavy = GlyphSet(base.cap, base.descent, {}, base.space_width)
    for name, rows in base.glyphs.items():
        if len(name) == 1:
            bold = base.glyphs.get(name + ".bold")
            heavy.glyphs[name] = bold if bold else embolden(rows)
    improbable = derive(heavy, stretch, 2, base.space_width + 1)
    # Rounded and large: the base face smoothed to double size, with its one-storey "a".
    narrative_base = GlyphSet(base.cap, base.descent, dict(base.glyphs), base.space_width)
    narrative_base.glyphs["a"] = base.glyphs["a.alt"]
    narrative = derive(narrative_base, lambda rows: embolden(scale2x(rows)), 2, base.space_width * 2 + 1)
    return {
        "MatchupPro": (small, 8, 1),
        "Improbable": (improbable, 16, 1),
        "PixelNarrative": (narrative, 16, 2),
    }


FILES = {
    "MatchupPro": "fonts/MatchupPro.ttf",
    "Improbable": "fonts/Improbable.ttf",
    "PixelNarrative": "fonts/PixelNarrative-alternative-letter-a-REGULAR.ttf",
}

FAMILIES = {"MatchupPro": "Matchup Pro", "Improbable": "Improbable", "PixelNarrative": "Pixel Narrative"}


def build(out_dir):
    for key, (glyph_set, em, spacing) in load_sets().items():
        build_font(glyph_set, em, FAMILIES[key], os.path.join(out_dir, FILES[key]), spacing)
