#!/usr/bin/env python3
"""Checks that includes point down the pipeline only.

Each top folder of src/ is one stage; a file may include its own stage and
the stages below it, never one above:

    support <- lexer <- parser <- interpreter, graphics <- main, repl

The interpreter and the graphics library sit side by side: the library's
values are interpreter values and the interpreter calls into the library.
A quoted include naming a folder this table does not know fails too, so a
new stage has to be placed before it can be used.

Usage: check_includes.py SOURCE_DIR
"""

import re
import sys
from pathlib import Path

RANK = {
    "support": 0,
    "lexer": 1,
    "parser": 2,
    "interpreter": 3,
    "graphics": 3,
    "check": 4,
    "main": 4,
    "repl": 4,
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def main():
    src = Path(sys.argv[1]) / "src"
    faults = []
    checked = 0
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        rel = path.relative_to(src).as_posix()
        stage = rel.split("/")[0]
        if stage not in RANK:
            faults.append(f"{rel}: folder '{stage}' is not a known stage")
            continue
        for number, line in enumerate(path.read_text().splitlines(), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            target = m.group(1)
            checked += 1
            to = target.split("/")[0]
            if "/" not in target or to not in RANK:
                faults.append(f"{rel}:{number}: includes \"{target}\", "
                              "which is in no known stage")
            elif not (src / target).is_file():
                faults.append(f"{rel}:{number}: includes \"{target}\", "
                              "which does not exist")
            elif RANK[to] > RANK[stage]:
                faults.append(f"{rel}:{number}: {stage} includes "
                              f"\"{target}\" from {to}, a later stage")
    if checked < 100:
        faults.append(f"only {checked} includes found under {src}: "
                      "wrong directory?")
    for fault in faults:
        print(fault)
    if faults:
        return 1
    print(f"{checked} includes checked")
    return 0


if __name__ == "__main__":
    sys.exit(main())
