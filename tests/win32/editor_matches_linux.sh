#!/bin/sh
# kestrom.exe under Wine shows the editor in a real top-level window, clicks
# it with window messages and captures it from the window's pixels; the
# picture equals the Linux kestrom's of the same state pixel for pixel. Both
# write the PNG with the same libpng and zlib versions from the same pixels,
# so equal pixels give equal files: the files are compared.
#   sh editor_matches_linux.sh WINDOWS-BUILD   (KESTROM_NATIVE_BUILD set; a display for Wine)
set -eu
. "$(dirname "$0")/helpers/compare.sh"

failed=0
# The default editor; settings and a needle; the help card shown by a click,
# Power switched off and Deep switched on by others; the card shown and
# hidden again.
for case in "default|" \
            "settings and needle|--in 5 --out -7.5 --deep --negative --reduction 9" \
            "help card, power and an LED|--in -12 --relaxed --reduction 3 --click 100,30 --click 150,90 --click 40,335" \
            "card shown and hidden|--dual-mono --click 100,30 --click 100,30"; do
    name="${case%%|*}"
    # The options are words without spaces: split on purpose.
    # shellcheck disable=SC2086
    set -- ${case#*|}
    linux editor --png linux.png "$@"
    windows editor --png wine.png "$@"
    if cmp -s linux.png wine.png; then
        echo "$name: the same picture"
    else
        echo "$name: the pictures differ (Linux $(wc -c <linux.png) bytes, Wine $(wc -c <wine.png) bytes)" >&2
        cp linux.png "${KESTROM_KEEP_PICTURES:-/nonexistent}/$name-linux.png" 2>/dev/null || true
        cp wine.png "${KESTROM_KEEP_PICTURES:-/nonexistent}/$name-wine.png" 2>/dev/null || true
        failed=1
    fi
done
exit $failed
