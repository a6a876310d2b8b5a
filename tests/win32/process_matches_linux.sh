#!/bin/sh
# kestrom.exe under Wine renders what the Linux kestrom renders: the demo
# music, mono and stereo, through every combination of the four mode switches
# (Deep, Relaxed, Dual Mono, Negative) with Power on, and with Power off.
# Counts the bit-identical samples of each run; fails when any sample differs
# by more than 1e-6.
#   sh process_matches_linux.sh WINDOWS-BUILD   (KESTROM_NATIVE_BUILD set)
set -eu
. "$(dirname "$0")/helpers/compare.sh"

linux generate-demo stereo.wav --seconds 2 --no-sync
mono_wav stereo.wav mono.wav

failed=0
total_same=0
for input in mono stereo; do
    for combination in 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 power-off; do
        set -- --in 12 --out 6
        name="$input"
        if [ "$combination" = power-off ]; then
            set -- "$@" --power off
            name="$name power-off"
        else
            [ $((combination & 1)) -eq 0 ] || { set -- "$@" --deep; name="$name deep"; }
            [ $((combination & 2)) -eq 0 ] || { set -- "$@" --relaxed; name="$name relaxed"; }
            [ $((combination & 4)) -eq 0 ] || { set -- "$@" --dual-mono; name="$name dual-mono"; }
            [ $((combination & 8)) -eq 0 ] || { set -- "$@" --negative; name="$name negative"; }
        fi
        linux process "$input.wav" linux.wav "$@" --quiet --no-sync
        windows process "$input.wav" wine.wav "$@" --quiet --no-sync
        compare_samples linux.wav wine.wav "$name" || failed=1
    done
done
exit $failed
