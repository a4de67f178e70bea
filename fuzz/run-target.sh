#!/usr/bin/env bash
# Runs one fuzz target for a bounded time, starting from its corpus; CTest
# calls it for each target. New inputs go to a scratch folder, so the corpus
# in the repository only grows by hand; a crash, a sanitizer report, a broken
# sheet or a hang (no input may take 10 s) fails it and leaves the input in
# the findings folder.
#   FUZZ_SECONDS=600   a budget of one's own instead of the target's default
#   FUZZ_SEED=0        a fresh random seed; the fixed default makes CI try the
#                      same inputs each time, so a red run points at a change
#   run-target.sh <binary> <default seconds> <corpus> <findings> [libFuzzer options]
set -euo pipefail
binary=$1 seconds=${FUZZ_SECONDS:-$2} corpus=$3 findings=$4
shift 4
target=$(basename "$binary")
dictionary="$(dirname "$corpus")/../$target.dict"
extra=()
[ -f "$dictionary" ] && extra+=("-dict=$dictionary")
mkdir -p "$findings"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
log="$findings/$target.log"
echo "fuzzing $target for ${seconds}s"
if ! "$binary" -seed="${FUZZ_SEED:-1}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/$target-" "${extra[@]}" "$@" "$scratch" "$corpus" >"$log" 2>&1; then
  tail -n 60 "$log"
  echo "$target found a fault; the input is in $findings/ (replay: $binary <input>)" >&2
  exit 1
fi
grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|new_units_added|slowest_unit_time_sec))' "$log"
