#!/usr/bin/python3
"""Plays the real kestrith binary as a person would: real X input through xdotool, screenshots of the window.

usage: play_e2e.py KESTRITH_BINARY REPOSITORY_ROOT [SCREENSHOT_DIR]

Needs a display (DISPLAY set, no window manager), xdotool and ImageMagick's import.
"""
import os
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageChops, ImageStat


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


class Window:
    def __init__(self, process, shots):
        self.process = process
        self.shots = shots
        self.id = None
        deadline = time.time() + 60
        while time.time() < deadline and self.id is None:
            found = subprocess.run(["xdotool", "search", "--name", "^Kestrith$"], capture_output=True, text=True)
            if found.returncode == 0 and found.stdout.split():
                self.id = found.stdout.split()[0]
            else:
                time.sleep(0.1)
        if self.id is None:
            raise AssertionError("the Kestrith window never appeared")
        run("xdotool", "windowfocus", "--sync", self.id)

    def shot(self, name):
        path = os.path.join(self.shots, name + ".png")
        run("import", "-window", self.id, path)
        return Image.open(path).convert("RGB")

    def click(self, x, y):
        run("xdotool", "mousemove", "--window", self.id, str(x), str(y))
        time.sleep(0.15)
        run("xdotool", "mousedown", "1")
        time.sleep(0.1)
        run("xdotool", "mouseup", "1")

    def hold(self, key, seconds):
        run("xdotool", "keydown", key)
        time.sleep(seconds)
        run("xdotool", "keyup", key)


def bright_share(image, box):
    """Share of pixels in box that are clearly not background black."""
    region = image.crop(box)
    pixels = list(region.getdata())
    return sum(1 for r, g, b in pixels if r + g + b > 150) / len(pixels)


def red_share(image, box):
    region = image.crop(box)
    pixels = list(region.getdata())
    return sum(1 for r, g, b in pixels if r > 140 and g < 110 and b < 110) / len(pixels)


def difference(a, b, box):
    return sum(ImageStat.Stat(ImageChops.difference(a.crop(box), b.crop(box))).mean) / 3


BUTTON_FILLS = {(0x1F, 0x27, 0x40), (0x2C, 0x36, 0x54)}  # the theme's button background, normal and hovered


def buttons(image, x=400):
    """Buttons crossing the window's middle column, as (top, bottom): runs of non-black rows that are mostly
    the theme's button fill."""
    runs, start, fill = [], None, 0
    for y in range(image.height + 1):
        pixel = image.getpixel((x, y)) if y < image.height else (0, 0, 0)
        if sum(pixel) > 20:
            if start is None:
                start, fill = y, 0
            fill += pixel in BUTTON_FILLS
        elif start is not None:
            if y - start > 20 and fill > (y - start) // 3:
                runs.append((start, y))
            start = None
    return runs


def expect(condition, message):
    if not condition:
        raise AssertionError(message)
    print("ok:", message)


def main():
    binary, root = sys.argv[1], sys.argv[2]
    shots = sys.argv[3] if len(sys.argv) > 3 else tempfile.mkdtemp(prefix="kestrith-e2e-")
    env = dict(os.environ, ALSOFT_DRIVERS="null")
    process = subprocess.Popen([binary], cwd=root, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    try:
        window = Window(process, shots)
        time.sleep(0.6)
        logo = window.shot("1-logo")
        expect(bright_share(logo, (200, 100, 600, 500)) > 0.01, "the logo shows in the middle of the window")

        time.sleep(2.5)
        menu = window.shot("2-menu")
        expect(bright_share(menu, (200, 40, 600, 200)) > 0.02, "the menu shows its title near the top")
        menu_buttons = buttons(menu)
        expect(len(menu_buttons) == 3, "the menu shows three buttons down the middle: %s" % menu_buttons)
        play, credits, quit_button = [(top + bottom) // 2 for top, bottom in menu_buttons]

        window.click(400, play)
        time.sleep(1.5)
        level = window.shot("3-level")
        expect(red_share(level, (20, 20, 170, 48)) > 0.3, "the level shows the HUD's health bar top left")
        expect(bright_share(level, (0, 200, 800, 520)) > 0.05, "the level's world is drawn")

        window.hold("d", 1.5)
        walked = window.shot("4-walked")
        expect(difference(level, walked, (0, 60, 800, 520)) > 3, "holding D moves the player and the view")

        window.hold("Escape", 0.2)
        time.sleep(1.0)
        back = window.shot("5-menu-again")
        expect(red_share(back, (20, 20, 170, 48)) < 0.05, "Escape leaves the level")
        expect(len(buttons(back)) == 3, "Escape returns to the menu")

        window.click(400, credits)
        time.sleep(1.0)
        credit_screen = window.shot("6-credits")
        expect(len(buttons(credit_screen)) == 1, "the credits show one button (Back)")
        back_button = buttons(credit_screen)[0]
        expect(back_button[0] > 450, "the Back button sits near the bottom")
        window.click(400, (back_button[0] + back_button[1]) // 2)
        time.sleep(1.0)
        expect(len(buttons(window.shot("7-menu-from-credits"))) == 3, "Back returns to the menu")

        window.click(400, quit_button)
        status = process.wait(timeout=10)
        expect(status == 0, "Quit ends the program with status 0 (got %s)" % status)
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
            print(process.stderr.read(), file=sys.stderr)
    print("screenshots in", shots)


if __name__ == "__main__":
    main()
