#!/usr/bin/env bash
# Installs the Windows Installer package under 64-bit Wine, looks for what it must have put there,
# removes it again and looks for anything it left behind.
# Usage: check_windows_installer.sh MSI PROGRAM_FILES_SUBFOLDER TITLE VERSION WINE_PREFIX [CHECK]
#   PROGRAM_FILES_SUBFOLDER  "Program Files" (x64 package) or "Program Files (x86)" (x86 package)
#   TITLE, VERSION           the shortcut's name and the uninstall entry's name and version
#   WINE_PREFIX              the prefix to install into; made when it does not exist
#   CHECK                    a Windows program that starts the installed program, given its
#                            path, and checks where it keeps its files; it needs the display
#                            that TOLVANE_WINE_DISPLAY names
# 64-bit Wine installs both packages, so this runs also where no 32-bit program can start.
#
# Before and after, a snapshot of the prefix: the names of its files and the contents of its
# registry (system.reg, user.reg, userdef.reg). After the removal, whatever is in the second and
# not in the first is left behind by the package, except what Windows Installer keeps for itself:
#   - the folder C:\windows\Installer, its cache, which it makes the first time it installs
#     anything and never removes (only the folder: a package or icon left in it is reported);
#   - empty keys under HKLM\Software\Classes\Installer and
#     HKLM\Software\Microsoft\Windows\CurrentVersion\Installer, the containers of its records of
#     products, features, components and upgrade codes, which it makes and keeps, emptied (a
#     value in them, i.e. a record of this package, is reported);
#   - HKLM\System\CurrentControlSet\Control\Class, where Wine records its display adapter and
#     monitor again, with a new date, every time it starts; no package writes there;
#   - with CHECK, the user's own folder %LOCALAPPDATA%\Tolvane, which the program made and keeps
#     the search page's pictures in: the user's files, which no removal of a program touches,
#     and what the program keeps of its windows and the display in the user's registry.
# Exits 0 when all is well, 1 with a line saying what is wrong.
set -euo pipefail

name=check_windows_installer.sh
if [ $# -ne 5 ] && [ $# -ne 6 ]; then
    echo "usage: $name MSI PROGRAM_FILES_SUBFOLDER TITLE VERSION WINE_PREFIX [CHECK]" >&2
    exit 1
fi
check=${6:-}
[ -f "$1" ] || { echo "$name: FAILED: no package $1"; exit 1; }
msi=$(realpath "$1")
program_files=$2
title=$3
version=$4
prefix=$(realpath -m "$5")
loader=/usr/lib/wine/wine64

fail() {
    echo "$name: FAILED: $*"
    exit 1
}
# Anything else that goes wrong says where, too.
trap 'echo "$name: FAILED: line $LINENO: $BASH_COMMAND ended with $?"' ERR

[ -x "$loader" ] || fail "no 64-bit Wine ($loader; package wine64)"
command -v wineserver >/dev/null || fail "no wineserver (package wine)"

# No display: /qn shows nothing. Wine's menu builder would copy the Start-menu shortcut into the
# build machine's own menus ($HOME/.local/share/applications): it is switched off, so that the
# prefix is all the package touches. Mono and Gecko, which a new prefix offers to install, are
# not wanted either.
unset DISPLAY WAYLAND_DISPLAY
export WINEPREFIX=$prefix WINEARCH=win64 WINELOADER=$loader WINEDEBUG=-all \
       WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LC_ALL=C

wine_wait() {  # Wine writes its registry out when its server ends; the snapshots need it there.
    timeout 300 wineserver -w || fail "Wine's programs in $prefix did not end within 5 minutes"
}

# A prefix of this script's own. A run that did not end well leaves a mark, and the next one
# starts from a new prefix: what that run left installed would otherwise be part of the
# snapshot before. A folder that is not such a prefix is not touched.
owned=$prefix/.tolvane-installer-prefix
ready=$prefix/.tolvane-installer-ready
dirty=$prefix/.tolvane-installer-dirty
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ -e "$prefix" ] && [ ! -e "$owned" ] && [ -n "$(ls -A "$prefix")" ]; then
    fail "$prefix is not a Wine prefix made by this script; name a new folder"
