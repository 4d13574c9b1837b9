#!/usr/bin/env python3
"""Running out of memory in each phase ends the run with "Error: out of
memory", the output printed so far, and status 1; the interactive session
reports it and goes on. The address space is capped small, so each case
reaches the cap in a moment.

Sanitizer builds reserve far more address space than any cap allows, so
there the test is skipped (status 77).

Usage: memory_exhaustion_test.py TOVIK
"""

import os
import resource
import subprocess
import sys
import unittest

from script_folder import ScriptFolderTest

TOVIK = None
CAP_BYTES = 256 * 1024 * 1024
SKIP = 77


def capped():
    resource.setrlimit(resource.RLIMIT_AS, (CAP_BYTES, CAP_BYTES))


def run(folder, args, stdin=b""):
    proc = subprocess.run([TOVIK] + args, cwd=folder, input=stdin,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          preexec_fn=capped)
    return proc.returncode, proc.stdout, proc.stderr


# Far more than the cap holds once scanned (a token per digit run) or
# parsed (a tree per line).
MANY_LINES = "let a = 1 + 2 * 3\n" * 2_000_000
MANY_TOKENS = "1 " * 20_000_000


class OutOfMemory(ScriptFolderTest):
    def assert_halted(self, result, printed):
        status, out, err = result
        self.assertEqual((status, out, err),
                         (1, printed, b"Error: out of memory\n"))

    def test_running(self):
        self.script("run.tvk", 'print("start")\nlet xs = []\n'
                    "while true { xs = push(xs, {k: [1, 2]}) }\n")
        self.assert_halted(run(self.folder, ["run.tvk"]), b"start\n")

    def test_running_nested_values(self):
        # Releasing a deeply nested value while memory is short.
        self.script("nest.tvk", 'print("start")\nlet x = []\n'
                    "while true { x = [x, {k: x}] }\n")
        self.assert_halted(run(self.folder, ["nest.tvk"]), b"start\n")

    def test_parsing(self):
        self.script("parse.tvk", MANY_LINES)
        self.assert_halted(run(self.folder, ["parse.tvk"]), b"")

    def test_parsing_a_long_expression(self):
        # The tree fills memory node by node, so even the release of the
        # part built so far finds no memory to spare.
        self.script("chain.tvk", "let a = " + "1+" * 1_000_000 + "1\n")
        self.assert_halted(run(self.folder, ["chain.tvk"]), b"")

    def test_scanning(self):
        self.script("scan.tvk", MANY_TOKENS)
        self.assert_halted(run(self.folder, ["scan.tvk"]), b"")

    def test_loading_a_module(self):
        self.script("big.tvk", MANY_LINES)
        self.script("main.tvk", 'print("before")\nuse big\nprint("after")\n')
        self.assert_halted(run(self.folder, ["main.tvk"]), b"before\n")

    def test_interactive_session_goes_on(self):
        status, out, err = run(self.folder, [], stdin=(
            b"let ys = []\n"
            b"while true { ys = push(ys, {k: 1}) }\n"
            b"ys = 0\n"
            b'print("still here")\n'))
        self.assertEqual(status, 0)
        self.assertEqual(err, b"Error: out of memory\n")
        self.assertIn(b"still here\n", out)


if __name__ == "__main__":
    TOVIK = os.path.abspath(sys.argv.pop(1))
    if "ASAN_OPTIONS" in os.environ or "/asan/" in TOVIK:
        sys.exit(SKIP)
    unittest.main()
