#!/usr/bin/env python3
"""Runs every .tvk script under a folder and checks the expectations written
as comments in it.

    # expect: TEXT              one line of standard output
    # expect-part: TEXT         output text with no line end after it (prompts)
    # expect-stderr: TEXT       one line of standard error
    # expect-stderr-match: RE   one line of standard error, matched in full
    # args: A B                 extra arguments, before the script path unless
                                one of them is {script}
    # exit: N                   expected exit status (default 0)
    # stdin: TEXT               one line fed to standard input
    # no-script                 run without the script path

Standard output must equal the expect and expect-part texts in order;
standard error must hold exactly the expect-stderr lines (none means empty).
{ESC} stands for the escape character. Each script runs with its own folder
as the working directory, so module files are found beside it.

In the sanitizer build the scripts that fill memory up to the real caps
are left out: they would shadow gigabytes for minutes, and the unit tests
drive the same halts there under small caps.

The web build runs them under node without the folders and scripts that
need a terminal or a window, named with --skip (relative to SCRIPTS_DIR).

Usage: run_scripts.py TOVIK SCRIPTS_DIR [--skip FOLDER_OR_SCRIPT]...
"""

import concurrent.futures
import difflib
import os
import re
import shlex
import subprocess
import sys
from dataclasses import dataclass, field
from pathlib import Path

from run_limits import BACKSTOP_SECONDS, describe_status, limit_cpu

WORKERS = 2

DIRECTIVE = re.compile(
    r"#\s*(expect-stderr-match|expect-stderr|expect-part|expect|args|exit|stdin)"
    r": ?(.*)$|#\s*(no-script)\s*$"
)

# AddressSanitizer's note when a run halts from a stack deeper than 64 MiB
# (the recursion limit): the interpreter clears the stale redzones itself, so
# the false reports the note warns of do not follow. Any real report still
# fails the script.
ASAN_DEEP_UNWIND_NOTE = re.compile(
    r"==\d+==WARNING: ASan is ignoring requested __asan_handle_no_return: .*\n"
    r"False positive error reports may follow\n"
    r"For details see \S+\n"
)


@dataclass
class Expectations:
    stdout: str = ""
    # (is_regex, text) per line
    stderr: list = field(default_factory=list)
    args: list = field(default_factory=list)
    exit_status: int = 0
    stdin: str = ""
    with_script: bool = True


def substitute(text):
    return text.replace("{ESC}", "\x1b")


def parse_expectations(source):
    exp = Expectations()
    for line in source.splitlines():
        m = DIRECTIVE.search(line)
        if not m:
            continue
        if m.group(3):
            exp.with_script = False
            continue
        kind, text = m.group(1), substitute(m.group(2))
        if kind == "expect":
            exp.stdout += text + "\n"
        elif kind == "expect-part":
            exp.stdout += text
        elif kind == "expect-stderr":
            exp.stderr.append((False, text))
        elif kind == "expect-stderr-match":
            exp.stderr.append((True, text))
        elif kind == "args":
            exp.args += shlex.split(text)
        elif kind == "exit":
            exp.exit_status = int(text.strip())
        elif kind == "stdin":
            exp.stdin += text + "\n"
    return exp


def decode(data):
    return data.decode("utf-8", errors="backslashreplace")


def command_line(tovik, script, exp):
    args = list(exp.args)
    if exp.with_script:
        if "{script}" in args:
            args = [script.name if a == "{script}" else a for a in args]
        else:
            args.append(script.name)
    return [tovik] + args


def diff_lines(text):
    lines = [line + "\n" for line in text.split("\n")]
    if lines[-1] == "\n":
        lines.pop()  # the text ended with a line feed
    else:
        lines[-1] = lines[-1][:-1] + "\n\\ No newline at end of text\n"
    return lines


def diff(label, expected, actual):
    lines = difflib.unified_diff(
        diff_lines(expected),
        diff_lines(actual),
        fromfile="expected " + label,
        tofile="actual " + label,
    )
    text = "".join(lines)
    return text if text.endswith("\n") else text + "\n"


def stderr_matches(expected, actual):
    if not expected:
        return actual == ""
    if not actual.endswith("\n"):
        return False
    lines = actual[:-1].split("\n")
    if len(lines) != len(expected):
        return False
    for (is_regex, text), line in zip(expected, lines):
        if is_regex:
            if not re.fullmatch(text, line):
                return False
        elif text != line:
            return False
    return True


def run_one(tovik, script):
    """Returns None on success, else a report of the mismatches."""
    exp = parse_expectations(decode(script.read_bytes()))
    cmd = command_line(tovik, script, exp)
    shown = "cd %s && %s" % (shlex.quote(str(script.parent)),
                             " ".join(shlex.quote(c) for c in cmd))
    env = dict(os.environ, SDL_VIDEODRIVER="dummy")
    try:
        proc = subprocess.run(cmd, cwd=script.parent, env=env,
                              input=exp.stdin.encode("utf-8"),
                              capture_output=True, timeout=BACKSTOP_SECONDS,
                              preexec_fn=limit_cpu)
    except subprocess.TimeoutExpired:
        return "%s\n  command: %s\n  blocked for %d s\n" % (
            script, shown, BACKSTOP_SECONDS)

    stdout, stderr = decode(proc.stdout), decode(proc.stderr)
    stderr = ASAN_DEEP_UNWIND_NOTE.sub("", stderr)
    problems = []
    if stdout != exp.stdout:
        problems.append(diff("stdout", exp.stdout, stdout))
    if not stderr_matches(exp.stderr, stderr):
        wanted = "".join(text + "\n" for _, text in exp.stderr)
        problems.append(diff("stderr", wanted, stderr))
    if proc.returncode != exp.exit_status:
        problems.append("exit status: expected %d, got %d%s\n" %
                        (exp.exit_status, proc.returncode,
                         describe_status(proc.returncode)))
    if not problems:
        return None
    return "%s\n  command: %s\n%s" % (script, shown, "".join(problems))


def fills_memory(script):
    return (script.parent.name == "memory"
            and "Error: out of memory" in decode(script.read_bytes()))


def main(argv):
    skipped = set()
    while len(argv) > 3 and argv[-2] == "--skip":
        skipped.add(argv[-1])
        argv = argv[:-2]
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    tovik = os.path.abspath(argv[1])
    root = Path(argv[2]).resolve()
    scripts = sorted(root.rglob("*.tvk"))
    scripts = [s for s in scripts if s.is_file()]
    kept = [s for s in scripts
            if s.relative_to(root).parts[0] not in skipped
            and s.relative_to(root).as_posix() not in skipped]
    left_out = len(scripts) - len(kept)
    scripts = kept
    if "ASAN_OPTIONS" in os.environ:
        kept = [s for s in scripts if not fills_memory(s)]
        left_out += len(scripts) - len(kept)
        scripts = kept
    passed = failed = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=WORKERS) as pool:
        for report in pool.map(lambda s: run_one(tovik, s), scripts):
            if report is None:
                passed += 1
            else:
                failed += 1
                print("FAIL " + report, flush=True)
    print("%d passed, %d failed, %d left out here" % (passed, failed, left_out))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
