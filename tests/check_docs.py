#!/usr/bin/env python3
"""Runs the code shown in Markdown documents and checks the output shown
beside it, so the documentation cannot drift from the interpreter.

A snippet is a fenced block whose info string is `tovik`, followed by a line
`Output:` and a fenced block holding its standard output. An optional line
`Standard error:` and a further fenced block give its standard error, which
must otherwise be empty. HTML comments right before a block (invisible on
the rendered page) adjust it:

    <!-- file: NAME -->     the tovik block is a file other snippets of the
                            document use (a module); it is written, not run
    <!-- stdin: TEXT -->    one line fed to the snippet's standard input
    <!-- exit: N -->        expected exit status (default 0)
    <!-- run: ARGS -->      the text block after it is the standard output of
                            `tovik ARGS` (no script)
    <!-- session -->       the text block after it is an interactive session:
                            lines starting with ">>> " or "... " are prompts
                            and what was typed, the others are output

Every tovik block must be checked: one with neither an Output block nor a
file comment is an error. All snippets of a document share one temporary
working directory, so a module file is found by the snippets after it.

Usage: check_docs.py TOVIK DOCUMENT.md...
"""

import difflib
import os
import re
import shlex
import subprocess
import sys
import tempfile
from dataclasses import dataclass, field

# The sanitizer build's note on halting from deep recursion is not the
# interpreter's output; the script tests drop it the same way.
from run_scripts import ASAN_DEEP_UNWIND_NOTE
from run_limits import BACKSTOP_SECONDS, limit_cpu

FENCE = re.compile(r"^(`{3,})\s*(\S*)\s*$")
DIRECTIVE = re.compile(r"^<!--\s*(file|stdin|exit|run|session)\s*(?::\s*(.*?))?\s*-->$")
PROMPTS = (">>> ", "... ")


@dataclass
class Block:
    info: str
    text: str
    line: int  # 1-based line of the opening fence
    directives: list = field(default_factory=list)  # (name, value)
    label: str = ""  # the prose line just before it, e.g. "Output:"


def read_blocks(lines):
    """Fenced blocks in order, each with the comments and label above it."""
    blocks = []
    pending = []  # directives seen since the last block or prose
    label = ""
    i = 0
    while i < len(lines):
        line = lines[i]
        fence = FENCE.match(line)
        if fence:
            ticks, info = fence.group(1), fence.group(2)
            opening = i + 1
            body = []
            i += 1
            while i < len(lines) and lines[i].rstrip() != ticks:
                body.append(lines[i])
                i += 1
            text = "".join(l + "\n" for l in body)
            blocks.append(Block(info, text, opening, pending, label))
            pending, label = [], ""
            i += 1
            continue
        stripped = line.strip()
        directive = DIRECTIVE.match(stripped)
        if directive:
            pending.append((directive.group(1), directive.group(2) or ""))
        elif stripped.startswith("<!--"):
            raise ValueError("line %d: unknown comment %r" % (i + 1, stripped))
        elif stripped:
            if pending:
                raise ValueError("line %d: a comment must stand right before its block" % (i + 1))
            label = stripped
        i += 1
    return blocks


@dataclass
class Case:
    where: str
    command: list
    stdin: str
    stdout: str
    stderr: str
    exit_status: int


def session_case(where, transcript):
    """Turns a typed session into the input and the output the loop gives."""
    stdin, stdout = [], []
    for line in transcript.splitlines():
        prompt = next((p for p in PROMPTS if line.startswith(p) or line == p.rstrip()), None)
        if prompt:
            stdout.append(prompt)
            stdin.append(line[len(prompt):] + "\n")
        else:
            stdout.append(line + "\n")
    return Case(where, [], "".join(stdin), "".join(stdout), "", 0)


def collect_cases(path, workdir):
    """Writes the document's module files and returns its checks."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    blocks = read_blocks(lines)
    cases, problems = [], []
    index = 0
    while index < len(blocks):
        block = blocks[index]
        where = "%s:%d" % (path, block.line)
        names = [name for name, _ in block.directives]
        if block.info == "tovik":
            values = {}
            for name, value in block.directives:
                values.setdefault(name, []).append(value)
            if "file" in values:
                with open(os.path.join(workdir, values["file"][0]), "w", encoding="utf-8") as f:
                    f.write(block.text)
                index += 1
                continue
            following = blocks[index + 1] if index + 1 < len(blocks) else None
            if following is None or following.label != "Output:":
                problems.append("%s: tovik block without an Output: block after it" % where)
                index += 1
                continue
            stderr = ""
            index += 2
            if index < len(blocks) and blocks[index].label == "Standard error:":
                stderr = blocks[index].text
                index += 1
            script = "snippet_%d.tvk" % block.line
            with open(os.path.join(workdir, script), "w", encoding="utf-8") as f:
                f.write(block.text)
            stdin = "".join(v + "\n" for v in values.get("stdin", []))
            status = int(values.get("exit", ["0"])[0])
            cases.append(Case(where, [script], stdin, following.text, stderr, status))
            continue
        if block.label in ("Output:", "Standard error:"):
            problems.append("%s: %s block without a tovik block before it" % (where, block.label))
        elif "run" in names:
            args = shlex.split(dict(block.directives)["run"])
            cases.append(Case(where, args, "", block.text, "", 0))
        elif "session" in names:
            cases.append(session_case(where, block.text))
        index += 1
    return cases, problems


def diff(label, expected, actual):
    lines = difflib.unified_diff(expected.splitlines(True), actual.splitlines(True),
                                 "expected " + label, "actual " + label)
    text = "".join(lines)
    return text if text.endswith("\n") else text + "\n"


def run_case(tovik, workdir, case):
    env = dict(os.environ, SDL_VIDEODRIVER="dummy")
    try:
        proc = subprocess.run([tovik] + case.command, cwd=workdir, env=env,
                              input=case.stdin.encode("utf-8"),
                              capture_output=True, timeout=BACKSTOP_SECONDS,
                              preexec_fn=limit_cpu)
    except subprocess.TimeoutExpired:
        return "%s: blocked for %d s\n" % (case.where, BACKSTOP_SECONDS)
    stdout = proc.stdout.decode("utf-8", errors="backslashreplace")
    stderr = proc.stderr.decode("utf-8", errors="backslashreplace")
    stderr = ASAN_DEEP_UNWIND_NOTE.sub("", stderr)
    problems = []
    if stdout != case.stdout:
        problems.append(diff("output", case.stdout, stdout))
    if stderr != case.stderr:
        problems.append(diff("standard error", case.stderr, stderr))
    if proc.returncode != case.exit_status:
        problems.append("exit status: expected %d, got %d\n" % (case.exit_status, proc.returncode))
    if not problems:
        return None
    return "%s\n%s" % (case.where, "".join(problems))


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    tovik = os.path.abspath(argv[1])
    passed = failed = 0
    for path in argv[2:]:
        with tempfile.TemporaryDirectory(prefix="tovik-docs-") as workdir:
            try:
                cases, problems = collect_cases(path, workdir)
            except ValueError as error:
                cases, problems = [], ["%s: %s" % (path, error)]
            if not cases and not problems:
                problems.append("%s: no checked snippets found" % path)
            for problem in problems:
                print("FAIL " + problem)
                failed += 1
            for case in cases:
                report = run_case(tovik, workdir, case)
                if report is None:
                    passed += 1
                else:
                    print("FAIL " + report, flush=True)
                    failed += 1
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
