#!/usr/bin/python3
"""Opens the level with Tiled's own tools: tmxrasterizer must render it without a word of complaint at the
map's full size, and the editor, saving it again beside its tileset, must write exactly the same file.

    render_level.py MAP.tmx"""

import filecmp
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

from PIL import Image


def main(tmx):
    root = ET.parse(tmx).getroot()
    size = (int(root.get("width")) * int(root.get("tilewidth")), int(root.get("height")) * int(root.get("tileheight")))
    with tempfile.TemporaryDirectory() as tmp:
        os.mkdir(os.path.join(tmp, "runtime"), 0o700)
        env = dict(os.environ, QT_QPA_PLATFORM=os.environ.get("QT_QPA_PLATFORM", "offscreen"),
                   XDG_RUNTIME_DIR=os.path.join(tmp, "runtime"))
        png, copy = os.path.join(tmp, "level.png"), os.path.join(tmp, "data")
        shutil.copytree(os.path.dirname(tmx), copy)
        resaved = os.path.join(copy, "resaved.tmx")
        for command, made in ((["tmxrasterizer", tmx, png], png),
                              (["tiled", "--export-map", "tmx", os.path.join(copy, os.path.basename(tmx)), resaved], resaved)):
            result = subprocess.run(command, env=env, capture_output=True, text=True, timeout=120)
            output = (result.stdout + result.stderr).strip()
            if result.returncode != 0 or not os.path.exists(made) or (made == png and output):
                print("%s failed (%d):\n%s" % (command[0], result.returncode, output))
                return 1
        with Image.open(png) as image:
            if image.size != size:
                print("rendering is %s, expected %s" % (image.size, size))
                return 1
        if not filecmp.cmp(tmx, resaved, shallow=False):
            print("tiled saves the map differently; compare %s with a re-save" % tmx)
            return 1
    print("Tiled renders %s (%dx%d) and saves it unchanged" % (tmx, size[0], size[1]))
    return 0


if __name__ == "__main__":
    sys.exit(main(os.path.abspath(sys.argv[1])))
