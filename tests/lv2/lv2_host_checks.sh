#!/bin/bash
# The LV2 bundle in LV2 tools we did not write: Debian's lilv-utils (lv2ls,
# lv2info, lv2apply) and lv2-dev's validator. Run by CTest:
#
#   lv2_host_checks.sh CHECK BUILD_DIR SOURCE_DIR SANITIZED KESTROM AUDIO
#
#   validate  lv2_validate finds no error in the bundle's Turtle
#   info      lv2ls and lv2info list both plug-ins, from the build tree, with every port
#             and their X11 editor
#   apply     lv2apply's output equals `kestrom process --block 1` bit for bit
#   install   `make install-lv2` puts the bundle where PREFIX, DESTDIR and HOME say
#
# KESTROM is the command-line tool, AUDIO kestrom_lv2_audio (a file's first
# channel; the same samples in two files). Hosts find the bundle through LV2_PATH: the build tree and the
# system's LV2 specifications, never ~/.lv2. lv2apply cannot load a plug-in
# built with the sanitizers, so those runs are skipped (exit 77) there.
set -euo pipefail

check=$1 build=$2 source=$3 sanitized=$4 kestrom=$5 audio=$6
bundle=$build/lv2/kestrom.lv2
export LV2_PATH="$build/lv2:/usr/lib/lv2"
mono=urn:tollbrink:kestrom:mono
stereo=urn:tollbrink:kestrom:stereo
controls="in out deep relaxed dual_mono negative power gain_reduction latency enabled"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# lv2info of URI: the plug-in comes from bundle FROM and has exactly the
# ports named after it.
check_info() {
    local uri=$1 from=$2 count=0 symbol
    shift 2
    lv2info "$uri" > "$tmp/info" || fail "lv2info $uri"
    grep -q "Binary: *file://$from/kestrom.so$" "$tmp/info" || fail "$uri not from $from: $(grep Binary: "$tmp/info")"
    for symbol in "$@"; do
        grep -q "Symbol: *$symbol$" "$tmp/info" || fail "$uri has no port '$symbol'"
        count=$((count + 1))
    done
    [ "$(grep -c '^[[:space:]]*Port [0-9]*:' "$tmp/info")" -eq "$count" ] || fail "$uri has not $count ports"
    grep -A1 "urn:tollbrink:kestrom:ui$" "$tmp/info" | grep -q "Class: *http://lv2plug.in/ns/extensions/ui#X11UI" ||
        fail "$uri has no X11 editor"
}

case $check in
validate)
    lv2_validate "$bundle"/*.ttl 2>&1 | tee "$tmp/out" || fail "lv2_validate"
    grep -q "Found 0 errors" "$tmp/out" && ! grep -q "^error:" "$tmp/out" || fail "lv2_validate reported errors"
    ;;

info)
    lv2ls > "$tmp/list"
    grep -qx "$mono" "$tmp/list" && grep -qx "$stereo" "$tmp/list" || fail "lv2ls: $(cat "$tmp/list")"
    # shellcheck disable=SC2086
    check_info "$mono" "$bundle" $controls input output
    grep -q "Has latency: *yes, reported by port 8" "$tmp/info" || fail "no latency port"
    grep -A1 "Presets:" "$tmp/info" | grep -q "Default" || fail "no default preset"
    # shellcheck disable=SC2086
    check_info "$stereo" "$bundle" $controls input_l input_r output_l output_r
    echo "lv2info lists both plug-ins with every port"
    ;;

apply)
    [ "$sanitized" != ON ] || { echo "skipped: sanitizer build"; exit 77; }
    "$kestrom" generate-demo "$tmp/stereo.wav" --seconds 2 --no-sync
    "$audio" left "$tmp/stereo.wav" "$tmp/mono.wav"
    # The material must be compressed, or the comparison shows little.
    reduction=$("$kestrom" process "$tmp/stereo.wav" "$tmp/x.wav" --block 1 --no-sync |
        sed -n 's/^average gain reduction: *\([0-9.]*\) dB$/\1/p')
    awk -v r="$reduction" 'BEGIN { exit !(r > 3) }' || fail "the material is hardly compressed ($reduction dB)"

    # Settings both paths carry exactly: "lv2apply controls|kestrom options".
    settings=("|" "in -20|--in -20" "in 20|--in 20" "out -20|--out -20" "out 20|--out 20" "deep 1|--deep"
        "relaxed 1|--relaxed" "dual_mono 1|--dual-mono" "negative 1|--negative" "power 0|--power off"
        "in 20 out -20 deep 1 relaxed 1 dual_mono 1 negative 1|--in 20 --out -20 --deep --relaxed --dual-mono --negative")
    runs=0
    for plugin in "$mono $tmp/mono.wav" "$stereo $tmp/stereo.wav"; do
        read -r uri file <<< "$plugin"
        for setting in "${settings[@]}"; do
            read -r -a pairs <<< "${setting%%|*}"
            read -r -a options <<< "${setting#*|}"
            args=()
            for ((i = 0; i < ${#pairs[@]}; i += 2)); do args+=(-c "${pairs[i]}" "${pairs[i + 1]}"); done
            lv2apply -i "$file" -o "$tmp/lv2.wav" "${args[@]}" "$uri" > /dev/null || fail "lv2apply ${args[*]} $uri"
            "$kestrom" process "$file" "$tmp/tool.wav" --block 1 --quiet --no-sync "${options[@]}"
            "$audio" same "$tmp/lv2.wav" "$tmp/tool.wav" || fail "$uri with '${setting%%|*}' differs from kestrom process"
            runs=$((runs + 1))
        done
    done
    echo "$runs runs of lv2apply equal kestrom process --block 1, bit for bit"
    ;;

install)
    env -u DESTDIR -u PREFIX make -s -C "$source" install-lv2 BUILD="$build" DESTDIR="$tmp/stage" PREFIX=/usr/local
    for f in "$bundle"/*; do
        cmp "$f" "$tmp/stage/usr/local/lib/lv2/kestrom.lv2/${f##*/}" || fail "${f##*/} not under DESTDIR/PREFIX"
    done
    env -u DESTDIR -u PREFIX HOME="$tmp/home" make -s -C "$source" install-lv2 BUILD="$build"
    # The installed bundle stands on its own.
    export LV2_PATH="$tmp/home/.lv2:/usr/lib/lv2"
    # shellcheck disable=SC2086
    check_info "$stereo" "$tmp/home/.lv2/kestrom.lv2" $controls input_l input_r output_l output_r
    if [ "$sanitized" != ON ]; then
        "$kestrom" generate-demo "$tmp/in.wav" --seconds 0.2 --no-sync
        lv2apply -i "$tmp/in.wav" -o "$tmp/installed.wav" "$stereo" > /dev/null
        "$kestrom" process "$tmp/in.wav" "$tmp/tool.wav" --block 1 --quiet --no-sync
        "$audio" same "$tmp/installed.wav" "$tmp/tool.wav" || fail "the installed bundle sounds unlike kestrom process"
    fi
    ;;

*)
    fail "unknown check '$check'"
    ;;
esac
