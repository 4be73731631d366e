"""Sprite sheets in the editor's JSON export layout (frames as an array, frame tags in "meta")."""

import json
import os

from PIL import Image

import pixels


def write_json(data, path):
    """JSON with a fixed layout; floats keep their fraction (1.0), ints stay ints."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(json.dumps(data, indent=1, ensure_ascii=True))
        f.write("\n")


def write_sheet(out_dir, name, animations):
    """Packs the animations into one image, one row per animation, and writes name.png and name.json.

    animations: list of (tag name, list of (RGBA frame image, duration in ms)); all frames of a
    sheet have one size. Returns the sheet image."""
    fw, fh = animations[0][1][0][0].size
    columns = max(len(frames) for _, frames in animations)
    sheet = Image.new("RGBA", (fw * columns, fh * len(animations)), pixels.TRANSPARENT)
    base = os.path.basename(name)
    frames_json = []
    tags_json = []
    for row, (tag, frames) in enumerate(animations):
        first = len(frames_json)
        for col, (img, duration) in enumerate(frames):
            assert img.size == (fw, fh), (name, tag, img.size)
            x, y = col * fw, row * fh
            sheet.paste(img, (x, y))
            frames_json.append({
                "filename": "%s %d.png" % (base, len(frames_json)),
                "frame": {"x": x, "y": y, "w": fw, "h": fh},
                "rotated": False,
                "trimmed": False,
                "spriteSourceSize": {"x": 0, "y": 0, "w": fw, "h": fh},
                "sourceSize": {"w": fw, "h": fh},
                "duration": int(duration),
            })
        tags_json.append({"name": tag, "from": first, "to": len(frames_json) - 1, "direction": "forward"})
    data = {
        "frames": frames_json,
        "meta": {
            "app": "kestrith tools/datagen",
            "version": "1.0",
            "image": base + ".png",
            "format": "RGBA8888",
            "size": {"w": sheet.width, "h": sheet.height},
            "scale": "1",
            "frameTags": tags_json,
            "layers": [{"name": "art", "opacity": 255, "blendMode": "normal"}],
            "slices": [],
        },
    }
    pixels.save_png(sheet, os.path.join(out_dir, name + ".png"))
    write_json(data, os.path.join(out_dir, name + ".json"))
    return sheet
