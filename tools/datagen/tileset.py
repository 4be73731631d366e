"""The level's tileset: 16 x 16 tiles drawn from the palette, packed 16 to a row.

Ground tiles come in the sixteen variants of a four-neighbour mask (which sides touch more ground),
so that neighbouring tiles join without seams. Hand-drawn pieces (windows, lamps, the crate) are text
grids in src/tiles.txt; the rest is drawn here."""

import math
import os

from PIL import Image

import pixels
from pixels import colour, hash2

TILE = 16
COLUMNS = 16
ROWS = 8

# Neighbour bits of the ground mask: a set bit means ground continues on that side.
NORTH, EAST, SOUTH, WEST = 1, 2, 4, 8

# Fixed places of the hand-picked tiles; the breakable block must sit at (240, 112).
PLACES = {
    "ground_inner": (0, 1), "ground_inner_2": (1, 1), "ground_inner_3": (2, 1), "ground_inner_4": (3, 1),
    "corner_ne": (4, 1), "corner_nw": (5, 1), "corner_se": (6, 1), "corner_sw": (7, 1),
    "cellar_window": (8, 1), "cellar_window_dark": (9, 1), "roots": (10, 1), "roots_2": (11, 1),
    "strata": (12, 1), "strata_2": (13, 1), "bedrock": (14, 1), "bedrock_2": (15, 1),
    "wall": (0, 2), "wall_2": (1, 2), "wall_3": (2, 2), "wall_cracked": (3, 2),
    "window_dark": (4, 2), "window_lit": (5, 2), "pipe": (6, 2), "pipe_joint": (7, 2),
    "wall_top": (8, 2), "pillar": (9, 2), "arch_left": (10, 2), "arch_right": (11, 2),
    "drain": (12, 2), "wall_moss": (13, 2), "poster": (14, 2), "wall_dark": (15, 2),
    "sky": (0, 3), "sky_star": (1, 3), "sky_star_2": (2, 3), "sky_star_3": (3, 3),
    "moon_tl": (4, 3), "moon_tr": (5, 3), "moon_bl": (6, 3), "moon_br": (7, 3),
    "roof_a": (8, 3), "roof_b": (9, 3), "roof_c": (10, 3), "city": (11, 3),
    "city_window": (12, 3), "sky_low": (13, 3), "sky_low_star": (14, 3), "antenna": (15, 3),
    "grass": (0, 4), "grass_2": (1, 4), "grass_3": (2, 4), "vine": (3, 4),
    "vine_end": (4, 4), "chain": (5, 4), "chain_end": (6, 4), "web_left": (7, 4),
    "web_right": (8, 4), "lamp_post": (9, 4), "lamp_pole": (10, 4), "hall_chain": (11, 4),
    "drip": (12, 4), "fog": (13, 4), "sign_exit": (14, 4), "bars": (15, 4),
    "door_tl": (0, 5), "door_tr": (1, 5), "door_ml": (2, 5), "door_mr": (3, 5),
    "door_bl": (4, 5), "door_br": (5, 5), "crate_bg": (6, 5), "barrel": (7, 5),
    "tunnel_back": (8, 5), "sewer_water": (9, 5), "bones": (10, 5), "skull": (11, 5),
    "deep_bones": (12, 5), "hall_chain_end": (13, 5), "deep_pipe": (14, 5), "deep_pipe_valve": (15, 5),
    "deep": (0, 7), "deep_2": (1, 7), "deep_3": (2, 7), "facade_window_lit": (3, 7), "facade_window_dark": (4, 7),
    "lamp_tl": (5, 7), "lamp_head": (6, 7), "lamp_tr": (7, 7),
    "lamp_ml": (8, 7), "lamp_pole_lit": (9, 7), "lamp_mr": (10, 7),
    "lamp_bl": (11, 7), "lamp_pole_low": (12, 7), "lamp_br": (13, 7),
    "block": (15, 7),
}
LAMP_PIECE = [["lamp_tl", "lamp_head", "lamp_tr"], ["lamp_ml", "lamp_pole_lit", "lamp_mr"],
              ["lamp_bl", "lamp_pole_low", "lamp_br"]]


def ground_name(mask):
    return "ground_%d" % mask


def facade_name(mask):
    return "facade_%d" % mask


def new_tile(fill=None):
    return Image.new("RGBA", (TILE, TILE), colour(fill) if fill else pixels.TRANSPARENT)


def put(img, x, y, name):
    if 0 <= x < TILE and 0 <= y < TILE:
        img.putpixel((x, y), colour(name))


def rect(img, x0, y0, x1, y1, name):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            put(img, x, y, name)


