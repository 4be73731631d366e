#!/usr/bin/python3
"""Opens the level with Tiled's editor: saving it again beside its tileset must write exactly the same file.
(How Tiled renders it is compared with the engine's picture by the maprender tests.)

    render_level.py MAP.tmx"""

import filecmp
import os
import shutil
import subprocess
import sys
import tempfile


def main(tmx):
    with tempfile.TemporaryDirectory() as tmp:
        os.mkdir(os.path.join(tmp, "runtime"), 0o700)
        env = dict(os.environ, QT_QPA_PLATFORM=os.environ.get("QT_QPA_PLATFORM", "offscreen"),
                   XDG_RUNTIME_DIR=os.path.join(tmp, "runtime"))
        copy = os.path.join(tmp, "data")
        shutil.copytree(os.path.dirname(tmx), copy)
        resaved = os.path.join(copy, "resaved.tmx")
        command = ["tiled", "--export-map", "tmx", os.path.join(copy, os.path.basename(tmx)), resaved]
        result = subprocess.run(command, env=env, capture_output=True, text=True, timeout=120)
        if result.returncode != 0 or not os.path.exists(resaved):
            print("tiled failed (%d):\n%s" % (result.returncode, (result.stdout + result.stderr).strip()))
            return 1
        if not filecmp.cmp(tmx, resaved, shallow=False):
            print("tiled saves the map differently; compare %s with a re-save" % tmx)
            return 1
    print("Tiled saves %s unchanged" % tmx)
    return 0


if __name__ == "__main__":
    sys.exit(main(os.path.abspath(sys.argv[1])))
