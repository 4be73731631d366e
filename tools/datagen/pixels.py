"""Palette, text-grid pixel art and deterministic PNG output shared by every generator."""

import os

from PIL import Image

SRC = os.path.join(os.path.dirname(os.path.abspath(__file__)), "src")

TRANSPARENT = (0, 0, 0, 0)


def src_path(*parts):
    return os.path.join(SRC, *parts)


def read_lines(path):
    """Lines of a source file without trailing white space; '#' starts a comment line."""
    with open(path, encoding="utf-8") as f:
        return [line.rstrip("\n").rstrip() for line in f]


def load_palette():
    """The game's colours by name, from src/palette.txt ("name #rrggbb" per line)."""
    palette = {}
    for line in read_lines(src_path("palette.txt")):
        if not line or line.startswith("#"):
            continue
        name, value = line.split()
        palette[name] = (int(value[1:3], 16), int(value[3:5], 16), int(value[5:7], 16), 255)
    return palette


PALETTE = load_palette()


def colour(name):
    return PALETTE[name]


def load_grids(path):
    """Reads a grid file: a "legend" block mapping one character to a palette name, then named
    blocks of equally long rows. A block starts with "[name]" and ends at a blank line.
    '.' is always transparent. Returns {name: RGBA image}."""
    legend = {".": None}
    grids = {}
    current = None
    rows = []

    def finish():
        if current is None:
            return
        if current == "legend":
            for row in rows:
                key, name = row.split()
                legend[key] = name
        else:
            width = max(len(r) for r in rows)
            img = Image.new("RGBA", (width, len(rows)), TRANSPARENT)
            for y, row in enumerate(rows):
                for x, ch in enumerate(row):
                    name = legend[ch]
                    if name is not None:
                        img.putpixel((x, y), colour(name))
            grids[current] = img

    for line in read_lines(path):
        if line.startswith("#") and current is None:
            continue
        if line.startswith("["):
            finish()
            current = line.strip()[1:-1]
            rows = []
        elif not line.strip():
            finish()
            current = None
            rows = []
        elif current is not None:
            rows.append(line.strip())
    finish()
    return grids


def outline(img, rgba, diagonal=False):
    """A copy of img with a one-pixel border of rgba around every opaque pixel."""
    out = img.copy()
    w, h = img.size
    src = img.load()
    dst = out.load()
    steps = [(1, 0), (-1, 0), (0, 1), (0, -1)]
    if diagonal:
        steps += [(1, 1), (1, -1), (-1, 1), (-1, -1)]
    for y in range(h):
        for x in range(w):
            if src[x, y][3] != 0:
                continue
            for dx, dy in steps:
                nx, ny = x + dx, y + dy
                if 0 <= nx < w and 0 <= ny < h and src[nx, ny][3] != 0:
                    dst[x, y] = rgba
                    break
    return out


def scale(img, factor):
    return img.resize((img.width * factor, img.height * factor), Image.NEAREST)


def save_png(img, path):
    """Writes an RGBA PNG with fixed settings and no metadata, so equal images give equal bytes."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.convert("RGBA").save(path, format="PNG", optimize=False, compress_level=9)


class Rng:
    """Small deterministic generator (xorshift32) so the output never depends on Python's random."""

    def __init__(self, seed):
        self.state = (seed * 2654435761 + 1) & 0xFFFFFFFF or 1

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x

    def uniform(self):
        return self.next() / 4294967296.0

    def below(self, n):
        return self.next() % n


def hash2(x, y, seed=0):
    """Stable pseudo-random integer for a grid cell."""
    h = (x * 374761393 + y * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return h ^ (h >> 16)
