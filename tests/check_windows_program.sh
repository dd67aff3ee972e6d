#!/usr/bin/env bash
# The Windows program runs on any Windows as it is, copied alone with its help and pictures: it
# is a GUI program (no console window opens beside it) of the word size it is shipped as, and
# every DLL it imports is one of the system DLLs that every Windows has. What would slip in
# otherwise is the compiler's run-time (libstdc++-6.dll, libgcc_s_*.dll, libwinpthread-1.dll),
# which a link that is not static imports and no Windows has.
# Usage: check_windows_program.sh EXE x86|x64 OBJDUMP   (OBJDUMP: the mingw-w64 toolchain's)
# Reads the PE headers with `objdump -p`; prints what it found and exits 1 at the first thing
# wrong.
set -euo pipefail

if [ $# -ne 3 ]; then
    echo "usage: check_windows_program.sh EXE x86|x64 OBJDUMP" >&2
    exit 2
fi
exe=$1
arch=$2
objdump=$3
case $arch in
x86) want_magic=010b want_kind=PE32 ;;
x64) want_magic=020b want_kind=PE32+ ;;
*)
    echo "check_windows_program.sh: ARCH is x86 or x64, not '$arch'" >&2
    exit 2
    ;;
esac
name=$(basename "$exe")

fail() {
    echo "FAIL: $name $*"
    exit 1
}

# The system DLLs of every Windows the program is for, in lower case.
allowed=(
    kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll shell32.dll shlwapi.dll
    advapi32.dll ole32.dll oleaut32.dll oleacc.dll uxtheme.dll version.dll msvcrt.dll psapi.dll
    hhctrl.ocx
)

[ -f "$exe" ] || fail "does not exist"
headers=$("$objdump" -p "$exe" 2>&1) || fail "is no program objdump reads: $headers"

magic=$(awk '$1 == "Magic" { print $2; exit }' <<<"$headers")
[ -n "$magic" ] || fail "has no PE optional header (no Magic in objdump -p)"
echo "$name: Magic $magic"
[ "$magic" = "$want_magic" ] ||
    fail "is not $want_kind (Magic $magic, $want_kind is $want_magic), which $arch needs"

subsystem=$(awk '$1 == "Subsystem" { print $0; exit }' <<<"$headers" | sed 's/^Subsystem[[:space:]]*//')
echo "$name: Subsystem $subsystem"
[ "${subsystem%%[[:space:]]*}" = 00000002 ] ||
    fail "is not a Windows GUI program (Subsystem $subsystem; Windows GUI is 2)"

mapfile -t dlls < <(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$headers" | tr -d '\r')
# Every Windows program imports from KERNEL32 at least: none at all means the headers were not
# read as they should have been, not that the program needs nothing.
[ ${#dlls[@]} -gt 0 ] || fail "imports no DLL at all, as objdump -p reads it"
echo "$name: imports ${dlls[*]}"
for dll in "${dlls[@]}"; do
    lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
    if [[ " ${allowed[*]} " != *" $lower "* ]]; then
        fail "needs $dll, which is not one of the DLLs every Windows has"
    fi
done
echo "PASS: $name is a $want_kind Windows GUI program that needs only DLLs every Windows has"
