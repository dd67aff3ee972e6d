#!/usr/bin/env bash
# The windows as a real X11 window manager (openbox, on Xvfb) sees them. The main window can be
# minimised but neither maximised nor resized, has a task-bar entry, and its WM_CLASS is the one
# the desktop entry names. The splash screen is a splash (task bars leave those out), can be
# neither minimised, maximised, resized nor closed, and is gone before the main window is mapped.
# Each window, the splash, the main window and those opened from it, is titled with its caption
# alone in _NET_WM_NAME, the title that title bars, task bars and pagers show.
#
# The splash lives for a few milliseconds only, too briefly to be read reliably from outside.
# So the window manager runs behind xtrace, which logs every request it makes: the properties it
# gave the splash are read from that log afterwards, with no race against the program.
# Usage: window_manager_test.sh BUILD_DIR OUTPUT_DIR DESKTOP_FILE
set -euo pipefail
build=$1
output=$2
desktop_file=$3

work=$(mktemp -d)
. "$(dirname "$0")/../../scripts/desktop_session.sh"
cleanup() {
    local pid
    for pid in "${program_pid:-}" "${wm_pid:-}" "${xvfb_pid:-}"; do
        [ -z "$pid" ] || { kill -TERM "$pid" 2>/dev/null && wait "$pid"; } || true
    done
    [ -z "${fake_lock:-}" ] || rm -f "$fake_lock"
    rm -rf "$work"
}
trap cleanup EXIT
require_tools Xvfb openbox xtrace xprop xdotool import
mkdir -p "$output"

start_xvfb

# xtrace needs a display number of its own to listen on; a lock file holding a live process id
# keeps X servers started meanwhile off it.
for number in $(seq 200 299); do
    if (set -C && printf '%10d\n' $$ >"/tmp/.X$number-lock") 2>/dev/null; then
        if [ ! -e "/tmp/.X11-unix/X$number" ]; then
            fake_lock=/tmp/.X$number-lock
            break
        fi
        rm -f "/tmp/.X$number-lock"
    fi
done
[ -n "${fake_lock:-}" ] || fail "no free display number for xtrace"
XDG_CONFIG_HOME=$work/config xtrace -n -o "$work/openbox.trace" -d "$DISPLAY" -D ":$number" -- \
    openbox --sm-disable --startup "touch $work/wm-started" >"$work/openbox.log" 2>&1 &
wm_pid=$!
# Openbox runs its start-up command once it has read its settings and taken the screen; a window
# mapped before then waits for it.
wm_started() {
    kill -0 "$wm_pid" 2>/dev/null || { cat "$work/openbox.log" >&2; fail "openbox ended"; }
    [ -e "$work/wm-started" ]
}
wait_for "openbox to start" 60 wm_started

start_on_x11 conversion "start temp"

# Managed: openbox has announced what the user may do with the window.
main_window_managed() {
    main_window_shown && xprop -id "$main_window" _NET_WM_ALLOWED_ACTIONS | grep -q ' = '
}
wait_for "the main window, managed by openbox" 120 main_window_managed
import -window root "$output/openbox-conversion.png"

# has LIST ATOM / lacks LIST ATOM...: LIST is what xprop or the trace says of one property.
has() {
    grep -qw -- "$2" <<<"$1" || fail "$3: $2 is missing from: $1"
}
lacks() {
    local list=$1 what=$2 atom
    shift 2
    for atom in "$@"; do
        ! grep -qw -- "$atom" <<<"$list" || fail "$what: $atom should not be in: $list"
    done
}

actions=$(xprop -id "$main_window" _NET_WM_ALLOWED_ACTIONS)
has "$actions" _NET_WM_ACTION_MINIMIZE "main window"
has "$actions" _NET_WM_ACTION_CLOSE "main window"
lacks "$actions" "main window" _NET_WM_ACTION_MAXIMIZE_HORZ _NET_WM_ACTION_MAXIMIZE_VERT \
    _NET_WM_ACTION_RESIZE
lacks "$(xprop -id "$main_window" _NET_WM_STATE)" "main window" _NET_WM_STATE_SKIP_TASKBAR
has "$(xprop -id "$main_window" _NET_WM_WINDOW_TYPE)" _NET_WM_WINDOW_TYPE_NORMAL "main window"

