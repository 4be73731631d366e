#!/usr/bin/python3
"""Renders maps in both of Tiled's formats with orn-maprender and with Tiled's tmxrasterizer and compares the
pictures.

Usage: compare_with_tiled.py prepare OUT EXAMPLES LEVEL   writes the corpus of make_maps.py to OUT/corpus, the
                                                          JSON twins of the maps of EXAMPLES and LEVEL (read in
                                                          place) to OUT/examples and OUT/level, and lists the
                                                          pairs in OUT/pairs.txt
       compare_with_tiled.py ORN_MAPRENDER OUT GROUP      checks both maps of every pair of GROUP (corpus,
                                                          examples or level); corpus adds maps to be refused

A gzipped map (.tmx.gz) is read packed by orn-maprender; tmxrasterizer, which cannot, reads it unpacked into OUT.

Pictures must have the same size and equal pixels; a channel may differ by 2 where layers are blended by
opacity or tint, and translucent pixels (compared premultiplied) by 2 as well (rounding). Where tiles overlap
(all maps but orthogonal ones), Qt rounds a translucent pixel blended over another once or twice depending on
where the pixel lies in its picture, so channels may differ by 1. A tile turned by 60 or 120 degrees on a
hexagonal map is sampled in fixed point by Qt and in floating point by OpenGL, which decide pixels whose centre
falls on a texel's edge differently; each may differ in as many pixels as an eighth of the grid's width and
height together (about four are seen per turned tile).
Object and image layers are hidden for Tiled. Exit status 0 when every map matches, 1 otherwise.
"""
import base64
import gzip
import json
import os
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ElementTree
import zlib

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import make_maps  # noqa: E402

TILED_ENVIRONMENT = dict(os.environ, QT_QPA_PLATFORM="offscreen")


def layers_of(path):
    """(kind, name, opacity, tint) of every layer and group of the map, in either format."""
    if path.endswith(".tmx"):
        return [(e.tag, e.get("name", ""), float(e.get("opacity", "1")), e.get("tintcolor"))
                for e in ElementTree.parse(path).getroot().iter() if e.tag in ("layer", "objectgroup", "imagelayer",
                                                                                 "group")]
    found = []

    def walk(layers):
        for layer in layers:
            found.append((layer["type"], layer.get("name", ""), layer.get("opacity", 1), layer.get("tintcolor")))
            walk(layer.get("layers", []))
    with open(path, encoding="utf-8") as file:
        walk(json.load(file)["layers"])
    return found


def unpacked(path, out):
    """The TMX map that tmxrasterizer reads for path: path itself, or a gzipped map unpacked into out, the files
    it names (images, tilesets, templates, file properties) named by absolute paths."""
    if not path.endswith(".gz"):
        return path
    folder = os.path.dirname(os.path.abspath(path))
    with gzip.open(path, "rt", encoding="utf-8") as file:
        text = re.sub(r'( (?:source|template)="|<property [^>]*type="file" value=")([^"]*)"',
                      lambda m: m.group(1) + os.path.join(folder, m.group(2)) + '"', file.read())
    target = os.path.join(out, "unpacked", os.path.relpath(folder, "/").replace(os.sep, "-"),
                          os.path.basename(path)[:-3])
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, "w", encoding="utf-8") as file:
        file.write(text)
    return target


