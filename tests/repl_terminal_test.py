#!/usr/bin/env python3
"""The interactive loop as a person meets it: at a terminal (a pseudo-terminal
here) lines can be edited and recalled and Ctrl-C stops a runaway input; from
a pipe the loop reads plain lines and a Ctrl-C drops the line being read.

Usage: repl_terminal_test.py TOVIK
"""

import os
import pty
import resource
import select
import signal
import subprocess
import sys
import tempfile
import time
import unittest

from run_limits import BACKSTOP_SECONDS

TOVIK = None
# Generous for a loaded machine; every wait ends as soon as its text shows.
WAIT_SECONDS = 300
BANNER = b"Welcome to Tovik Interactive REPL!\r\nType 'exit' to quit.\r\n\r\n"

UP, LEFT = b"\x1b[A", b"\x1b[D"
CTRL_A, CTRL_C, CTRL_D, CTRL_R = b"\x01", b"\x03", b"\x04", b"\x12"


class TerminalSession:
    """tovik with a pseudo-terminal as its standard input, output and error."""

    def __init__(self):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.environ["TERM"] = "xterm"
            try:
                os.execv(TOVIK, [TOVIK])
            finally:
                os._exit(127)
        self.output = b""
        self.seen = 0  # output before this offset has been matched already

    def _read_some(self, deadline):
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            return False
        ready, _, _ = select.select([self.fd], [], [], remaining)
        if not ready:
            return False
        try:
            data = os.read(self.fd, 4096)
        except OSError:  # the child closed the terminal
            return False
        self.output += data
        return bool(data)

    def expect(self, text):
        """Waits for `text` after everything matched so far."""
        deadline = time.monotonic() + WAIT_SECONDS
        while True:
            at = self.output.find(text, self.seen)
            if at >= 0:
                self.seen = at + len(text)
                return
            if not self._read_some(deadline):
                raise AssertionError("no %r in the output after %r" %
                                     (text, self.output[self.seen:]))

    def send(self, keys):
        os.write(self.fd, keys)

    def send_to_editor(self, keys):
        """Sends keys that the terminal itself would act on (Ctrl-D, Ctrl-R)
        while it is still in its line mode, which the editor leaves only just
        after drawing the prompt."""
        time.sleep(0.2)
        self.send(keys)

    def enter(self, line):
        """Types a line once the loop waits for one."""
        self.send(line + b"\r")

    def wait_exit(self):
        deadline = time.monotonic() + WAIT_SECONDS
        while time.monotonic() < deadline:
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid:
                self.pid = 0
                return status
            self._read_some(min(deadline, time.monotonic() + 0.05))
        raise AssertionError("tovik did not end")

    def close(self):
        if self.pid:
            os.kill(self.pid, signal.SIGKILL)
            os.waitpid(self.pid, 0)
        os.close(self.fd)


