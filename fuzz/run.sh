#!/usr/bin/env bash
# Runs each fuzz target of build/fuzz for a bounded time, starting from its
# corpus in fuzz/corpus/. New inputs go to a scratch folder, so the corpus in
# the repository only grows by hand; a crash, a sanitizer report, a broken
# sheet or a hang (no input may take 10 s) fails the script and leaves the
# input in build/fuzz/findings/.
#   fuzz/run.sh                  the default budget, about a minute in all
#   FUZZ_SECONDS=600 fuzz/run.sh ten minutes for each target
#   FUZZ_SEED=0 fuzz/run.sh      a fresh random seed each run; the fixed
#                                default makes CI try the same inputs each
#                                time, so a red run points at a change
set -euo pipefail
cd "$(dirname "$0")/.."

binaries=build/fuzz/fuzz
findings=build/fuzz/findings
mkdir -p "$findings"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fuzz() {
  local target=$1 seconds=$2
  shift 2
  local log="$findings/$target.log"
  mkdir -p "$scratch/$target"
  echo "fuzzing $target for ${seconds}s"
  if ! "$binaries/$target" -seed="${FUZZ_SEED:-1}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$findings/$target-" "$@" "$scratch/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$target found a fault; the input is in $findings/ (replay: $binaries/$target <input>)" >&2
    return 1
  fi
  grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|new_units_added|slowest_unit_time_sec))' "$log"
}

fuzz number_text_fuzz "${FUZZ_SECONDS:-15}"
fuzz sheet_run_fuzz "${FUZZ_SECONDS:-45}" -dict=fuzz/sheet_run_fuzz.dict
# A failing target has already stopped the script (set -e).
echo "fuzz: 2 passed, 0 failed"
