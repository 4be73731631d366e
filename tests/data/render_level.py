#!/usr/bin/python3
"""Renders the level with Tiled's own rasteriser and fails on any error or warning, or on an image of
the wrong size: the map must open in the editor as it is.

    render_level.py MAP.tmx"""

import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

from PIL import Image


def main():
    tmx = sys.argv[1]
    root = ET.parse(tmx).getroot()
    expected = (int(root.get("width")) * int(root.get("tilewidth")), int(root.get("height")) * int(root.get("tileheight")))
    with tempfile.TemporaryDirectory() as tmp:
        env = dict(os.environ, QT_QPA_PLATFORM=os.environ.get("QT_QPA_PLATFORM", "offscreen"), XDG_RUNTIME_DIR=tmp)
        png = os.path.join(tmp, "level.png")
        result = subprocess.run(["tmxrasterizer", tmx, png], env=env, capture_output=True, text=True)
        output = (result.stdout + result.stderr).strip()
        if result.returncode != 0 or output or not os.path.exists(png):
            print("tmxrasterizer failed (%d):\n%s" % (result.returncode, output))
            return 1
        with Image.open(png) as img:
            if img.size != expected:
                print("rendering is %s, expected %s" % (img.size, expected))
                return 1
    print("tmxrasterizer rendered %s (%dx%d)" % (tmx, expected[0], expected[1]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
