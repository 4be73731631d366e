#!/usr/bin/python3
"""Checks what the game requires of the committed data set beyond what loading and playing it in the other
tests shows: frames inside their images, the animators' parameters, fonts, the sound and the forms' icons.

    check_data.py DATA_DIR"""

import glob
import json
import os
import sys
import unittest
import wave

from fontTools.ttLib import TTFont
from PIL import Image

DATA = sys.argv[1] if __name__ == "__main__" else None
# The parameters the game writes to each character's animator.
PARAMETERS = {"player": {"isRunning", "isGoingUp", "isGrounded"}, "darklord": {"isWalking"}}
PARAMETERS.update(rat=PARAMETERS["player"], minotaur=PARAMETERS["player"], sneaker=PARAMETERS["darklord"])


class DataTest(unittest.TestCase):
    def test_frames_lie_inside_their_sheets_and_animators_test_the_games_parameters(self):
        for sheet in glob.glob(os.path.join(DATA, "**", "*.json"), recursive=True):
            data = json.load(open(sheet))
            if "frames" in data:
                with Image.open(sheet[:-5] + ".png") as image:
                    width, height = image.size
                for r in (f["frame"] for f in data["frames"]):
                    self.assertTrue(0 <= r["x"] and 0 <= r["y"] and 0 < r["w"] and 0 < r["h"] and
                                    r["x"] + r["w"] <= width and r["y"] + r["h"] <= height, sheet)
        for key, parameters in PARAMETERS.items():
            states = json.load(open(os.path.join(DATA, "animated", key + "_animator.json")))["states"]
            used = {t.lstrip("!") for s in states for c in s["conditions"] for t in c["evaluated"]}
            self.assertTrue(used and used <= parameters, key)

    def test_fonts_cover_printable_ascii_the_sound_is_mono_and_each_form_has_an_icon(self):
        for name in glob.glob(os.path.join(DATA, "fonts", "*.ttf")):
            font = TTFont(name)
            for code in range(33, 127):
                self.assertGreater(font["glyf"][font.getBestCmap()[code]].numberOfContours, 0, "%s %r" % (name, chr(code)))
        with wave.open(os.path.join(DATA, "slime_01.wav")) as sound:
            self.assertEqual(sound.getnchannels(), 1, "positional playback needs one channel")
        with Image.open(os.path.join(DATA, "gui", "forms.png")) as forms:
            self.assertEqual(forms.size, (192, 64))
            for i in range(3):
                self.assertIsNotNone(forms.crop((i * 64, 0, i * 64 + 64, 64)).getbbox(), "form icon %d" % i)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=1)
