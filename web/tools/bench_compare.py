#!/usr/bin/env python3
"""The benchmark workloads of bench/ under the native build and the web
build (node), side by side: CPU seconds of each run (user + system, the
least of RUNS), and their ratio. Outputs are checked against bench/*.expected.

Usage: bench_compare.py NATIVE_TOVIK WEB_TOVIK [RUNS]
"""

import os
import resource
import subprocess
import sys
from pathlib import Path

BENCH = Path(__file__).resolve().parents[2] / "bench"


def cpu_seconds(command, cwd, expected):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    result = subprocess.run(command, cwd=cwd, capture_output=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if result.returncode != 0 or result.stdout != expected:
        raise SystemExit("%s: wrong output or status %d" % (command, result.returncode))
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def main(argv):
    if len(argv) not in (3, 4):
        print(__doc__, file=sys.stderr)
        return 2
    native, web = os.path.abspath(argv[1]), os.path.abspath(argv[2])
    runs = int(argv[3]) if len(argv) == 4 else 1
    print("| workload | native s | web (node) s | web / native |")
    print("|---|---:|---:|---:|")
    total_native = total_web = 0.0
    for script in sorted(BENCH.glob("*.tvk")):
        expected = script.with_suffix(".expected").read_bytes()
        n = min(cpu_seconds([native, script.name], BENCH, expected) for _ in range(runs))
        w = min(cpu_seconds([web, script.name], BENCH, expected) for _ in range(runs))
        total_native += n
        total_web += w
        print("| %s | %.2f | %.2f | %.2f |" % (script.stem, n, w, w / n if n else 0))
    print("| total | %.2f | %.2f | %.2f |" % (total_native, total_web, total_web / total_native))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
