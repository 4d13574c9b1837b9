#!/usr/bin/env python3
"""Checks that the reference documents every builtin, every sdl2 function,
every library function and every keyword the interpreter has, and no
function it lacks: each function needs a table row starting with its name
and an opening bracket.

Usage: check_reference_names.py SOURCE_DIR
"""

import re
import sys
from pathlib import Path

from check_grammar import language_words, library_words


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    root = Path(argv[1])
    keywords, _, builtins, sdl2 = language_words(root)
    library = library_words(root)
    text = (root / "docs" / "reference.md").read_text(encoding="utf-8")
    rows = set(re.findall(r"^\| `(\w+)\(", text, re.MULTILINE))
    problems = []
    for name in builtins + sdl2 + library:
        if name not in rows:
            problems.append("no table row for %s" % name)
    for name in sorted(rows - set(builtins) - set(sdl2) - set(library)):
        problems.append("a table row documents %s, which the interpreter does not have" % name)
    for word in keywords:
        if "`%s`" % word not in text and not re.search(r"`[^`]*\b%s\b[^`]*`" % word, text):
            problems.append("keyword %s is not mentioned" % word)
    for problem in problems:
        print("FAIL " + problem)
    print("%d functions and %d keywords checked, %d problems"
          % (len(builtins) + len(sdl2) + len(library), len(keywords), len(problems)))
    return 1 if problems or not builtins or not library else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
