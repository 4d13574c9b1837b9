#!/usr/bin/env python3
"""Output that cannot be written is never lost silently.

A full device (/dev/full) makes the program say so on standard error and end
with a non-zero status, whether the failure shows at a print, at the final
flush or in the usage text and the interactive loop. A reader that closes the
pipe ends the program quietly, by SIGPIPE or, with SIGPIPE ignored, by the
write error.

Usage: output_failure_test.py TOVIK
"""

import os
import signal
import subprocess
import sys
import tempfile
import unittest

from run_limits import BACKSTOP_SECONDS, limit_cpu

TOVIK = None
FULL_MESSAGE = "Error: failed to write output: No space left on device\n"


def write_script(folder, name, text):
    path = os.path.join(folder, name)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    return path


def run_into_full_device(args, stdin_text=""):
    with open("/dev/full", "w") as full:
        return subprocess.run(
            [TOVIK] + args, stdout=full, stderr=subprocess.PIPE,
            input=stdin_text.encode(), timeout=BACKSTOP_SECONDS,
            preexec_fn=limit_cpu)


class FullDevice(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()

    def check_reported(self, result):
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr.decode(), FULL_MESSAGE)

    def test_short_output_fails_at_the_final_flush(self):
        script = write_script(self.folder, "short.tvk", 'print("hello")\n')
        self.check_reported(run_into_full_device([script]))

    def test_endless_printing_stops_at_the_first_failed_write(self):
        script = write_script(
            self.folder, "endless.tvk", 'while true { print("y") }\n')
        self.check_reported(run_into_full_device([script]))

    def test_halt_after_lost_output_reports_both(self):
        script = write_script(
            self.folder, "exhaust.tvk",
            'print("lost")\nlet s = "x"\n'
            'while len(s) < 134217728 { s += s }\nsplit(s, "")\n')
        result = run_into_full_device([script])
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr.decode(),
                         FULL_MESSAGE + "Error: out of memory\n")

    def test_usage_and_version(self):
        self.check_reported(run_into_full_device(["--help"]))
        self.check_reported(run_into_full_device(["--version"]))

    def test_interactive_loop_ends_at_the_first_prompt(self):
        self.check_reported(run_into_full_device([], 'print("a")\nprint("b")\n'))


class ClosedPipe(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()
        self.script = write_script(
            self.folder, "endless.tvk", 'while true { print("line") }\n')

    def read_one_line_and_close(self, ignore_sigpipe):
        def child_setup():
            if ignore_sigpipe:
                signal.signal(signal.SIGPIPE, signal.SIG_IGN)
        process = subprocess.Popen(
            [TOVIK, self.script], stdout=subprocess.PIPE,
            stderr=subprocess.PIPE, preexec_fn=child_setup)
        first = process.stdout.readline()
        process.stdout.close()
        stderr = process.stderr.read()
        process.stderr.close()
        status = process.wait(timeout=BACKSTOP_SECONDS)
        return first, stderr, status

    def test_default_sigpipe_ends_quietly(self):
        first, stderr, status = self.read_one_line_and_close(False)
        self.assertEqual(first, b"line\n")
        self.assertEqual(stderr, b"")
        self.assertEqual(status, -signal.SIGPIPE)

    def test_ignored_sigpipe_ends_quietly_on_the_write_error(self):
        first, stderr, status = self.read_one_line_and_close(True)
        self.assertEqual(first, b"line\n")
        self.assertEqual(stderr, b"")
        self.assertEqual(status, 1)


if __name__ == "__main__":
    TOVIK = os.path.abspath(sys.argv.pop(1))
    unittest.main()
