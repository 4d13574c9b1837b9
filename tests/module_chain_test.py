#!/usr/bin/env python3
"""A long chain of modules, each using the next and the last using the
first: every link loads once, the use that closes the ring does nothing, and
the cost stays in proportion to what the modules hold.

The bounds are on the child's CPU time and peak memory, generous against the
measured cost (about 0.4 s and 55 MB on a quiet machine), far below what a
table per module sized to every name of the process costs (over 1.5 GB).

Usage: module_chain_test.py TOVIK
"""

import os
import subprocess
import sys
import tempfile

LINKS = 10000
CPU_SECONDS_BOUND = 4.0
PEAK_KIB_BOUND = 100 * 1024
# Sanitizer builds shadow every byte and keep freed blocks quarantined (about
# 750 MB and 5 s measured for this chain): the bounds scale with them, still
# far below what a table per module sized to every name costs there.
SANITIZED_CPU_FACTOR = 6
SANITIZED_PEAK_KIB_BOUND = 1536 * 1024


def main():
    global CPU_SECONDS_BOUND, PEAK_KIB_BOUND
    tovik = os.path.abspath(sys.argv[1])
    if "ASAN_OPTIONS" in os.environ or "/asan/" in tovik:
        CPU_SECONDS_BOUND *= SANITIZED_CPU_FACTOR
        PEAK_KIB_BOUND = SANITIZED_PEAK_KIB_BOUND
    with tempfile.TemporaryDirectory() as folder:
        for k in range(LINKS):
            # Each link binds names of its own before it uses the next, so
            # its variables are live while the rest of the chain loads.
            with open(os.path.join(folder, f"m{k}.tvk"), "w") as f:
                f.write(f"def f{k}() {{ return {k} }}\n"
                        f"let depth = {k}\n"
                        f"use m{(k + 1) % LINKS}\n"
                        f"let after = f{k}()\n")
        with open(os.path.join(folder, "main.tvk"), "w") as f:
            f.write("use m0\n"
                    "use m0 { after, depth }\n"
                    "print(m0.f0())\n"
                    "print(after + depth)\n"
                    "print(\"main done\")\n")
        with open(os.path.join(folder, "out"), "w+b") as out_file, \
                open(os.path.join(folder, "err"), "w+b") as err_file:
            proc = subprocess.Popen([tovik, "main.tvk"], cwd=folder,
                                    stdout=out_file, stderr=err_file)
            _, status, usage = os.wait4(proc.pid, 0)
            returncode = os.waitstatus_to_exitcode(status)
            out_file.seek(0)
            err_file.seek(0)
            out, err = out_file.read(), err_file.read()
    failures = []
    if returncode != 0 or out != b"0\n0\nmain done\n" or err:
        failures.append(f"status {returncode}, output {out!r}, "
                        f"errors {err[:200]!r}")
    cpu = usage.ru_utime + usage.ru_stime
    if cpu > CPU_SECONDS_BOUND:
        failures.append(f"{cpu:.2f} s of CPU time (bound {CPU_SECONDS_BOUND})")
    if usage.ru_maxrss > PEAK_KIB_BOUND:
        failures.append(f"peak {usage.ru_maxrss} KiB (bound {PEAK_KIB_BOUND})")
    print(f"{LINKS} modules: {cpu:.2f} s CPU, peak {usage.ru_maxrss} KiB")
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
