#!/bin/sh
# Checks a built Windows module (Kestrom.dpm) as a host will see it: a 32-bit
# PE DLL that exports exactly its four entry points, undecorated, imports
# only DLLs every Windows system has (the compiler's runtime is linked in),
# and carries the editor's seven pictures as "PNG" resources 101-107. Given
# the tool (kestrom.exe) too, checks that it is a 32-bit PE program importing
# only system DLLs as well.
# Exit status 0 when all holds; otherwise each failure is printed.
#   sh scripts/check-windows-module.sh build-windows/bin/Kestrom.dpm [build-windows/bin/kestrom.exe]
set -eu

module="${1:?usage: check-windows-module.sh MODULE [TOOL]}"
tool="${2:-}"
objdump="${OBJDUMP:-i686-w64-mingw32-objdump}"
failed=0
fail() { echo "FAIL: $module: $*" >&2; failed=1; }

# Imports of the dump in $dump: system DLLs only, compared without regard to
# case. Sets $imports.
allowed=" kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll shell32.dll advapi32.dll wininet.dll msvcrt.dll "
check_imports() {
    imports="$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)"
    [ -n "$imports" ] || fail "imports nothing (no import table?)"
    for dll in $imports; do
        case "$allowed" in
        *" $dll "*) ;;
        *) fail "imports $dll, which is not a system DLL" ;;
        esac
    done
}

if [ -n "$tool" ]; then
    dump="$("$objdump" -p "$tool")" || { echo "FAIL: $objdump cannot read $tool" >&2; exit 1; }
    module_name="$module"
    module="$tool"
    printf '%s\n' "$dump" | grep -q 'file format pei-i386' || fail "not a 32-bit x86 PE file"
    printf '%s\n' "$dump" | grep -Eq '^[[:space:]]+DLL$' && fail "a DLL, not a program"
    check_imports
    [ "$failed" -ne 0 ] || echo "$tool: PE32 program; imports $(echo $imports)"
    module="$module_name"
fi

dump="$("$objdump" -p "$module")" || { echo "FAIL: $objdump cannot read $module" >&2; exit 1; }

printf '%s\n' "$dump" | grep -q 'file format pei-i386' || fail "not a 32-bit x86 PE file"
printf '%s\n' "$dump" | grep -Eq '^Magic[[:space:]]+010b' || fail "no PE32 optional header"
printf '%s\n' "$dump" | grep -Eq '^[[:space:]]+DLL$' || fail "not a DLL"

# The export names, one per line, sorted.
exports="$(printf '%s\n' "$dump" | awk '
    /^\[Ordinal\/Name Pointer\] Table/ { names = 1; next }
    names && NF == 0 { names = 0 }
    names { sub(/^[[:space:]]*\[[[:space:]]*[0-9]+\][[:space:]]*/, ""); print }' | sort)"
expected="$(printf '%s\n' NewPlugIn WinPlugInClose WinPlugInOpen _PI_GetRoutineDescriptor | sort)"
if [ "$exports" != "$expected" ]; then
    fail "exports are [$(echo $exports)], expected [$(echo $expected)]"
fi

check_imports

# The pictures: seven resources of type "PNG" with the IDs 101 to 107 (0x65-0x6b).
ids="$(printf '%s\n' "$dump" | awk '
    /^The \.rsrc Resource Directory section/ { rsrc = 1 }
    rsrc && /Entry: name: .*: PNG,/ { png = 1; next }
    rsrc && png && /Entry: name:/ { png = 0 }
    rsrc && png && /Entry: ID: 0x/ && /Value: 0x8/ { sub(/.*Entry: ID: /, ""); sub(/,.*/, ""); print }' |
    head -n 7 | tr '\n' ' ')"
if [ "$ids" != "0x000065 0x000066 0x000067 0x000068 0x000069 0x00006a 0x00006b " ]; then
    fail "PNG resources are [$ids], expected IDs 101-107"
fi

if [ "$failed" -ne 0 ]; then
    exit 1
fi
echo "$module: PE32 DLL; exports $(echo $exports); imports $(echo $imports); PNG resources 101-107"
