#!/usr/bin/env bash
# Start-up of the window program on the offscreen platform: the time from
# starting the process to the main window's first paint, and the peak
# resident memory up to then. A preloaded probe (StartupProbe.cpp) ends the
# program at that paint, so the program itself needs no hook.
#   bench/startup.sh [runs]          default 20 runs after one warm-up
# Targets: under 150 ms and under 60 MB.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-20}
program=build/release/ui/sumlark
probe=$PWD/build/release/bench/libsumlark_startup_probe.so

cmake --preset release >/dev/null
cmake --build --preset release --target sumlark sumlark_startup_probe >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

once() {
  rm -f "$scratch/shown" "$scratch/rss"
  local started
  started=$(date +%s%N)
  SUMLARK_PROBE_T0=$started SUMLARK_PROBE_OUT="$scratch/shown" QT_QPA_PLATFORM=offscreen \
    timeout 30 /usr/bin/time -f '%M' -o "$scratch/rss" env LD_PRELOAD="$probe" "$program" >/dev/null 2>&1 || true
  if [ ! -s "$scratch/shown" ]; then
    echo "the main window was not painted within 30 s" >&2
    exit 1
  fi
  echo "$(cat "$scratch/shown") $(tail -n 1 "$scratch/rss")"
}

once >/dev/null # warm the file cache
for _ in $(seq "$runs"); do once; done >"$scratch/all"

sort -n "$scratch/all" | awk -v runs="$runs" '
  { ms[NR] = $1; if ($2 > rss) rss = $2 }
  END {
    median = (NR % 2) ? ms[(NR + 1) / 2] : (ms[NR / 2] + ms[NR / 2 + 1]) / 2
    printf "start to main window shown: median %.1f ms, fastest %.1f ms, slowest %.1f ms (%d runs; target < 150 ms)\n", median, ms[1], ms[NR], runs
    printf "peak memory: %.1f MB resident (target < 60 MB)\n", rss / 1024
    if (median >= 150 || rss / 1024 >= 60) exit 1
  }'
