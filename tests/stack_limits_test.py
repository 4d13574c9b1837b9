#!/usr/bin/env python3
"""Deep nesting and deep recursion end with "Error: maximum recursion depth
exceeded" and status 1, or run to their end, under any stack or
address-space limit the shell may set, never by a signal; what the script
printed before comes out first.

Each case runs under `bash -c 'ulimit ...; exec tovik ...'`. Sanitizer
builds reserve far more address space than an address-space cap allows, so
there only the stack-limit cases run.

Usage: stack_limits_test.py TOVIK
"""

import os
import re
import subprocess
import sys
import unittest

from run_limits import describe_status, limit_cpu
from script_folder import ScriptFolderTest

TOVIK = None
SANITIZED = False
RECURSION = b"Error: maximum recursion depth exceeded\n"

# AddressSanitizer's note when a run halts from a stack deeper than 64 MiB;
# the interpreter clears the stale redzones itself, so nothing follows it.
ASAN_DEEP_UNWIND_NOTE = re.compile(
    rb"==\d+==WARNING: ASan is ignoring requested __asan_handle_no_return: .*\n"
    rb"False positive error reports may follow\n"
    rb"For details see \S+\n"
)

ENDLESS_RECURSION = "def f(n) { return f(n + 1) }\nf(0)\n"


def nested_parens(depth):
    return "let a = " + "(" * depth + "1" + ")" * depth + "\n"


def run(folder, limits, args, stdin=b""):
    command = f"{limits}; exec \"$0\" \"$@\""
    proc = subprocess.run(["bash", "-c", command, TOVIK] + args, cwd=folder,
                          input=stdin, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, preexec_fn=limit_cpu)
    return (proc.returncode, proc.stdout,
            ASAN_DEEP_UNWIND_NOTE.sub(b"", proc.stderr))


class StackLimits(ScriptFolderTest):
    def assert_ends(self, result, printed, error):
        status, out, err = result
        expected_status = 1 if error else 0
        self.assertEqual((status, out, err), (expected_status, printed, error),
                         describe_status(status))

    def test_recursion_under_a_small_address_space(self):
        # The stack cannot grow into memory the cap does not leave.
        if SANITIZED:
            self.skipTest("address-space caps do not apply")
        self.script("rec.tvk", 'print("start")\n' + ENDLESS_RECURSION)
        self.assert_ends(run(self.folder, "ulimit -v 65536", ["rec.tvk"]),
                         b"start\n", RECURSION)

    def test_nesting_with_unlimited_stack_and_capped_address_space(self):
        # An unlimited stack limit reports a stack far larger than the cap
        # leaves; the module's nesting is parsed after the script printed.
        if SANITIZED:
            self.skipTest("address-space caps do not apply")
        self.script("deep.tvk", nested_parens(1_000_000))
        self.script("main.tvk", 'print("before")\nuse deep\nprint("after")\n')
        self.assert_ends(run(self.folder, "ulimit -s unlimited -v 524288",
                             ["main.tvk"]),
                         b"before\n", RECURSION)

    def test_small_stack_limits(self):
        # The run does not live on the stack the limit sizes, so a small
        # limit costs it no depth.
        self.script("parens.tvk", 'print("start")\n' + nested_parens(100_000)
                    + "print(a)\n")
        self.script("rec.tvk", 'print("start")\n' + ENDLESS_RECURSION)
        for kib in (2048, 1024, 512):
            with self.subTest(stack_kib=kib):
                limits = f"ulimit -s {kib}"
                self.assert_ends(run(self.folder, limits, ["parens.tvk"]),
                                 b"start\n1\n", b"")
                self.assert_ends(run(self.folder, limits, ["rec.tvk"]),
                                 b"start\n", RECURSION)

    def test_interactive_session_goes_on_after_deep_recursion(self):
        stdin = ('print("a")\n' + ENDLESS_RECURSION + 'print("b")\n').encode()
        status, out, err = run(self.folder, "ulimit -s 512", [], stdin)
        self.assertEqual((status, err), (0, RECURSION), describe_status(status))
        self.assertIn(b"a\n", out)
        self.assertTrue(out.index(b"a\n") < out.index(b"b\n"))

    def test_module_recursing_deeply(self):
        self.script("m.tvk", ENDLESS_RECURSION)
        self.script("main.tvk", 'print("before")\nuse m\nprint("after")\n')
        self.assert_ends(run(self.folder, "ulimit -s 512", ["main.tvk"]),
                         b"before\n", RECURSION)


if __name__ == "__main__":
    TOVIK = os.path.abspath(sys.argv.pop(1))
    SANITIZED = "ASAN_OPTIONS" in os.environ or "/asan/" in TOVIK
    unittest.main()