# Desktops on X11 find the window's desktop entry, and so its icon, by WM_CLASS.
wm_class=$(xprop -id "$main_window" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
entry_class=$(sed -n 's/^StartupWMClass=//p' "$desktop_file")
[ -n "$wm_class" ] && [ "$wm_class" = "$entry_class" ] ||
    fail "WM_CLASS \"$wm_class\", but the desktop entry names StartupWMClass \"$entry_class\""

# --- The titles the desktop shows ---------------------------------------------------------------
# _NET_WM_NAME, not WM_NAME or Qt's windowTitle(): what Qt adds to a caption shows only there.
titled() { # WINDOW CAPTION WHAT
    local shown
    shown=$(LC_ALL=C.UTF-8 xprop -id "$1" _NET_WM_NAME |
        sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
    [ "$shown" = "$2" ] || fail "$3 is titled \"$shown\" on the desktop, not \"$2\""
}
titled "$main_window" "$title" "the main window"

main_window_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$main_window" ]; }
# XTEST keys go to the window with the focus, which an earlier dialog may still have.
press() {
    xdotool windowactivate "$main_window"
    wait_for "the main window to be active" 30 main_window_active
    xdotool key "$@"
}
# A window of the program that openbox manages and that was not there before; sets window. Found
# by neither title nor position, so a wrong title fails as such. Menus are not managed.
seen=" $main_window "
new_window_managed() {
    program_alive "$program_pid" "$work/program.log"
    local candidate
    for candidate in $(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null); do
        [[ "$seen" != *" $candidate "* ]] || continue
        xprop -id "$candidate" _NET_WM_ALLOWED_ACTIONS | grep -q ' = ' || continue
        window=$candidate
        seen+="$candidate "
        return 0
    done
    return 1
}
opens() { # WHAT CAPTION PICTURE KEYS...: the keys, typed into the main window, open WHAT
    local what=$1 caption=$2 picture=$3
    shift 3
    press "$@"
    wait_for "$what, managed by openbox" 60 new_window_managed
    import -window root "$output/$picture"
    titled "$window" "$caption" "$what"
}
opens "the Preferences dialog" Preferences openbox-preferences.png alt+p
opens "the help window" "$title Help" openbox-help.png F1
# The Help menu opens on its first entry, Content; About is the next.
opens "the About box" "About $title" openbox-about.png alt+h Down Return

# --- The splash, from what openbox did while the program started --------------------------------
trace=$work/openbox.trace
hex() { od -An -tx1 -v | tr -s ' \n' ' ' | sed 's/^ //; s/ $//; s/ /,0x/g; s/^/0x/'; }
property_writes() { # WINDOW PROPERTY: openbox's writes of PROPERTY on WINDOW, oldest first
    grep -F "ChangeProperty mode=Replace(0x00) window=$1 property=" "$trace" | grep -F "(\"$2\")"
}
# openbox names a window's type in _OB_APP_TYPE from its _NET_WM_WINDOW_TYPE.
mapfile -t splashes < <(grep -F '("_OB_APP_TYPE")' "$trace" |
    grep -F "data=$(printf splash | hex);" | sed 's/.* window=\(0x[0-9a-f]*\) .*/\1/' | sort -u)
# None: openbox did not get to the splash within the 2 s the program waits for it to be drawn.
[ "${#splashes[@]}" -eq 1 ] || fail "openbox managed ${#splashes[@]} splash windows, not one"
splash=${splashes[0]}
splash_title=$(property_writes "$splash" _OB_APP_TITLE | tail -1 | sed 's/.*data=//; s/;$//; s/0x/\\x/g; s/,//g')
[ "$(printf '%b' "$splash_title")" = Varnel ] ||
    fail "the splash window is titled \"$(printf '%b' "$splash_title")\""
actions=$(property_writes "$splash" _NET_WM_ALLOWED_ACTIONS | tail -1)
[ -n "$actions" ] || fail "openbox never said what may be done with the splash"
lacks "$actions" "splash" _NET_WM_ACTION_MINIMIZE _NET_WM_ACTION_MAXIMIZE_HORZ \
    _NET_WM_ACTION_MAXIMIZE_VERT _NET_WM_ACTION_RESIZE _NET_WM_ACTION_CLOSE

# Gone before the main window shows: its unmapping reached openbox before the main window's
# request to be mapped.
main_hex=$(printf '0x%08x' "$main_window")
unmapped=$(grep -n "UnmapNotify(18) event=0x[0-9a-f]* window=$splash " "$trace" | head -1 | cut -d: -f1)
mapped=$(grep -n "MapRequest(20) parent=0x[0-9a-f]* window=$main_hex" "$trace" | head -1 | cut -d: -f1)
[ -n "$unmapped" ] && [ -n "$mapped" ] && [ "$unmapped" -lt "$mapped" ] ||
    fail "the splash was not gone before the main window was mapped (lines ${unmapped:-none}, ${mapped:-none})"

stop_program "$program_pid"
program_pid=
echo "openbox: main window $main_hex and splash $splash as intended; pictures in $output"
