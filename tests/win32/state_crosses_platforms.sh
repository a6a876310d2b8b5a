#!/bin/sh
# A host chunk saved by kestrom.exe under Wine (--save-state) restores on
# Linux (--state) to the same sound, and the reverse; and the two platforms
# save the same settings as the same bytes.
#   sh state_crosses_platforms.sh WINDOWS-BUILD   (KESTROM_NATIVE_BUILD set)
set -eu
. "$(dirname "$0")/helpers/compare.sh"

linux generate-demo music.wav --seconds 1 --no-sync
failed=0

# Saved under Wine, restored on Linux with no other settings.
set -- --in 7 --out -3.5 --deep --negative
windows process music.wav wine.wav "$@" --save-state wine.state --quiet --no-sync
linux process music.wav linux.wav --state wine.state --quiet --no-sync
compare_samples linux.wav wine.wav "saved under Wine, restored on Linux" || failed=1
linux process music.wav unused.wav "$@" --save-state linux-same.state --quiet --no-sync
if ! cmp -s wine.state linux-same.state; then
    echo "the same settings saved as different chunks under Wine and on Linux" >&2
    failed=1
fi

# Saved on Linux, restored under Wine.
set -- --in -4 --out 9 --relaxed --dual-mono
linux process music.wav linux.wav "$@" --save-state linux.state --quiet --no-sync
windows process music.wav wine.wav --state linux.state --quiet --no-sync
compare_samples linux.wav wine.wav "saved on Linux, restored under Wine" || failed=1
exit $failed
