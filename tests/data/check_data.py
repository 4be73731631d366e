#!/usr/bin/python3
"""Checks the committed data set: the names the game loads, the sheet and animator formats, the fonts,
the sound and the level's structure.

    check_data.py DATA_DIR"""

import json
import os
import sys
import unittest
import wave
import xml.etree.ElementTree as ET

from fontTools.ttLib import TTFont
from PIL import Image

DATA = None

SHEETS = {
    "animated/player": ["idle", "jump", "slash", "hit", "run", "fall"],
    "animated/rat": ["idle", "slash", "hit", "run"],
    "animated/minotaur": ["idle", "slash", "hit", "run"],
    "animated/darklord": ["walk", "hit", "die"],
    "animated/sneaker": ["walk", "hit", "die"],
    "logo_anim": ["main"],
    "80x48Wolf": ["run"],
}
ANIMATORS = {
    "player": ["jump", "slash", "hit"],
    "rat": ["slash", "hit"],
    "minotaur": ["slash", "hit"],
    "darklord": ["hit", "die"],
    "sneaker": ["hit", "die"],
}
FONTS = ["fonts/MatchupPro.ttf", "fonts/Improbable.ttf", "fonts/PixelNarrative-alternative-letter-a-REGULAR.ttf"]
TAGS = ["Main Camera", "Player", "Enemy", "Destroyable", "Human", "Rat", "Minotaur"]


def path(*parts):
    return os.path.join(DATA, *parts)


def load_json(name):
    with open(path(name), encoding="utf-8") as f:
        return json.load(f)


def sheet_animations(key):
    """{tag name: [(frame rect, duration)]} read the way the game reads a sheet."""
    data = load_json(key + ".json")
    frames = data["frames"]
    result = {}
    for tag in data["meta"]["frameTags"]:
        result.setdefault(tag["name"], [(f["frame"], f["duration"]) for f in frames[tag["from"]:tag["to"] + 1]])
    return data, result


class SheetTest(unittest.TestCase):
    def test_sheets_have_their_animations_and_frames_inside_the_image(self):
        for key, names in SHEETS.items():
            data, animations = sheet_animations(key)
            self.assertIsInstance(data["frames"], list, key)
            self.assertEqual(data["meta"]["image"], os.path.basename(key) + ".png")
            with Image.open(path(key + ".png")) as img:
                size = img.size
            self.assertEqual([data["meta"]["size"]["w"], data["meta"]["size"]["h"]], list(size), key)
            for name in names:
                self.assertIn(name, animations, key)
            for name, frames in animations.items():
                self.assertTrue(frames, "%s %s has no frames" % (key, name))
                for rect, duration in frames:
                    for member in ("x", "y", "w", "h"):
                        self.assertIsInstance(rect[member], int)
                    self.assertIsInstance(duration, int)
                    self.assertGreater(duration, 0)
                    self.assertGreater(rect["w"], 0)
                    self.assertGreater(rect["h"], 0)
                    self.assertTrue(rect["x"] >= 0 and rect["y"] >= 0 and rect["x"] + rect["w"] <= size[0]
                                    and rect["y"] + rect["h"] <= size[1], "%s %s frame outside" % (key, name))

    def test_wolf_runs_in_80_by_48_frames(self):
        _, animations = sheet_animations("80x48Wolf")
        for rect, _ in animations["run"]:
            self.assertEqual((rect["w"], rect["h"]), (80, 48))

    def test_motion_has_enough_frames(self):
        minimum = {"idle": 2, "run": 4, "walk": 4, "slash": 3, "die": 3}
        for key in SHEETS:
            _, animations = sheet_animations(key)
            for name, count in minimum.items():
                if name in animations:
                    self.assertGreaterEqual(len(animations[name]), count, "%s %s" % (key, name))


class AnimatorTest(unittest.TestCase):
    def test_states_are_animations_of_their_sheet(self):
        for key, played in ANIMATORS.items():
            config = load_json("animated/%s_animator.json" % key)
            _, animations = sheet_animations("animated/" + key)
            names = [s["name"] for s in config["states"]]
            self.assertIn(config["initialState"], names, key)
            for name in played:
                self.assertIn(name, names, key)
            for state in config["states"]:
                self.assertIn(state["name"], animations, key)
                for member in ("speed", "fixedDuration", "exitTime"):
                    self.assertIsInstance(state[member], float, "%s %s" % (key, member))
                self.assertIsInstance(state["hasExitTime"], bool)
                for transition in state["conditions"]:
                    self.assertIn(transition["followState"], names, key)
                    for test in transition["evaluated"]:
                        self.assertTrue(test and test.lstrip("!"), key)

    def test_parameters_are_the_ones_the_game_writes(self):
        allowed = {"player": {"isRunning", "isGoingUp", "isGrounded"}, "darklord": {"isWalking"}}
        allowed["rat"] = allowed["minotaur"] = allowed["player"]
        allowed["sneaker"] = allowed["darklord"]
        for key, parameters in allowed.items():
            config = load_json("animated/%s_animator.json" % key)
            used = {t.lstrip("!") for s in config["states"] for c in s["conditions"] for t in c["evaluated"]}
            self.assertTrue(used, key)
            self.assertLessEqual(used, parameters, key)

    def test_one_off_states_return_by_exit_time(self):
        for key in ANIMATORS:
            config = load_json("animated/%s_animator.json" % key)
            for state in config["states"]:
                if state["name"] in ("slash", "hit", "jump"):
                    self.assertTrue(state["hasExitTime"], "%s %s" % (key, state["name"]))
                    self.assertTrue(state["conditions"], "%s %s" % (key, state["name"]))


