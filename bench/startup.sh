#!/usr/bin/env bash
# Start-up of the window program beside a bare Qt window (a QWidget of the
# same size, bench/BareWindow.cpp), on the offscreen platform: the time from
# starting the process to the window's first paint, and the peak resident
# memory up to then. A preloaded probe (StartupProbe.cpp) ends each program
# at that paint, so the program itself needs no hook. The two are started in
# turn, so that a busy machine slows both alike.
#   bench/startup.sh [runs]          default 20 runs of each after one warm-up
#   bench/startup.sh smaps           where the memory goes: each mapped file's
#                                    resident KB at the first paint, both programs
# Targets: within 1.5 times the bare window in median time and in peak memory.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-20}
[ "$runs" = smaps ] && mode=smaps || mode=time
program=build/release/ui/sumlark
bare=build/release/bench/sumlark_bare_window
probe=$PWD/build/release/bench/libsumlark_startup_probe.so

cmake --preset release >/dev/null
cmake --build --preset release --target sumlark sumlark_bare_window sumlark_startup_probe >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# once <program>: "<ms> <peak KB>"
once() {
  rm -f "$scratch/shown" "$scratch/rss"
  local started
  started=$(date +%s%N)
  SUMLARK_PROBE_T0=$started SUMLARK_PROBE_OUT="$scratch/shown" QT_QPA_PLATFORM=offscreen \
    timeout 30 /usr/bin/time -f '%M' -o "$scratch/rss" env LD_PRELOAD="$probe" "$1" >/dev/null 2>&1 || true
  if [ ! -s "$scratch/shown" ]; then
    echo "$1: the window was not painted within 30 s" >&2
    exit 1
  fi
  echo "$(cat "$scratch/shown") $(tail -n 1 "$scratch/rss")"
}

once "$bare" >/dev/null # warm the file cache
once "$program" >/dev/null

if [ "$mode" = smaps ]; then
  SUMLARK_PROBE_SMAPS="$scratch/bare.smaps" once "$bare" >/dev/null
  SUMLARK_PROBE_SMAPS="$scratch/main.smaps" once "$program" >/dev/null
  # Resident KB by mapped file (anonymous memory as one line), largest difference first.
  awk '
    FNR == 1 { side = (FILENAME ~ /main.smaps$/) ? "main" : "bare" }
    /^[0-9a-f]+-[0-9a-f]+ / { name = (NF >= 6) ? $6 : "[anonymous]"; sub(/.*\//, "", name) }
    /^Rss:/ { kb[side, name] += $2; names[name] = 1; total[side] += $2 }
    END {
      printf "%-46s %9s %9s %9s\n", "resident KB at first paint", "sumlark", "bare", "more"; fflush()
      for (n in names) printf "%-46s %9d %9d %9d\n", n, kb["main", n], kb["bare", n], kb["main", n] - kb["bare", n] | "sort -k4 -nr | head -25"
      close("sort -k4 -nr | head -25")
      printf "%-46s %9d %9d %9d\n", "total", total["main"], total["bare"], total["main"] - total["bare"]
    }' "$scratch/main.smaps" "$scratch/bare.smaps"
  exit 0
fi
for _ in $(seq "$runs"); do
  echo "bare $(once "$bare")"
  echo "main $(once "$program")"
done >"$scratch/all"

awk -v runs="$runs" '
  function median(list, n,    sorted, i, j, t) {
    for (i = 1; i <= n; i++) sorted[i] = list[i]
    for (i = 2; i <= n; i++) for (j = i; j > 1 && sorted[j - 1] > sorted[j]; j--) {
      t = sorted[j]; sorted[j] = sorted[j - 1]; sorted[j - 1] = t
    }
    return (n % 2) ? sorted[(n + 1) / 2] : (sorted[n / 2] + sorted[n / 2 + 1]) / 2
  }
  { n[$1]++; ms[$1, n[$1]] = $2; if ($3 > rss[$1]) rss[$1] = $3 }
  END {
    for (i = 1; i <= n["bare"]; i++) bare[i] = ms["bare", i]
    for (i = 1; i <= n["main"]; i++) main[i] = ms["main", i]
    b = median(bare, n["bare"]); m = median(main, n["main"])
    printf "start to window shown, median of %d runs: sumlark %.1f ms, bare window %.1f ms: %.2fx (target < 1.5x)\n", runs, m, b, m / b
    printf "peak memory: sumlark %.1f MB, bare window %.1f MB resident: %.2fx (target < 1.5x)\n", rss["main"] / 1024, rss["bare"] / 1024, rss["main"] / rss["bare"]
    if (m / b >= 1.5 || rss["main"] / rss["bare"] >= 1.5) exit 1
  }' "$scratch/all"
