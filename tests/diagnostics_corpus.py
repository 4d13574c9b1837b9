#!/usr/bin/env python3
"""How well `--check` and `-w` explain beginners' mistakes, and that they
stay silent on correct programs.

Two corpora:

- tests/diagnostics/mistakes: one mistake per script, with a header
      # mistake: CLASS
      # line: N                 the line the mistake is on
      # needs: A|B; C           what a helpful message must say: every
                                ";"-separated group, any "|" alternative,
                                compared without regard to case
  A case is *named* by a mode when one of its warnings on line N says all
  the groups, and *placed* when it has any warning on line N. Files without
  the header are modules the cases use.
- correct programs: examples/, bench/ and tests/diagnostics/correct (games,
  text tools, numeric code, modules). Every warning on them is a false
  alarm.

Prints recall per class and mode and the false alarms per program. Fails
on any false alarm, and when a class names fewer cases than the floor below
(raise the floors as the diagnostics improve; never lower them).

Usage: diagnostics_corpus.py TOVIK SOURCE_DIR
"""

import concurrent.futures
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

from check_examples import WINDOW_LOOP, code_of, window_opened
from run_limits import BACKSTOP_SECONDS, limit_cpu

MODES = ("--check", "-w")
WARNING = re.compile(r"^(?P<file>.+?):(?P<line>\d+):(?P<col>\d+): warning: (?P<message>.*)$")
HEADER = re.compile(r"^#\s*(mistake|line|needs):\s*(.*)$")

# Per class: the least number of cases named by either mode. Only raise.
FLOOR = {
    "arity": 4,
    "assign_in_condition": 5,
    "break_outside_loop": 4,
    "capital_literal": 3,
    "chained_comparison": 4,
    "def_builtin_name": 3,
    "default_arm": 3,
    "dict_syntax": 4,
    "element_assign": 4,
    "else_if": 6,
    "empty_range": 3,
    "for_non_iterable": 4,
    "foreign_comment": 5,
    "foreign_keyword": 8,
    "foreign_operator": 6,
    "increment": 5,
    "int_float_mix": 3,
    "method_call": 6,
    "missing_global": 5,
    "missing_return": 5,
    "misspelt_function": 6,
    "misspelt_name": 7,
    "misspelt_keyword": 3,
    "module_item": 3,
    "no_window": 3,
    "null_compare": 4,
    "parameter_assigned": 5,
    "range_call": 5,
    "single_quotes": 3,
    "string_plus_number": 5,
    "unclosed": 3,
}
# The least number of cases each mode names on its own. Only raise.
FLOOR_BY_MODE = {"--check": 131, "-w": 137}

ENV = dict(os.environ, SDL_VIDEODRIVER="dummy")


def run(tovik, mode, script):
    """Standard error of one run of `script` in `mode`."""
    args = [tovik, mode, script.name]
    if mode == "-w" and WINDOW_LOOP.search(code_of(script.read_text(encoding="utf-8"))):
        return run_until_window(args, script.parent)
    done = subprocess.run(args, cwd=script.parent, env=ENV, stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=BACKSTOP_SECONDS,
                          preexec_fn=limit_cpu)
    return done.stderr.decode("utf-8", errors="replace")


def run_until_window(args, folder):
    """A program that draws until its window closes: closed once it shows."""
    proc = subprocess.Popen(args, cwd=folder, env=ENV, stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                            preexec_fn=limit_cpu)
    deadline = time.monotonic() + BACKSTOP_SECONDS
    while not window_opened(proc.pid) and proc.poll() is None and time.monotonic() < deadline:
        time.sleep(0.05)
    time.sleep(0.5)
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
    _, err = proc.communicate(timeout=BACKSTOP_SECONDS)
    return err.decode("utf-8", errors="replace")


def warnings_in(stderr, name):
    """(line, message) of each warning about the file `name`."""
    found = []
    for line in stderr.splitlines():
        m = WARNING.match(line)
        if m and m.group("file") == name:
            found.append((int(m.group("line")), m.group("message")))
    return found


