#!/usr/bin/python3
"""Renders maps with orn-maprender and with Tiled's tmxrasterizer and compares the pictures.

Usage: compare_with_tiled.py ORN_MAPRENDER corpus          writes the corpus of make_maps.py and checks it
       compare_with_tiled.py ORN_MAPRENDER examples DIR    checks the orthogonal maps in DIR (read only)

Pictures must have the same size and equal pixels; a channel may differ by 2 where layers are blended by
opacity or tint, and translucent pixels (compared premultiplied) by 2 as well (rounding). Object and image layers are hidden for Tiled.
Exit status 0 when every map matches, 1 otherwise.
"""
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

from PIL import Image, ImageChops

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import make_maps  # noqa: E402


def hidden_layers(path):
    """Names of object and image layers, which tmxrasterizer draws and the engine does not."""
    names = []
    for element in ElementTree.parse(path).getroot().iter():
        if element.tag in ("objectgroup", "imagelayer"):
            names.append(element.get("name", ""))
    return names


def blends(path):
    """Whether any layer or group of the map is drawn translucent or tinted."""
    for element in ElementTree.parse(path).getroot().iter():
        if element.tag in ("layer", "group") and (
                float(element.get("opacity", "1")) < 1 or element.get("tintcolor")):
            return True
    return False


def compare(maprender, path, out):
    stem = os.path.join(out, os.path.basename(os.path.dirname(path)) + "-" + os.path.basename(path))
    ours, theirs = stem + ".orn.png", stem + ".tiled.png"
    command = ["tmxrasterizer", "--no-smoothing"]
    for name in hidden_layers(path):
        command += ["--hide-layer", name]
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    subprocess.run(command + [path, theirs], check=True, env=environment, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    result = subprocess.run([maprender, path, ours], stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        return "orn-maprender failed: " + result.stderr.strip()
    a, b = Image.open(ours).convert("RGBA"), Image.open(theirs).convert("RGBA")
    if a.size != b.size:
        return f"size {a.size} instead of Tiled's {b.size}"
    # Translucent pixels are compared premultiplied by their alpha, as both renderers compute them; the
    # straight colours in the files magnify a rounding step by 255 / alpha.
    tolerance = 2 if blends(path) else 0
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
    if bad:
        x, y, p, q = bad[0]
        return f"{len(bad)} pixels differ, first at ({x}, {y}): {p} instead of Tiled's {q}"
    return None


def check_refusals(maprender, out):
    """Maps the engine cannot read end in one line on standard error and exit status 1."""
    failures = 0
    refused = {
        "isometric.tmx": '<map orientation="isometric" width="2" height="2" tilewidth="32" tileheight="16"/>',
        "truncated.tmx": '<map orientation="orthogonal" width="1" height="1" tilewidth="16" tileheight="16">'
                         '<layer name="a" width="1" height="1"><data encoding="base64" compression="zlib">eJxjZA'
                         '</data></layer></map>',
    }
    for name, text in refused.items():
        path = os.path.join(out, name)
        with open(path, "w", encoding="utf-8") as file:
            file.write(text)
        result = subprocess.run([maprender, path, path + ".png"], stderr=subprocess.PIPE, text=True)
        lines = result.stderr.strip().splitlines()
        good = result.returncode == 1 and len(lines) == 1 and path in lines[0] and not os.path.exists(path + ".png")
        print(("ok   " if good else "FAIL ") + name + " refused: " + result.stderr.strip())
        failures += not good
    return failures


def main():
    maprender, mode = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory(prefix="maprender-") as out:
        if mode == "corpus":
            folder = os.path.join(out, "maps")
            make_maps.main(folder)
        else:
            folder = sys.argv[3]
            if not os.path.isdir(folder):
                print("no examples at " + folder + "; nothing to compare")
                return 0
        maps = []
        for where, _, names in sorted(os.walk(folder)):
            for name in sorted(names):
                path = os.path.join(where, name)
                if name.endswith(".tmx") and ElementTree.parse(path).getroot().get("orientation") == "orthogonal":
                    maps.append(path)
        failures = 0
        if mode == "corpus":
            failures += check_refusals(maprender, out)
        for path in maps:
            problem = compare(maprender, path, out)
            print(("FAIL " if problem else "ok   ") + os.path.basename(path) + (": " + problem if problem else ""))
            failures += problem is not None
        if not maps:
            print("no orthogonal maps in " + folder)
            return 1 if mode == "corpus" else 0
        return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