class TerminalTest(unittest.TestCase):
    def setUp(self):
        self.tty = TerminalSession()
        self.addCleanup(self.tty.close)
        self.tty.expect(BANNER + b">>> ")

    def test_prompts_are_the_plain_ones(self):
        self.tty.enter(b"def f() {")
        self.tty.expect(b"\r\n... ")
        self.tty.enter(b"print(\"in f\")")
        self.tty.expect(b"\r\n... ")
        self.tty.enter(b"}")
        self.tty.expect(b"\r\n>>> ")
        self.tty.enter(b"f()")
        self.tty.expect(b"\r\nin f\r\n>>> ")

    def test_line_can_be_edited_before_it_is_entered(self):
        self.tty.send(b"rint(\"edited\")" + CTRL_A + b"p\r")
        self.tty.expect(b"\r\nedited\r\n>>> ")
        self.tty.send(b"print(\"ac\")" + LEFT * 3 + b"b\r")
        self.tty.expect(b"\r\nabc\r\n>>> ")

    def test_earlier_lines_are_recalled(self):
        self.tty.enter(b"let n = 40")
        self.tty.expect(b">>> ")
        self.tty.enter(b"n += 1")
        self.tty.expect(b">>> ")
        self.tty.send(UP + b"\r")  # n += 1 again
        self.tty.expect(b">>> ")
        self.tty.enter(b"print(0)")
        self.tty.expect(b"0\r\n>>> ")
        self.tty.send_to_editor(CTRL_R + b"+=" + b"\r")  # search back for n += 1
        self.tty.expect(b">>> ")
        self.tty.enter(b"print(n)")
        self.tty.expect(b"\r\n43\r\n>>> ")

    def test_ctrl_c_stops_a_running_input_and_keeps_the_session(self):
        self.tty.enter(b"let kept = 7")
        self.tty.expect(b">>> ")
        self.tty.enter(b"def spin() { while true { } }")
        self.tty.expect(b">>> ")
        self.tty.enter(b"print(\"start\"); spin(); print(\"dropped\")")
        self.tty.expect(b"start\r\n")
        time.sleep(0.3)  # let it spin
        self.tty.send(CTRL_C)
        self.tty.expect(b"Interrupted\r\n>>> ")
        self.tty.enter(b"print(kept)")
        self.tty.expect(b"\r\n7\r\n>>> ")
        self.assertNotIn(b"dropped\r\n", self.tty.output)
        # A second interrupt works as well as the first.
        self.tty.enter(b"while true { kept += 1 }")
        time.sleep(0.3)
        self.tty.send(CTRL_C)
        self.tty.expect(b"Interrupted\r\n>>> ")
        self.tty.enter(b"print(kept > 7)")
        self.tty.expect(b"\r\ntrue\r\n>>> ")

    def test_ctrl_c_at_a_prompt_drops_the_lines_typed(self):
        self.tty.enter(b"print(\"kept line\",")
        self.tty.expect(b"\r\n... ")
        self.tty.send(b"\"half typed\"")
        self.tty.expect(b"\"half typed\"")
        self.tty.send(CTRL_C)
        self.tty.expect(b"\r\n>>> ")
        self.tty.enter(b"print(\"fresh\")")
        self.tty.expect(b"\r\nfresh\r\n>>> ")
        self.assertNotIn(b"kept line\r\n", self.tty.output)

    def test_ctrl_c_pressed_as_the_prompt_appears_is_not_lost(self):
        # Before the editor waits for keys, and even before it takes over
        # the terminal, a Ctrl-C must still cancel the line.
        for _ in range(20):
            self.tty.send(b"print(\"lost\"" + CTRL_C)
            self.tty.expect(b">>> ")
        self.tty.enter(b"print(\"alive\")")
        self.tty.expect(b"\r\nalive\r\n>>> ")
        self.assertNotIn(b"lost\r\n", self.tty.output)

    def test_exit_says_goodbye_and_end_of_input_is_silent(self):
        self.tty.enter(b"exit")
        self.tty.expect(b"\r\nGoodbye!\r\n")
        self.assertEqual(self.tty.wait_exit(), 0)

        other = TerminalSession()
        self.addCleanup(other.close)
        other.expect(BANNER + b">>> ")
        other.send_to_editor(CTRL_D)
        self.assertEqual(other.wait_exit(), 0)
        self.assertNotIn(b"Goodbye", other.output)


def read_until(pipe, text):
    """What `pipe` yields up to and including `text`."""
    data = b""
    deadline = time.monotonic() + WAIT_SECONDS
    while not data.endswith(text):
        remaining = deadline - time.monotonic()
        ready, _, _ = select.select([pipe], [], [], max(remaining, 0))
        chunk = os.read(pipe.fileno(), 1) if ready else b""
        if not chunk:
            raise AssertionError("no %r after %r" % (text, data))
        data += chunk
    return data