def read_case(path):
    fields = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        m = HEADER.match(line)
        if m:
            fields[m.group(1)] = m.group(2).strip()
    if "mistake" not in fields:
        return None
    needs = [[word.strip().lower() for word in group.split("|")]
             for group in fields["needs"].split(";")]
    return {"path": path, "class": fields["mistake"], "line": int(fields["line"]),
            "needs": needs}


def says(message, needs):
    message = message.lower()
    return all(any(word in message for word in group) for group in needs)


def judge(tovik, case):
    outcome = {}
    for mode in MODES:
        on_line = [m for line, m in warnings_in(run(tovik, mode, case["path"]),
                                                case["path"].name)
                   if line == case["line"]]
        outcome[mode] = ("named" if any(says(m, case["needs"]) for m in on_line)
                         else "placed" if on_line else "missed")
    return outcome


def false_alarms(tovik, script):
    alarms = []
    for mode in MODES:
        for line in run(tovik, mode, script).splitlines():
            if "warning:" in line or line.startswith("note:"):
                alarms.append("%s: %s" % (mode, line))
    return alarms


def main():
    tovik = str(Path(sys.argv[1]).resolve())
    source = Path(sys.argv[2]).resolve()
    cases = [c for p in sorted((source / "tests/diagnostics/mistakes").glob("*.tvk"))
             if (c := read_case(p))]
    correct = sorted((source / "examples").glob("*.tvk"))
    correct += sorted((source / "bench").glob("*.tvk"))
    correct += sorted((source / "tests/diagnostics/correct").glob("*.tvk"))

    with concurrent.futures.ThreadPoolExecutor(2) as pool:
        outcomes = list(pool.map(lambda c: judge(tovik, c), cases))
        alarms = list(pool.map(lambda s: false_alarms(tovik, s), correct))

    failures = []
    classes = sorted({c["class"] for c in cases})
    print("%-22s %5s | %-15s | %-15s | %s" % ("class", "cases", "--check named/placed",
                                               "-w named/placed", "either named"))
    named_by_mode = {mode: 0 for mode in MODES}
    either_total = 0
    for cls in classes:
        rows = [o for c, o in zip(cases, outcomes) if c["class"] == cls]
        cells = []
        for mode in MODES:
            named = sum(o[mode] == "named" for o in rows)
            placed = sum(o[mode] != "missed" for o in rows)
            named_by_mode[mode] += named
            cells.append("%3d / %3d" % (named, placed))
        either = sum(any(o[m] == "named" for m in MODES) for o in rows)
        either_total += either
        print("%-22s %5d | %-20s | %-15s | %d" % (cls, len(rows), cells[0], cells[1], either))
        if either < FLOOR.get(cls, 0):
            failures.append("class %s: %d named, the floor is %d" % (cls, either, FLOOR[cls]))
    total = len(cases)
    for mode in MODES:
        print("%s names %d of %d (%.0f%%)" % (mode, named_by_mode[mode], total,
                                               100.0 * named_by_mode[mode] / total))
        if named_by_mode[mode] < FLOOR_BY_MODE[mode]:
            failures.append("%s names %d, the floor is %d" % (mode, named_by_mode[mode],
                                                              FLOOR_BY_MODE[mode]))
    print("either names %d of %d (%.0f%%) in %d classes" % (
        either_total, total, 100.0 * either_total / total, len(classes)))
    for c, o in zip(cases, outcomes):
        if not any(o[m] == "named" for m in MODES):
            print("  not named: %s (%s)" % (c["path"].name,
                                            ", ".join("%s %s" % (m, o[m]) for m in MODES)))

    alarm_count = sum(len(a) for a in alarms)
    print("false alarms on %d correct programs: %d" % (len(correct), alarm_count))
    for script, found in zip(correct, alarms):
        for alarm in found:
            print("  %s: %s" % (script.relative_to(source), alarm))
    if alarm_count:
        failures.append("%d false alarms" % alarm_count)
    if len(cases) < 80 or len(classes) < 15 or len(correct) < 50:
        failures.append("the corpora are too small: %d mistakes in %d classes, %d correct"
                        % (len(cases), len(classes), len(correct)))
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
