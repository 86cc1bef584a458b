#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks and runs ours beside Boost.Math's in one
# process, ending with a table of times, ratios and relative differences.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh bench
build/bench/bench/quorvel_bench --benchmark_min_time="${1:-0.2}" --benchmark_color=false
