#!/usr/bin/env bash
# Puts plausible faults into the program one at a time and tells which ones
# the test suites catch. Each fault in tests/faults/injected-faults.txt is a
# piece of source text that must occur exactly once in the program's folders
# (found wherever it has moved to) and what replaces it. For each fault the
# script changes that one file, builds incrementally in a build folder of its
# own, runs the suites (the one beside the changed code first, then the rest,
# stopping at the first failing test), puts the file back and prints a row:
#
#   caught          a test failed (the first one is named)
#   not caught      every test passed with the fault in place
#   did not apply   the text is not in the program, or more than once
#   did not build   the fault does not compile (then it proves nothing)
#
# Run as root, the file-fault rows that need root run too; elsewhere they are
# skipped as they always are.
#
#   scripts/inject-faults.sh [--list] [--no-baseline] [--table FILE] [--build-dir DIR] [NAME...]
#
# NAMEs pick faults by name (shell patterns, e.g. 'pdf-*'); none runs them all.
# The suite is first run without a fault, since a suite that fails as it is
# cannot judge one; --no-baseline leaves that out. The rows are also written to
# <build dir>/injected-faults.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

table=tests/faults/injected-faults.txt
build=build/inject
baseline=1
list=0
picked=()
while (($#)); do
  case $1 in
    --list) list=1 ;; # each fault with the file it would change
    --no-baseline) baseline=0 ;;
    --table) table=$2; shift ;;
    --build-dir) build=$2; shift ;;
    -h|--help) sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    -*) echo "unknown option: $1" >&2; exit 2 ;;
    *) picked+=("$1") ;;
  esac
  shift
done

# Where the program's source lives; the tests are never changed.
source_dirs=(generation services pdf ui cli wording platform)

# The table: "name:", "find:" and "put:" lines, each value after one space;
# "#" lines and blank lines between faults are comments.
names=() finds=() puts=()
while IFS= read -r line || [[ -n $line ]]; do
  case $line in
    'name: '*) names+=("${line#name: }"); finds+=(""); puts+=("") ;;
    'find: '*) finds[-1]=${line#find: } ;;
    'put: '*) puts[-1]=${line#put: } ;;
    'put:') puts[-1]="" ;;
    '#'*|'') ;;
    *) echo "$table: cannot read: $line" >&2; exit 2 ;;
  esac
done < "$table"

chosen() {
  ((${#picked[@]})) || return 0
  local p
  for p in "${picked[@]}"; do
    # shellcheck disable=SC2053
    [[ $1 == $p ]] && return 0
  done
  return 1
}


# The file that holds the text, when it occurs exactly once in all of them.
where() {
  local hits
  hits=$(grep -roF --include='*.cpp' --include='*.h' -- "$1" "${source_dirs[@]}" | cut -d: -f1) || true
  [[ -n $hits && $hits != *$'\n'* ]] && printf '%s' "$hits"
}

if ((list)); then
  for i in "${!names[@]}"; do
    if chosen "${names[i]}"; then printf '%-44s %s\n' "${names[i]}" "$(where "${finds[i]}" || echo "(did not apply)")"; fi
  done
  exit 0
fi

# The suites' folders in the build, those beside the changed file first (the
# file-fault suite for the file services and the command line).
suites_for() {
  local first
  case $1 in
    generation/*|wording/*|platform/*) first=engine ;;
    services/*) first="services faults" ;;
    pdf/*) first=pdf ;;
    cli/*) first="cli faults" ;;
    ui/*) first=ui ;;
    *) first=engine ;;
  esac
  local s
  # shellcheck disable=SC2086
  for s in $first engine services cli pdf ui faults; do
    [[ -f $build/tests/$s/CTestTestfile.cmake ]] && printf '%s\n' "$s"
  done | awk '!seen[$0]++'
}

# Runs the suites in order, stopping at the first failing test; prints that test.
run_suites() {
  local s log=$build/inject-ctest.log
  : > "$log"
  for s in "$@"; do
    if ! QT_QPA_PLATFORM=offscreen ctest --test-dir "$build/tests/$s" -j2 --stop-on-failure --timeout 120 \
        --no-tests=error --output-on-failure >> "$log" 2>&1; then
      local failed
      failed=$(grep -m1 -E '\*\*\*(Failed|Timeout|Exception)|\((Failed|Timeout|SEGFAULT|Subprocess aborted|Child aborted)\)|Not Run' "$log" |
        sed -E 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+).*/\1/') || true
      printf '%s' "${failed:-$s}"
      return 1
    fi
  done
}

restore() {
  if [[ -n ${changed:-} ]]; then
    # Written back with a new time, so that the next build compiles it again.
    cat "$build/inject-original" > "$changed"
    changed=""
  fi
}
changed=""
trap restore EXIT
trap 'restore; exit 130' INT TERM HUP

if [[ ! -f $build/build.ninja ]]; then
  nice cmake --preset dev -B "$build" > /dev/null
fi
echo "building $build ..." >&2
nice cmake --build "$build" > "$build/inject-build.log" 2>&1 || { cat "$build/inject-build.log" >&2; exit 1; }

mapfile -t every_suite < <(suites_for "")
if ((baseline)); then
  echo "the suites without a fault ..." >&2
  if first=$(run_suites "${every_suite[@]}"); then :; else
    echo "the suites fail without a fault ($first): see $build/inject-ctest.log" >&2
    exit 1
  fi
fi

results=$build/injected-faults.txt
row() { printf '%-44s %-14s %5s  %-30s %s\n' "$@" | tee -a "$results"; }
: > "$results"
row fault result secs file "first failing test"
caught=0 total=0
for i in "${!names[@]}"; do
  name=${names[i]}
  chosen "$name" || continue
  total=$((total + 1))
  start=$SECONDS
  file=$(where "${finds[i]}") || true
  if [[ -z $file ]]; then
    row "$name" "did not apply" 0 "-" "-"
    continue
  fi
  cp -- "$file" "$build/inject-original"
  changed=$file
  FIND=${finds[i]} PUT=${puts[i]} perl -0pi -e 's/\Q$ENV{FIND}\E/$ENV{PUT}/' -- "$file"
  if ! nice cmake --build "$build" > "$build/inject-build.log" 2>&1; then
    restore
    row "$name" "did not build" $((SECONDS - start)) "$file" "-"
    continue
  fi
  mapfile -t suites < <(suites_for "$file")
  if first=$(run_suites "${suites[@]}"); then
    row "$name" "not caught" $((SECONDS - start)) "$file" "-"
  else
    caught=$((caught + 1))
    row "$name" "caught" $((SECONDS - start)) "$file" "$first"
  fi
  restore
done
echo "$caught of $total faults caught ($(date -u +%F), $(git -C "$root" rev-parse --short HEAD))" | tee -a "$results"
