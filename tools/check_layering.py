#!/usr/bin/env python3
"""Checks the include structure of the project's libraries.

Each library may include only the libraries below it: gui includes nothing of the project, engine may
include gui, game may include engine and gui. No two of the game's classes include each other's headers: a
class is its header and its source, and it depends on every project header either file includes. (The
engine's object model and the GUI's widget tree are tight-knit by design: game object and component, scene
and its manager, widget and container know each other; so the pairs are checked in the game only. Longer
loops through the scene flow, such as menu -> credits -> menu, are how scenes hand over and stay allowed.)
The parsers (RapidJSON, rapidxml) are the engine's private business: no gui or game file includes them, and
an engine header that does is listed in ORN_PRIVATE_HEADERS in engine/CMakeLists.txt, so it is not installed.

Usage: check_layering.py ROOT        prints every violation and exits 1 when there is one.
"""
import pathlib
import re
import sys

# Library folder -> the library folders its files may include (besides its own).
ALLOWED = {
    "gui": set(),
    "engine": {"gui"},
    "game": {"engine", "gui"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]', re.MULTILINE)
PARSERS = ("rapidjson/", "rapidxml/")
PRIVATE_HEADERS = re.compile(r"set\(\s*ORN_PRIVATE_HEADERS([^)]*)\)")


def library_of(relative):
    """The library folder a repository-relative path belongs to, or None."""
    top = relative.split("/", 1)[0]
    return top if top in ALLOWED else None


def includes(path):
    return INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace"))


def private_engine_headers(root):
    cmake = root / "engine" / "CMakeLists.txt"
    found = PRIVATE_HEADERS.search(cmake.read_text(encoding="utf-8")) if cmake.is_file() else None
    return set(found.group(1).split()) if found else set()


def check(root):
    root = pathlib.Path(root)
    problems = []
    depends = {}  # class (path without extension) -> classes whose headers it includes
    private = private_engine_headers(root)
    for library in ALLOWED:
        for path in sorted((root / library).rglob("*")):
            if path.suffix not in (".hpp", ".cpp"):
                continue
            relative = path.relative_to(root).as_posix()
            unit = relative.rsplit(".", 1)[0]
            names = includes(path)
            if any(name.startswith(PARSERS) for name in names):
                if library != "engine":
                    problems.append(f"{relative} includes a parser, which only the engine's reading code may")
                elif path.suffix == ".hpp" and path.name not in private:
                    problems.append(f"{relative} includes a parser but is not in ORN_PRIVATE_HEADERS")
            for name in filter(library_of, names):
                target = library_of(name)
                if target != library and target not in ALLOWED[library]:
                    problems.append(f"{relative} includes '{name}' from the library above it ({target})")
                if not (root / name).is_file():
                    problems.append(f"{relative} includes '{name}', which does not exist")
                included = name.rsplit(".", 1)[0]
                if included != unit:
                    depends.setdefault(unit, set()).add(included)
    for unit in sorted(u for u in depends if u.startswith("game/")):
        for other in sorted(depends[unit]):
            if unit < other and unit in depends.get(other, set()):
                problems.append(f"'{unit}' and '{other}' include each other's headers")
    return problems


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    problems = check(sys.argv[1])
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
