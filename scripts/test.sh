#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole suite twice: once as released and once
# under AddressSanitizer and UndefinedBehaviorSanitizer. Any failure or sanitizer report fails it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

for preset in release sanitize; do
  echo "== Building and testing: $preset"
  scripts/build.sh "$preset"
  ctest --preset "$preset" --parallel "$(nproc)"
done
