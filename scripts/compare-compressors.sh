#!/bin/sh
# Compares Kestrom's LV2 plug-in (from the build tree) with the LV2
# compressors Debian ships, all in one host of ours (kestrom_lv2_compare) on
# the same material. Kestrom runs in its three detection modes: normal (every
# control at its default), Relaxed on, Negative on. It reports the CPU time
# per stereo frame of each (512-frame blocks; rounds in which all take turns,
# medians over the rounds, ratios to Kestrom normal's within each round), the
# steady-state gain reduction and output level of a level sweep (Kestrom's
# modes each at In -20, 0 and +20 dB: the Negative curve falls as the input
# rises), and the gain reduction over time of the demo music.
#
#   sh scripts/install-compare-deps.sh     # once: lilv and the compressors
#   scripts/compare-compressors.sh [OUTDIR]  # default out/compare
#
# BUILD names the build folder (default build; configured here if it is not
# yet). OUTDIR receives input.wav (the demo music), table.md (the figures
# alone), report.md (the same with the machine, the packages and the date),
# gain-reduction-sweep.png, output-level-sweep.png and
# gain-reduction-over-time.png.
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
# lilv takes LV2_PATH's folders as file URIs: a relative one (from a relative
# BUILD) makes it fail, so the bundle's folder is named in full.
build=$(cd "$build" && pwd)

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
echo "plots: $out/gain-reduction-sweep.png $out/output-level-sweep.png $out/gain-reduction-over-time.png"
