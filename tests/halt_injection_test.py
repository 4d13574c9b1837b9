#!/usr/bin/env python3
"""Halts at every point end in order.

A run may halt at any check it makes: the recursion guard, the interrupt
poll, the size caps and every allocation. The sanitizer build counts those
checks and, with TOVIK_HALT_AT=N, makes the N-th one halt as if its
condition had come true. This runs every script test and every text example
once to count its checks, then again halting at chosen checks, and requires
each halted run to end in order:

- a script run ends with status 1 and the halt's message as the last line
  of standard error (a -w summary note may follow it);
- an interactive session reports the halt and goes on to its usual end, or
  ends with the message and status 1 when the halt came outside an input;
- what a script printed before the halt is on standard output: a beginning
  of what the whole run prints (not checked for scripts whose output differs
  between two whole runs, as random numbers and dictionary order do);
- no sanitizer report and no leak.
A run may also go on as if nothing happened, where the code catches the
failed allocation by design and takes another way.

Short scripts halt at every check; longer ones at the first few, the last
few and a spread between, chosen the same way each time. --all halts at
every check of every script, up to ALL_LIMIT points each, spread evenly.

Usage: halt_injection_test.py TOVIK SOURCE_DIR [--all]
"""

import concurrent.futures
import os
import random
import re
import subprocess
import sys
from pathlib import Path

from run_limits import BACKSTOP_SECONDS, limit_cpu
from run_scripts import (ASAN_DEEP_UNWIND_NOTE, command_line, decode,
                         fills_memory, parse_expectations)

WORKERS = 2
# Every check of a script with at most this many; else this many points.
SAMPLED_POINTS = int(os.environ.get("HALT_POINTS", "7"))
ALL_LIMIT = 5000
HALT_MESSAGES = {
    "Error: maximum recursion depth exceeded",
    "Error: out of memory",
    "Interrupted",
}
COUNT_LINE = re.compile(r"halt checks made: (\d+)\n\Z")
SANITIZER_REPORT = re.compile(r"ERROR: (Address|Leak)Sanitizer|runtime error:")
WINDOW_LOOP = re.compile(r"\b(is_open|is_window_open)\s*\(")


def run(script, exp, halt_at):
    env = dict(os.environ, SDL_VIDEODRIVER="dummy", TOVIK_HALT_AT=str(halt_at))
    proc = subprocess.run(command_line(TOVIK, script, exp), cwd=script.parent,
                          env=env, input=exp.stdin.encode("utf-8"),
                          capture_output=True, timeout=BACKSTOP_SECONDS,
                          preexec_fn=limit_cpu)
    err = ASAN_DEEP_UNWIND_NOTE.sub("", decode(proc.stderr))
    return proc.returncode, decode(proc.stdout), err


def points(script, count, every):
    if every:
        if count <= ALL_LIMIT:
            return list(range(1, count + 1))
        return sorted({1 + i * (count - 1) // (ALL_LIMIT - 1)
                       for i in range(ALL_LIMIT)})
    if count <= SAMPLED_POINTS:
        return list(range(1, count + 1))
    # The first and last checks are where loading, hoisting and ending
    # happen; the rest are spread at random, the same for each run.
    chosen = {1, 2, count}
    rng = random.Random(script.name)
    while len(chosen) < SAMPLED_POINTS:
        chosen.add(rng.randint(3, count - 1))
    return sorted(chosen)


def halt_line(err):
    lines = err.splitlines()
    while lines and lines[-1].startswith("note: "):
        lines.pop()
    return lines[-1] if lines else ""


def check_point(script, exp, point, whole_out, whole_status, steady):
    """None when the run halted at `point` ended in order, else why not."""
    status, out, err = run(script, exp, point)
    where = "%s halted at check %d" % (script, point)
    if SANITIZER_REPORT.search(err):
        return "%s: sanitizer report:\n%s" % (where, err[-3000:])
    # An interactive session goes on after a halt, without the rest of the
    # input that halted: its later output may differ.
    if steady and exp.with_script and not whole_out.startswith(out):
        return "%s: output is not a beginning of the whole run's:\n%r" % (
            where, out[-500:])
    halted_last = halt_line(err) in HALT_MESSAGES
    if not exp.with_script:
        said = any(line in HALT_MESSAGES for line in err.splitlines())
        if (status == whole_status and said) or (status == 1 and halted_last):
            return None
        if status == whole_status and out == whole_out:
            return None  # absorbed, as below
        return "%s: the session said %r and ended with %d" % (
            where, err[-500:], status)
    if status == 1 and halted_last:
        return None
    if status == whole_status and (out == whole_out or not steady):
        # No halt: the check's failure was absorbed where that is meant
        # (a release that falls back to recursion when its work list cannot
        # grow), or this run made fewer checks than the counted one.
        return None
    return "%s: status %d, standard error ends %r" % (where, status, err[-500:])


def check_script(script, every):
    exp = parse_expectations(decode(script.read_bytes()))
    whole_status, whole_out, err = run(script, exp, "count")
    m = COUNT_LINE.search(err)
    if not m:
        return 0, ["%s: no count of halt checks (status %d):\n%s" % (
            script, whole_status, err[-2000:])]
    count = int(m.group(1))
    again = run(script, exp, "count")
    steady = again[1] == whole_out and COUNT_LINE.search(again[2]) and \
        int(COUNT_LINE.search(again[2]).group(1)) == count
    failures = []
    chosen = points(script, count, every)
    for point in chosen:
        problem = check_point(script, exp, point, whole_out, whole_status, steady)
        if problem:
            failures.append(problem)
            break  # one report per script is enough to act on
    return len(chosen), failures


def scripts_under(source):
    found = sorted((source / "tests" / "scripts").rglob("*.tvk"))
    found = [s for s in found if s.is_file() and not fills_memory(s)]
    for example in sorted((source / "examples").glob("*.tvk")):
        text = decode(example.read_bytes())
        code = "\n".join(l.split("#", 1)[0] for l in text.splitlines())
        if not WINDOW_LOOP.search(code):  # those draw until closed
            found.append(example)
    return found


def main(argv):
    global TOVIK
    every = "--all" in argv
    argv = [a for a in argv if a != "--all"]
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    TOVIK = os.path.abspath(argv[1])
    scripts = scripts_under(Path(argv[2]).resolve())
    total_points = passed = failed = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=WORKERS) as pool:
        for n, failures in pool.map(lambda s: check_script(s, every), scripts):
            total_points += n
            if failures:
                failed += 1
                for f in failures:
                    print("FAIL " + f, flush=True)
            else:
                passed += 1
    print("halted %d scripts at %d points in all" % (len(scripts), total_points))
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


TOVIK = None

if __name__ == "__main__":
    sys.exit(main(sys.argv))
