#!/usr/bin/python3
"""Opens the level with Tiled's own tools: tmxrasterizer must render it without a word of complaint at
the map's full size, and the editor, saving it again, must write exactly the same file.

    render_level.py MAP.tmx"""

import filecmp
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

from PIL import Image


def run(command, env):
    result = subprocess.run(command, env=env, capture_output=True, text=True, timeout=120)
    return result.returncode, (result.stdout + result.stderr).strip()


def main():
    tmx = os.path.abspath(sys.argv[1])
    root = ET.parse(tmx).getroot()
    expected = (int(root.get("width")) * int(root.get("tilewidth")), int(root.get("height")) * int(root.get("tileheight")))
    with tempfile.TemporaryDirectory() as tmp:
        runtime = os.path.join(tmp, "runtime")
        os.mkdir(runtime, 0o700)
        env = dict(os.environ, QT_QPA_PLATFORM=os.environ.get("QT_QPA_PLATFORM", "offscreen"), XDG_RUNTIME_DIR=runtime)

        png = os.path.join(tmp, "level.png")
        code, output = run(["tmxrasterizer", tmx, png], env)
        if code != 0 or output or not os.path.exists(png):
            print("tmxrasterizer failed (%d):\n%s" % (code, output))
            return 1
        with Image.open(png) as img:
            if img.size != expected:
                print("rendering is %s, expected %s" % (img.size, expected))
                return 1

        # Saved again beside its tileset, so that the relative image path stays as it is.
        copy = os.path.join(tmp, "data")
        shutil.copytree(os.path.dirname(tmx), copy)
        resaved = os.path.join(copy, "resaved.tmx")
        code, output = run(["tiled", "--export-map", "tmx", os.path.join(copy, os.path.basename(tmx)), resaved], env)
        if code != 0 or not os.path.exists(resaved):
            print("tiled could not save the map (%d):\n%s" % (code, output))
            return 1
        if not filecmp.cmp(tmx, resaved, shallow=False):
            print("tiled saves the map differently; compare %s with a re-save" % tmx)
            return 1
    print("Tiled renders %s (%dx%d) and saves it unchanged" % (tmx, expected[0], expected[1]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
