#!/bin/sh
# Compares Kestrom's LV2 plug-in (from the build tree) with the LV2
# compressors Debian ships, all in one host of ours (kestrom_lv2_compare) on
# the same material: CPU time per stereo frame as a ratio to Kestrom's, the
# steady-state gain reduction of a level sweep, and the gain reduction over
# time of the demo music.
#
#   sh scripts/install-compare-deps.sh     # once: lilv and the compressors
#   scripts/compare-compressors.sh [OUTDIR]  # default out/compare
#
# BUILD names the build folder (default build; configured here if it is not
# yet). OUTDIR receives input.wav (the demo music), table.md (the figures
# alone), report.md (the same with the machine, the packages and the date),
# gain-reduction-sweep.png and gain-reduction-over-time.png.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-out/compare}
build=${BUILD:-$root/build}

if [ ! -f "$build/CMakeCache.txt" ]; then
    generator=""
    if command -v ninja >/dev/null 2>&1; then generator="-G Ninja"; fi
    # shellcheck disable=SC2086
    cmake -S "$root" -B "$build" $generator -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
if ! cmake --build "$build" --target kestrom kestrom_lv2_bundle kestrom_lv2_compare >/dev/null; then
    echo "building failed; without lilv there is no kestrom_lv2_compare: run sh scripts/install-compare-deps.sh" >&2
    exit 1
fi

mkdir -p "$out"
"$build/bin/kestrom" generate-demo "$out/input.wav" --no-sync

# The build tree's bundle and the system's plug-ins only, so that no
# installed copy of Kestrom stands in for the one just built.
LV2_PATH="$build/lv2:/usr/lib/lv2:/usr/local/lib/lv2" \
    "$build/bin/kestrom_lv2_compare" --input "$out/input.wav" --out "$out" >/dev/null

{
    echo "$(date -u '+%Y-%m-%d %H:%M UTC'); $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), $(nproc) cores;"
    echo "Debian $(cat /etc/debian_version), load average $(cut -d' ' -f1-3 /proc/loadavg) at the end;"
    printf 'packages:'
    for p in x42-plugins zam-plugins lsp-plugins-lv2 calf-plugins swh-lv2; do
        printf ' %s %s' "$p" "$(dpkg-query -W -f='${Version}' "$p" 2>/dev/null || echo missing)"
    done
    echo "; $(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt") build."
    echo
    cat "$out/table.md"
} > "$out/report.md"
cat "$out/report.md"
echo "plots: $out/gain-reduction-sweep.png $out/gain-reduction-over-time.png"
