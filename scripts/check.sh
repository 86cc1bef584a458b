#!/usr/bin/env bash
# The everyday loop: builds the release tree (only what a change touched) and runs its tests.
# The whole suite, with the package, fuzzing and the sanitizers, is scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
scripts/build.sh release
ctest --preset release --parallel "$(nproc)" --output-on-failure "$@"
