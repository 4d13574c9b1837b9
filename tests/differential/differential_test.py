#!/usr/bin/env python3
"""Runs programs on two builds of the interpreter, the real one and the one
whose nodes all take their general evaluator, and fails on any difference in
standard output, standard error or exit status.

The programs: every script test (with its arguments and input), every text
example, every runnable snippet of the documentation, a grid of operators,
operand shapes and value kinds (grid.py) and every benchmark workload. A workload runs for seconds; `--sample N` keeps every N-th one
(the others still run in the full pass, `make differential`).

Both runs preload --preload LIBRARY (fixed_random.cpp), which makes the
system's random bytes the same for both: dictionaries are then laid out
alike and random numbers drawn alike.

Usage: differential_test.py TOVIK TOVIK_REFERENCE PROJECT_DIR --preload LIBRARY
                            [--sample N] [--bench-dir DIR]...
"""

import argparse
import concurrent.futures
import difflib
import os
import re
import subprocess
import sys
import tempfile
from dataclasses import dataclass
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent))

import check_docs  # noqa: E402
import check_examples  # noqa: E402
import grid  # noqa: E402
import run_scripts  # noqa: E402
from run_limits import BACKSTOP_SECONDS, limit_cpu  # noqa: E402

WORKERS = 2

TIMING = re.compile(rb"\d+\.\d{3}ms")


@dataclass
class Program:
    where: str
    cwd: Path
    args: list  # after the binary
    stdin: bytes = b""


def script_tests(project):
    scripts = (project / "tests" / "scripts").rglob("*.tvk")
    for script in sorted(s for s in scripts if s.is_file()):
        exp = run_scripts.parse_expectations(run_scripts.decode(script.read_bytes()))
        # The command line with a placeholder binary, which each run replaces.
        args = run_scripts.command_line("", script, exp)[1:]
        yield Program(str(script.relative_to(project)), script.parent, args,
                      exp.stdin.encode("utf-8"))


def text_examples(project):
    for script in sorted((project / "examples").glob("*.tvk")):
        source = script.read_text(encoding="utf-8")
        if check_examples.WINDOW_LOOP.search(check_examples.code_of(source)):
            continue  # draws until its window is closed
        yield Program(str(script.relative_to(project)), script.parent, [script.name])


def doc_snippets(project, workdir):
    for doc in (project / "README.md", project / "docs" / "reference.md"):
        # Snippet files are named by line: one folder per document.
        folder = workdir / doc.stem
        folder.mkdir()
        cases, _ = check_docs.collect_cases(str(doc), str(folder))
        for case in cases:
            yield Program(case.where, folder, list(case.command),
                          case.stdin.encode("utf-8"))


def grid_programs(workdir):
    for path in grid.write_programs(workdir / "grid"):
        yield Program(path.name, path.parent, [path.name])


def workloads(bench_dir, sample):
    names = sorted(p.stem for p in bench_dir.glob("*.tvk")
                   if p.with_suffix(".expected").exists())
    for index, name in enumerate(names):
        if index % sample == 0:
            yield Program("%s/%s.tvk" % (bench_dir.name, name), bench_dir, [name + ".tvk"])


def normalise(stderr):
    """Masks what may differ between any two runs: the phase timings, and
    the order of a module's exports in the trace (the order of its table)."""
    lines = TIMING.sub(b"#ms", stderr).split(b"\n")
    out, exports = [], []
    for line in lines + [b""]:
        if b"Exporting: " in line:
            exports.append(line)
            continue
        out += sorted(exports)
        exports = []
        out.append(line)
    return b"\n".join(out[:-1])


def run(binary, program, preload):
    env = dict(os.environ, SDL_VIDEODRIVER="dummy", LD_PRELOAD=preload)
    try:
        proc = subprocess.run([binary] + program.args, cwd=program.cwd, env=env,
                              input=program.stdin, capture_output=True,
                              timeout=BACKSTOP_SECONDS, preexec_fn=limit_cpu)
    except subprocess.TimeoutExpired:
        return None
    return proc.stdout, normalise(proc.stderr), proc.returncode


def show_diff(label, fast, reference):
    lines = difflib.unified_diff(
        fast.decode("utf-8", "backslashreplace").splitlines(True),
        reference.decode("utf-8", "backslashreplace").splitlines(True),
        "fast " + label, "reference " + label, n=2)
    return "".join(list(lines)[:40])


def compare(fast_binary, reference_binary, program, preload):
    fast = run(fast_binary, program, preload)
    reference = run(reference_binary, program, preload)
    if fast is None or reference is None:
        return "%s: blocked for %d s\n" % (program.where, BACKSTOP_SECONDS)
    problems = []
    for label, a, b in (("stdout", fast[0], reference[0]), ("stderr", fast[1], reference[1])):
        if a != b:
            problems.append(show_diff(label, a, b))
    if fast[2] != reference[2]:
        problems.append("exit status: fast %d, reference %d\n" % (fast[2], reference[2]))
    if not problems:
        return None
    return "%s\n%s" % (program.where, "".join(problems))


def main():
    ap = argparse.ArgumentParser(usage=__doc__)
    ap.add_argument("tovik")
    ap.add_argument("reference")
    ap.add_argument("project")
    ap.add_argument("--preload", required=True)
    ap.add_argument("--sample", type=int, default=1)
    ap.add_argument("--bench-dir", action="append", default=[])
    args = ap.parse_args()
    project = Path(args.project).resolve()
    fast, reference = os.path.abspath(args.tovik), os.path.abspath(args.reference)
    preload = os.path.abspath(args.preload)
    with tempfile.TemporaryDirectory() as scratch:
        programs = list(script_tests(project)) + list(text_examples(project))
        programs += list(doc_snippets(project, Path(scratch)))
        programs += list(grid_programs(Path(scratch)))
        for bench_dir in [project / "bench"] + [Path(d).resolve() for d in args.bench_dir]:
            programs += list(workloads(bench_dir, args.sample))
        with concurrent.futures.ThreadPoolExecutor(WORKERS) as pool:
            reports = list(pool.map(lambda p: compare(fast, reference, p, preload), programs))
    failures = [r for r in reports if r]
    for report in failures:
        sys.stdout.write(report + "\n")
    print("%d programs, %d differ" % (len(programs), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
