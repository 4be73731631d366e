#!/usr/bin/python3
"""Writes a corpus of small TMX maps, one feature each plus a few combined, with their tileset images, and
the JSON twin of every map and tileset as Tiled's command line converts it.

Usage: make_maps.py OUTDIR. Every map is meant to render identically in the engine and in Tiled's
tmxrasterizer. A JSON twin names the other format's external tilesets and templates (x.tsx becomes
x.tsj and the other way round), so that maps of each format use tilesets and templates of both.
"""
import base64
import glob
import gzip
import os
import re
import struct
import subprocess
import sys
import zlib

from PIL import Image

H_FLIP, V_FLIP, D_FLIP, HEX_TURN = 0x80000000, 0x40000000, 0x20000000, 0x10000000


def tile_image(width, height, index, translucent=False):
    """A tile whose colour follows its index, with marks that tell every flip apart."""
    base = ((index * 53) % 200 + 40, (index * 97) % 200 + 30, (index * 31) % 200 + 50, 255)
    image = Image.new("RGBA", (width, height), base)
    pixels = image.load()
    for y in range(height):
        for x in range(width):
            if x < width // 3 and y < height // 4:
                pixels[x, y] = (255, 255, 255, 255)
            elif x == width - 1:
                pixels[x, y] = (255, 0, 0, 255)
            elif y == height - 1 and x < width // 2:
                pixels[x, y] = (0, 0, 255, 255)
            elif (x + 2 * y) % 7 == 0:
                pixels[x, y] = (base[0] // 2, base[1] // 2, base[2] // 2, 255)
    if translucent:
        for y in range(height // 2, height):
            for x in range(width // 2, width):
                pixels[x, y] = (250, 200, 20, 96) if (x + y) % 2 else (0, 0, 0, 0)
    return image


def sheet(path, columns, rows, tile_width, tile_height, margin=0, spacing=0, first_index=0):
    width = 2 * margin + columns * tile_width + (columns - 1) * spacing
    height = 2 * margin + rows * tile_height + (rows - 1) * spacing
    image = Image.new("RGBA", (width, height), (255, 0, 255, 255))
    for row in range(rows):
        for column in range(columns):
            index = first_index + row * columns + column
            tile = tile_image(tile_width, tile_height, index, translucent=index % 5 == 4)
            image.paste(tile, (margin + column * (tile_width + spacing), margin + row * (tile_height + spacing)))
    image.save(path)
    return width, height


def tileset_xml(first_gid, name, source, tile_width, tile_height, columns, count, size, margin=0, spacing=0,
                extra="", trans=""):
    margin_text = f' margin="{margin}"' if margin else ""
    spacing_text = f' spacing="{spacing}"' if spacing else ""
    trans_text = f' trans="{trans}"' if trans else ""
    return (f' <tileset firstgid="{first_gid}" name="{name}" tilewidth="{tile_width}" tileheight="{tile_height}"'
            f'{spacing_text}{margin_text} tilecount="{count}" columns="{columns}">\n  <image source="{source}"'
            f'{trans_text} width="{size[0]}" height="{size[1]}"/>\n{extra} </tileset>\n')


def encode(gids, encoding, compression=None):
    if encoding == "csv":
        return "\n" + ",".join(str(g) for g in gids) + "\n"
    raw = struct.pack("<%dI" % len(gids), *gids)
    if compression == "zlib":
        raw = zlib.compress(raw)
    elif compression == "gzip":
        raw = gzip.compress(raw)
    elif compression == "zstd":
        raw = subprocess.run(["zstd", "-q", "-c"], input=raw, stdout=subprocess.PIPE, check=True).stdout
    return "\n   " + base64.b64encode(raw).decode() + "\n  "


def layer_xml(name, width, height, gids, encoding="csv", compression=None, attributes=""):
    if encoding == "xml":
        data = "  <data>\n" + "".join(f'   <tile gid="{g}"/>\n' if g else "   <tile/>\n" for g in gids) + "  </data>\n"
    else:
        comp = f' compression="{compression}"' if compression else ""
        data = f'  <data encoding="{encoding}"{comp}>{encode(gids, encoding, compression)}</data>\n'
    return f' <layer name="{name}" width="{width}" height="{height}"{attributes}>\n{data} </layer>\n'


def map_xml(width, height, tile_width, tile_height, body, attributes=""):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            f'<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" renderorder="right-down" '
            f'width="{width}" height="{height}" tilewidth="{tile_width}" tileheight="{tile_height}" '
            f'infinite="0"{attributes}>\n{body}</map>\n')


def oriented_maps(out):
    """Every orientation, stagger axis, stagger index and render order (only orthogonal maps follow the render
    order), each with tiles of the grid's size, taller ones with a tile offset and smaller ones, flips (on
    hexagonal maps, turns by 60 and 120 degrees) and offset layers. Some tile sizes and side lengths are odd,
    which the editor rounds; two infinite maps have chunks at negative positions."""
    orders = ("right-down", "right-up", "left-down", "left-up")
    variants = [("isometric", "", tw, th) for tw, th in ((32, 16), (31, 15), (64, 32), (30, 18))]
    for i, (axis, index) in enumerate((a, i) for a in "xy" for i in ("odd", "even")):
        variants.append(("staggered", f' staggeraxis="{axis}" staggerindex="{index}"', 32 + i % 2, 16 + i // 2))
        side = (9, 12, 10, 13)[i]
        variants.append(("hexagonal", f' staggeraxis="{axis}" staggerindex="{index}" hexsidelength="{side}"',
                         28 + i // 2, 24 + i % 2))
    flips = [0, H_FLIP, V_FLIP, D_FLIP, H_FLIP | V_FLIP, H_FLIP | D_FLIP, V_FLIP | D_FLIP, H_FLIP | V_FLIP | D_FLIP,
             HEX_TURN, HEX_TURN | D_FLIP, HEX_TURN | H_FLIP]
    for n, (orientation, attributes, tw, th) in enumerate(variants):
        order = orders[n % 4]
        name = "-".join(re.findall(r'"(\w+)"', attributes)) or order
        ground = sheet(os.path.join(out, f"cells{tw}x{th}.png"), 3, 2, tw, th, first_index=n)
        tall = sheet(os.path.join(out, f"tall{tw}x{th}.png"), 2, 2, tw + 4, 2 * th + 5, first_index=n + 7)
        small = sheet(os.path.join(out, f"small{tw}x{th}.png"), 2, 1, tw // 2 + 1, th // 2 + 3, first_index=n + 3)
        tilesets = (tileset_xml(1, "cells", f"cells{tw}x{th}.png", tw, th, 3, 6, ground) +
                    tileset_xml(7, "tall", f"tall{tw}x{th}.png", tw + 4, 2 * th + 5, 2, 4, tall,
                                extra='  <tileoffset x="-3" y="4"/>\n') +
                    tileset_xml(11, "small", f"small{tw}x{th}.png", tw // 2 + 1, th // 2 + 3, 2, 2, small))
        turnable = [f for f in flips if orientation == "hexagonal" or not f & HEX_TURN]
        things = [0 if (i * 5 + n) % 3 else (7 + i % 4) | turnable[i % len(turnable)] for i in range(42)]
        bits = [0 if (i + n) % 4 else (11 + i % 2) | turnable[(i // 4) % len(turnable)] for i in range(42)]
        body = (tilesets + layer_xml("ground", 7, 6, pattern(7, 6, 6)) +
                ' <group name="above" offsetx="3" offsety="-4">\n' + layer_xml("things", 7, 6, things) + ' </group>\n' +
                layer_xml("bits", 7, 6, bits, attributes=' offsetx="-5" offsety="2"'))
        if n == 0:
            body += (' <objectgroup name="objects">\n  <object id="1" x="16" y="16" width="48" height="32"/>\n'
                     '  <object id="2" x="64" y="8" width="32" height="16"><ellipse/></object>\n'
                     '  <object id="3" x="20" y="60" rotation="30"><polygon points="0,0 30,0 16,24"/></object>\n'
                     '  <object id="4" gid="2" x="80" y="80" width="32" height="16"/>\n </objectgroup>\n')
        write(out, f"{orientation}-{name}.tmx", map_xml(7, 6, tw, th, body).replace(
            'orientation="orthogonal" renderorder="right-down"',
            f'orientation="{orientation}" renderorder="{order}"{attributes}'))
    # Infinite maps lay out the blocks of 16 cells that hold tiles, however far from the origin.
    for orientation, attributes in (("isometric", ""), ("hexagonal", ' staggeraxis="y" staggerindex="even" '
                                                                     'hexsidelength="8"')):
        chunks = "".join(f'   <chunk x="{x}" y="{y}" width="4" height="4">' +
                         ",".join(str(0 if (i + x) % 5 == 0 else 1 + (i + y) % 6) for i in range(16)) + '</chunk>\n'
                         for x, y in ((-16, -16), (0, 0), (17, -3)))
        write(out, f"{orientation}-infinite.tmx",
              f'<?xml version="1.0" encoding="UTF-8"?>\n<map version="1.8" orientation="{orientation}"{attributes} '
              'renderorder="right-down" width="5" height="5" tilewidth="32" tileheight="16" infinite="1">\n' +
              tileset_xml(1, "cells", "cells32x16.png", 32, 16, 3, 6, (96, 32)) +
              ' <layer name="a" width="5" height="5">\n  <data encoding="csv">\n' + chunks +
              '  </data>\n </layer>\n</map>\n')


def pattern(width, height, count, first_gid=1, holes=True):
    gids = []
    for y in range(height):
        for x in range(width):
            if holes and (x * 3 + y * 5) % 7 == 0:
                gids.append(0)
            else:
                gids.append(first_gid + (x + y * width) % count)
    return gids


def write(out, name, text):
    os.makedirs(os.path.dirname(os.path.join(out, name)), exist_ok=True)
    with open(os.path.join(out, name), "w", encoding="utf-8") as file:
        file.write(text)


TEMPLATES = {
    "chest.tx": '<template><tileset firstgid="1" source="../sets/other.{0}"/><object name="Chest" type="Loot" '
                'gid="2147483650" width="16" height="16"><properties><property name="gold" type="int" value="5"/>'
                '<property name="stats" type="class" propertytype="Stats"><properties><property name="hp" '
                'type="int" value="3"/><property name="label" value="big"/><property name="weight" type="float" '
                'value="2.5"/></properties></property></properties></object></template>',
    "chest.tj": '{{"type": "template", "tileset": {{"firstgid": 1, "source": "../sets/other.{0}"}}, "object": '
                '{{"name": "Chest", "type": "Loot", "gid": 2147483650, "width": 16, "height": 16, "properties": '
                '[{{"name": "gold", "type": "int", "value": 5}}, {{"name": "stats", "type": "class", "propertytype": '
                '"Stats", "value": {{"hp": 3, "label": "big", "weight": 2.5}}}}]}}}}',
    "sign.tx": '<template><tileset firstgid="1" source="../sets/other.{0}"/><object name="Sign" type="Sign" '
               'width="40" height="12"><properties><property name="lines" type="int" value="2"/></properties>'
               '<text wrap="1">Hello</text></object></template>',
    "sign.tj": '{{"type": "template", "tileset": {{"firstgid": 1, "source": "../sets/other.{0}"}}, "object": '
               '{{"name": "Sign", "type": "Sign", "width": 40, "height": 12, "text": {{"text": "Hello", "wrap": true}}, '
               '"properties": [{{"name": "lines", "type": "int", "value": 2}}]}}}}',
}


def template_files(out):
    """Two templates, each in both formats. The map of each format names chest.tx and sign.tj, or chest.tj and
    sign.tx, which name its own format's tileset, so that their tile ids are renumbered for it."""
    for name, text in TEMPLATES.items():
        own_format = name in ("chest.tx", "sign.tj")
        write(out, "templates/" + name, text.format("tsx" if own_format else "tsj"))


def to_json(out):
    """Converts every map and tileset with Tiled, then swaps the formats of the files the maps name."""
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    for path in sorted(glob.glob(os.path.join(out, "**", "*.ts[x]"), recursive=True) +
                       glob.glob(os.path.join(out, "**", "*.tmx"), recursive=True)):
        kind = "--export-tileset" if path.endswith(".tsx") else "--export-map"
        subprocess.run(["tiled", kind, "json", path, path[:-4] + (".tsj" if path.endswith(".tsx") else ".tmj")],
                       check=True, env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    swap = {".tsx": ".tsj", ".tsj": ".tsx", ".tx": ".tj", ".tj": ".tx"}
    for path in glob.glob(os.path.join(out, "*.tmj")):
        with open(path, encoding="utf-8") as file:
            text = file.read()
        text = re.sub(r'("(?:source|template)":\s*"[^"]*?)(\.tsx|\.tsj|\.tx|\.tj)"',
                      lambda m: m.group(1) + swap[m.group(2)] + '"', text)
        with open(path, "w", encoding="utf-8") as file:
            file.write(text)


def main(out):
    os.makedirs(out, exist_ok=True)
    size = sheet(os.path.join(out, "tiles.png"), 4, 3, 16, 16)
    tiles = tileset_xml(1, "tiles", "tiles.png", 16, 16, 4, 12, size)
    gids = pattern(6, 5, 12)

    write(out, "csv.tmx", map_xml(6, 5, 16, 16, tiles + layer_xml("ground", 6, 5, gids)))
    write(out, "base64.tmx", map_xml(6, 5, 16, 16, tiles + layer_xml("ground", 6, 5, gids, "base64")))
    for compression in ("zlib", "gzip", "zstd"):
        write(out, f"base64-{compression}.tmx",
              map_xml(6, 5, 16, 16, tiles + layer_xml("ground", 6, 5, gids, "base64", compression)))
    write(out, "xml-tiles.tmx", map_xml(6, 5, 16, 16, tiles + layer_xml("ground", 6, 5, gids, "xml")))

    # External tilesets, one in a subfolder whose image path is relative to the tileset file.
    os.makedirs(os.path.join(out, "sets"), exist_ok=True)
    sub_size = sheet(os.path.join(out, "sets", "other.png"), 3, 2, 16, 16, first_index=20)
    write(out, "sets/other.tsx", '<?xml version="1.0" encoding="UTF-8"?>\n<tileset version="1.8" '
          'tiledversion="1.8.2" name="other" tilewidth="16" tileheight="16" tilecount="6" columns="3">\n'
          f' <image source="other.png" width="{sub_size[0]}" height="{sub_size[1]}"/>\n'
          ' <tile id="1" type="Crate">\n  <properties>\n   <property name="weight" type="float" value="2.5"/>\n'
          '  </properties>\n </tile>\n</tileset>\n')
    write(out, "external-tileset.tmx", map_xml(
        5, 4, 16, 16, tiles + ' <tileset firstgid="13" source="sets/other.tsx"/>\n' +
        layer_xml("ground", 5, 4, [(i * 7) % 19 for i in range(20)])))

    # Flips: every combination of the three flags on a few tiles.
    flags = [0, H_FLIP, V_FLIP, D_FLIP, H_FLIP | V_FLIP, H_FLIP | D_FLIP, V_FLIP | D_FLIP, H_FLIP | V_FLIP | D_FLIP]
    flip_gids = [(1 + i % 12) | flags[i % 8] for i in range(24)]
    write(out, "flips.tmx", map_xml(8, 3, 16, 16, tiles + layer_xml("ground", 8, 3, flip_gids)))
    write(out, "flips-base64.tmx", map_xml(8, 3, 16, 16, tiles + layer_xml("ground", 8, 3, flip_gids, "base64",
                                                                              "zlib")))

    # Margin and spacing.
    spaced_size = sheet(os.path.join(out, "spaced.png"), 4, 3, 16, 16, margin=3, spacing=2)
    write(out, "margin-spacing.tmx", map_xml(6, 5, 16, 16, tileset_xml(
        1, "spaced", "spaced.png", 16, 16, 4, 12, spaced_size, margin=3, spacing=2) + layer_xml("ground", 6, 5, gids)))

    # Tiles larger and smaller than the grid, with a tile offset, flipped too.
    big_size = sheet(os.path.join(out, "big.png"), 3, 2, 24, 40, first_index=5)
    small_size = sheet(os.path.join(out, "small.png"), 2, 2, 8, 8, first_index=9)
    big_gids = [0 if (i % 4 == 1) else 1 + i % 6 for i in range(30)]
    big_gids[7] |= H_FLIP
    big_gids[12] |= D_FLIP
    big_gids[18] |= V_FLIP | D_FLIP
    write(out, "large-tiles.tmx", map_xml(6, 5, 16, 16, tileset_xml(
        1, "big", "big.png", 24, 40, 3, 6, big_size) + layer_xml("ground", 6, 5, big_gids)))
    write(out, "small-tiles.tmx", map_xml(6, 5, 16, 16, tileset_xml(
        1, "small", "small.png", 8, 8, 2, 4, small_size) + layer_xml("ground", 6, 5, [
            0 if i % 3 == 0 else (1 + i % 4) | (H_FLIP if i % 5 == 0 else 0) for i in range(30)])))
    write(out, "tile-offset.tmx", map_xml(6, 5, 16, 16, tileset_xml(
        1, "big", "big.png", 24, 40, 3, 6, big_size, extra='  <tileoffset x="5" y="-3"/>\n') +
        tileset_xml(7, "tiles", "tiles.png", 16, 16, 4, 12, size, extra='  <tileoffset x="-4" y="6"/>\n') +
        layer_xml("ground", 6, 5, [(1 + i % 18) if i % 3 else 0 for i in range(30)])))

    # Image collection: one image per tile, of different sizes, ids not contiguous.
    collection = ""
    for tile_id, (w, h) in {0: (16, 16), 3: (32, 24), 7: (12, 40), 9: (16, 8)}.items():
        tile_image(w, h, tile_id * 3 + 1, translucent=tile_id == 7).save(os.path.join(out, f"piece{tile_id}.png"))
        collection += f'  <tile id="{tile_id}">\n   <image width="{w}" height="{h}" source="piece{tile_id}.png"/>\n  </tile>\n'
    write(out, "image-collection.tmx", map_xml(6, 5, 16, 16, tiles +
        ' <tileset firstgid="13" name="pieces" tilewidth="32" tileheight="40" tilecount="4" columns="0">\n'
        '  <grid orientation="orthogonal" width="1" height="1"/>\n' + collection + ' </tileset>\n' +
        layer_xml("ground", 6, 5, [[0, 13, 16, 20, 22, 5][(i * 5) % 6] | (H_FLIP if i % 7 == 3 else 0)
                                   for i in range(30)])))

    # Layer offsets, opacity, visibility, tint; group layers combining theirs.
    second = pattern(6, 5, 12, holes=False)
    write(out, "layer-attributes.tmx", map_xml(6, 5, 16, 16, tiles +
        layer_xml("back", 6, 5, second) +
        layer_xml("shifted", 6, 5, gids, attributes=' offsetx="5" offsety="-7" opacity="0.5"') +
        layer_xml("hidden", 6, 5, second, attributes=' visible="0"') +
        layer_xml("offset-right", 6, 5, [g if i % 4 == 0 else 0 for i, g in enumerate(gids)],
                  attributes=' offsetx="12.5" offsety="9"')))
    # Tiled tints the partly transparent pixels of a tile towards the tint colour, where the engine multiplies
    # them like the opaque ones; the tinted layers use opaque tiles only.
    opaque = [g if g % 5 else g - 1 for g in second]
    write(out, "tint.tmx", map_xml(6, 5, 16, 16, tiles +
        layer_xml("back", 6, 5, opaque, attributes=' tintcolor="#80c0ff"') +
        layer_xml("front", 6, 5, [g if i % 3 == 0 else 0 for i, g in enumerate(opaque)],
                  attributes=' tintcolor="#7fff4000" opacity="0.75"')))
    write(out, "groups.tmx", map_xml(6, 5, 16, 16, tiles +
        layer_xml("first", 6, 5, second) +
        ' <group name="outer" offsetx="4" offsety="3" opacity="0.8">\n' +
        layer_xml("inner", 6, 5, gids, attributes=' offsetx="2" opacity="0.5"') +
        '  <group name="nested" offsety="-5">\n' +
        layer_xml("deep", 6, 5, [g if i % 2 else 0 for i, g in enumerate(gids)]) +
        '  </group>\n  <group name="invisible" visible="0">\n' +
        layer_xml("never", 6, 5, second) + '  </group>\n </group>\n' +
        layer_xml("last", 6, 5, [g if i % 5 == 0 else 0 for i, g in enumerate(second)])))

    # Infinite map: chunks at negative and positive positions, base64 in one layer, CSV in the other.
    def chunk(cx, cy, encoding, compression=None, seed=0):
        values = [0 if (i + seed) % 6 == 0 else 1 + (i + seed) % 12 for i in range(16)]
        comp = f' compression="{compression}"' if compression else ""
        return (f'   <chunk x="{cx}" y="{cy}" width="4" height="4">{encode(values, encoding, compression)}'
                '</chunk>\n', comp)
    c1, _ = chunk(-4, -4, "csv", seed=1)
    c2, _ = chunk(4, 0, "csv", seed=2)
    c3, comp = chunk(0, 4, "base64", "zlib", seed=3)
    write(out, "infinite.tmx",
          '<?xml version="1.0" encoding="UTF-8"?>\n<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" '
          'renderorder="right-down" width="10" height="10" tilewidth="16" tileheight="16" infinite="1">\n' + tiles +
          ' <layer name="a" width="12" height="12" offsetx="0" offsety="0">\n  <data encoding="csv">\n' + c1 + c2 +
          '  </data>\n </layer>\n <layer name="b" width="4" height="4">\n  <data encoding="base64"'
          + comp + '>\n' + c3 + '  </data>\n </layer>\n</map>\n')

    # Object, image and group layers mixed with tile layers; object and image layers are hidden for Tiled.
    write(out, "objects-and-images.tmx", map_xml(6, 5, 16, 16, tiles +
        '<properties>\n  <property name="music" value="cave.ogg"/>\n </properties>\n' +
        layer_xml("ground", 6, 5, gids) +
        ' <objectgroup name="things">\n  <object id="1" name="p" type="Player" x="10.5" y="20.25"/>\n'
        '  <object id="2" x="3" y="4"><ellipse/></object>\n'
        '  <object id="3" x="30" y="20"><polygon points="0,0 10,5 -4,8"/></object>\n'
        '  <object id="4" gid="3" x="16" y="48" width="16" height="16"/>\n </objectgroup>\n'
        ' <imagelayer name="picture"><image source="tiles.png"/></imagelayer>\n' +
        layer_xml("top", 6, 5, [g if i % 4 == 1 else 0 for i, g in enumerate(second)])))

    # The picture grows by the offsets of every layer, hidden, object and image layers included; an infinite
    # map's picture covers the 16-tile blocks that hold tiles, and a chunk of empty cells adds nothing.
    write(out, "offsets-of-all-layers.tmx", map_xml(4, 4, 16, 16, tiles +
        layer_xml("ground", 4, 4, pattern(4, 4, 12)) +
        ' <objectgroup name="things" offsetx="-10" offsety="7"/>\n'
        ' <imagelayer name="picture" offsetx="20" offsety="-30"><image source="tiles.png"/></imagelayer>\n'
        ' <group name="empty" offsetx="-3" offsety="41"/>\n' +
        layer_xml("hidden", 4, 4, pattern(4, 4, 12), attributes=' visible="0" offsetx="30"')))
    write(out, "infinite-sparse.tmx",
          '<?xml version="1.0" encoding="UTF-8"?>\n<map version="1.8" orientation="orthogonal" '
          'renderorder="right-down" width="4" height="4" tilewidth="16" tileheight="16" infinite="1">\n' + tiles +
          ' <layer name="a" width="4" height="4" offsetx="5" offsety="-3">\n  <data encoding="csv">\n' + c2 +
          '   <chunk x="48" y="-32" width="4" height="4">' + ",".join(["0"] * 16) + '</chunk>\n'
          '  </data>\n </layer>\n <layer name="none" width="4" height="4">\n  <data encoding="csv"/>\n </layer>\n'
          '</map>\n')

    # Render orders and animated tiles (Tiled shows the first frame unless told to advance).
    for order in ("right-up", "left-down", "left-up"):
        write(out, f"render-{order}.tmx", map_xml(6, 5, 16, 16, tileset_xml(
            1, "big", "big.png", 24, 40, 3, 6, big_size) + layer_xml("ground", 6, 5, big_gids)).replace(
                'renderorder="right-down"', f'renderorder="{order}"'))
    animation = ('  <tile id="2">\n   <animation>\n    <frame tileid="5" duration="100"/>\n'
                 '    <frame tileid="2" duration="200"/>\n   </animation>\n  </tile>\n')
    write(out, "animated.tmx", map_xml(6, 5, 16, 16, tileset_xml(
        1, "tiles", "tiles.png", 16, 16, 4, 12, size, extra=animation) + layer_xml("ground", 6, 5, [
            3 if i % 3 == 0 else g for i, g in enumerate(gids)])))

    # Several features at once: two external and embedded tilesets, compressed data, flips, big tiles, groups.
    write(out, "combined.tmx", map_xml(7, 6, 16, 16, tiles +
        ' <tileset firstgid="13" source="sets/other.tsj"/>\n' +
        tileset_xml(19, "big", "big.png", 24, 40, 3, 6, big_size, extra='  <tileoffset x="2" y="1"/>\n') +
        layer_xml("ground", 7, 6, pattern(7, 6, 18, holes=False), "base64", "gzip") +
        ' <group name="detail" offsetx="-3" offsety="2" opacity="0.6">\n' +
        layer_xml("big", 7, 6, [0 if i % 5 else (19 + i % 6) | (H_FLIP if i % 2 else V_FLIP) for i in range(42)],
                  "base64", "zstd") + ' </group>\n' +
        layer_xml("flipped", 7, 6, [(1 + i % 18) | flags[i % 8] if i % 3 == 0 else 0 for i in range(42)], "xml"),
        ' backgroundcolor="#204060"'))

    # A colour made see-through, and objects from templates of both formats with properties of every type
    # (sorted by name, as Tiled writes them).
    write(out, "transparent-colour.tmx", map_xml(6, 5, 16, 16, tileset_xml(
        1, "tiles", "tiles.png", 16, 16, 4, 12, size, trans="ffffff") + layer_xml("ground", 6, 5, gids)))
    template_files(out)
    typed = ('  <properties>\n   <property name="a" type="bool" value="true"/>\n'
             '   <property name="b" type="color" value="#ff102030"/>\n   <property name="c" type="file" value="tiles.png"/>\n'
             '   <property name="d" type="float" value="0.1"/>\n   <property name="e" type="int" value="-7"/>\n'
             '   <property name="f" type="object" value="3"/>\n   <property name="g">two\nlines</property>\n'
             '  </properties>\n')
    write(out, "templates.tmx", map_xml(6, 5, 16, 16, tiles + ' <tileset firstgid="13" source="sets/other.tsx"/>\n' +
        layer_xml("ground", 6, 5, gids).replace("  <data", typed + "  <data") +
        ' <objectgroup name="things" offsetx="2" offsety="-1">\n'
        '  <object id="1" template="templates/chest.tx" x="16" y="48"/>\n'
        '  <object id="2" template="templates/chest.tx" x="48" y="64" rotation="90">\n   <properties>\n'
        '    <property name="gold" type="int" value="9"/>\n   </properties>\n  </object>\n'
        '  <object id="3" template="templates/sign.tj" x="10.5" y="20.25"/>\n'
        '  <object id="4" name="zone" type="Zone" x="3" y="4" width="20" height="10" visible="0"><ellipse/></object>\n'
        '  <object id="5" x="30" y="20"><polyline points="0,0 10.5,5 -4,8"/></object>\n'
        '  <object id="6" x="1" y="2"><point/></object>\n </objectgroup>\n'))
    oriented_maps(out)
    to_json(out)


if __name__ == "__main__":
    main(sys.argv[1])
