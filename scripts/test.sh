#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole suite twice: once as released and once
# under AddressSanitizer and UndefinedBehaviorSanitizer, with the fuzz targets run for a
# bounded time in between. The release tree is also packed into the Debian package, which is
# unpacked, run and checked by lintian; the numerics, the model and the command line are built
# once more without Qt, which proves that they need none (their tests are the release run's).
# Any failure or sanitizer report fails it.
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
echo "== Building without Qt"
scripts/build.sh nogui
echo "== Building and checking the Debian package"
scripts/package.sh
tests/packaging/package_test.sh build/package/quorvel_*.deb README.md
scripts/fuzz.sh 30
run_suite sanitize