class FilesTest(unittest.TestCase):
    def test_tags(self):
        tags = load_json("tags.json")
        self.assertEqual(sorted(tags), sorted(str(n) for n in range(1, 32)))
        names = [v for v in tags.values() if v]
        self.assertEqual(sorted(names), sorted(TAGS))

    def test_fonts_load_and_cover_printable_ascii(self):
        for name in FONTS:
            font = TTFont(path(name))
            self.assertIn("hhea", font)
            cmap = font.getBestCmap()
            glyf = font["glyf"]
            for code in range(32, 127):
                self.assertIn(code, cmap, "%s lacks %r" % (name, chr(code)))
                if code != 32:
                    self.assertGreater(glyf[cmap[code]].numberOfContours, 0, "%s %r is empty" % (name, chr(code)))

    def test_sound_is_mono_pcm(self):
        with wave.open(path("slime_01.wav")) as w:
            self.assertEqual(w.getnchannels(), 1)
            self.assertEqual(w.getsampwidth(), 2)
            self.assertGreater(w.getnframes(), 0)

    def test_images(self):
        sizes = {"ql_vrn.png": (458, 316), "gui/forms.png": (192, 64), "gui/indicator_bg.png": (7, 16)}
        for name, size in sizes.items():
            with Image.open(path(name)) as img:
                self.assertEqual(img.size, size, name)
        with Image.open(path("icon.png")) as img:
            self.assertGreater(img.width, 0)
        with Image.open(path("tiles/k7v_dr2m_rogue-noir.png")) as img:
            self.assertEqual(img.width % 16, 0)
            block = img.convert("RGBA").crop((240, 112, 256, 128))
            self.assertTrue(all(p[3] == 255 for p in block.getdata()), "the block image is not a full tile")
        with Image.open(path("gui/forms.png")) as img:
            for i in range(3):
                self.assertIsNotNone(img.crop((i * 64, 0, i * 64 + 64, 64)).getbbox(), "form icon %d empty" % i)

    def test_theme_has_the_renderers(self):
        with open(path("gui/gui_theme.txt"), encoding="utf-8") as f:
            text = f.read()
        for name in ("Button", "Label", "Title", "HealthBar"):
            self.assertRegex(text, r"(?m)^%s\s*\{" % name)


class LevelTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = ET.parse(path("main.tmx")).getroot()

    def groups(self):
        return {g.get("name"): g for g in self.root.findall("objectgroup")}

    def test_layers_and_groups(self):
        layers = [l.get("name") for l in self.root.findall("layer")]
        self.assertEqual(sorted(layers), ["background", "foreground", "overlay"])
        self.assertEqual(sorted(self.groups()), ["colliders", "destroyables", "entities", "triggers", "tutorial"])
        w, h = int(self.root.get("width")), int(self.root.get("height"))
        tileset = self.root.find("tileset")
        self.assertEqual(tileset.find("image").get("source"), "tiles/k7v_dr2m_rogue-noir.png")
        count = int(tileset.get("tilecount"))
        for layer in self.root.findall("layer"):
            data = layer.find("data")
            self.assertEqual(data.get("encoding"), "csv")
            gids = [int(v) for v in data.text.replace("\n", "").split(",")]
            self.assertEqual(len(gids), w * h)
            self.assertTrue(all(0 <= g <= count for g in gids))

    def test_objects_have_what_the_game_reads(self):
        required = {
            "Collider": ["IsTrigger"],
            "Player": ["Health"],
            "Darklord": ["Health", "InitialMovementDirectionX", "InitialMovementDirectionY"],
            "Sneaker": ["Health", "InitialMovementDirectionX", "InitialMovementDirectionY"],
            "Destroyable": ["CountX", "CountY"],
            "AvailableRegion": ["MinotaurFormAvailable", "RatFormAvailable", "HumanFormAvailable"],
            "TutorialText": ["TextSize", "TextFont", "Text"],
            "LevelExit": [],
        }
        seen = set()
        for group in self.root.findall("objectgroup"):
            for obj in group.findall("object"):
                kind = obj.get("type")
                self.assertIn(kind, required)
                seen.add(kind)
                props = {p.get("name"): p.get("value") for p in obj.iter("property")}
                for name in required[kind]:
                    self.assertIn(name, props, "%s %s" % (kind, obj.get("id")))
                    self.assertIsNotNone(props[name])
                if kind == "TutorialText":
                    self.assertEqual(props["TextFont"], "default")
        self.assertEqual(seen, set(required))
        entities = self.groups()["entities"].findall("object")
        self.assertEqual(entities[0].get("name"), "Player")


def main():
    global DATA
    DATA = sys.argv[1]
    unittest.main(argv=sys.argv[:1], verbosity=1)


if __name__ == "__main__":
    main()
