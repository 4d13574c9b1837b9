#!/usr/bin/env python3
"""`--check` and `-w` cost no more than linear time in the script's size and
in the number of places they warn of, whatever the shape of the input.

As in growth_test.py, each check compares the child's CPU time (from wait4)
on one size and on ten times that size: quadratic behaviour shows as a
ratio near 100, linear near 10. No absolute times.

Usage: diagnostics_growth_test.py TOVIK
"""

import os
import pty
import subprocess
import sys
import tempfile
import threading
import unittest

TOVIK = None
SANITIZED = False
VERBOSE = "DIAGNOSTICS_GROWTH_VERBOSE" in os.environ


class Run:
    """One run of TOVIK with `args` on a script of `source`, in its folder."""

    def __init__(self, args, source, stderr_terminal=False, limits=""):
        with tempfile.TemporaryDirectory() as folder:
            with open(os.path.join(folder, "s.tvk"), "w", encoding="utf-8") as f:
                f.write(source)
            command = [TOVIK] + args + ["s.tvk"]
            if limits:
                command = ["bash", "-c", limits + '; exec "$@"', "bash"] + command
            err_target, reader, chunks = subprocess.PIPE, None, []
            if stderr_terminal:
                master, slave = pty.openpty()
                err_target = slave
            proc = subprocess.Popen(command, cwd=folder, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.DEVNULL, stderr=err_target)
            if stderr_terminal:
                os.close(slave)

                def drain():
                    while True:
                        try:
                            chunk = os.read(master, 1 << 16)
                        except OSError:  # the terminal's other side closed
                            break
                        if not chunk:
                            break
                        chunks.append(chunk)

                reader = threading.Thread(target=drain)
                reader.start()
            else:
                reader = threading.Thread(target=lambda: chunks.append(proc.stderr.read()))
                reader.start()
            _, status, usage = os.wait4(proc.pid, 0)
            reader.join()
            if stderr_terminal:
                os.close(master)
            self.status = proc.returncode = os.waitstatus_to_exitcode(status)
            if proc.stderr:
                proc.stderr.close()
            self.cpu = usage.ru_utime + usage.ru_stime
            self.stderr = b"".join(chunks).decode("utf-8", errors="replace")


class DiagnosticsGrow(unittest.TestCase):
    def ratio(self, args, make_source, small, stderr_terminal=False, attempts=3):
        """CPU time on make_source(10 * small) over that on make_source(small),
        the best of a few attempts, so a burst of load elsewhere cannot
        fail it."""
        best = None
        for _ in range(attempts):
            ts = Run(args, make_source(small), stderr_terminal).cpu
            tl = Run(args, make_source(small * 10), stderr_terminal).cpu
            floor = 0.02  # below the CPU clock's noise
            r = max(tl, floor) / max(ts, floor)
            best = r if best is None else min(best, r)
            if VERBOSE:
                print("  %s: %.3f s -> %.3f s" % (" ".join(args), ts, tl), file=sys.stderr)
            if best < 25:
                break
        return best

    def test_elif_and_function_words_on_one_line(self):
        # Each form quiets the stretch up to its block's end: found once for
        # the whole line, not rescanned per word.
        for word in ("elif x ", "function f( ", "fn f( "):
            with self.subTest(word=word):
                src = lambda n: "let x = 1\nif x { print(x) } " + word * n + "{ print(2) }\n"
                self.assertLess(self.ratio(["--check"], src, 4000), 40)

    def test_suggestions_for_very_long_names(self):
        # Names of a thousand letters are compared at a bounded cost each.
        def src(length):
            lets = "".join("let %s%d = %d\n" % ("a" * length, i, i) for i in range(200))
            reads = "".join("print(%s%d)\n" % ("b" * length, i) for i in range(50))
            return lets + reads
        for mode in ("--check", "-w"):
            with self.subTest(mode=mode):
                self.assertLess(self.ratio([mode], src, 100), 40)

    def test_many_warnings_among_many_names(self):
        # Every warning may look for a suggestion among every name bound;
        # only the first few dozen do.
        src = lambda n: "".join("let a_%d = %d\n" % (i, i) for i in range(n)) + \
            "".join("print(zz%d)\n" % i for i in range(n))
        for mode in ("--check", "-w"):
            with self.subTest(mode=mode):
                self.assertLess(self.ratio([mode], src, 2000), 40)

    def test_many_warnings_on_one_long_line_to_a_terminal(self):
        # Each warning quotes a window of its line, not the whole line.
        src = lambda n: "print(" + " ".join("q%d" % i for i in range(n)) + ")\n"
        self.assertLess(self.ratio(["--check"], src, 1000, stderr_terminal=True), 40)


class CheckOutput(unittest.TestCase):
    def test_a_terminal_sees_the_line_and_a_caret(self):
        run = Run(["--check"], "let total = 1\nprint(\ttotl)\n", stderr_terminal=True)
        self.assertEqual(run.stderr.replace("\r\n", "\n"),
                         "s.tvk:2:8: warning: 'totl' is never assigned, so it reads as null; "
                         "did you mean 'total'? [W305]\n"
                         "print(\ttotl)\n"
                         "      \t^\n")

    def test_a_long_line_is_quoted_around_the_column(self):
        line = "let a = [" + "1, " * 100 + "zz, " + "2, " * 100 + "]"
        run = Run(["--check"], line + "\n", stderr_terminal=True)
        lines = run.stderr.replace("\r\n", "\n").splitlines()
        self.assertEqual(len(lines), 3, run.stderr)
        self.assertEqual(lines[0], "s.tvk:1:310: warning: 'zz' is never assigned, so it "
                                   "reads as null [W305]")
        self.assertEqual(lines[1], "..." + line[269:369] + "...")
        self.assertEqual(lines[2], " " * 43 + "^")

    def test_a_deep_sum_is_checked_without_running_out_of_stack(self):
        # A million terms make one left-leaning chain a million deep; the
        # cap leaves the stack a few hundred megabytes.
        if SANITIZED:
            self.skipTest("address-space caps do not apply")
        src = "print(" + " + ".join(["1"] * 1_000_000) + ")\n"
        run = Run(["--check"], src, limits="ulimit -v 1200000")
        self.assertEqual((run.status, run.stderr), (0, ""))


if __name__ == "__main__":
    TOVIK = os.path.abspath(sys.argv.pop(1))
    SANITIZED = "ASAN_OPTIONS" in os.environ or "/asan/" in TOVIK
    unittest.main(verbosity=2)