def map_shape(path):
    """The orientation, grid size and the gids (flags included) of the CSV, array or base64 (plain, zlib or gzip)
    tile data of a TMX or JSON map."""
    def ids(data, encoding, compression):
        if encoding != "base64":
            return [int(v) for v in (re.findall(r"\d+", data) if isinstance(data, str) else data)]
        raw = base64.b64decode(data)
        raw = zlib.decompress(raw, 47) if compression in ("zlib", "gzip") else raw
        return struct.unpack("<%dI" % (len(raw) // 4), raw[:len(raw) // 4 * 4])
    if path.endswith(".tmj"):
        with open(path, encoding="utf-8") as file:
            root = json.load(file)
        layers, gids = list(root.get("layers", [])), []
        for layer in layers:
            layers += layer.get("layers", [])
            for part in [part for part in [layer] + layer.get("chunks", []) if "data" in part]:
                gids += ids(part["data"], layer.get("encoding"), layer.get("compression"))
        return root.get("orientation"), root["tilewidth"], root["tileheight"], gids
    root = ElementTree.parse(path).getroot()
    gids = [gid for data in root.iter("data") for part in list(data.iter("chunk")) or [data]
            for gid in ids(part.text or "", data.get("encoding"), data.get("compression"))]
    return root.get("orientation"), int(root.get("tilewidth")), int(root.get("tileheight")), gids


def compare(maprender, path, out):
    stem = os.path.join(out, os.path.basename(os.path.dirname(path)) + "-" + os.path.basename(path))
    ours, theirs = stem + ".orn.png", stem + ".tiled.png"
    tiled_path = unpacked(path, out)
    layers = layers_of(tiled_path)
    command = ["tmxrasterizer", "--no-smoothing"]
    for kind, name, _, _ in layers:
        if kind in ("objectgroup", "imagelayer"):
            command += ["--hide-layer", name]
    subprocess.run(command + [tiled_path, theirs], check=True, env=TILED_ENVIRONMENT, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    result = subprocess.run([maprender, path, ours], stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        return "orn-maprender failed: " + result.stderr.strip()
    a, b = Image.open(ours).convert("RGBA"), Image.open(theirs).convert("RGBA")
    if a.size != b.size:
        return f"size {a.size} instead of Tiled's {b.size}"
    # Translucent pixels are compared premultiplied by their alpha, as both renderers compute them; the
    # straight colours in the files magnify a rounding step by 255 / alpha.
    orientation, tile_width, tile_height, gids = map_shape(tiled_path)
    tolerance = 2 if any(kind in ("tilelayer", "layer", "group") and (opacity < 1 or tint)
                         for kind, _, opacity, tint in layers) else 0 if orientation in (None, "orthogonal") else 1
    turned = sum(1 for gid in gids if gid & 0x0FFFFFFF and gid & 0x30000000) if orientation == "hexagonal" else 0
    pa, pb = a.load(), b.load()
    bad = []
    for y in range(a.size[1]):
        for x in range(a.size[0]):
            p, q = pa[x, y], pb[x, y]
            if p == q or (p[3] == 0 and q[3] == 0):
                continue
            if p[3] < 255 or q[3] < 255:
                p_, q_ = [c * p[3] / 255 for c in p[:3]] + [p[3]], [c * q[3] / 255 for c in q[:3]] + [q[3]]
                allowed = max(tolerance, 2)
            else:
                p_, q_, allowed = p, q, tolerance
            if max(abs(i - j) for i, j in zip(p_, q_)) > allowed:
                bad.append((x, y, p, q))
    if len(bad) > turned * (tile_width + tile_height) // 8:
        x, y, p, q = bad[0]
        return f"{len(bad)} pixels differ, first at ({x}, {y}): {p} instead of Tiled's {q}"
    return None


def check_refusals(maprender, out):
    """Maps the engine cannot read end in one line on standard error, naming the map (and the image), and
    exit status 1."""
    failures = 0
    collection = ('{"type": "map", "width": 1, "height": 1, "tilewidth": 16, "tileheight": 16, "tilesets": '
                  '[{"firstgid": 1, "name": "c", "tilewidth": 16, "tileheight": 16, "tiles": [{"id": 0, '
                  '"image": "gone.png"}]}], "layers": [{"type": "tilelayer", "name": "a", "width": 1, "height": 1, '
                  '"data": [1]}]}')
    refused = {
        "hexagonal.tmx": ('<map orientation="hexagonal" staggeraxis="x" hexsidelength="40" width="2" height="2" '
                          'tilewidth="32" tileheight="16"/>', ""),
        "truncated.tmx": ('<map orientation="orthogonal" width="1" height="1" tilewidth="16" tileheight="16">'
                          '<layer name="a" width="1" height="1"><data encoding="base64" compression="zlib">eJxjZA'
                          '</data></layer></map>', ""),
        "zero-tiles.tmx": ('<map width="2" height="2" tilewidth="0" tileheight="16"/>', ""),
        "negative-tiles.tmj": ('{"type": "map", "width": 2, "height": 2, "tilewidth": 16, "tileheight": -16}', ""),
        "missing-image.tmj": (collection, "gone.png"),
        "missing-image.tmx": ('<map width="1" height="1" tilewidth="16" tileheight="16"><tileset firstgid="1" '
                              'name="c" tilewidth="16" tileheight="16"><tile id="0"><image source="gone.png"/></tile>'
                              '</tileset><layer name="a" width="1" height="1"><data encoding="csv">1</data></layer>'
                              '</map>', "gone.png"),
        "tileset-as-map.tsj": (None, ""),
    }
    for name, (text, image) in refused.items():
        path = os.path.join(out, name)
        if text is None:
            path = os.path.join(out, "corpus", "sets", "other.tsj")
        else:
            with open(path, "w", encoding="utf-8") as file:
                file.write(text)
        result = subprocess.run([maprender, path, path + ".png"], stderr=subprocess.PIPE, text=True)
        lines = result.stderr.strip().splitlines()
        good = (result.returncode == 1 and len(lines) == 1 and path in lines[0] and image in lines[0] and
                not os.path.exists(path + ".png"))
        print(("ok   " if good else "FAIL ") + name + " refused: " + result.stderr.strip())
        failures += not good
    return failures


def prepare(out, examples, level):
    pairs = []
    make_maps.main(os.path.join(out, "corpus"))
    for name in sorted(os.listdir(os.path.join(out, "corpus"))):
        if name.endswith(".tmx"):
            path = os.path.join(out, "corpus", name)
            pairs.append(("corpus", path, path[:-4] + ".tmj"))
    for group, folder in (("examples", examples), ("level", level)):
        for where, _, names in sorted(os.walk(folder)):
            for name in sorted(names):
                path = os.path.join(where, name)
                if name.endswith(".tmx") or name.endswith(".tmx.gz"):
                    # Debian packs some of the files that its gzipped examples name.
                    with open(unpacked(path, out), encoding="utf-8") as file:
                        named = re.findall(r' (?:source|template)="([^"]*)"', file.read())
                    if not all(os.path.exists(os.path.join(where, file)) for file in named):
                        continue
                    twin = os.path.join(out, group, os.path.relpath(path, folder)).replace(".gz", "")[:-4] + ".tmj"
                    os.makedirs(os.path.dirname(twin), exist_ok=True)
                    subprocess.run(["tiled", "--export-map", "json", unpacked(path, out), twin], check=True,
                                   env=TILED_ENVIRONMENT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                    pairs.append((group, os.path.abspath(path), twin))
    with open(os.path.join(out, "pairs.txt"), "w", encoding="utf-8") as file:
        file.writelines(" ".join(pair) + "\n" for pair in pairs)
    return 0


def main():
    if sys.argv[1] == "prepare":
        return prepare(os.path.abspath(sys.argv[2]), sys.argv[3], sys.argv[4])
    maprender, out, group = sys.argv[1], sys.argv[2], sys.argv[3]
    with open(os.path.join(out, "pairs.txt"), encoding="utf-8") as file:
        maps = [path for line in file if line.split()[0] == group for path in line.split()[1:]]
    failures = check_refusals(maprender, out) if group == "corpus" else 0
    for path in maps:
        problem = compare(maprender, path, out)
        print(("FAIL " if problem else "ok   ") + path + (": " + problem if problem else ""))
        failures += problem is not None
    if not maps:
        print("no maps for " + group)
        return 1 if group == "corpus" else 0
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
