#!/usr/bin/env bash
# Takes a picture of every graphics example for the documentation: runs it,
# waits until its window shows, lets it draw for a moment, captures the
# window, then presses Escape and expects the script to end cleanly.
#
# Needs an X display with no window manager in the way; `make screenshots`
# provides one with xvfb-run.
#
# Usage: make_screenshots.sh TOVIK EXAMPLES_DIR IMAGES_DIR
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 TOVIK EXAMPLES_DIR IMAGES_DIR" >&2
  exit 2
fi
tovik=$(realpath "$1")
examples=$(realpath "$2")
images=$(realpath "$3")
# Long enough for the animations to get going, short enough to stay quick.
DRAW_SECONDS=2
WAIT_SECONDS=20

if [ -z "${DISPLAY:-}" ]; then
  echo "no X display: run this under xvfb-run (make screenshots does)" >&2
  exit 1
fi
mkdir -p "$images"

# The graphics examples are the ones that draw until their window closes.
mapfile -t scripts < <(grep -lE '(is_open|is_window_open)\(' "$examples"/*.tvk | sort)
if [ ${#scripts[@]} -eq 0 ]; then
  echo "no graphics examples in $examples" >&2
  exit 1
fi

failed=0
for script in "${scripts[@]}"; do
  name=$(basename "$script" .tvk)
  (cd "$examples" && exec "$tovik" "$name.tvk" >/dev/null) &
  pid=$!
  # Every example's window title starts with the language's name.
  window=$(timeout "$WAIT_SECONDS" xdotool search --sync --onlyvisible --name '^Tovik' | head -n 1 || true)
  if [ -z "$window" ]; then
    echo "$name: no window appeared" >&2
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    failed=1
    continue
  fi
  sleep "$DRAW_SECONDS"
  # Without the time stamps a picture that did not change stays byte for byte.
  import -window "$window" -define png:exclude-chunks=date,time "$images/$name.png"

  xdotool windowfocus --sync "$window" key Escape
  for _ in $(seq $((WAIT_SECONDS * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "$name: still running after Escape" >&2
    kill "$pid"
    failed=1
  fi
  status=0
  wait "$pid" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "$name: ended with status $status" >&2
    failed=1
  fi
  echo "$images/$name.png"
done
exit "$failed"
