#!/usr/bin/env python3
"""The keyboard, mouse and text functions in a real X window: a virtual X
server (Xvfb) shows the window, xdotool presses keys and clicks, and a
capture of the whole screen is checked pixel by pixel.

Skipped (status 77) when Xvfb, xdotool or ImageMagick's import is missing.

Usage: window_input_test.py TOVIK
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

from run_limits import BACKSTOP_SECONDS

SKIP = 77
SCREEN_W, SCREEN_H = 640, 480
WINDOW_W, WINDOW_H = 320, 200

SCRIPT = """
window(320, 200)
let seen_space = false
let clicked = false
while is_open() {
  clear()
  draw_text("Tovik", 20, 30, 40, color(255, 255, 0))
  draw_text("clipped", 280, 150, 30, color(0, 255, 255))
  draw_text("gone", 400, 10, 30, color(255, 0, 255))
  present()
  if key_down("space") and not seen_space {
    print("space")
    seen_space = true
  }
  if mouse_down() and not clicked {
    print(concat("mouse ", mouse_x(), " ", mouse_y()))
    clicked = true
  }
}
print("closed")
"""


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
         "%dx%dx24" % (SCREEN_W, SCREEN_H), "-br", "-nolisten", "tcp"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    with os.fdopen(read_end, "rb") as pipe:
        while not number.endswith(b"\n"):
            part = pipe.read(1)
            if not part:
                raise RuntimeError("Xvfb did not start")
            number += part
    return server, ":" + number.decode().strip()


def capture(env):
    """The whole screen as rows of (r, g, b)."""
    raw = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"],
                         env=env, check=True, capture_output=True).stdout
    assert len(raw) == SCREEN_W * SCREEN_H * 3, len(raw)
    return [[tuple(raw[(y * SCREEN_W + x) * 3:(y * SCREEN_W + x) * 3 + 3])
             for x in range(SCREEN_W)] for y in range(SCREEN_H)]


def lit(screen, origin, hue=None):
    """Window-relative points that are not black, of the given hue's
    channels when one is given (blended edges are darker, never other)."""
    ox, oy = origin
    points = []
    for y, row in enumerate(screen):
        for x, p in enumerate(row):
            if p == (0, 0, 0):
                continue
            if hue is None or all((c == 0) == (h == 0) for c, h in zip(p, hue)):
                points.append((x - ox, y - oy, p))
    return points


def main():
    tovik = sys.argv[1]
    if not all(shutil.which(t) for t in ("Xvfb", "xdotool", "import")):
        print("Xvfb, xdotool or import missing: skipped")
        return SKIP
    server, display = start_xvfb()
    env = {k: v for k, v in os.environ.items() if k != "SDL_VIDEODRIVER"}
    env["DISPLAY"] = display
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        script = os.path.join(folder, "input.tvk")
        with open(script, "w") as f:
            f.write(SCRIPT)
        run = subprocess.Popen([tovik, script], env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE)
        try:
            window = subprocess.run(
                ["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Tovik$"],
                env=env, check=True, capture_output=True, text=True,
                timeout=BACKSTOP_SECONDS).stdout.split()[0]
            geometry = dict(line.split("=") for line in subprocess.run(
                ["xdotool", "getwindowgeometry", "--shell", window], env=env,
                check=True, capture_output=True, text=True).stdout.split())
            origin = (int(geometry["X"]), int(geometry["Y"]))
            # The first frames may not be drawn yet.
            deadline = time.monotonic() + BACKSTOP_SECONDS
            while True:
                screen = capture(env)
                yellow = lit(screen, origin, (255, 255, 0))
                if yellow or time.monotonic() > deadline:
                    break
                time.sleep(0.2)
            inside = lambda x, y: 0 <= x < WINDOW_W and 0 <= y < WINDOW_H
            everything = lit(screen, origin)
            if not any(p == (255, 255, 0) for _, _, p in yellow):
                failures.append("no text pixel in the draw colour")
            for x, y, p in everything:
                if not inside(x, y):
                    failures.append("lit pixel %s outside the window at %d, %d" % (p, x, y))
                    break
            for x, y, _ in yellow:
                if not (20 <= x < 20 + 5 * 40 and 30 <= y < 30 + 48):
                    failures.append("text pixel outside its box at %d, %d" % (x, y))
                    break
            cyan = lit(screen, origin, (0, 255, 255))
            if not cyan or any(not (280 <= x < WINDOW_W and 150 <= y < 150 + 36)
                               for x, y, _ in cyan):
                failures.append("the clipped text is not where it should be")
            if len(yellow) + len(cyan) != len(everything):
                failures.append("pixels of another colour: %d" %
                                (len(everything) - len(yellow) - len(cyan)))

            subprocess.run(["xdotool", "windowfocus", "--sync", window,
                            "keydown", "space", "sleep", "0.2", "keyup", "space",
                            "mousemove", "--window", window, "50", "60",
                            "sleep", "0.2", "click", "1", "sleep", "0.2",
                            "key", "Escape"], env=env, check=True,
                           timeout=BACKSTOP_SECONDS)
            out, err = run.communicate(timeout=BACKSTOP_SECONDS)
            if out.decode() != "space\nmouse 50 60\nclosed\n":
                failures.append("the script saw %r" % out.decode())
            if err or run.returncode != 0:
                failures.append("status %d, stderr %r" % (run.returncode, err.decode()))
        finally:
            if run.poll() is None:
                run.kill()
                run.wait()
            server.terminate()
            server.wait()
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
