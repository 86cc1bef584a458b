#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh release

cli=build/release/cli/quorvel-cli
echo "== quorvel-cli --help"
"$cli" --help
echo
echo "== quorvel-cli f cdf --value 3 --df1 5 --df2 10 --lambda 0"
"$cli" f cdf --value 3 --df1 5 --df2 10 --lambda 0
