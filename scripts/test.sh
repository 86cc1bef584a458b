#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole suite twice: once as released and once
# under AddressSanitizer and UndefinedBehaviorSanitizer, with the fuzz targets run for a
# bounded time in between; the numerics and the command line are also built and tested alone,
# without Qt, and the Debian package is built, unpacked and checked. Any failure or sanitizer
# report fails it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

run_suite() {
  echo "== Building and testing: $1"
  scripts/build.sh "$1"
  ctest --preset "$1" --parallel "$(nproc)"
}

run_suite release
run_suite nogui
echo "== Building and checking the Debian package"
scripts/package.sh
tests/packaging/package_test.sh build/package/quorvel_*.deb README.md
scripts/fuzz.sh 30
run_suite sanitize
