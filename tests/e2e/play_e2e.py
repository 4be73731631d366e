#!/usr/bin/python3
"""play_e2e.py KESTRITH_BINARY REPOSITORY_ROOT: starts the real program, waits for the title menu's three
buttons down the middle of the window (screenshots through ImageMagick's import) and clicks Quit with real X
input (xdotool): the program must end with status 0."""
import os
import subprocess
import sys
import tempfile
import time

from PIL import Image

BUTTON_FILLS = {(0x1F, 0x27, 0x40), (0x2C, 0x36, 0x54)}  # the theme's button background, normal and hovered


def buttons(image, x=400):
    """The middles of the runs of rows crossing column x that are mostly the theme's button fill."""
    runs, start, fill = [], None, 0
    for y in range(image.height + 1):
        pixel = image.getpixel((x, y)) if y < image.height else (0, 0, 0)
        if sum(pixel) > 20:
            start, fill = (y, 0) if start is None else (start, fill)
            fill += pixel in BUTTON_FILLS
        elif start is not None:
            if y - start > 20 and fill > (y - start) // 3:
                runs.append((start + y) // 2)
            start = None
    return runs


def main(binary, root):
    process = subprocess.Popen([binary], cwd=root, env=dict(os.environ, ALSOFT_DRIVERS="null"))
    shot = tempfile.mkstemp(suffix=".png")[1]
    try:
        found, menu, deadline = [], [], time.time() + 60
        while len(menu) != 3 and time.time() < deadline and process.poll() is None:
            time.sleep(0.5)
            found = subprocess.run(["xdotool", "search", "--name", "^Kestrith$"], capture_output=True, text=True)
            if found.stdout.split():
                subprocess.run(["import", "-window", found.stdout.split()[0], shot], check=True)
                menu = buttons(Image.open(shot).convert("RGB"))
        if len(menu) != 3:
            raise AssertionError("no menu of three buttons appeared: %s" % menu)
        for command in (["mousemove", "--window", found.stdout.split()[0], "400", str(menu[2])], ["mousedown", "1"],
                        ["mouseup", "1"]):
            subprocess.run(["xdotool"] + command, check=True)
            time.sleep(0.15)
        status = process.wait(timeout=10)
        if status != 0:
            raise AssertionError("Quit ended the program with status %s" % status)
        print("ok: the menu's Quit ends the program with status 0")
    finally:
        os.remove(shot)
        if process.poll() is None:
            process.kill()


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
