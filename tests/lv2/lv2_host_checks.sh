#!/bin/bash
# The LV2 bundle in LV2 tools we did not write: Debian's lilv-utils (lv2ls,
# lv2info, lv2apply) and lv2-dev's validator. Run by CTest:
#
#   lv2_host_checks.sh CHECK BUILD_DIR SOURCE_DIR SANITIZED KESTROM AUDIO
#
#   validate  lv2_validate finds no error in the bundle's Turtle
#   info      lv2ls and lv2info list both plug-ins, from the build tree, with every port
#             and their X11 editor
#   binaries  the DSP binary needs only the C and C++ runtime (readelf), the editor's
#             binary the window system
#   apply     lv2apply's output equals `kestrom process --block 1` bit for bit
#   ecasound  ecasound's output equals `kestrom process` at the same block size
#   lv2file   lv2file's output equals `kestrom process` at the same block size
#   install   `make install-lv2` puts the bundle where PREFIX, DESTDIR and HOME say,
#             its binaries stripped
#
# KESTROM is the command-line tool, AUDIO kestrom_lv2_audio (a file's first
# channel; the same samples in two files). Hosts find the bundle through LV2_PATH: the build tree and the
# system's LV2 specifications, never ~/.lv2. The offline hosts cannot load a
# plug-in built with the sanitizers, so those runs are skipped (exit 77)
# there, and so are the checks of a host that is not installed.
set -euo pipefail

check=$1 build=$2 source=$3 sanitized=$4 kestrom=$5 audio=$6
bundle=$build/lv2/kestrom.lv2
export LV2_PATH="$build/lv2:/usr/lib/lv2"
mono=urn:tollbrink:kestrom:mono
stereo=urn:tollbrink:kestrom:stereo
controls="in out deep relaxed dual_mono negative power gain_reduction latency"
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

# The shared libraries the binary $1 needs (its NEEDED entries), one a line.
needed() {
    readelf -d "$1" | sed -n 's/^.*(NEEDED).*\[\(.*\)\]$/\1/p'
}

# The material, in $tmp: stereo.wav and mono.wav (its left channel), loud
# enough to be compressed, or the comparisons show little.
make_material() {
    "$kestrom" generate-demo "$tmp/stereo.wav" --seconds 2 --no-sync
    "$audio" left "$tmp/stereo.wav" "$tmp/mono.wav"
    local reduction
    reduction=$("$kestrom" process "$tmp/stereo.wav" "$tmp/x.wav" --block 1 --no-sync |
        sed -n 's/^average gain reduction: *\([0-9.]*\) dB$/\1/p')
    awk -v r="$reduction" 'BEGIN { exit !(r > 3) }' || fail "the material is hardly compressed ($reduction dB)"
}

# Settings that a host's float port values and the tool's 32-bit host control
# values carry exactly (defaults, switches, the knobs' ends), as
# "port value ...|kestrom options".
settings=("|" "in -20|--in -20" "in 20|--in 20" "out -20|--out -20" "out 20|--out 20" "deep 1|--deep"
    "relaxed 1|--relaxed" "dual_mono 1|--dual-mono" "negative 1|--negative" "power 0|--power off"
    "in 20 out -20 deep 1 relaxed 1 dual_mono 1 negative 1|--in 20 --out -20 --deep --relaxed --dual-mono --negative")

