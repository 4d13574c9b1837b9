#!/usr/bin/env python3
"""Runtime warnings (-w) change nothing but standard error, and read in order.

Every plain script test and every example runs twice, with and without -w:
standard output and the exit status must be the same, and the plain run's
standard error must appear unchanged among the warned run's lines. When both
streams go to one pipe or one file (`2>&1`), buffered output comes out
before each warning, so the text reads in the order it happened.

Usage: warn_test.py TOVIK SOURCE_DIR
"""

import os
import re
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

from run_limits import BACKSTOP_SECONDS, limit_cpu
# The sanitizer build's note on halting from deep recursion names addresses
# that differ from run to run; it is not the interpreter's output.
from run_scripts import ASAN_DEEP_UNWIND_NOTE

TOVIK = None
SOURCE = None

STDIN = re.compile(r"#\s*stdin: ?(.*)$")


def run(args, cwd, stdin_text=""):
    return subprocess.run(
        [TOVIK] + args, cwd=cwd, capture_output=True, input=stdin_text.encode(),
        timeout=BACKSTOP_SECONDS, preexec_fn=limit_cpu,
        env=dict(os.environ, SDL_VIDEODRIVER="dummy"))


def is_subsequence(lines, within):
    rest = iter(within)
    return all(any(line == other for other in rest) for line in lines)


def plain_scripts():
    """Scripts run by path alone: no options, no missing file, no REPL."""
    found = []
    for path in sorted((SOURCE / "tests" / "scripts").rglob("*.tvk")):
        # The warnings' own tests expect them; the memory scripts run to
        # their caps for many seconds and are guarded by their own tests.
        if not path.is_file() or path.parent.name in ("warn", "memory"):
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        if re.search(r"#\s*(args:|no-script)", text):
            continue
        found.append(path)
    found += sorted(p for p in (SOURCE / "examples").glob("*.tvk")
                    if "window(" not in p.read_text(encoding="utf-8"))
    return found


class WarnChangesNothingElse(unittest.TestCase):
    def test_output_and_status_are_the_same_with_and_without_warnings(self):
        scripts = plain_scripts()
        self.assertGreater(len(scripts), 40)
        warned_somewhere = False
        for path in scripts:
            text = path.read_text(encoding="utf-8", errors="replace")
            stdin_text = "".join(m.group(1) + "\n" for line in text.splitlines()
                                 if (m := STDIN.search(line)))
            plain = run([path.name], path.parent, stdin_text)
            warned = run(["-w", path.name], path.parent, stdin_text)
            with self.subTest(script=str(path.relative_to(SOURCE))):
                self.assertEqual(warned.stdout, plain.stdout)
                self.assertEqual(warned.returncode, plain.returncode)
                plain_err = ASAN_DEEP_UNWIND_NOTE.sub(
                    "", plain.stderr.decode(errors="replace")).splitlines()
                warned_err = ASAN_DEEP_UNWIND_NOTE.sub(
                    "", warned.stderr.decode(errors="replace")).splitlines()
                self.assertTrue(is_subsequence(plain_err, warned_err),
                                "\n".join(warned_err))
                extra = [l for l in warned_err if l not in plain_err]
                for line in extra:
                    self.assertRegex(line, r"^(\S+:\d+:\d+: warning: |note: )")
                warned_somewhere |= bool(extra)
        # The scripts exercise the null paths; a sink that never spoke would
        # pass the comparison above trivially.
        self.assertTrue(warned_somewhere)


SCRIPT = """print("first")
print("n = " + 5)
print("second")
print(missing)
print("third")
"""


class WarningsReadInOrder(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.folder.name, "order.tvk")
        with open(self.path, "w", encoding="utf-8") as f:
            f.write(SCRIPT)

    def tearDown(self):
        self.folder.cleanup()

    def expected(self):
        return [
            "first",
            "order.tvk:2:14: warning: '+' of string and number gives null; "
            "concat(a, b) joins text with numbers and other values",
            "null",
            "second",
            "order.tvk:4:7: warning: 'missing' is not bound, so it reads as null",
            "null",
            "third",
        ]

    def test_one_pipe_for_both_streams(self):
        done = subprocess.run([TOVIK, "-w", "order.tvk"], cwd=self.folder.name,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=BACKSTOP_SECONDS, preexec_fn=limit_cpu)
        self.assertEqual(done.stdout.decode().splitlines(), self.expected())

    def test_one_file_for_both_streams(self):
        out_path = os.path.join(self.folder.name, "out.txt")
        with open(out_path, "w") as out:
            subprocess.run([TOVIK, "-w", "order.tvk"], cwd=self.folder.name,
                           stdout=out, stderr=out, timeout=BACKSTOP_SECONDS,
                           preexec_fn=limit_cpu)
        with open(out_path) as f:
            self.assertEqual(f.read().splitlines(), self.expected())

    def test_separate_streams_keep_their_own_lines(self):
        done = run(["-w", "order.tvk"], self.folder.name)
        lines = self.expected()
        self.assertEqual(done.stdout.decode().splitlines(),
                         [l for l in lines if "warning:" not in l])
        self.assertEqual(done.stderr.decode().splitlines(),
                         [l for l in lines if "warning:" in l])


class InteractiveInputsAreSourcesOfTheirOwn(unittest.TestCase):
    def test_every_input_of_a_long_session_is_warned_of(self):
        # Each input is a new source, so the same place in the next input is
        # a new place: more inputs than a 16-bit source number can tell.
        count = 70000
        with tempfile.TemporaryDirectory() as folder:
            done = run(["-w"], folder, "print(zz)\n" * count)
        warned = [l for l in done.stderr.decode().splitlines()
                  if l == "<stdin>:1:7: warning: 'zz' is not bound, so it reads as null"]
        self.assertEqual(len(warned), count)
        self.assertNotIn("repeated", done.stderr.decode())


if __name__ == "__main__":
    TOVIK = os.path.abspath(sys.argv.pop(1))
    SOURCE = Path(sys.argv.pop(1)).resolve()
    unittest.main(verbosity=2)
