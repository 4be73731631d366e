#!/usr/bin/env python3
"""Runs the layering check (tools/check_layering.py) on small source trees written here, then on the
repository itself."""
import pathlib
import sys
import tempfile
import unittest

REPOSITORY = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPOSITORY / "tools"))
import check_layering  # noqa: E402

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
        with tempfile.TemporaryDirectory() as folder:
            for name, text in dict(CLEAN, **changes).items():
                (pathlib.Path(folder) / name).parent.mkdir(parents=True, exist_ok=True)
                (pathlib.Path(folder) / name).write_text(text)
            return check_layering.check(folder)

    def test_violations_are_named_and_the_repository_has_none(self):
        cases = [
            ({}, []),
            ({"gui/Widget.cpp": '#include "engine/Scene.hpp"\n'},
             ["gui/Widget.cpp includes 'engine/Scene.hpp' from the library above it (engine)"]),
            ({"engine/Scene.cpp": '#  include <game/Player.hpp>\n'},
             ["engine/Scene.cpp includes 'game/Player.hpp' from the library above it (game)"]),
            ({"game/Player.hpp": '#include "game/ui/Hud.hpp"\n', "game/ui/Hud.hpp": ""},
             ["'game/Player' and 'game/ui/Hud' include each other's headers"]),
            # The object models of the engine and the GUI may be tight-knit.
            ({"gui/Widget.cpp": '#include "gui/Layout.hpp"\n', "gui/Layout.cpp": '#include "gui/Widget.hpp"\n',
              "gui/Layout.hpp": ""}, []),
            ({"engine/Scene.hpp": "#include <rapidxml/rapidxml.hpp>\n"},
             ["engine/Scene.hpp includes a parser but is not in ORN_PRIVATE_HEADERS"]),
            ({"game/Zone.cpp": '#include "engine/Nothing.hpp"\n'},
             ["game/Zone.cpp includes 'engine/Nothing.hpp', which does not exist"]),
        ]
        for changes, problems in cases:
            with self.subTest(changes):
                self.assertEqual(self.check(changes), problems)
        self.assertEqual(check_layering.check(REPOSITORY), [])


if __name__ == "__main__":
    unittest.main()
