#!/usr/bin/env bash
# Runs a Windows console program under Wine for CTest: no display, no Wine
# chatter, no offer to install Mono or Gecko, and output with LF line ends,
# so that GoogleTest's test list reads as on Linux (the C runtime writes
# CR LF to anything but a console).
#
# Wine's helper processes outlive the program by seconds and keep whatever
# they inherited open; given CTest's pipes they would hold every test until
# they quit. They get files instead, which are passed on once the program
# has ended.
set -euo pipefail

export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/sumlark-wine}"
unset DISPLAY WAYLAND_DISPLAY

# A new prefix goes on setting itself up in the background long after its
# first program has ended, and every test meanwhile takes seconds instead of
# a fraction of one; finish that first.
if [ ! -d "$WINEPREFIX" ]; then
  wineboot --init </dev/null >/dev/null 2>&1
  wineserver -w
fi

# Wine's own server quits, and its helpers with it, as soon as a program
# ends, and starting them again costs seconds per test. A server that lingers
# a few seconds carries them from one test to the next; when one is already
# running this does nothing.
wineserver -p5 </dev/null >/dev/null 2>&1 || true

out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

status=0
wine "$@" </dev/null >"$out" 2>"$err" || status=$?
tr -d '\r' <"$out"
tr -d '\r' <"$err" >&2
exit "$status"
