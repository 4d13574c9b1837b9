#!/usr/bin/env python3
"""Installs the build into a temporary prefix and uses it the way a user
would: the binary and the manual page land in bin/ and share/man/man1/, and
with bin/ on PATH an executable script starting with `#!/usr/bin/env tovik`
runs as a command, by its path and by its name.

Usage: check_install.py CMAKE BUILD_DIR MAN_PAGE
"""

import filecmp
import os
import stat
import subprocess
import sys
import tempfile

SCRIPT = """#!/usr/bin/env tovik
# The line above is a comment to Tovik and the interpreter to the system.
def main() {
  print(concat("hello from ", "an installed tovik"))
}
"""
EXPECTED = "hello from an installed tovik\n"


def main(argv):
    if len(argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    cmake, build_dir, man_page = argv[1:]
    problems = []
    with tempfile.TemporaryDirectory(prefix="tovik-install-") as root:
        prefix = os.path.join(root, "prefix")
        proc = subprocess.run([cmake, "--install", build_dir, "--prefix", prefix],
                              capture_output=True, text=True)
        if proc.returncode != 0:
            print("FAIL cmake --install:\n" + proc.stdout + proc.stderr)
            return 1

        binary = os.path.join(prefix, "bin", "tovik")
        installed_page = os.path.join(prefix, "share", "man", "man1", "tovik.1")
        if not os.access(binary, os.X_OK):
            problems.append("no executable bin/tovik")
        if not os.path.isfile(installed_page):
            problems.append("no share/man/man1/tovik.1")
        elif not filecmp.cmp(installed_page, man_page, shallow=False):
            problems.append("the installed manual page differs from " + man_page)

        scripts = os.path.join(root, "scripts")
        os.mkdir(scripts)
        script = os.path.join(scripts, "greet.tvk")
        with open(script, "w", encoding="utf-8") as f:
            f.write(SCRIPT)
        os.chmod(script, os.stat(script).st_mode | stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH)

        # Only the installed bin/ and the system's own folders: no tovik from
        # elsewhere can answer.
        env = dict(os.environ,
                   PATH=os.pathsep.join([os.path.join(prefix, "bin"), scripts, "/usr/bin", "/bin"]))
        for how, command in (("by path", [script]), ("by name on PATH", ["greet.tvk"])):
            run = subprocess.run(command, capture_output=True, text=True, env=env, cwd=root)
            if (run.returncode, run.stdout, run.stderr) != (0, EXPECTED, ""):
                problems.append("running the script %s gave status %d, output %r, errors %r"
                                % (how, run.returncode, run.stdout, run.stderr))

    for problem in problems:
        print("FAIL " + problem)
    print("install checked, %d problems" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
