#!/usr/bin/env bash
# Starts the program on a virtual X server (Xvfb), waits for its window and saves a screenshot of
# the screen: scripts/screenshot.sh [PROGRAM] [OUTPUT.png]. A manual check of the window's
# arrangement, not part of the test suite. Needs xvfb, xauth, x11-utils (xwininfo) and
# ImageMagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."

program="${1:-build/release/gui/app/quorvel}"
output="${2:-quorvel-screenshot.png}"

xvfb-run --auto-servernum --server-args="-screen 0 800x600x24" bash -c '
  "$1" &
  pid=$!
  for _ in $(seq 50); do
    if xwininfo -root -tree 2>/dev/null | grep -q "Noncentral Distributions"; then
      break
    fi
    sleep 0.2
  done
  sleep 1
  import -window root "$2"
  kill "$pid"
' screenshot "$program" "$output"
echo "Saved $output"
