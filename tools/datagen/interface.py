"""Pictures of the menus and the HUD: the window icon, the makers' picture for the credits, the HUD's
indicator frame and form icons, and the GUI theme."""

import os
import shutil

from PIL import Image

import characters
import pixels
import puppet
from pixels import colour


def first_frame(key, animation):
    for name, frames in puppet.parse_poses(pixels.src_path("characters", key + ".txt")):
        if name == animation:
            return characters.DRAWINGS[key](frames[0][1])
    raise ValueError("%s has no animation %s" % (key, animation))


def fit(img, box):
    """The opaque part of img, scaled up by the largest whole factor that fits box x box."""
    img = img.crop(img.getbbox())
    factor = max(1, min(box // img.width, box // img.height))
    return pixels.scale(img, factor)


def indicator_frame():
    """7 x 16: a three-pixel border around a one-pixel wide, ten-pixel high stretchable middle."""
    img = Image.new("RGBA", (7, 16), colour("navy"))
    px = img.load()
    for y in range(16):
        for x in range(7):
            edge = min(x, y, 6 - x, 15 - y)
            px[x, y] = colour(("ink", "steel", "slate1")[edge]) if edge < 3 else colour("night")
    for x, y in ((0, 0), (6, 0), (0, 15), (6, 15)):
        px[x, y] = pixels.TRANSPARENT
    for x, y in ((1, 1), (5, 1)):
        px[x, y] = colour("fog")
    return img


# Part of each form's first idle frame shown as its HUD icon: head and shoulders, the whole rat.
PORTRAITS = (("player", (7, 0, 27, 20)), ("rat", (0, 0, 32, 16)), ("minotaur", (22, 2, 44, 24)))
# The HUD shows the middle 50 x 50 of each 64 x 64 cell at scale 1 inside a frame with 3-pixel borders,
# so the art stays within the middle 44 x 44.
ICON_ART = 44


def form_icons():
    """Human, rat and minotaur side by side, 64 x 64 each, each centred in its cell."""
    sheet = Image.new("RGBA", (192, 64), pixels.TRANSPARENT)
    for i, (key, box) in enumerate(PORTRAITS):
        icon = fit(first_frame(key, "idle").crop(box), ICON_ART)
        sheet.alpha_composite(icon, (i * 64 + (64 - icon.width) // 2, (64 - icon.height) // 2))
    return sheet


def window_icon():
    img = Image.new("RGBA", (32, 32), pixels.TRANSPARENT)
    c = puppet.Canvas(32, 32)
    c.ellipse(16, 16, 15.5, 15.5, "night")
    c.ellipse(22, 9, 5, 5, "moon")
    c.ellipse(24.5, 7.5, 4, 4, "night")
    img.alpha_composite(c.img)
    figure = first_frame("player", "idle").crop((8, 2, 24, 32))
    img.alpha_composite(figure, (4, 2))
    return pixels.outline(img, colour("ink"))


def makers_picture():
    """The credits' picture (458 x 316): the last frame of the animated mark on a framed night sky."""
    img = Image.new("RGBA", (458, 316), colour("night"))
    px = img.load()
    for y in range(316):
        for x in range(458):
            edge = min(x, y, 457 - x, 315 - y)
            if edge < 4:
                px[x, y] = colour("ink")
            elif edge < 8:
                px[x, y] = colour("slate2")
    frames = puppet.parse_poses(pixels.src_path("characters", "logo_anim.txt"))[0][1]
    mark = pixels.scale(characters.draw_logo(frames[-1][1]), 6)
    img.alpha_composite(mark, ((458 - mark.width) // 2, (316 - mark.height) // 2))
    return img


def build(out_dir):
    pixels.save_png(window_icon(), os.path.join(out_dir, "icon.png"))
    pixels.save_png(makers_picture(), os.path.join(out_dir, "ql_vrn.png"))
    pixels.save_png(indicator_frame(), os.path.join(out_dir, "gui", "indicator_bg.png"))
    pixels.save_png(form_icons(), os.path.join(out_dir, "gui", "forms.png"))
    shutil.copyfile(pixels.src_path("gui_theme.txt"), os.path.join(out_dir, "gui", "gui_theme.txt"))
