#!/usr/bin/env python3
"""Checks that the manual page formats without warnings and says what
`tovik --help` and `tovik --version` say: the usage line, every option with
its description, the FILE argument and every example command.

Exits with 77 (a skipped test) when groff is not installed.

Usage: check_man_page.py TOVIK MAN_PAGE
"""

import re
import shutil
import subprocess
import sys

SKIPPED = 77
OPTION = re.compile(r"^\s+(-\w), (--\w+)\s{2,}(\S.*)$")
ARGUMENT = re.compile(r"^\s+(FILE)\s{2,}(\S.*)$")
EXAMPLE = re.compile(r"^\s+(tovik\b.*?)\s{2,}(\S.*)$")
USAGE = re.compile(r"^\s+(tovik \[.*)$")


def render(page):
    """The page as plain text, one paragraph per line, no hyphenation."""
    proc = subprocess.run(["groff", "-man", "-Tutf8", "-rLL=1000n", "-rHY=0", "-P-cbou", page],
                          capture_output=True, text=True, check=True)
    text = proc.stdout.replace("\u2212", "-").replace("\u2010", "-")
    return re.sub(r"[ \t]+", " ", text)


def help_items(help_text):
    """(what, text) pairs the page must hold, from the help text."""
    items = []
    for line in help_text.splitlines():
        for pattern in (OPTION, ARGUMENT, EXAMPLE, USAGE):
            m = pattern.match(line)
            if m:
                items.extend(("help line %r" % line.strip(), g) for g in m.groups())
                break
    return items


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    tovik, page = argv[1], argv[2]
    if shutil.which("groff") is None:
        print("groff is not installed; skipping")
        return SKIPPED

    problems = []
    warnings = subprocess.run(["groff", "-man", "-ww", "-z", page],
                              capture_output=True, text=True).stderr
    if warnings:
        problems.append("groff warnings:\n" + warnings)

    text = render(page)
    help_text = subprocess.run([tovik, "--help"], capture_output=True, text=True).stdout
    items = help_items(help_text)
    if len(items) < 10:
        problems.append("could not read the options from --help:\n" + help_text)
    for what, wanted in items:
        if re.sub(r"\s+", " ", wanted) not in text:
            problems.append("%s: %r is not in the page" % (what, wanted))

    version = subprocess.run([tovik, "--version"], capture_output=True, text=True).stdout.split()
    if not version or ("tovik " + version[-1]) not in text:
        problems.append("the page footer does not name version %r" % " ".join(version))

    for problem in problems:
        print("FAIL " + problem)
    print("%d items checked, %d problems" % (len(items) + 1, len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