# Each host run: run_HOST URI IN OUT BLOCK [PORT VALUE]...
run_lv2apply() {
    local uri=$1 in=$2 out=$3 args=()
    shift 4
    while (($#)); do args+=(-c "$1" "$2"); shift 2; done
    lv2apply -i "$in" -o "$out" "${args[@]}" "$uri" > /dev/null
}

run_lv2file() {
    local uri=$1 in=$2 out=$3 block=$4 args=()
    shift 4
    while (($#)); do args+=(-p "$1:$2"); shift 2; done
    lv2file -i "$in" -o "$out" -b "$block" --ignore-clipping "${args[@]}" "$uri" > /dev/null
}

# The plug-in's control ports, inputs and outputs, in port order, "SYMBOL
# DEFAULT" a line, as lv2info lists them.
control_ports() {
    lv2info "$1" | awk '
        function flush() { if (control && symbol != "") print symbol, value }
        /^\tPort [0-9]+:/ { flush(); control = 0; symbol = value = "" }
        /#ControlPort$/ { control = 1 }
        /^\t\tSymbol:/ { symbol = $2 }
        /^\t\tDefault:/ { value = $2 }
        END { flush() }'
}

# ecasound takes a value for every control port, in port order, the outputs
# counted too (their values go nowhere); a port it is not given is 0, not the
# port's default, so every input gets its default unless the setting names it.
run_ecasound() {
    local uri=$1 in=$2 out=$3 block=$4 channels=2 symbol default values=""
    local -A value=()
    shift 4
    while (($#)); do value[$1]=$2; shift 2; done
    while read -r symbol default; do values+=",${value[$symbol]:-$default}"; done < <(control_ports "$uri")
    [ "$uri" != "$mono" ] || channels=1
    ecasound -q -b:"$block" -f:f32_le,"$channels" -i:"$in" -o:"$out" -elv2:"$uri$values" > "$tmp/ecasound.log" 2>&1 ||
        { cat "$tmp/ecasound.log" >&2; return 1; }
}

# HOST's output against `kestrom process --block BLOCK`, both plug-ins, every
# setting above. ecasound writes no sample beyond full scale (it limits its
# float output to -1 ... 1), so its files are compared with the tool's
# limited the same way.
compare_with_tool() {
    local host=$1 block=$2 runs=0 plugin uri file setting pairs options compare=same
    [ "$host" != ecasound ] || compare=limited
    make_material
    for plugin in "$mono $tmp/mono.wav" "$stereo $tmp/stereo.wav"; do
        read -r uri file <<< "$plugin"
        for setting in "${settings[@]}"; do
            read -r -a pairs <<< "${setting%%|*}"
            read -r -a options <<< "${setting#*|}"
            rm -f "$tmp/host.wav"  # ecasound writes into a file that is there, keeping its format
            "run_$host" "$uri" "$file" "$tmp/host.wav" "$block" "${pairs[@]}" || fail "$host ${pairs[*]} $uri"
            "$kestrom" process "$file" "$tmp/tool.wav" --block "$block" --quiet --no-sync "${options[@]}"
            "$audio" "$compare" "$tmp/host.wav" "$tmp/tool.wav" ||
                fail "$uri in $host with '${setting%%|*}' differs from kestrom process"
            runs=$((runs + 1))
        done
    done
    echo "$runs runs of $host equal kestrom process --block $block, bit for bit"
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

binaries)
    # The DSP binary is loaded into every host's audio process: the C and C++
    # runtime only (and the sanitizers' runtimes in such a build).
    needed "$bundle/kestrom.so" > "$tmp/needed"
    grep -q '^libc\.so' "$tmp/needed" || fail "readelf shows no libc among kestrom.so's needs: $(cat "$tmp/needed")"
    while read -r library; do
        case $library in
        libc.so.* | libstdc++.so.* | libgcc_s.so.* | libm.so.* | ld-linux*.so.*) ;;
        libasan.so.* | libubsan.so.*) [ "$sanitized" = ON ] || fail "kestrom.so needs $library" ;;
        *) fail "kestrom.so (the DSP binary) needs $library" ;;
        esac
    done < "$tmp/needed"
    needed "$bundle/kestrom_ui.so" | grep -q '^libX11\.so' || fail "kestrom_ui.so does not need libX11"
    echo "kestrom.so needs only: $(tr '\n' ' ' < "$tmp/needed")"
    ;;

apply)
    [ "$sanitized" != ON ] || { echo "skipped: sanitizer build"; exit 77; }
    compare_with_tool lv2apply 1
    ;;

ecasound | lv2file)
    [ "$sanitized" != ON ] || { echo "skipped: sanitizer build"; exit 77; }
    command -v "$check" > /dev/null || { echo "skipped: $check is not installed (scripts/install-deps.sh)"; exit 77; }
    compare_with_tool "$check" 512
    ;;

install)
    env -u DESTDIR -u PREFIX -u INSTALL_STRIP make -s -C "$source" install-lv2 BUILD="$build" DESTDIR="$tmp/stage" PREFIX=/usr/local
    staged=$tmp/stage/usr/local/lib/lv2/kestrom.lv2
    for f in "$bundle"/*; do
        [ -f "$staged/${f##*/}" ] || fail "${f##*/} not under DESTDIR/PREFIX"
        case $f in
        *.so)
            # Stripped: no symbol table and no debugging information.
            ! readelf -S "$staged/${f##*/}" | grep -q -e '\.symtab' -e '\.debug_' || fail "${f##*/} is not stripped"
            [ "$(stat -c %s "$staged/${f##*/}")" -lt "$(stat -c %s "$f")" ] || fail "${f##*/} is no smaller"
            ;;
        *) cmp "$f" "$staged/${f##*/}" || fail "${f##*/} differs under DESTDIR/PREFIX" ;;
        esac
    done
    env -u DESTDIR -u PREFIX -u INSTALL_STRIP HOME="$tmp/home" make -s -C "$source" install-lv2 BUILD="$build"
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
