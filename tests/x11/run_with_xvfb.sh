#!/bin/bash
# Runs a test program on a display of its own: Xvfb on a free display number.
# Exit 77 (skipped) when Xvfb is missing or does not start.
#   run_with_xvfb.sh PROGRAM [ARGS...]
set -u
command -v Xvfb > /dev/null || { echo "skipped: no Xvfb"; exit 77; }
tmp=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3> "$tmp/display" 2> "$tmp/xvfb.log" &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$tmp"' EXIT
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || { echo "skipped: Xvfb did not start"; cat "$tmp/xvfb.log"; exit 77; }
DISPLAY=":$(head -n1 "$tmp/display")" "$@"
