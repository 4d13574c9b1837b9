#!/usr/bin/env python3
"""Without a display, and with no video driver asked for, no window claims
to be open: `window` leaves is_open() false and sdl2.create_window returns
an Error that says why. An explicit SDL_VIDEODRIVER=dummy still opens one.

Usage: no_display_test.py TOVIK
"""

import os
import subprocess
import sys
import tempfile
import unittest

TOVIK = None
NO_DISPLAY_TEXT = ("Error: No display to show a window on (SDL video driver "
                   "'%s'); set SDL_VIDEODRIVER to choose one")

SCRIPT = """window(64, 48)
print(is_open())
print(sdl2.create_window("t", 64, 48))
print(sdl2.is_window_open())
print(window_width())
"""


def run(env_changes):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
    env.update(env_changes)
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "w.tvk")
        with open(path, "w") as f:
            f.write(SCRIPT)
        # A drawing loop without this fix never ends; the script here has
        # none, so it cannot hang.
        proc = subprocess.run([TOVIK, path], env=env, capture_output=True)
    return proc.returncode, proc.stdout.decode().splitlines()


class NoDisplay(unittest.TestCase):
    def test_unrequested_invisible_driver_opens_nothing(self):
        status, lines = run({})
        self.assertEqual(status, 0)
        self.assertEqual(len(lines), 4, lines)
        self.assertEqual(lines[0], "false")
        self.assertEqual(lines[2], "false")
        self.assertEqual(lines[3], "null")
        # SDL either found no driver at all (silent failure: 1) or settled
        # on one that shows nothing, which must be reported.
        if lines[1] != "1":
            driver = lines[1].split("'")[1] if "'" in lines[1] else "?"
            self.assertIn(driver, ("offscreen", "dummy", "evdev"), lines[1])
            self.assertEqual(lines[1], NO_DISPLAY_TEXT % driver)

    def test_empty_driver_variable_counts_as_unset(self):
        self.assertEqual(run({"SDL_VIDEODRIVER": ""})[1][0], "false")

    def test_asking_for_the_dummy_driver_still_opens_a_window(self):
        status, lines = run({"SDL_VIDEODRIVER": "dummy"})
        self.assertEqual((status, lines), (0, ["true", "1", "true", "64"]))


if __name__ == "__main__":
    TOVIK = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
