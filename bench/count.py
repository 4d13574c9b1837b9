#!/usr/bin/env python3
"""Instruction counts (callgrind) of every workload for two tovik binaries,
side by side: the check that a change to the evaluator kept its speed.

usage: count.py BEFORE AFTER [--dir DIR]... [NAME...]

Counts do not depend on how busy the machine is. Both binaries seed their
hash tables at random, which moves a count slightly from run to run, so a
change within a fraction of a percent is noise.
"""
import argparse
import math
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def count(binary, directory, name):
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "callgrind.out")
        run = subprocess.run(
            ["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out,
             binary, name + ".tvk"], cwd=directory, capture_output=True, text=True)
        found = re.search(r"Collected : (\d+)", run.stderr)
        if run.returncode != 0 or not found:
            sys.exit("count.py: %s %s failed:\n%s" % (binary, name, run.stderr[-2000:]))
        return int(found.group(1))


def main():
    ap = argparse.ArgumentParser(usage=__doc__)
    ap.add_argument("before")
    ap.add_argument("after")
    ap.add_argument("--dir", action="append", default=[])
    ap.add_argument("names", nargs="*")
    args = ap.parse_args()
    binaries = [os.path.abspath(args.before), os.path.abspath(args.after)]
    ratios = []
    print("%-22s %15s %15s %8s" % ("workload", "before", "after", "change"))
    for directory in [os.path.abspath(d) for d in (args.dir or [HERE])]:
        names = sorted(f[:-4] for f in os.listdir(directory) if f.endswith(".tvk")
                       and os.path.exists(os.path.join(directory, f[:-4] + ".expected")))
        for name in names:
            if args.names and name not in args.names:
                continue
            before, after = (count(b, directory, name) for b in binaries)
            ratios.append(after / before)
            print("%-22s %15d %15d %+7.2f%%" % (name, before, after, 100 * (after / before - 1)),
                  flush=True)
    if ratios:
        geomean = math.exp(sum(math.log(r) for r in ratios) / len(ratios))
        print("%-22s %15s %15s %+7.2f%%" % ("geometric mean", "", "", 100 * (geomean - 1)))


if __name__ == "__main__":
    main()
