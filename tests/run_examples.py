#!/usr/bin/env python3
"""Runs every example script to its end and checks that it ends cleanly:
status 0 and nothing on standard error. Under the sanitizer build this is the
leak check of the examples: LeakSanitizer reports at exit and changes the
status.

Examples that loop while their window is open never end by themselves under
SDL's dummy video driver, which has no user to close the window. Once SDL has
taken over SIGTERM (as it does when it opens the window), the test sends it,
and SDL turns it into the same quit event as the window's close button.

Usage: run_examples.py TOVIK EXAMPLES_DIR
"""

import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

TIMEOUT_SECONDS = 120
WINDOW_LOOP = re.compile(r"while\s+[\w.]*is_(window_)?open\(\)")


def sigterm_caught(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("SigCgt:"):
                    return int(line.split()[1], 16) & (1 << (signal.SIGTERM - 1))
    except OSError:
        pass
    return False


def run_example(tovik, script):
    process = subprocess.Popen(
        [tovik, script.name], cwd=script.parent, stdin=subprocess.DEVNULL,
        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if WINDOW_LOOP.search(script.read_text(encoding="utf-8")):
        deadline = time.monotonic() + TIMEOUT_SECONDS
        while not sigterm_caught(process.pid) and process.poll() is None:
            if time.monotonic() > deadline:
                break
            time.sleep(0.05)
        time.sleep(0.5)  # let it draw and present some frames
        if process.poll() is None:
            process.send_signal(signal.SIGTERM)
    try:
        _, stderr = process.communicate(timeout=TIMEOUT_SECONDS)
    except subprocess.TimeoutExpired:
        process.kill()
        _, stderr = process.communicate()
        return f"did not end within {TIMEOUT_SECONDS} s"
    if process.returncode != 0 or stderr:
        return (f"status {process.returncode}, standard error:\n"
                + stderr.decode(errors="replace"))
    return None


def main():
    tovik = os.path.abspath(sys.argv[1])
    examples = sorted(Path(sys.argv[2]).glob("*.tvk"))
    failed = 0
    for script in examples:
        problem = run_example(tovik, script)
        if problem:
            failed += 1
            print(f"FAIL {script.name}: {problem}")
        else:
            print(f"ok   {script.name}")
    print(f"{len(examples) - failed} passed, {failed} failed")
    return 1 if failed or not examples else 0


if __name__ == "__main__":
    sys.exit(main())
