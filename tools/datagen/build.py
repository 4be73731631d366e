#!/usr/bin/python3
"""Builds the game's data directory from the readable sources in tools/datagen/src/.

    build.py [--out DIR] [--render PNG]

Without --out the data goes to the repository's data/ and the level's rendering to
docs/images/level.png. The output depends on nothing but the sources: a rebuild gives the same bytes."""

import argparse
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, HERE)

import animators  # noqa: E402
import characters  # noqa: E402
import fonts  # noqa: E402
import interface  # noqa: E402
import level  # noqa: E402
import sheets  # noqa: E402
import sound  # noqa: E402
import tileset  # noqa: E402
import pixels  # noqa: E402


def build_tags(out_dir):
    names = [line for line in pixels.read_lines(pixels.src_path("tags.txt")) if line and not line.startswith("#")]
    if len(names) > 31:
        raise ValueError("at most 31 tags fit the mask")
    table = {str(bit): (names[bit - 1] if bit <= len(names) else "") for bit in range(1, 32)}
    sheets.write_json(table, os.path.join(out_dir, "tags.json"))


# Object groups left out of the level's picture: the rock's boxes and the text frames would hide the art.
HIDDEN_IN_RENDERING = ("colliders", "tutorial")


def render_level(out_dir, png_path):
    """Renders the whole map with Tiled's rasteriser, which also proves that Tiled reads it."""
    os.makedirs(os.path.dirname(os.path.abspath(png_path)), exist_ok=True)
    with tempfile.TemporaryDirectory() as runtime:
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=runtime)
        command = ["tmxrasterizer"] + ["--hide-layer=" + name for name in HIDDEN_IN_RENDERING]
        result = subprocess.run(command + [os.path.join(out_dir, "main.tmx"), png_path],
                                env=env, capture_output=True, text=True)
    if result.returncode != 0 or not os.path.exists(png_path):
        raise RuntimeError("tmxrasterizer failed: " + result.stdout + result.stderr)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", help="data directory to write (default: the repository's data/)")
    parser.add_argument("--render", help="where to write the level's rendering")
    args = parser.parse_args()
    out_dir = args.out or os.path.join(ROOT, "data")
    render = args.render or (None if args.out else os.path.join(ROOT, "docs", "images", "level.png"))

    os.makedirs(out_dir, exist_ok=True)
    build_tags(out_dir)
    animators.build(out_dir)
    fonts.build(out_dir)
    tiles = tileset.build(out_dir)
    characters.build(out_dir)
    interface.build(out_dir)
    sound.build(out_dir)
    level.build(out_dir, tiles)
    if render:
        render_level(out_dir, render)


if __name__ == "__main__":
    main()
