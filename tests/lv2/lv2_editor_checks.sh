#!/bin/bash
# The LV2 editor in a host we did not write: jalv (its GTK front end) under
# Xvfb, with JACK's dummy back end as its audio, loads the stereo plug-in
# with its editor; the editor's window, captured from the X server, must
# equal pixel for pixel the display-less render of the same state
# (`kestrom editor --png`: the defaults, the needle at 0 as silence leaves
# it). Run by CTest:
#
#   lv2_editor_checks.sh BUILD_DIR SANITIZED KESTROM CAPTURE
#
# Exit 77 (skipped) when Xvfb cannot start, or for the sanitizer build, whose
# plug-in a host cannot load. KESTROM_JALV_SCREENSHOT=FILE keeps a picture of
# jalv's whole window (the README's).
set -euo pipefail

build=$1 sanitized=$2 kestrom=$3 capture=$4
[ "$sanitized" != ON ] || { echo "skipped: sanitizer build"; exit 77; }
export LV2_PATH="$build/lv2:/usr/lib/lv2"
tmp=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    for log in "$tmp"/*.log; do [ -s "$log" ] && { echo "== $log" >&2; tail -20 "$log" >&2; }; done
    exit 1
}

command -v Xvfb > /dev/null || { echo "skipped: no Xvfb"; exit 77; }
# Xvfb picks a free display and tells its number.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3> "$tmp/display" 2> "$tmp/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || { echo "skipped: Xvfb did not start"; exit 77; }
export DISPLAY=":$(head -n1 "$tmp/display")"

export JACK_NO_AUDIO_RESERVATION=1 JACK_DEFAULT_SERVER="kestrom-check-$$"
jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 > "$tmp/jackd.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do jack_lsp > /dev/null 2>&1 && break; sleep 0.1; done

"$kestrom" editor --png "$tmp/render.png"
"$kestrom" editor --png "$tmp/render-deep.png" --click 60,340

jalv.gtk3 urn:tollbrink:kestrom:stereo > "$tmp/jalv.log" 2>&1 &
pids+=($!)

# The editor draws at the host's first idle calls; a few tries allow for
# a slow start.
same_as() {
    local reference=$1 i
    for i in $(seq 40); do
        if "$capture" grab Kestrom "$tmp/editor.png" && "$capture" same "$tmp/editor.png" "$reference" > "$tmp/same"; then
            return 0
        fi
        sleep 0.25
    done
    return 1
}
same_as "$tmp/render.png" || fail "jalv's editor differs from kestrom editor --png: $(cat "$tmp/same" 2>/dev/null)"
echo "jalv's editor window equals the display-less render, pixel for pixel"
[ -z "${KESTROM_JALV_SCREENSHOT:-}" ] || "$capture" grab "Kestrom Stereo" "$KESTROM_JALV_SCREENSHOT"

# A click on the Deep LED, sent to the editor's window as the X server
# would, lights it as the same click does in the display-less render.
"$capture" click Kestrom 60 340 || fail "no window to click"
same_as "$tmp/render-deep.png" || fail "after a click on Deep: $(cat "$tmp/same" 2>/dev/null)"
echo "a click on Deep in jalv shows as in the display-less render"
