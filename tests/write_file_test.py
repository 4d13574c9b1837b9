#!/usr/bin/env python3
"""Checks that write_file replaces a file in one step.

- A reader running beside a script that rewrites the file over and over
  sees the old text or the new, never a mix or a cut (each text is one
  repeated letter, long enough that a plain write would take many calls).
- An existing file keeps its permissions; a new one gets 0666 less umask.
- Nothing is left beside the file, after a success or a failure, and a
  failed write leaves the old file as it was.

Usage: write_file_test.py TOVIK
"""

import os
import stat
import subprocess
import sys
import tempfile
import threading
import unittest

TOVIK = None
SIZE = 1 << 20


def run_script(folder, source):
    path = os.path.join(folder, "writer.tvk")
    with open(path, "w", encoding="utf-8") as f:
        f.write(source)
    return subprocess.run([TOVIK, path], cwd=folder, capture_output=True, text=True, check=False)


class WriteFile(unittest.TestCase):
    def test_readers_see_whole_texts_only(self):
        with tempfile.TemporaryDirectory() as folder:
            target = os.path.join(folder, "data.txt")
            with open(target, "w", encoding="utf-8") as f:
                f.write("a" * SIZE)
            seen, bad = set(), []
            done = threading.Event()

            def reader():
                while not done.is_set():
                    with open(target, encoding="utf-8") as f:
                        text = f.read()
                    if len(text) != SIZE or text.count(text[0]) != SIZE:
                        bad.append((len(text), text[:1], text[-1:]))
                    else:
                        seen.add(text[0])

            thread = threading.Thread(target=reader)
            thread.start()
            try:
                result = run_script(folder, f"""def main() {{
  let a = repeat("a", {SIZE})
  let b = repeat("b", {SIZE})
  for i in 0..60 {{
    if i % 2 == 0 {{ write_file("data.txt", b) }} else {{ write_file("data.txt", a) }}
  }}
  print("done")
}}""")
            finally:
                done.set()
                thread.join()
            self.assertEqual(result.stdout, "done\n", result.stderr)
            self.assertEqual(bad, [])
            self.assertTrue(seen)
            self.assertEqual(sorted(os.listdir(folder)), ["data.txt", "writer.tvk"])

    def test_permissions_kept_and_failures_leave_nothing(self):
        with tempfile.TemporaryDirectory() as folder:
            kept = os.path.join(folder, "kept.txt")
            with open(kept, "w", encoding="utf-8") as f:
                f.write("old")
            os.chmod(kept, 0o640)
            os.mkdir(os.path.join(folder, "sub"))
            result = run_script(folder, """def main() {
  print(write_file("kept.txt", "new"))
  print(write_file("fresh.txt", "x"))
  print(write_file("sub", "x"))
  print(write_file("missing/x.txt", "x"))
}""")
            lines = result.stdout.splitlines()
            self.assertEqual(lines[:2], ["true", "true"], result.stderr)
            self.assertEqual(lines[2], "Error: cannot write sub: Is a directory")
            self.assertEqual(lines[3], "Error: cannot write missing/x.txt: No such file or directory")
            with open(kept, encoding="utf-8") as f:
                self.assertEqual(f.read(), "new")
            self.assertEqual(stat.S_IMODE(os.stat(kept).st_mode), 0o640)
            mask = os.umask(0)
            os.umask(mask)
            fresh = os.path.join(folder, "fresh.txt")
            self.assertEqual(stat.S_IMODE(os.stat(fresh).st_mode), 0o666 & ~mask)
            self.assertTrue(os.path.isdir(os.path.join(folder, "sub")))
            self.assertEqual(sorted(os.listdir(folder)),
                             ["fresh.txt", "kept.txt", "sub", "writer.tvk"])


if __name__ == "__main__":
    TOVIK = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
