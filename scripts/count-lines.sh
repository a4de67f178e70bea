#!/usr/bin/env bash
# Counts the lines that hold code (not blank, not only a comment) in the
# program and in its tests, and prints both with the tests' share of the
# program. With --check it fails when the tests pass 35 % of the program.
#
#   scripts/count-lines.sh [--check]
#
# C++ and JavaScript files alike; a comment is a // line or a /* ... */ block,
# and a line with code before its comment counts.
set -euo pipefail
cd "$(dirname "$0")/.."

limit=35
check=0
case "${1:-}" in
  --check) check=1 ;;
  "") ;;
  *) echo "usage: $0 [--check]" >&2; exit 2 ;;
esac

# The program: every source folder, and the web page's scripts once they exist.
program_dirs=(generation services pdf ui cli wording platform bench web)
# The tests: the suites, the fuzz targets and the web page's own tests.
test_dirs=(tests fuzz web/tests)

sources() { # folders...: the C++ and JavaScript files under those that exist
  local dirs=() d
  for d in "$@"; do if [[ -d $d ]]; then dirs+=("$d"); fi; done
  ((${#dirs[@]})) || return 0
  find "${dirs[@]}" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.js' -o -name '*.mjs' \) \
    -not -path '*/node_modules/*' -print0
}

code_lines() { # NUL-separated file names on stdin: one number
  xargs -0 -r cat -- | awk '
    {
      line = $0; code = 0
      while (length(line) > 0) {
        if (inblock) {
          end = index(line, "*/")
          if (!end) { line = ""; break }
          line = substr(line, end + 2); inblock = 0
          continue
        }
        sub(/^[ \t\r]+/, "", line)
        if (line == "" || substr(line, 1, 2) == "//") break
        if (substr(line, 1, 2) == "/*") { inblock = 1; line = substr(line, 3); continue }
        code = 1; break
      }
      if (code) n++
    }
    END { print n + 0 }'
}

tests=$(sources "${test_dirs[@]}" | code_lines)
program=$(sources "${program_dirs[@]}" | grep -zv "^web/tests/"  | code_lines)

share=$(awk -v t="$tests" -v p="$program" 'BEGIN { printf "%.1f", p ? 100 * t / p : 0 }')
printf 'code lines: program %d, tests %d; tests are %s %% of the program (aim: at most %d %%)\n' \
  "$program" "$tests" "$share" "$limit"

if ((check)) && awk -v t="$tests" -v p="$program" -v l="$limit" 'BEGIN { exit !(100 * t > l * p) }'; then
  echo "the tests are over $limit % of the program" >&2
  exit 1
fi
