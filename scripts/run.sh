#!/usr/bin/env bash
# Installs what is missing, builds, and opens the program's window. Without a display it says so
# and shows the command-line program instead.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh release

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cli=build/release/cli/quorvel-cli
  echo "No display (DISPLAY and WAYLAND_DISPLAY are unset), so the window cannot open; use $cli instead, for example:"
  echo "  $cli f cdf --value 3 --df1 5 --df2 10 --lambda 0"
  "$cli" f cdf --value 3 --df1 5 --df2 10 --lambda 0
  exit 0
fi

exec build/release/gui/app/quorvel
