#!/bin/sh
# Runs a command (the Windows suite: ctest in build-windows) with a Wine of
# its own: Xvfb on a free display, a fresh Wine prefix in a temporary folder
# (never ~/.wine), booted once, its wineserver kept up for the whole command
# so each Windows program starts quickly, then shut down and everything
# removed, also when the command fails or the run is interrupted.
#   sh tests/win32/run_with_wine.sh COMMAND [ARGS...]
# Exports to COMMAND: WINEPREFIX, DISPLAY, WINEDEBUG=-all, WINEARCH=win32 and
# WINEDLLOVERRIDES (no Mono or Gecko installer prompts). Exits with COMMAND's
# status; 1 when Wine or Xvfb is missing or does not start.
set -u

fail() { echo "run_with_wine.sh: $*" >&2; exit 1; }
command -v wine > /dev/null || fail "wine is missing (sh scripts/install-wine-deps.sh installs it)"
command -v wineserver > /dev/null || fail "wineserver is missing"
command -v Xvfb > /dev/null || fail "Xvfb is missing (sh scripts/install-wine-deps.sh installs it)"
[ $# -gt 0 ] || fail "usage: run_with_wine.sh COMMAND [ARGS...]"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/kestrom-wine.XXXXXX") || fail "no temporary folder"
xvfb=""
cleanup() {
    if [ -d "$tmp/prefix" ]; then
        WINEPREFIX="$tmp/prefix" wineserver -k > /dev/null 2>&1
        WINEPREFIX="$tmp/prefix" wineserver -w > /dev/null 2>&1
    fi
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2> /dev/null
        wait "$xvfb" 2> /dev/null
    fi
    rm -rf "$tmp"
}
child=""
stop() {
    [ -n "$child" ] && kill "$child" 2> /dev/null
    exit "$1"
}
trap cleanup EXIT
trap 'stop 130' INT
trap 'stop 143' TERM
trap 'stop 129' HUP

# Xvfb picks a free display and tells its number.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3> "$tmp/display" 2> "$tmp/xvfb.log" &
xvfb=$!
i=0
while [ ! -s "$tmp/display" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
[ -s "$tmp/display" ] || { cat "$tmp/xvfb.log" >&2; fail "Xvfb did not start"; }

DISPLAY=":$(head -n 1 "$tmp/display")"
WINEPREFIX="$tmp/prefix"
WINEDEBUG=-all
WINEARCH=win32
WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY WINEPREFIX WINEDEBUG WINEARCH WINEDLLOVERRIDES

# A program that crashes ends with its error, without a crash dialog that
# would wait for a click nobody makes.
cat > "$tmp/no-crash-dialog.reg" << 'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG

start=$(date +%s)
# One wineserver for the whole run, started first: it outlives each program
# (-p), so the services the boot starts stay up and no program starts them
# again (a test program that had to start them was seen to hang at its exit).
mkdir "$WINEPREFIX"
wineserver -p
wineboot -i > "$tmp/wineboot.log" 2>&1 || { cat "$tmp/wineboot.log" >&2; fail "wineboot failed"; }
wine regedit /S "$tmp/no-crash-dialog.reg" > /dev/null 2>&1 || fail "regedit failed"
echo "run_with_wine.sh: Wine prefix booted in $(( $(date +%s) - start )) s (display $DISPLAY)"

# In the background, so that a signal to this script stops it at once.
"$@" &
child=$!
wait "$child"
