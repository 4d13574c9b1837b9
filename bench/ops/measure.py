#!/usr/bin/env python3
"""Instructions per operation in tovik and in Lua, counted by callgrind.

usage: measure.py [--tovik PATH] [--lua PATH] [NAME...]

Each NAME.tvk here and its twin NAME.lua run one operation a million
times in a loop; empty.tvk and empty.lua are the loop alone. Both run under
valgrind --tool=callgrind, and the table gives the instructions of each
loop iteration with the empty loop's subtracted, so start-up and the loop
itself drop out. The two programs of a pair must print the same line, which
shows that both did the work. Counts do not depend on how busy the machine
is, but both interpreters seed their hash tables at random, which moves a
count by a few instructions per operation from run to run: each program
runs --repeat times (3) and its median counts. Exit status 1 when a run
fails or a pair disagrees.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
ITERATIONS = 1000000
BASELINE = "empty"
# Rows in this order, then any other pair found here.
ORDER = ["assign", "add", "compare", "type_test", "truth", "member", "nested", "call2"]


def count(argv):
    """(instructions, stdout) of argv under callgrind."""
    with tempfile.TemporaryDirectory() as tmp:
        out_file = os.path.join(tmp, "callgrind.out")
        run = subprocess.run(
            ["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out_file] + argv,
            cwd=HERE, capture_output=True, text=True)
    if run.returncode != 0:
        raise RuntimeError("%s: status %d\n%s" % (" ".join(argv), run.returncode, run.stderr))
    found = re.search(r"Collected\s*:\s*(\d+)", run.stderr)
    if not found:
        raise RuntimeError("%s: no instruction count in valgrind's output" % " ".join(argv))
    return int(found.group(1)), run.stdout


def describe(name):
    """What NAME.tvk does, from its first line: "# NAME: what, N times."."""
    with open(os.path.join(HERE, name + ".tvk")) as f:
        line = f.readline().lstrip("# ").strip()
    line = line.split(": ", 1)[-1]
    return re.sub(r", \d+ times\.$", "", line)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--tovik", default=os.path.join(ROOT, "build", "release", "tovik"))
    ap.add_argument("--lua", default=shutil.which("lua5.4") or shutil.which("lua"))
    ap.add_argument("--repeat", type=int, default=3,
                    help="runs per program, of which the median counts (default 3)")
    ap.add_argument("names", nargs="*", help="operations (default: all)")
    args = ap.parse_args()
    if not shutil.which("valgrind"):
        print("measure: valgrind not found", file=sys.stderr)
        return 2
    if not os.access(args.tovik, os.X_OK):
        print("measure: no tovik binary at %s" % args.tovik, file=sys.stderr)
        return 2
    if not args.lua:
        print("measure: no lua5.4 found; give --lua", file=sys.stderr)
        return 2
    found = sorted(f[:-4] for f in os.listdir(HERE) if f.endswith(".tvk"))
    names = args.names or [n for n in ORDER if n in found] + \
        [n for n in found if n not in ORDER and n != BASELINE]
    for name in [BASELINE] + names:
        for ext in ("tvk", "lua"):
            if not os.path.isfile(os.path.join(HERE, name + "." + ext)):
                print("measure: missing %s.%s" % (name, ext), file=sys.stderr)
                return 2

    status = 0
    counts = {}
    for name in [BASELINE] + names:
        tovik_runs = [count([os.path.abspath(args.tovik), name + ".tvk"])
                      for _ in range(max(1, args.repeat))]
        lua_runs = [count([args.lua, name + ".lua"]) for _ in range(max(1, args.repeat))]
        tovik = statistics.median_low(n for n, _ in tovik_runs)
        lua = statistics.median_low(n for n, _ in lua_runs)
        tovik_out, lua_out = tovik_runs[0][1], lua_runs[0][1]
        if tovik_out != lua_out:
            print("measure: %s prints %r in tovik and %r in Lua" % (name, tovik_out, lua_out),
                  file=sys.stderr)
            status = 1
        counts[name] = (tovik, lua)

    base_tovik, base_lua = counts[BASELINE]
    print("instructions per iteration of a loop of %d (callgrind, median of %d "
          "runs); 'op' is the iteration minus the empty loop's"
          % (ITERATIONS, max(1, args.repeat)))
    header = "%-10s %9s %9s %9s %9s %10s  %s" % (
        "loop", "tovik", "lua", "tovik op", "lua op", "tovik/lua", "what the loop does")
    print(header)
    print("-" * len(header))
    print("%-10s %9.1f %9.1f %9s %9s %10s  %s" % (
        BASELINE, base_tovik / ITERATIONS, base_lua / ITERATIONS, "-", "-", "-",
        describe(BASELINE)))
    for name in names:
        tovik, lua = counts[name]
        op_tovik = (tovik - base_tovik) / ITERATIONS
        op_lua = (lua - base_lua) / ITERATIONS
        ratio = "%.2f" % (op_tovik / op_lua) if op_lua > 0 else "-"
        print("%-10s %9.1f %9.1f %9.1f %9.1f %10s  %s" % (
            name, tovik / ITERATIONS, lua / ITERATIONS, op_tovik, op_lua, ratio,
            describe(name)))
    return status


if __name__ == "__main__":
    sys.exit(main())