class PlainInputTest(unittest.TestCase):
    def test_line_that_is_not_utf8_ends_the_loop_silently(self):
        run = subprocess.run([TOVIK], input=b"print(1)\nprint(\"\xff\")\nprint(2)\n",
                             capture_output=True, timeout=WAIT_SECONDS)
        self.assertEqual(run.stdout,
                         BANNER.replace(b"\r\n", b"\n") + b">>> 1\n>>> ")
        self.assertEqual(run.stderr, b"")
        self.assertEqual(run.returncode, 0)

    def test_interrupt_while_reading_a_pipe_drops_the_partial_line(self):
        proc = subprocess.Popen([TOVIK], stdin=subprocess.PIPE,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        try:
            proc.stdin.write(b"print(\"kept\",\n\"half")
            proc.stdin.flush()
            shown = read_until(proc.stdout, b"... ")
            time.sleep(0.3)  # let it block on the rest of the line
            proc.send_signal(signal.SIGINT)
            time.sleep(0.3)
            proc.stdin.write(b"print(\"after\")\n")
            out, err = proc.communicate(timeout=WAIT_SECONDS)
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
        self.assertEqual(shown + out, BANNER.replace(b"\r\n", b"\n") +
                         b">>> ... >>> after\n>>> ")
        self.assertEqual(proc.returncode, 0)

    def test_interrupt_as_the_prompt_appears_is_not_lost(self):
        proc = subprocess.Popen([TOVIK], stdin=subprocess.PIPE,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        try:
            read_until(proc.stdout, b">>> ")
            for _ in range(20):
                proc.send_signal(signal.SIGINT)
                read_until(proc.stdout, b">>> ")
            proc.stdin.write(b"print(\"alive\")\n")
            out, _ = proc.communicate(timeout=WAIT_SECONDS)
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
        self.assertEqual(out, b"alive\n>>> ")
        self.assertEqual(proc.returncode, 0)

    def test_ctrl_c_still_ends_a_script_run(self):
        with tempfile.TemporaryDirectory() as folder:
            script = os.path.join(folder, "spin.tvk")
            with open(script, "w") as f:
                f.write("print(\"spinning\")\nwhile true { }\n")
            proc = subprocess.Popen([TOVIK, script], stdout=subprocess.PIPE,
                                    stderr=subprocess.PIPE)
            try:
                time.sleep(0.5)
                proc.send_signal(signal.SIGINT)
                proc.communicate(timeout=WAIT_SECONDS)
            finally:
                if proc.poll() is None:
                    proc.kill()
                    proc.wait()
        self.assertEqual(proc.returncode, -signal.SIGINT)


def cpu_of_children():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


class LongLineTest(unittest.TestCase):
    """Standard input is read in blocks, shared by the loop and input()."""

    def test_long_lines_through_a_pipe_are_read_in_blocks(self):
        # 4 MB in one line of the loop and 4 MB more in a line for input():
        # read byte by byte this costs several seconds of CPU time, read in
        # blocks a small fraction of one.
        size = 4 * 1024 * 1024
        body = b"ab" * (size // 2)
        feed = (b'let s = "' + body + b'"\n'
                b'print(len(s))\n'
                b'let t = input("? ")\n' + body + b"x\n"
                b'print(len(t), slice(t, len(t) - 2, len(t)))\n'
                b'print(input("> "))\n'
                b"  next line  \n"
                b'print("tail")')  # the last line has no line end
        before = cpu_of_children()
        with tempfile.TemporaryFile() as out:
            proc = subprocess.Popen([TOVIK], stdin=subprocess.PIPE, stdout=out,
                                    stderr=subprocess.PIPE)
            _, err = proc.communicate(feed, timeout=BACKSTOP_SECONDS)
            out.seek(0)
            shown = out.read()
        cpu = cpu_of_children() - before
        self.assertEqual(err, b"")
        self.assertEqual(proc.returncode, 0)
        self.assertEqual(shown, BANNER.replace(b"\r\n", b"\n") +
                         b">>> >>> %d\n>>> ? >>> %d\nbx\n>>> > next line\n"
                         b">>> tail\n>>> " % (size, size + 1))
        self.assertLess(cpu, 3.0)

if __name__ == "__main__":
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    TOVIK = os.path.abspath(sys.argv.pop())
    unittest.main(verbosity=2)
