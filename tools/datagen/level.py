"""The level "main.tmx", written as the Tiled editor (1.8) writes maps, from src/level/.

terrain.txt says where the rock is; the ground tiles follow its outline and the colliders are merged
from it into few long rectangles (a body walking over the joint of two boxes can be stopped by it).
background.txt chooses the tiles behind everything; props.txt the details that stand behind the
characters, drawn in the ground's layer ("foreground"); overlay.txt the few drawn over them ("overlay");
objects.txt places the player, the enemies, the crates, the form regions, the exit and the tutorial
texts."""

import os
import shlex
from xml.sax.saxutils import quoteattr

import pixels
import tileset
from pixels import hash2

TILE = tileset.TILE
TILESET_IMAGE = "tiles/k7v_dr2m_rogue-noir.png"


def read_grid(name):
    """The rows of a level grid. Rows of rock may start with '#', so a comment is told apart by the
    spaces in it, which no grid row has."""
    return [line for line in pixels.read_lines(pixels.src_path("level", name)) if line and " " not in line]


def read_grids():
    terrain = read_grid("terrain.txt")
    background = read_grid("background.txt")
    props = read_grid("props.txt")
    overlay = read_grid("overlay.txt")
    size = (len(terrain[0]), len(terrain))
    for name, grid in (("background", background), ("props", props), ("overlay", overlay)):
        if (len(grid[0]), len(grid)) != size or any(len(r) != size[0] for r in grid):
            raise ValueError("%s grid is not %dx%d" % (name, size[0], size[1]))
    return terrain, background, props, overlay


SOLID = "#H"


def solid(terrain, x, y):
    """Outside the map counts as solid, so the borders get no edge."""
    if x < 0 or y < 0 or x >= len(terrain[0]) or y >= len(terrain):
        return True
    return terrain[y][x] in SOLID


def ground_tile(terrain, x, y):
    """The tile of a solid cell: its material's variant for the open sides around it."""
    mask = ((tileset.NORTH if solid(terrain, x, y - 1) else 0) | (tileset.EAST if solid(terrain, x + 1, y) else 0)
            | (tileset.SOUTH if solid(terrain, x, y + 1) else 0) | (tileset.WEST if solid(terrain, x - 1, y) else 0))
    if terrain[y][x] == "H":
        if mask == 15 and hash2(x, y, 2) % 7 == 0 and solid(terrain, x, y + 2):
            return "facade_window_lit" if hash2(x, y, 4) % 3 else "facade_window_dark"
        return tileset.facade_name(mask)
    if mask != 15:
        return tileset.ground_name(mask)
    for corner, (dx, dy) in (("ne", (1, -1)), ("nw", (-1, -1)), ("se", (1, 1)), ("sw", (-1, 1))):
        if not solid(terrain, x + dx, y + dy):
            return "corner_" + corner
    street = len(terrain) - STREET_DEPTH
    if y == street + 1 and not solid(terrain, x, street - 1):
        return below_street(x, y)
    if solid(terrain, x, y - 2) and terrain[y - 1][x] == "#":
        return underground(x, y, street)
    return ("ground_inner", "ground_inner", "ground_inner_2", "ground_inner_3", "ground_inner_4")[hash2(x, y) % 5]


# Rows of rock below the street, which runs along the whole map; the layers under it are laid out by
# their depth below the street, the same all along the level.
STREET_DEPTH = 10
STRATA_DEPTH = 3
PIPE_DEPTH = 6
BEDROCK_DEPTH = 7


def below_street(x, y):
    """The row just under the cobbles: cellar windows of the houses, roots of the grass."""
    h = hash2(x, y, 31)
    if x % 4 == 2 and h % 5 == 0:
        return "cellar_window" if hash2(x, y, 32) % 3 else "cellar_window_dark"
    if h % 4 == 1:
        return ("roots", "roots_2")[hash2(x, y, 33) % 2]
    return ("ground_inner", "ground_inner", "ground_inner_2", "ground_inner_3", "ground_inner_4")[hash2(x, y) % 5]


