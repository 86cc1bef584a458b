#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (seconds per
# target, 30 by default) from the seed corpus; a crash, sanitizer report or broken invariant
# fails it, and the input that caused it is kept under build/fuzz/crashes/ with its path
# printed, so that it can be run again (build/fuzz/tests/fuzz/TARGET_fuzzer FILE).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"

scripts/build.sh fuzz
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
crashes="build/fuzz/crashes"
mkdir -p "$crashes"
status=0
for target in cli_input num_edit_logic; do
  echo "== Fuzzing ${target} for ${seconds} s"
  mkdir -p "$work/$target"
  cp tests/fuzz/corpus/"$target"/* "$work/$target"/
  if ! build/fuzz/tests/fuzz/"${target}_fuzzer" -max_total_time="$seconds" -max_len=1024 \
      -timeout=10 -print_final_stats=0 -artifact_prefix="$crashes/${target}-" \
      "$work/$target" >"$work/$target.log" 2>&1; then
    tail -n 30 "$work/$target.log"
    echo "${target}: the failing input is kept in:" $(ls "$crashes/${target}-"* 2>/dev/null)
    status=1
  else
    tail -n 2 "$work/$target.log"
  fi
done
exit $status