def stones(img, seed, fill, light, dark, mortar):
    """A wall of offset stones 8 x 4 pixels; every tile has the same seams so that tiles join."""
    for y in range(TILE):
        for x in range(TILE):
            row = y // 4
            shift = 4 if row % 2 else 0
            sx = (x + shift) % 8
            sy = y % 4
            stone = ((x + shift) // 8, row)
            if sy == 3 or sx == 7:
                c = mortar
            elif sy == 0 or sx == 0:
                c = light
            elif sy == 2 and sx >= 5:
                c = dark
            else:
                c = fill
            if c == fill and hash2(stone[0] * 7 + x, stone[1] * 5 + y, seed) % 23 == 0:
                c = dark
            put(img, x, y, c)


def earth(img, seed, dark=False):
    """Packed dark earth with scattered pebbles: the inside of the ground, quiet behind the surfaces."""
    base, speck, stone = ("night", "navy", "slate1") if dark else ("slate1", "navy", "slate2")
    for y in range(TILE):
        for x in range(TILE):
            h = hash2(x, y, seed)
            c = base
            if h % 29 == 0:
                c = speck
            put(img, x, y, c)
    rng = pixels.Rng(seed * 13 + (7 if dark else 3))
    for _ in range(2 if dark else 3):
        x, y = rng.below(13), rng.below(13)
        rect(img, x, y, x + 2, y + 1, stone)
        put(img, x, y, speck if dark else "slate3")
        rect(img, x, y + 2, x + 2, y + 2, speck)


def draw_ground(mask, seed=0):
    """Ground with a cobbled, moonlit cap where it is walked on and a lighter rim on open sides."""
    img = new_tile()
    earth(img, seed)
    if not mask & NORTH:
        rect(img, 0, 0, 15, 0, "fog")
        rect(img, 0, 1, 15, 1, "steel")
        for x in range(TILE):
            cobble = (x + 2) % 5
            for y in range(2, 5):
                put(img, x, y, "slate2" if cobble == 0 else ("slate3" if y < 4 else "slate2"))
            if cobble == 1:
                put(img, x, 2, "steel")
        rect(img, 0, 5, 15, 5, "navy")
    if not mask & SOUTH:
        rect(img, 0, 14, 15, 14, "navy")
        rect(img, 0, 15, 15, 15, "ink")
    for side, x_out, x_in in ((WEST, 0, 1), (EAST, 15, 14)):
        if not mask & side:
            rect(img, x_out, 0, x_out, 15, "slate3")
            rect(img, x_in, 0, x_in, 15, "slate2")
            if not mask & NORTH:
                put(img, x_out, 0, "pale")
                put(img, x_out, 1, "fog")
            if not mask & SOUTH:
                put(img, x_out, 15, "ink")
                put(img, x_in, 15, "ink")
    return img


def draw_deep(seed):
    img = new_tile()
    earth(img, seed + 40, dark=True)
    return img


def draw_roots(seed):
    """The earth just below the street, with roots of the grass and trees reaching down from the top."""
    img = draw_ground(15, seed)
    rng = pixels.Rng(seed * 7 + 11)
    for _ in range(3):
        x = 1 + rng.below(14)
        length = 6 + rng.below(9)
        for y in range(length):
            put(img, x, y, "brown" if y < length // 2 else "brown_dk")
            if y % 3 == 2:
                x = min(14, max(1, x + (1 if rng.below(2) else -1)))
                put(img, x, y, "brown_dk")
        if length > 9:
            put(img, x + 1, length - 3, "brown_dk")
    return img


def draw_strata(seed):
    """Layers of stone in the dark earth: two wavy bands that join the same bands of the tiles beside."""
    img = draw_deep(seed)
    for x in range(TILE):
        wave = round(1.4 * math.sin(2 * math.pi * x / TILE + seed))
        for y in range(4 + wave, 7 + wave):
            put(img, x, y, "slate2" if y == 4 + wave else "slate1")
        put(img, x, 7 + wave, "ink")
        thin = 11 - wave // 2
        put(img, x, thin, "navy")
        put(img, x, thin + 1, "slate1" if hash2(x, seed, 8) % 3 else "navy")
    return img


def draw_bedrock(seed):
    """The deepest rock: large dark blocks."""
    img = new_tile()
    stones(img, 60 + seed, "night", "navy", "ink", "ink")
    return img


def draw_hall_chain(end):
    """A chain hanging in the hall's dark back wall, behind whatever stands in front of it."""
    img = draw_wall(5, dark=True)
    img.alpha_composite(draw_chain(end))
    return img


def draw_facade(mask, window=None):
    """A building's wall in front of the characters: pale bricks, a cornice on top, dark open sides."""
    img = new_tile()
    stones(img, 30 + mask, "slate2", "slate3", "slate1", "ink")
    if window:
        rect(img, 3, 3, 12, 12, "ink")
        rect(img, 4, 4, 11, 11, "lamp" if window == "lit" else "night")
        if window == "lit":
            rect(img, 4, 4, 6, 6, "lamp_lt")
            rect(img, 4, 9, 11, 11, "amber")
        rect(img, 7, 4, 8, 11, "ink")
        rect(img, 4, 7, 11, 8, "ink")
        rect(img, 2, 13, 13, 13, "steel")
    if not mask & NORTH:
        rect(img, 0, 0, 15, 0, "pale")
        rect(img, 0, 1, 15, 2, "steel")
        rect(img, 0, 3, 15, 3, "ink")
    if not mask & SOUTH:
        rect(img, 0, 13, 15, 13, "steel")
        rect(img, 0, 14, 15, 15, "slate1")
    for side, x_out, x_in in ((WEST, 0, 1), (EAST, 15, 14)):
        if not mask & side:
            rect(img, x_out, 0, x_out, 15, "ink")
            rect(img, x_in, 0, x_in, 15, "slate3")
    return img


def draw_inner_corner(corner):
    """Interior ground whose diagonal neighbour is open: a small notch of edge light."""
    img = draw_ground(15)
    xs = {"ne": (14, 15), "nw": (0, 1), "se": (14, 15), "sw": (0, 1)}[corner]
    ys = {"ne": (0, 1), "nw": (0, 1), "se": (14, 15), "sw": (14, 15)}[corner]
    for x in range(xs[0], xs[1] + 1):
        for y in range(ys[0], ys[1] + 1):
            put(img, x, y, "slate1" if corner[0] == "s" else "steel")
    return img


def draw_wall(seed, cracked=False, moss=False, dark=False):
    img = new_tile()
    if dark:
        stones(img, seed, "night", "navy", "ink", "ink")
    else:
        stones(img, seed, "navy", "slate1", "night", "night")
    if cracked:
        for x, y in [(5, 2), (6, 3), (6, 4), (7, 5), (8, 6), (8, 7), (9, 8), (10, 9), (10, 10), (11, 11)]:
            put(img, x, y, "ink")
    if moss:
        for x in range(TILE):
            h = hash2(x, seed, 5) % 5
            for y in range(12 + (h > 2), 16):
                put(img, x, y, "moss_dk")
            if h == 0:
                put(img, x, 11, "moss_dk")
    return img


def draw_sky(stars=0, low=False):
    img = new_tile("navy" if low else "night")
    rng = pixels.Rng(17 + stars * 31 + (5 if low else 0))
    for _ in range(stars):
        x, y = 1 + rng.below(14), 1 + rng.below(14)
        put(img, x, y, "pale")
        if stars == 3 and _ == 0:
            put(img, x, y, "white")
    return img


def draw_moon(part):
    """A 32 x 32 moon split into four tiles."""
    img = new_tile("night")
    ox, oy = {"tl": (0, 0), "tr": (16, 0), "bl": (0, 16), "br": (16, 16)}[part]
    for y in range(TILE):
        for x in range(TILE):
            gx, gy = x + ox - 15.5, y + oy - 15.5
            d = (gx * gx + gy * gy) ** 0.5
            if d < 12:
                shadow = ((gx + 6) ** 2 + (gy - 3) ** 2) ** 0.5
                c = "moon"
                if shadow < 9:
                    c = "pale"
                if hash2(int(gx + 20), int(gy + 20), 3) % 9 == 0:
                    c = "fog"
                put(img, x, y, c)
            elif d < 14:
                put(img, x, y, "navy")
    return img


def draw_city(windows):
    img = new_tile("ink")
    if windows:
        for (x, y) in [(3, 4), (10, 9), (11, 9)]:
            put(img, x, y, "amber_dk" if x == 11 else "amber")
    return img


def draw_roof(kind):
    """Roof silhouettes standing on the city block below."""
    img = new_tile("night")
    heights = {"a": [9, 9, 9, 9, 9, 9, 4, 4, 4, 4, 9, 9, 9, 9, 9, 9],
               "b": [12, 12, 6, 6, 6, 6, 6, 6, 6, 6, 2, 2, 6, 6, 12, 12],
               "c": [14, 13, 12, 11, 10, 9, 8, 7, 7, 8, 9, 10, 11, 12, 13, 14]}[kind]
    for x, h in enumerate(heights):
        rect(img, x, h, x, 15, "ink")
    return img


def draw_antenna():
    img = new_tile("night")
    rect(img, 7, 3, 7, 15, "ink")
    rect(img, 4, 6, 10, 6, "ink")
    rect(img, 5, 9, 9, 9, "ink")
    put(img, 7, 2, "red")
    return img


def draw_grass(seed):
    img = new_tile()
    for x in range(TILE):
        h = hash2(x, seed, 9) % 6
        if h >= 2:
            top = 15 - (h - 1)
            for y in range(top, 16):
                put(img, x, y, "moss" if y > top else "slime_dk")
            if h == 5:
                put(img, x, top - 1, "moss")
    return img


def draw_vine(end):
    img = new_tile()
    length = 10 if end else 16
    for y in range(length):
        x = 7 + (1 if (y // 3) % 2 else 0)
        put(img, x, y, "moss_dk")
        if y % 4 == 1:
            put(img, x + 1, y, "moss")
            put(img, x - 1, y + 1, "moss")
    return img


def draw_chain(end):
    img = new_tile()
    for y in range(0, 16 if not end else 10):
        if y % 4 in (0, 1, 2):
            put(img, 7 if (y // 4) % 2 == 0 else 8, y, "steel")
        if y % 4 == 1:
            put(img, 6, y, "slate3")
            put(img, 9, y, "slate3")
    if end:
        rect(img, 6, 10, 9, 12, "slate3")
        rect(img, 7, 13, 8, 13, "steel")
    return img


def draw_web(side):
    img = new_tile()
    for i in range(12):
        x = i if side == "left" else 15 - i
        put(img, x, 0, "fog")
        put(img, 0 if side == "left" else 15, i, "fog")
        if i % 4 == 2:
            for j in range(0, 12 - i):
                put(img, x + (0 if side == "left" else 0), j, "slate3")
    for k in range(10):
        x = k if side == "left" else 15 - k
        put(img, x, k, "fog")
    return img


def lamp_piece(grids):
    """A street lamp with its light: 3 x 3 tiles of glow falling off in steps around the bulb, with the
    lamp's head and pole in the middle column."""
    size = 3 * TILE
    glow = Image.new("RGBA", (size, size), pixels.TRANSPARENT)
    lamp = colour("lamp")
    cx, cy = 23.5, 8.5
    for y in range(size):
        for x in range(size):
            # Wider than high, brighter below the bulb than above it.
            d = (((x + 0.5 - cx) / 23.0) ** 2 + ((y + 0.5 - cy) / (30.0 if y > cy else 14.0)) ** 2) ** 0.5
            if d < 1:
                a = int(70 * (1 - d) ** 1.2)
                a -= a % 14
                if a > 0:
                    glow.putpixel((x, y), (lamp[0], lamp[1], lamp[2], a))
    glow.alpha_composite(grids["lamp_head"], (TILE, 0))
    glow.alpha_composite(grids["lamp_top_pole"], (TILE, TILE))
    glow.alpha_composite(grids["lamp_top_pole"], (TILE, 2 * TILE))
    tiles = {}
    for row, names in enumerate(LAMP_PIECE):
        for col, name in enumerate(names):
            tiles[name] = glow.crop((col * TILE, row * TILE, (col + 1) * TILE, (row + 1) * TILE))
    return tiles


def draw_fog():
    img = new_tile()
    c = colour("fog")
    for y in range(8, 16):
        for x in range(TILE):
            if hash2(x, y, 21) % 3 == 0:
                img.putpixel((x, y), (c[0], c[1], c[2], 28 + (y - 8) * 4))
    return img


def draw_water():
    img = new_tile()
    rect(img, 0, 6, 15, 15, "slime_dk")
    rect(img, 0, 6, 15, 6, "slime")
    for x in range(0, 16, 5):
        put(img, x, 7, "slime_lt")
    return img


def build(out_dir):
    """Writes the tileset image and returns {tile name: global id in the map (local index + 1)}."""
    sheet = Image.new("RGBA", (TILE * COLUMNS, TILE * ROWS), pixels.TRANSPARENT)
    grids = pixels.load_grids(pixels.src_path("tiles.txt"))
    tiles = {}
    for mask in range(16):
        tiles[ground_name(mask)] = ((mask, 0), draw_ground(mask))
        tiles[facade_name(mask)] = ((mask, 6), draw_facade(mask))
    drawn = {
        "ground_inner": draw_ground(15),
        "ground_inner_2": draw_ground(15, 1),
        "ground_inner_3": draw_ground(15, 2),
        "ground_inner_4": draw_ground(15, 3),
        "corner_ne": draw_inner_corner("ne"), "corner_nw": draw_inner_corner("nw"),
        "corner_se": draw_inner_corner("se"), "corner_sw": draw_inner_corner("sw"),
        "wall": draw_wall(0), "wall_2": draw_wall(1), "wall_3": draw_wall(2),
        "wall_cracked": draw_wall(3, cracked=True), "wall_moss": draw_wall(4, moss=True),
        "wall_dark": draw_wall(5, dark=True),
        "sky": draw_sky(), "sky_star": draw_sky(1), "sky_star_2": draw_sky(2), "sky_star_3": draw_sky(3),
        "sky_low": draw_sky(low=True), "sky_low_star": draw_sky(1, low=True),
        "moon_tl": draw_moon("tl"), "moon_tr": draw_moon("tr"),
        "moon_bl": draw_moon("bl"), "moon_br": draw_moon("br"),
        "roof_a": draw_roof("a"), "roof_b": draw_roof("b"), "roof_c": draw_roof("c"),
        "city": draw_city(False), "city_window": draw_city(True), "antenna": draw_antenna(),
        "grass": draw_grass(0), "grass_2": draw_grass(1), "grass_3": draw_grass(2),
        "vine": draw_vine(False), "vine_end": draw_vine(True),
        "chain": draw_chain(False), "chain_end": draw_chain(True),
        "web_left": draw_web("left"), "web_right": draw_web("right"),
        "deep": draw_deep(0), "deep_2": draw_deep(1), "deep_3": draw_deep(2),
        "facade_window_lit": draw_facade(15, "lit"), "facade_window_dark": draw_facade(15, "dark"),
        "fog": draw_fog(), "sewer_water": draw_water(),
        "roots": draw_roots(4), "roots_2": draw_roots(5),
        "strata": draw_strata(0), "strata_2": draw_strata(3),
        "bedrock": draw_bedrock(0), "bedrock_2": draw_bedrock(1),
        "hall_chain": draw_hall_chain(False), "hall_chain_end": draw_hall_chain(True),
    }
    drawn.update(lamp_piece(grids))
    for name, place in PLACES.items():
        if name in drawn:
            img = drawn[name]
        elif name in grids:
            img = compose(name, grids[name])
        elif name == "lamp_post":
            img = grids["lamp_top_pole"]
        else:
            raise ValueError("tile %s has no drawing" % name)
        tiles[name] = (place, img)
    used = {}
    for name, (place, img) in tiles.items():
        if place in used:
            raise ValueError("tiles %s and %s share a place" % (name, used[place]))
        used[place] = name
        sheet.paste(img, (place[0] * TILE, place[1] * TILE))
    pixels.save_png(sheet, os.path.join(out_dir, "tiles", "k7v_dr2m_rogue-noir.png"))
    return {name: place[1] * COLUMNS + place[0] + 1 for name, (place, _) in tiles.items()}


# Hand-drawn tiles are laid over a drawn backdrop where they have transparent pixels.
BACKDROPS = {
    "window_dark": lambda: draw_wall(6), "window_lit": lambda: draw_wall(7),
    "pipe": lambda: draw_wall(8), "pipe_joint": lambda: draw_wall(9),
    "pillar": lambda: draw_wall(10), "arch_left": lambda: draw_wall(11), "arch_right": lambda: draw_wall(12),
    "drain": lambda: draw_wall(13), "poster": lambda: draw_wall(14), "wall_top": lambda: draw_sky(),
    "door_tl": lambda: draw_wall(15), "door_tr": lambda: draw_wall(16), "door_ml": lambda: draw_wall(17),
    "door_mr": lambda: draw_wall(18), "door_bl": lambda: draw_wall(19), "door_br": lambda: draw_wall(20),
    "crate_bg": lambda: draw_wall(21),
    "deep_bones": lambda: draw_deep(3), "deep_pipe": lambda: draw_deep(5),
    "deep_pipe_valve": lambda: draw_deep(6), "cellar_window": lambda: draw_ground(15, 4),
    "cellar_window_dark": lambda: draw_ground(15, 5), "barrel": lambda: draw_wall(22), "tunnel_back": lambda: draw_wall(23, dark=True),
}


def compose(name, grid):
    if grid.size != (TILE, TILE):
        raise ValueError("tile %s is %dx%d" % (name, grid.width, grid.height))
    backdrop = BACKDROPS.get(name)
    if backdrop is None:
        return grid
    img = backdrop()
    img.alpha_composite(grid)
    return img
