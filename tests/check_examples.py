#!/usr/bin/env python3
"""Runs every script in examples/ and compares its output with the NAME.out
file beside it (no file means no output expected).

A text example must end by itself with status 0 and exactly that output.
An example that draws until its window is closed (it asks `is_open()` or
`sdl2.is_window_open()`) runs on SDL's dummy video driver: once its window is
open it must still be drawing a moment later, and then end with status 0
when asked to quit. The request is SIGTERM, which SDL, once it has opened the
window, turns into the same quit event the window's close button sends.

Usage: check_examples.py TOVIK EXAMPLES_DIR
"""

import concurrent.futures
import difflib
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

from run_limits import BACKSTOP_SECONDS, limit_cpu

# Waits for a window end as soon as it shows; generous for a loaded machine.
TIMEOUT_SECONDS = 300
DRAWING_SECONDS = 0.5
WINDOW_LOOP = re.compile(r"\b(is_open|is_window_open)\s*\(")


def code_of(source):
    """The script without its comments, enough to look for calls."""
    return "\n".join(line.split("#", 1)[0] for line in source.splitlines())


def diff(label, expected, actual):
    lines = difflib.unified_diff(expected.splitlines(True), actual.splitlines(True),
                                 "expected " + label, "actual " + label)
    text = "".join(lines)
    return text if text.endswith("\n") else text + "\n"


def run_text_example(tovik, script, env):
    proc = subprocess.run([tovik, script.name], cwd=script.parent, env=env,
                          stdin=subprocess.DEVNULL, capture_output=True,
                          timeout=BACKSTOP_SECONDS, preexec_fn=limit_cpu)
    return proc.returncode, proc.stdout, proc.stderr, []


def window_opened(pid):
    """Whether SDL has taken over SIGTERM, which it does with the window."""
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("SigCgt:"):
                    return bool(int(line.split()[1], 16) & (1 << (signal.SIGTERM - 1)))
    except OSError:
        pass
    return False


def run_window_example(tovik, script, env):
    proc = subprocess.Popen([tovik, script.name], cwd=script.parent, env=env,
                            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, preexec_fn=limit_cpu)
    deadline = time.monotonic() + TIMEOUT_SECONDS
    while not window_opened(proc.pid) and proc.poll() is None and time.monotonic() < deadline:
        time.sleep(0.05)
    time.sleep(DRAWING_SECONDS)
    problems = []
    if proc.poll() is not None:
        problems.append("ended before its window was closed\n")
    else:
        proc.send_signal(signal.SIGTERM)
    try:
        stdout, stderr = proc.communicate(timeout=TIMEOUT_SECONDS)
    except subprocess.TimeoutExpired:
        proc.kill()
        stdout, stderr = proc.communicate()
        problems.append("did not end when asked to close its window\n")
    return proc.returncode, stdout, stderr, problems


def check(tovik, script):
    source = script.read_text(encoding="utf-8")
    expected_file = script.with_suffix(".out")
    expected = expected_file.read_text(encoding="utf-8") if expected_file.exists() else ""
    env = dict(os.environ, SDL_VIDEODRIVER="dummy")
    runner = run_window_example if WINDOW_LOOP.search(code_of(source)) else run_text_example
    try:
        status, stdout, stderr, problems = runner(tovik, script, env)
    except subprocess.TimeoutExpired:
        return "%s: timed out after %d s\n" % (script, TIMEOUT_SECONDS)
    stdout = stdout.decode("utf-8", errors="backslashreplace")
    stderr = stderr.decode("utf-8", errors="backslashreplace")
    if stdout != expected:
        problems.append(diff("output", expected, stdout))
    if stderr:
        problems.append("standard error:\n" + stderr)
    if status != 0:
        problems.append("exit status %d\n" % status)
    return "%s\n%s" % (script, "".join(problems)) if problems else None


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    tovik = os.path.abspath(argv[1])
    scripts = sorted(Path(argv[2]).resolve().glob("*.tvk"))
    if not scripts:
        print("no examples found in " + argv[2])
        return 1
    failed = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        for report in pool.map(lambda s: check(tovik, s), scripts):
            if report:
                failed += 1
                print("FAIL " + report, flush=True)
    print("%d passed, %d failed" % (len(scripts) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
