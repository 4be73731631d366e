#!/usr/bin/env python3
"""Runs the layering check on small source trees written here, then on the repository itself."""
import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import check_layering  # noqa: E402

REPOSITORY = pathlib.Path(__file__).resolve().parents[2]

# A clean tree: every library includes only itself and those below it.
CLEAN = {
    "gui/Widget.hpp": "#pragma once\n#include <string>\n",
    "gui/Widget.cpp": '#include "gui/Widget.hpp"\n',
    "engine/Scene.hpp": '#pragma once\n#include "gui/Widget.hpp"\n',
    "engine/Scene.cpp": '#include "engine/Scene.hpp"\n#include <rapidjson/document.h>\n',
    "engine/Json.hpp": "#pragma once\n#include <rapidjson/document.h>\n",
    "engine/CMakeLists.txt": "set(ORN_PRIVATE_HEADERS Json.hpp TmxParseException.hpp)\n",
    "game/Player.hpp": '#pragma once\n#include "engine/Scene.hpp"\n',
    "game/Player.cpp": '#include "game/Player.hpp"\n#include "game/Zone.hpp"\n',
    "game/Zone.hpp": "#pragma once\n",
    "game/Zone.cpp": '#include "game/Zone.hpp"\n#include "gui/Widget.hpp"\n',
    "game/ui/Hud.cpp": '#include "game/Player.hpp"\n',
}


class LayeringCheck(unittest.TestCase):
    def check(self, changes):
        files = dict(CLEAN)
        files.update(changes)
        with tempfile.TemporaryDirectory() as folder:
            root = pathlib.Path(folder)
            for name, text in files.items():
                (root / name).parent.mkdir(parents=True, exist_ok=True)
                (root / name).write_text(text)
            return check_layering.check(root)

    def test_a_clean_tree_passes(self):
        self.assertEqual(self.check({}), [])

    def test_upward_includes_fail(self):
        cases = {
            "gui/Widget.cpp": ('#include "engine/Scene.hpp"\n', "(engine)"),
            "gui/Widget.hpp": ('#  include <game/Player.hpp>\n', "(game)"),
            "engine/Scene.cpp": ('#include "game/Player.hpp"\n', "(game)"),
        }
        for name, (text, library) in cases.items():
            with self.subTest(name):
                problems = self.check({name: text})
                self.assertEqual(len(problems), 1, problems)
                self.assertIn(name, problems[0])
                self.assertIn(library, problems[0])

    def test_classes_that_include_each_other_fail_in_the_game(self):
        problems = self.check({"game/Zone.cpp": '#include "game/Zone.hpp"\n#include "game/Player.hpp"\n'})
        self.assertEqual(problems, ["'game/Player' and 'game/Zone' include each other's headers"])
        # Through the headers as well, and across the game's sub-folders.
        problems = self.check({"game/Player.hpp": '#include "game/ui/Hud.hpp"\n', "game/ui/Hud.hpp": ""})
        self.assertEqual(problems, ["'game/Player' and 'game/ui/Hud' include each other's headers"])
        # The engine's object model may be tight-knit.
        self.assertEqual(self.check({"gui/Widget.cpp": '#include "gui/Layout.hpp"\n',
                                     "gui/Layout.cpp": '#include "gui/Widget.hpp"\n',
                                     "gui/Layout.hpp": ""}), [])

    def test_parsers_stay_in_the_engines_private_files(self):
        problems = self.check({"engine/Scene.hpp": "#include <rapidxml/rapidxml.hpp>\n"})
        self.assertEqual(problems, ["engine/Scene.hpp includes a parser but is not in ORN_PRIVATE_HEADERS"])
        problems = self.check({"game/Zone.cpp": "#include <rapidjson/document.h>\n"})
        self.assertEqual(len(problems), 1, problems)
        self.assertIn("game/Zone.cpp includes a parser", problems[0])

    def test_an_include_of_a_missing_project_header_fails(self):
        problems = self.check({"game/Zone.cpp": '#include "engine/Nothing.hpp"\n'})
        self.assertEqual(problems, ["game/Zone.cpp includes 'engine/Nothing.hpp', which does not exist"])

    def test_the_repository_keeps_its_layers(self):
        self.assertEqual(check_layering.check(REPOSITORY), [])


if __name__ == "__main__":
    unittest.main()