fi
if [ ! -e "$ready" ] || [ -e "$dirty" ]; then
    rm -rf "$prefix"
    mkdir -p "$prefix"
    touch "$owned"
    if ! timeout 600 "$loader" wineboot --init >"$prefix.log" 2>&1 || ! wine_wait; then
        cat "$prefix.log"
        fail "could not make the Wine prefix $prefix"
    fi
    touch "$ready"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

registry_lines() {  # a .reg file -> one line per key and per value, with its key; no timestamps
    awk -v hive="$2" '
        /^WINE REGISTRY/ || /^;;/ || /^#arch=/ { next }
        { if (continued != "") { $0 = continued $0; continued = "" } }
        /\\$/ { continued = substr($0, 1, length($0) - 1); next }
        /^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key); print hive key; next }
        /^#/ || /^$/ { next }
        { print hive key "\t" $0 }' "$1"
}

snapshot() {  # name: the prefix's files and registry, in $work/name.files and $work/name.registry
    (cd "$prefix" && find . -mindepth 1 -path ./dosdevices -prune -o -print |
        grep -v -e '^\./[a-z]*\.reg$' -e '^\./\.tolvane-installer-' | sort) >"$work/$1.files"
    {
        registry_lines "$prefix/system.reg" HKLM
        registry_lines "$prefix/user.reg" HKCU
        registry_lines "$prefix/userdef.reg" 'HKU\.Default'
    } | sort >"$work/$1.registry"
}

reg_value() {  # key value-name [view] -> the value's data, from Wine's own reg; none if none
    { "$loader" reg query "$1" /v "$2" /reg:"${3:-64}" 2>/dev/null || true; } | tr -d '\r' |
        awk -v name="$2" '$1 == name && $2 ~ /^REG_/ { sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]*/, ""); print; exit }'
}

# The uninstall entries, as "view {product code}". Wine writes a 32-bit package's entry in the
# 32-bit view of the registry (Wow6432Node); Windows writes every package's in the 64-bit one.
uninstall_entries() {
    local view
    for view in 64 32; do
        { "$loader" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /reg:$view \
            2>/dev/null || true; } | tr -d '\r' |
            sed -n "s/^HKEY_LOCAL_MACHINE\\\\.*\\\\Uninstall\\\\\\({[^}]*}\\)\$/$view \\1/p"
    done | sort -u
}