def underground(x, y, street):
    """The dark earth under the ground's surface: a band of stone layers, an old pipe in long stretches
    with a valve now and then, scattered bones, and large blocks of bedrock at the bottom."""
    depth = y - street
    if depth == STRATA_DEPTH:
        return ("strata", "strata_2")[hash2(x, y, 14) % 2]
    if depth >= BEDROCK_DEPTH:
        return ("bedrock", "bedrock_2")[hash2(x, y, 15) % 2]
    if depth == PIPE_DEPTH and (x // 12) % 3 == 1:
        return "deep_pipe_valve" if x % 12 == 7 else "deep_pipe"
    if hash2(x, y, 12) % 60 == 0:
        return "deep_bones"
    return ("deep", "deep", "deep_2", "deep_3")[hash2(x, y) % 4]


# Background characters: one tile each, or a choice among variants made by the cell's position.
BACKGROUND = {
    ".": ("sky", "sky", "sky", "sky", "sky_star", "sky", "sky_star_2", "sky", "sky_star_3"),
    "^": ("roof_a", "roof_b", "roof_c", "roof_a", "roof_b", "antenna"),
    "c": ("city", "city", "city", "city_window"),
    "t": ("wall_top",),
    "w": ("wall", "wall", "wall_2", "wall_3", "wall", "wall_2", "wall_cracked", "wall_moss"),
    "W": ("window_lit",), "o": ("window_dark",), "|": ("pipe",), "+": ("pipe_joint",),
    "I": ("pillar",), "d": ("wall_dark", "tunnel_back", "wall_dark"), "p": ("poster",), "r": ("drain",),
    "b": ("crate_bg",), "B": ("barrel",), "s": ("skull",), "x": ("bones",),
    "k": ("hall_chain",), "K": ("hall_chain_end",),
}
# Multi-cell pieces: the marker is the top-left cell, ':' fills the rest.
PIECES = {
    "m": [["moon_tl", "moon_tr"], ["moon_bl", "moon_br"]],
    "D": [["door_tl", "door_tr"], ["door_ml", "door_mr"], ["door_bl", "door_br"]],
}
# Details behind the characters (in the ground's layer) and the few in front of them.
PROPS = {
    "v": ("vine",), "V": ("vine_end",), "c": ("chain",), "C": ("chain_end",),
    "<": ("web_left",), ">": ("web_right",), "l": ("lamp_post",), "F": ("lamp_pole",),
    "E": ("sign_exit",), "d": ("drip",),
}
OVERLAY = {"g": ("grass", "grass_2", "grass_3"), "f": ("fog",), "=": ("bars",)}


def tile_layer(grid, table, skip=(".",), pieces=None):
    """Tile names per cell (None for no tile) for a background or overlay grid."""
    h, w = len(grid), len(grid[0])
    names = [[None] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            ch = grid[y][x]
            if pieces and ch in pieces:
                for dy, row in enumerate(pieces[ch]):
                    for dx, name in enumerate(row):
                        names[y + dy][x + dx] = name
            elif ch in table and ch not in skip:
                choices = table[ch]
                names[y][x] = choices[hash2(x, y, 7) % len(choices)]
            elif ch not in skip and ch not in (":", "#"):
                raise ValueError("unknown level character %r at %d,%d" % (ch, x, y))
    return names


def merge_colliders(terrain):
    """Rectangles (x, y, w, h in cells) covering the rock: maximal runs of each row, stacked downwards
    while the next row has exactly the same run. Every walking surface is thus one box."""
    open_boxes = {}
    boxes = []
    for y, row in enumerate(terrain):
        runs = []
        x = 0
        while x < len(row):
            if row[x] in SOLID:
                start = x
                while x < len(row) and row[x] in SOLID:
                    x += 1
                runs.append((start, x))
            else:
                x += 1
        still_open = {}
        for run in runs:
            box = open_boxes.get(run)
            if box is None:
                box = [run[0], y, run[1] - run[0], 0]
                boxes.append(box)
            box[3] += 1
            still_open[run] = box
        open_boxes = still_open
    return [tuple(b) for b in boxes]


def parse_objects():
    objects = []
    for number, line in enumerate(pixels.read_lines(pixels.src_path("level", "objects.txt")), 1):
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        words = shlex.split(line)
        entry = {"kind": words[0], "line": number, "lines": []}
        for word in words[1:]:
            key, sep, value = word.partition("=")
            if sep and key in ("at", "size", "health", "dir", "forms"):
                entry[key] = value
            else:
                entry["lines"].append(word)
        objects.append(entry)
    return objects


def pair(text):
    a, b = text.split(",")
    return float(a), float(b)


def number(value):
    """Pixels as Tiled writes them: whole numbers without a fraction."""
    return ("%d" % value) if float(value).is_integer() else ("%g" % value)


class MapWriter:
    def __init__(self):
        self.next_id = 1
        self.groups = []

    def group(self, name):
        objects = []
        self.groups.append((name, objects))
        return objects

    def add(self, objects, name, kind, x, y, w=None, h=None, props=(), point=False):
        objects.append((self.next_id, name, kind, x, y, w, h, list(props), point))
        self.next_id += 1


def render_object(obj):
    """One object as the editor writes it (properties sorted by name)."""
    oid, name, kind, x, y, w, h, props, point = obj
    attrs = 'id="%d"' % oid
    if name:
        attrs += " name=%s" % quoteattr(name)
    attrs += " type=%s" % quoteattr(kind)
    attrs += ' x="%s" y="%s"' % (number(x), number(y))
    if w is not None:
        attrs += ' width="%s" height="%s"' % (number(w), number(h))
    if not props and not point:
        return ["  <object %s/>" % attrs]
    lines = ["  <object %s>" % attrs]
    if props:
        lines.append("   <properties>")
        for pname, ptype, value in sorted(props):
            typed = ' type="%s"' % ptype if ptype != "string" else ""
            lines.append("    <property name=%s%s value=%s/>" % (quoteattr(pname), typed, quoteattr(value)))
        lines.append("   </properties>")
    if point:
        lines.append("   <point/>")
    lines.append("  </object>")
    return lines


def csv(names, gids):
    rows = []
    for row in names:
        rows.append(",".join(str(gids[n]) if n else "0" for n in row))
    return ",\n".join(rows)


def build(out_dir, gids):
    terrain, background, props, overlay = read_grids()
    w, h = len(terrain[0]), len(terrain)

    fore = [[ground_tile(terrain, x, y) if terrain[y][x] in SOLID else None for x in range(w)] for y in range(h)]
    for y in range(h):
        for x in range(w):
            if terrain[y][x] not in SOLID + ".":
                raise ValueError("unknown terrain character %r at %d,%d" % (terrain[y][x], x, y))
    for y, row in enumerate(tile_layer(props, PROPS, pieces={"L": tileset.LAMP_PIECE})):
        for x, name in enumerate(row):
            if name and fore[y][x]:
                raise ValueError("props.txt: %s at %d,%d stands in the rock" % (name, x, y))
            fore[y][x] = fore[y][x] or name
    back = tile_layer(background, BACKGROUND, skip=(), pieces=PIECES)
    for y in range(h):
        for x in range(w):
            if terrain[y][x] in SOLID:
                back[y][x] = None
    front = tile_layer(overlay, OVERLAY)

    writer = MapWriter()
    colliders = writer.group("colliders")
    for (cx, cy, cw, ch) in merge_colliders(terrain):
        writer.add(colliders, "rock", "Collider", cx * TILE, cy * TILE, cw * TILE, ch * TILE,
                   [("IsTrigger", "bool", "false")])

    entities = writer.group("entities")
    destroyables = writer.group("destroyables")
    triggers = writer.group("triggers")
    tutorial = writer.group("tutorial")
    objects = parse_objects()
    if sum(o["kind"] == "exit" for o in objects) != 1:
        raise ValueError("the level needs exactly one exit")
    players = [o for o in objects if o["kind"] == "player"]
    if len(players) != 1:
        raise ValueError("the level needs exactly one player")
    counts = {}
    # The player comes first, so that its bodies come first in the physics world.
    for o in players + [o for o in objects if o["kind"] != "player"]:
        kind = o["kind"]
        counts[kind] = counts.get(kind, 0) + 1
        x, y = pair(o["at"])
        if kind in ("player", "darklord", "sneaker"):
            px, py = (x + 0.5) * TILE, (y + 1) * TILE
            props = [("Health", "float", o["health"])]
            if kind == "player":
                writer.add(entities, "Player", "Player", px, py, props=props, point=True)
                continue
            direction = o["dir"]
            props += [("InitialMovementDirectionX", "float", direction),
                      ("InitialMovementDirectionY", "float", "0")]
            label = "Darklord" if kind == "darklord" else "Sneaker"
            writer.add(entities, "%s %d" % (label, counts[kind]), label, px, py, props=props, point=True)
        elif kind == "crates":
            sw, sh = pair(o["size"])
            writer.add(destroyables, "Crates %d" % counts[kind], "Destroyable", x * TILE, y * TILE,
                       sw * TILE, sh * TILE, [("CountX", "int", "%d" % sw), ("CountY", "int", "%d" % sh)])
        elif kind == "exit":
            sw, sh = pair(o["size"])
            writer.add(triggers, "Exit", "LevelExit", x * TILE, y * TILE, sw * TILE, sh * TILE)
        elif kind == "region":
            sw, sh = pair(o["size"])
            forms = o["forms"].split(",")
            unknown = set(forms) - {"human", "rat", "minotaur"}
            if unknown:
                raise ValueError("objects.txt:%d: unknown forms %s" % (o["line"], unknown))
            writer.add(triggers, "Forms: " + " ".join(forms), "AvailableRegion", x * TILE, y * TILE,
                       sw * TILE, sh * TILE,
                       [("MinotaurFormAvailable", "bool", "true" if "minotaur" in forms else "false"),
                        ("RatFormAvailable", "bool", "true" if "rat" in forms else "false"),
                        ("HumanFormAvailable", "bool", "true" if "human" in forms else "false")])
        elif kind == "text":
            size = int(o["size"])
            line_height = size + size // 4
            # One object per line: the text is drawn from its top-left corner, one line each.
            for i, text in enumerate(o["lines"]):
                writer.add(tutorial, "", "TutorialText", round(x * TILE), round(y * TILE) + i * line_height,
                           len(text) * size * 5 // 8, line_height,
                           [("TextSize", "int", "%d" % size), ("TextFont", "string", "default"),
                            ("Text", "string", text)])
        else:
            raise ValueError("objects.txt:%d: unknown object kind %r" % (o["line"], kind))

    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" renderorder="right-down" '
             'width="%d" height="%d" tilewidth="%d" tileheight="%d" infinite="0" nextlayerid="%d" nextobjectid="%d">'
             % (w, h, TILE, TILE, 9, writer.next_id),
             ' <tileset firstgid="1" name="rogue-noir" tilewidth="%d" tileheight="%d" tilecount="%d" columns="%d">'
             % (TILE, TILE, tileset.COLUMNS * tileset.ROWS, tileset.COLUMNS),
             '  <image source="%s" width="%d" height="%d"/>'
             % (TILESET_IMAGE, TILE * tileset.COLUMNS, TILE * tileset.ROWS),
             ' </tileset>']
    layer_id = 1
    for name, names in (("background", back), ("foreground", fore), ("overlay", front)):
        lines.append(' <layer id="%d" name="%s" width="%d" height="%d">' % (layer_id, name, w, h))
        lines.append('  <data encoding="csv">')
        lines.append(csv(names, gids))
        lines.append("</data>")
        lines.append(" </layer>")
        layer_id += 1
    colours = {"colliders": "#c8403c", "entities": "#f0c864", "destroyables": "#8c6a52",
               "triggers": "#7ccc68", "tutorial": "#bcc6de"}
    for name, objs in writer.groups:
        lines.append(' <objectgroup color="%s" id="%d" name="%s">' % (colours[name], layer_id, name))
        for obj in objs:
            lines.extend(render_object(obj))
        lines.append(" </objectgroup>")
        layer_id += 1
    lines.append("</map>")
    path = os.path.join(out_dir, "main.tmx")
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
