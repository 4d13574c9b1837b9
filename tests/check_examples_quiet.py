#!/usr/bin/env python3
"""`tovik --check` finds nothing to report in any example: every warning on
them would be a false alarm a beginner learns to ignore.

Usage: check_examples_quiet.py TOVIK EXAMPLES_DIR
"""

import subprocess
import sys
from pathlib import Path


def main():
    tovik, examples = str(Path(sys.argv[1]).resolve()), Path(sys.argv[2])
    scripts = sorted(examples.glob("*.tvk"))
    faults = []
    for script in scripts:
        run = subprocess.run([tovik, "--check", script.name], cwd=examples,
                             capture_output=True, text=True)
        if run.returncode != 0 or run.stderr or run.stdout:
            faults.append(f"{script.name}: status {run.returncode}\n{run.stderr}{run.stdout}")
    if not scripts:
        faults.append(f"no scripts under {examples}")
    for fault in faults:
        print(fault)
    print(f"{len(scripts) - len(faults)} of {len(scripts)} examples quiet")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