squashed() {  # {product code} -> the form Windows Installer's own keys name it by
    local hex
    hex=$(echo "$1" | tr -d '{}-')
    local a=${hex:0:8} b=${hex:8:4} c=${hex:12:4} rest=${hex:16} out i
    out=$(rev <<<"$a")$(rev <<<"$b")$(rev <<<"$c")
    for ((i = 0; i < ${#rest}; i += 2)); do
        out+=${rest:i+1:1}${rest:i:1}
    done
    echo "$out"
}

start_menu_links() {  # the shortcuts named TITLE.lnk in the user's and all users' Start menus
    find "$prefix/drive_c/users"/*/"AppData/Roaming/Microsoft/Windows/Start Menu" \
         "$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu" \
         -name "$title.lnk" 2>/dev/null || true
}

windows_msi="Z:${msi//\//\\}"
folder="$prefix/drive_c/$program_files/Tolvane"
windows_folder="C:\\$program_files\\Tolvane"

# The prefix as it is before, with Wine's start-up writes done, as they are around the install.
"$loader" cmd /c exit >/dev/null 2>&1 || true
wine_wait
before_entries=$(uninstall_entries)
wine_wait
snapshot before
touch "$dirty"

# --- Installed ---
status=0
timeout 600 "$loader" msiexec /i "$windows_msi" /qn >"$work/install.log" 2>&1 || status=$?
wine_wait
[ "$status" = 0 ] || fail "msiexec /i $windows_msi /qn ended with $status: $(tr -d '\r' <"$work/install.log")"

for file in tolvane.exe tolvane.chm banner_top.gif searchfor.gif go.gif; do
    [ -s "$folder/$file" ] || fail "installed, but no $windows_folder\\$file"
done

links=$(start_menu_links)
[ -n "$links" ] || fail "installed, but no shortcut '$title.lnk' in the Start menu"
while IFS= read -r link; do
    grep -qaF "$windows_folder\\tolvane.exe" "$link" ||
        fail "the shortcut ${link#"$prefix/"} does not start $windows_folder\\tolvane.exe"
done <<<"$links"

new_entries=$(comm -13 <(echo "$before_entries") <(uninstall_entries))
[ -n "$new_entries" ] || fail "installed, but no new uninstall entry"
[ "$(wc -l <<<"$new_entries")" = 1 ] ||
    fail "installed, and more than one new uninstall entry: $(tr '\n' ' ' <<<"$new_entries")"
read -r view product <<<"$new_entries"
entry="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product"
shown_name=$(reg_value "$entry" DisplayName "$view")
shown_version=$(reg_value "$entry" DisplayVersion "$view")
[ "$shown_name" = "$title" ] || fail "the uninstall entry $product shows the name '$shown_name', not '$title'"
[ "$shown_version" = "$version" ] ||
    fail "the uninstall entry $product shows the version '$shown_version', not '$version'"
# Add or remove programs takes the product's icon from Windows Installer's record of it.
icon=$(reg_value "HKLM\\Software\\Classes\\Installer\\Products\\$(squashed "$product")" ProductIcon)
[ -n "$icon" ] || fail "installed, but the product $product has no icon"
unix_icon=$prefix/drive_c/${icon#[Cc]:\\}
[ -s "${unix_icon//\\//}" ] || fail "the product's icon $icon is not there"
wine_wait

# --- Used ---
if [ -n "$check" ]; then
    [ -n "${TOLVANE_WINE_DISPLAY:-}" ] ||
        fail "the installed program needs a display: TOLVANE_WINE_DISPLAY (scripts/windows-tests.sh sets it)"
    status=0
    DISPLAY=$TOLVANE_WINE_DISPLAY timeout 600 "$loader" "$check" "$windows_folder\\tolvane.exe" \
        >"$work/check.log" 2>&1 || status=$?
    wine_wait
    [ "$status" = 0 ] || fail "the installed program: $(tr -d '\r' <"$work/check.log")"
fi

# --- Removed ---
status=0
timeout 600 "$loader" msiexec /x "$windows_msi" /qn >"$work/remove.log" 2>&1 || status=$?
wine_wait
[ "$status" = 0 ] || fail "msiexec /x $windows_msi /qn ended with $status: $(tr -d '\r' <"$work/remove.log")"

[ ! -e "$folder" ] ||
    fail "removed, but $windows_folder is still there: $(find "$folder" -mindepth 1 -printf '%P ')"
links=$(start_menu_links)
[ -z "$links" ] || fail "removed, but the shortcut is still there: ${links//"$prefix/"/}"
[ -z "$(uninstall_entries | comm -13 <(echo "$before_entries") -)" ] ||
    fail "removed, but the uninstall entry $product is still there"
wine_wait
snapshot after

left_files=$(comm -13 "$work/before.files" "$work/after.files" | grep -vx './drive_c/windows/Installer' |
    grep -v -E '^\./drive_c/users/[^/]+/AppData/Local/Tolvane(/.*)?$' || true)
[ -z "$left_files" ] || fail "removed, but these files are left: $(tr '\n' ' ' <<<"$left_files")"
left_keys=$(comm -13 "$work/before.registry" "$work/after.registry" |
    grep -v -E '^HKLM\[Software\\\\(Classes\\\\Installer|Microsoft\\\\Windows\\\\CurrentVersion\\\\Installer)(\\\\[^]]*)?\]$' |
    grep -v -E '^HKLM\[System\\\\CurrentControlSet\\\\Control\\\\Class(\\\\|\])' || true)
[ -z "$left_keys" ] || fail "removed, but this is left in the registry: $(head -20 <<<"$left_keys" | tr '\n' ' ')"

rm -f "$dirty"
echo "$name: $(basename "$msi") installed into $windows_folder and removed without a trace"
