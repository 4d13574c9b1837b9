#!/usr/bin/env python3
"""Time tovik against Python 3 and Lua 5.4 on the workloads in this folder.

usage: run.py [--runs N] [--timeout S] [--check] [--dir DIR]... TOVIK [WORKLOAD...]

A workload NAME is NAME.tvk, NAME.py and NAME.lua, which must each print
exactly NAME.expected. Every program runs once to check its output, then N
more times; the table gives the median wall time and the largest peak RSS
of those runs, and the geometric means of tovik's time over the others'.
A missing Python or Lua is skipped with a note. Exit status: 0 when every
output was right, 1 when any was wrong or a run failed, 2 when TOVIK or the
workloads are missing. With --check only tovik's outputs are checked, once.
Workloads come from this folder, or from each --dir in turn, so that another
suite laid out the same way can be timed side by side with this one; each
program runs in its own folder. With several folders every row names its
folder, and the geometric means are given per folder and over all rows.
"""
import argparse
import math
import os
import shutil
import statistics
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
LANGS = ("tovik", "python", "lua")
EXT = {"tovik": "tvk", "python": "py", "lua": "lua"}


def find_lua():
    for name in ("lua5.4", "lua"):
        path = shutil.which(name)
        if path:
            return path
    return None


def run_once(argv, timeout, cwd=HERE):
    """Runs argv in the folder cwd: (stdout, wall s, peak RSS MB, error or None).

    The peak RSS comes from GNU time when it is installed (a child forked
    from this script would count the script's own pages), else it is None.
    A timer kills the child's process group when it overruns."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err, \
            tempfile.NamedTemporaryFile(mode="r") as peak:
        if GNU_TIME:
            argv = [GNU_TIME, "-f", "%M", "-o", peak.name] + argv
        start = time.monotonic()
        pid = os.fork()
        if pid == 0:
            try:
                os.setsid()
                os.chdir(cwd)
                os.dup2(out.fileno(), 1)
                os.dup2(err.fileno(), 2)
                os.execv(argv[0], argv)
            finally:
                os._exit(127)
        timed_out = []

        def kill():
            timed_out.append(True)
            try:
                os.killpg(pid, 9)
            except ProcessLookupError:
                pass
        timer = threading.Timer(timeout, kill)
        timer.start()
        _, status = os.waitpid(pid, 0)
        timer.cancel()
        wall = time.monotonic() - start
        rss = None
        if GNU_TIME:
            try:
                rss = int(peak.read().split()[-1]) / 1024.0
            except (ValueError, IndexError):
                rss = None
        out.seek(0)
        err.seek(0)
        text = out.read().decode(errors="replace")
        if timed_out:
            return text, wall, rss, "timed out after %g s" % timeout
        code = os.waitstatus_to_exitcode(status)
        if code != 0:
            last = err.read().decode(errors="replace").strip().splitlines()
            return text, wall, rss, "status %d%s" % (
                code, (": " + last[-1]) if last else "")
        return text, wall, rss, None


def find_gnu_time():
    path = "/usr/bin/time"
    if not os.access(path, os.X_OK):
        return None
    with tempfile.NamedTemporaryFile(mode="r") as f:
        pid = os.fork()
        if pid == 0:
            try:
                devnull = os.open(os.devnull, os.O_WRONLY)
                os.dup2(devnull, 1)
                os.dup2(devnull, 2)
                os.execv(path, [path, "-f", "%M", "-o", f.name, "true"])
            finally:
                os._exit(127)
        _, status = os.waitpid(pid, 0)
        return path if status == 0 and f.read().strip().isdigit() else None


GNU_TIME = find_gnu_time()


def geomean(values):
    return math.exp(sum(math.log(v) for v in values) / len(values))


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--runs", type=int, default=5,
                    help="timed runs per program (default 5)")
    ap.add_argument("--timeout", type=float, default=600.0,
                    help="seconds one run may take (default 600)")
    ap.add_argument("--check", action="store_true",
                    help="only check tovik's output of each workload")
    ap.add_argument("--dir", action="append", dest="dirs", metavar="DIR",
                    help="a folder of workloads (default: this one); repeatable")
    ap.add_argument("tovik", help="the tovik binary")
    ap.add_argument("names", nargs="*", help="workloads (default: all)")
    args = ap.parse_args()

    if not (os.path.isfile(args.tovik) and os.access(args.tovik, os.X_OK)):
        print("bench: no tovik binary at %s" % args.tovik, file=sys.stderr)
        return 2
    dirs = [os.path.abspath(d) for d in (args.dirs or [HERE])]
    for d in dirs:
        if not os.path.isdir(d):
            print("bench: no folder %s" % d, file=sys.stderr)
            return 2
    # (folder, name) pairs; a name given on the command line is taken from
    # every folder that has it.
    workloads = []
    for d in dirs:
        found = sorted(f[:-len(".expected")] for f in os.listdir(d)
                       if f.endswith(".expected"))
        workloads += [(d, n) for n in found if not args.names or n in args.names]
    if not workloads:
        print("bench: no workloads in %s" % ", ".join(dirs), file=sys.stderr)
        return 2
    for name in args.names:
        if not any(n == name for _, n in workloads):
            print("bench: missing %s.expected" % name, file=sys.stderr)
            return 2
    for d, name in workloads:
        missing = [name + "." + e for e in list(EXT.values()) + ["expected"]
                   if not os.path.isfile(os.path.join(d, name + "." + e))]
        if missing:
            print("bench: missing %s" % ", ".join(
                os.path.join(d, m) for m in missing), file=sys.stderr)
            return 2
    # Row labels: the name alone for one folder, else the folder's parent
    # and the name, which tells two folders called "bench" apart.
    def label(d, name):
        if len(dirs) == 1:
            return name
        return "%s/%s" % (os.path.basename(os.path.dirname(d)), name)

    if args.check:
        bad = 0
        for d, name in workloads:
            with open(os.path.join(d, name + ".expected")) as f:
                expected = f.read()
            text, _, _, error = run_once(
                [os.path.abspath(args.tovik), name + ".tvk"], args.timeout, d)
            if error or text != expected:
                bad += 1
                print("%s: %s\n  expected %r\n  got      %r" % (
                    label(d, name), error or "wrong output", expected, text))
        print("%d of %d workload(s) right" % (len(workloads) - bad, len(workloads)))
        return 1 if bad else 0

    interp = {"tovik": os.path.abspath(args.tovik),
              "python": shutil.which("python3"), "lua": find_lua()}
    for lang in ("python", "lua"):
        if not interp[lang]:
            print("note: %s not found, its columns are skipped" % lang)
    if not GNU_TIME:
        print("note: /usr/bin/time (GNU time) not found, no memory columns")

    failed = False
    rows = []
    for d, name in workloads:
        with open(os.path.join(d, name + ".expected")) as f:
            expected = f.read()
        times, rss, verdict = {}, {}, "ok"
        for lang in LANGS:
            if not interp[lang]:
                continue
            argv = [interp[lang], name + "." + EXT[lang]]
            text, _, _, error = run_once(argv, args.timeout, d)
            if error or text != expected:
                verdict = "%s: %s" % (lang, error or "wrong output")
                failed = True
                continue
            walls, peaks = [], []
            for _ in range(args.runs):
                _, wall, peak, error = run_once(argv, args.timeout, d)
                if error:
                    verdict = "%s: %s" % (lang, error)
                    failed = True
                    break
                walls.append(wall)
                if peak is not None:
                    peaks.append(peak)
            else:
                times[lang] = statistics.median(walls)
                if peaks:
                    rss[lang] = max(peaks)
        rows.append((d, label(d, name), times, rss, verdict))

    def cell(table, lang, fmt):
        return fmt % table[lang] if lang in table else "-"

    width = max([10] + [len(r[1]) for r in rows])
    header = "%-*s %8s %9s %6s %9s %10s %9s %6s %7s  %s" % (
        width, "workload", "tovik s", "python s", "lua s", "tovik/py", "tovik/lua",
        "tovik MB", "py MB", "lua MB", "output")
    print(header)
    print("-" * len(header))
    ratios = {"python": [], "lua": []}
    per_dir = {d: {"python": [], "lua": []} for d in dirs}
    for d, name, times, rss, verdict in rows:
        rel = {}
        for lang in ratios:
            if "tovik" in times and lang in times and times[lang] > 0:
                rel[lang] = times["tovik"] / times[lang]
                ratios[lang].append(rel[lang])
                per_dir[d][lang].append(rel[lang])
        print("%-*s %8s %9s %6s %9s %10s %9s %6s %7s  %s" % (
            width, name, cell(times, "tovik", "%.3f"), cell(times, "python", "%.3f"),
            cell(times, "lua", "%.3f"), cell(rel, "python", "%.2f"),
            cell(rel, "lua", "%.2f"), cell(rss, "tovik", "%.1f"),
            cell(rss, "python", "%.1f"), cell(rss, "lua", "%.1f"), verdict))
    print("-" * len(header))
    if len(dirs) > 1:
        for d in dirs:
            for lang in ratios:
                if per_dir[d][lang]:
                    print("geomean tovik/%s in %s: %.2f over %d workload(s)" % (
                        lang, d, geomean(per_dir[d][lang]), len(per_dir[d][lang])))
    for lang in ratios:
        if ratios[lang]:
            print("geomean tovik/%s: %.2f over %d workload(s)" % (
                lang, geomean(ratios[lang]), len(ratios[lang])))
    print("median of %d run(s) per program" % args.runs)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
