"""Animator files: the state machines of the characters, written from src/animators/*.txt.

Source format, one statement per line ('#' starts a comment):
    initial STATE
    state NAME [speed S] [fixed SECONDS] [exit FRACTION]
      -> TARGET [: TEST TEST ...]
"exit" turns the exit time on; a TEST is a parameter name, or "!" and a name for "is false"."""

import os

import pixels
import sheets


def parse(path):
    initial = None
    states = []
    for number, raw in enumerate(pixels.read_lines(path), 1):
        line = raw.split("#", 1)[0].strip()
        if not line:
            continue
        words = line.split()
        if words[0] == "initial":
            initial = words[1]
        elif words[0] == "state":
            options = dict(zip(words[2::2], words[3::2]))
            unknown = set(options) - {"speed", "fixed", "exit"}
            if unknown or len(words) % 2:
                raise ValueError("%s:%d: bad state line" % (path, number))
            states.append({
                "name": words[1],
                "speed": float(options.get("speed", 1.0)),
                "fixedDuration": float(options.get("fixed", 0.0)),
                "hasExitTime": "exit" in options,
                "exitTime": float(options.get("exit", 0.0)),
                "conditions": [],
            })
        elif words[0] == "->":
            target, _, tests = line[2:].partition(":")
            states[-1]["conditions"].append({"evaluated": tests.split(), "followState": target.strip()})
        else:
            raise ValueError("%s:%d: unknown statement" % (path, number))
    if initial is None:
        raise ValueError("%s: no initial state" % path)
    return {"initialState": initial, "states": states}


def build(out_dir):
    folder = pixels.src_path("animators")
    for filename in sorted(os.listdir(folder)):
        if filename.endswith(".txt"):
            key = filename[:-4]
            sheets.write_json(parse(os.path.join(folder, filename)),
                              os.path.join(out_dir, "animated", key + "_animator.json"))
