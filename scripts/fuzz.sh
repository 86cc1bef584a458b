#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (seconds per
# target, 30 by default) from the seed corpus; a crash, sanitizer report or broken invariant
# fails it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"

scripts/build.sh fuzz
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for target in cli_input num_edit_logic; do
  echo "== Fuzzing ${target} for ${seconds} s"
  mkdir -p "$work/$target"
  cp tests/fuzz/corpus/"$target"/* "$work/$target"/
  build/fuzz/tests/fuzz/"${target}_fuzzer" -max_total_time="$seconds" -max_len=1024 \
    -timeout=10 -print_final_stats=0 -artifact_prefix="$work/" "$work/$target" 2>&1 | tail -n 2
done
