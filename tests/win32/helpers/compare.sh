# Shell functions the Linux-versus-Wine comparisons share; sourced, not run.
# They need only POSIX tools and GNU od/grep (coreutils, grep).
#   . helpers/compare.sh WINDOWS-BUILD   (KESTROM_NATIVE_BUILD in the environment)

win_build="$(cd "${1:?usage: $0 WINDOWS-BUILD}" && pwd)"
# Without a native build there is nothing to compare with: skipped (77).
if [ -z "${KESTROM_NATIVE_BUILD:-}" ]; then
    echo "KESTROM_NATIVE_BUILD names no native build: nothing to compare with" >&2
    exit 77
fi
native_build="$KESTROM_NATIVE_BUILD"
linux_kestrom="$native_build/bin/kestrom"
windows_kestrom="$win_build/bin/kestrom.exe"
for program in "$linux_kestrom" "$windows_kestrom"; do
    if [ ! -x "$program" ] && [ ! -f "$program" ]; then
        echo "missing $program" >&2
        exit 1
    fi
done
command -v wine >/dev/null || { echo "wine is not installed" >&2; exit 1; }

work="$(mktemp -d "${TMPDIR:-/tmp}/kestrom-win32-XXXXXX")"
trap 'rm -rf "$work"' EXIT INT TERM
# Both programs run in the work folder with relative file names, which Wine
# maps to the same files.
cd "$work"

linux() { "$linux_kestrom" "$@"; }
windows() { wine "$windows_kestrom" "$@"; }

# Byte offset of a WAV file's samples: just past the first "data" chunk header.
data_offset() {
    at="$(grep -boa data "$1" | head -n 1 | cut -d: -f1)"
    [ -n "$at" ] || { echo "no data chunk in $1" >&2; return 1; }
    echo $((at + 8))
}

# The samples of a 32-bit float WAV from its data chunk, one per line, into
# the file $2: as bit patterns (hex), or with $3 = num as numbers.
samples() {
    off="$(data_offset "$1")"
    if [ "${3:-hex}" = num ]; then
        od -An -v -tf4 -w4 -j "$off" "$1" >"$2"
    else
        od -An -v -tx4 -w4 -j "$off" "$1" >"$2"
    fi
}

# Compares the float WAV samples of $1 (Linux) and $2 (Wine), named $3:
# prints the count of bit-identical samples (and the largest difference when
# some differ), and fails when the lengths differ, there are none, or any
# sample differs by more than 1e-6.
compare_samples() {
    samples "$1" a.hex
    samples "$2" b.hex
    if [ "$(wc -l <a.hex)" -ne "$(wc -l <b.hex)" ]; then
        echo "$3: $(wc -l <a.hex) samples on Linux, $(wc -l <b.hex) under Wine" >&2
        return 1
    fi
    if cmp -s a.hex b.hex; then
        # All bit-identical: the numbers are not needed.
        printf "%-40s %d of %d samples bit-identical\n" "$3" "$(wc -l <a.hex)" "$(wc -l <a.hex)"
        [ "$(wc -l <a.hex)" -gt 0 ]
        return
    fi
    samples "$1" a.num num
    samples "$2" b.num num
    paste a.hex b.hex a.num b.num | awk -v what="$3" '
        { n++; if ($1 == $2) same++; else { d = $3 - $4; if (d < 0) d = -d; if (d > worst) worst = d } }
        END {
            printf "%-40s %d of %d samples bit-identical, largest difference %g\n", what, same, n, worst
            exit (n == 0 || worst > 1e-6) ? 1 : 0
        }'
}

# A mono 32-bit float WAV ($2) holding the samples of the float WAV $1 as one
# channel (a stereo file's interleaved samples read as a mono signal at the
# same rate: a valid input with everything the music has and more).
le32() {
    printf "\\$(printf %03o $(($1 & 255)))\\$(printf %03o $(($1 >> 8 & 255)))\\$(printf %03o $(($1 >> 16 & 255)))\\$(printf %03o $(($1 >> 24 & 255)))"
}
le16() { printf "\\$(printf %03o $(($1 & 255)))\\$(printf %03o $(($1 >> 8 & 255)))"; }
mono_wav() {
    off="$(data_offset "$1")"
    bytes=$(( ($(wc -c <"$1") - off) / 4 * 4 ))
    {
        printf RIFF; le32 $((36 + bytes)); printf WAVEfmt\ ; le32 16
        le16 3; le16 1; le32 48000; le32 192000; le16 4; le16 32
        printf data; le32 "$bytes"
        tail -c +"$((off + 1))" "$1" | head -c "$bytes"
    } >"$2"
}
