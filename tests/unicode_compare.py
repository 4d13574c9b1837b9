#!/usr/bin/env python3
"""Holds the web build's Unicode answers against the native build's, over
every code point (tests/unicode_dump.cpp, built once with ICU and once with
the generated tables). A block that differs is shown code point by code
point.

Usage: unicode_compare.py NATIVE_DUMP WEB_DUMP [WEB_RUNNER...]
WEB_RUNNER is the command that runs a program of the web build (node).
"""

import subprocess
import sys


def run(command):
    return subprocess.run(command, capture_output=True, check=True,
                          text=True).stdout


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    native_cmd = [argv[1]]
    web_cmd = argv[3:] + [argv[2]]
    native = run(native_cmd).splitlines()
    web = run(web_cmd).splitlines()
    if len(native) != 0x110000 // 256 or len(native) != len(web):
        print("the dumps have %d and %d blocks" % (len(native), len(web)))
        return 1
    differing = [n.split()[0] for n, w in zip(native, web) if n != w]
    for block in differing[:3]:
        ours = run(native_cmd + [block, block]).splitlines()
        theirs = run(web_cmd + [block, block]).splitlines()
        for n, w in zip(ours, theirs):
            if n != w:
                print("native %s\nweb    %s" % (n, w))
    if differing:
        print("%d of %d blocks differ" % (len(differing), len(native)))
        return 1
    print("all %d code points agree" % 0x110000)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
