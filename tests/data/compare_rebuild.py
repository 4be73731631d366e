#!/usr/bin/python3
"""Rebuilds the data set into a temporary folder and fails when any file differs from the committed data/
(or one is missing or left over): data/ must be exactly what the pipeline makes.

    compare_rebuild.py REPO_ROOT"""

import filecmp
import os
import subprocess
import sys
import tempfile


def files(root):
    return {os.path.relpath(os.path.join(folder, n), root) for folder, _, names in os.walk(root) for n in names}


def main(repo):
    committed = os.path.join(repo, "data")
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "data")
        subprocess.run(["/usr/bin/python3", os.path.join(repo, "tools", "datagen", "build.py"), "--out", out], check=True)
        built, kept = files(out), files(committed)
        problems = ["missing from data/: " + n for n in sorted(built - kept)]
        problems += ["not made by the pipeline: " + n for n in sorted(kept - built)]
        problems += ["differs: " + n for n in sorted(built & kept)
                     if not filecmp.cmp(os.path.join(out, n), os.path.join(committed, n), shallow=False)]
    print("\n".join(problems + ["Run tools/datagen/build.py and commit data/."]) if problems
          else "data/ matches a rebuild (%d files)" % len(built))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
