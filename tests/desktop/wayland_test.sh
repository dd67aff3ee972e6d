#!/usr/bin/env bash
# The program as a native Wayland client, in Weston's headless compositor: on the search panel the
# page is drawn (its orange shows in a screenshot); on the conversion panel the window is drawn
# with its four fields; the window carries the desktop entry's id as its app id and a fixed size;
# the splash and the main window are titled with their captions alone; SIGTERM ends it cleanly.
# Weston's headless back-end has no seat, so nothing can be typed into the window here: typing is
# left to the X11 tests and docs/ManualTests.md.
# Usage: wayland_test.sh BUILD_DIR OUTPUT_DIR (the screenshots are kept in OUTPUT_DIR)
set -euo pipefail
build=$1
output=$2
app_id=org.example.Tolvane
page_colour="#FF9933"

work=$(mktemp -d)
. "$(dirname "$0")/../../scripts/desktop_session.sh"
cleanup() {
    [ -z "${program_pid:-}" ] || kill -KILL "$program_pid" 2>/dev/null || true
    [ -z "${weston_pid:-}" ] || { kill -TERM "$weston_pid" 2>/dev/null && wait "$weston_pid"; } || true
    rm -rf "$work"
}
trap cleanup EXIT
require_tools weston weston-screenshooter convert
mkdir -p "$output"

# A compositor of our own: its own runtime folder (Wayland clients insist on mode 0700) and
# socket; --debug lets weston-screenshooter take pictures. The proto scope logs every request
# the compositor receives, so its log shows the titles it was given.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
export WAYLAND_DISPLAY=tolvane-test
weston --backend=headless-backend.so --use-pixman --width=1024 --height=768 --no-config \
    --socket="$WAYLAND_DISPLAY" --debug --logger-scopes=log,proto --log="$work/weston.log" \
    2>>"$work/weston.log" &
weston_pid=$!
weston_listens() {
    kill -0 "$weston_pid" 2>/dev/null || { cat "$work/weston.log" >&2; fail "weston ended"; }
    [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ]
}
wait_for "weston's socket" 60 weston_listens
unset DISPLAY

# Starts a staged copy on the given panel, with its Wayland requests logged; Weston's log of this
# run starts after line log_start.
start_program() {
    local program
    program=$(stage "$build" "$1" "$2")
    log_start=$(wc -l <"$work/weston.log")
    QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client "$program" >"$work/$1.out" 2>"$work/$1.log" &
    program_pid=$!
    current=$1
}

program_running() {
    program_alive "$program_pid" "$work/$current.log"
}

# The whole output, as weston-screenshooter saves it into the folder it runs in.
screenshot() {
    local folder=$work/shots
    rm -rf "$folder" && mkdir "$folder"
    (cd "$folder" && weston-screenshooter >/dev/null 2>&1) || return 1
    local pictures=("$folder"/*.png)
    [ -f "${pictures[0]}" ] && mv "${pictures[0]}" "$work/screen.png"
}

page_drawn() {
    program_running && screenshot || return 1
    local pixels
    pixels=$(convert "$work/screen.png" -format %c histogram:info:- |
        awk -v colour="$page_colour" 'index($0, colour) { print $1 + 0 }')
    [ "${pixels:-0}" -ge 2000 ]
}

# The four fields are the only pure white areas of their size on the screen: the splash, the
# other white area, is one larger block. Exactly four of the same size, one under the other.
fields_drawn() {
    program_running && screenshot || return 1
    white_areas "$work/screen.png" >"$work/white-areas"
    [ "$(wc -l <"$work/white-areas")" -eq 4 ] || return 1
    # Same width and height (WxH+X+Y), same left edge, and rows in increasing order.
    awk -F'[x+]' 'NR == 1 { w = $1; h = $2; x = $3; y = $4; next }
                  $1 != w || $2 != h || $3 != x || $4 <= y { bad = 1 } { y = $4 }
                  END { exit bad }' "$work/white-areas"
}

# The toplevel that carries the main window's title also carries the app id and a size that
# cannot change (minimum = maximum). Object ids are reused, so the last toplevel with the title.
check_toplevel() {
    local log=$work/$current.log toplevel
    toplevel=$(grep -o "xdg_toplevel@[0-9]*\.set_title(\"$title\")" "$log" | tail -1 | cut -d. -f1)
    [ -n "$toplevel" ] || fail "no toplevel titled \"$title\" on the $current panel"
    local ids
    ids=$(grep -o 'xdg_toplevel@[0-9]*\.set_app_id("[^"]*")' "$log" | sed 's/.*(//; s/)//' | sort -u)
    [ "$ids" = "\"$app_id\"" ] || fail "app ids sent: ${ids:-none}; wanted only \"$app_id\""
    local minimum maximum
    minimum=$(grep -o "$toplevel\.set_min_size([0-9, ]*)" "$log" | tail -1 | sed "s/.*(//; s/)//")
    maximum=$(grep -o "$toplevel\.set_max_size([0-9, ]*)" "$log" | tail -1 | sed "s/.*(//; s/)//")
    [ -n "$minimum" ] && [ "$minimum" = "$maximum" ] && [ "$minimum" != "0, 0" ] ||
        fail "the main window's size can change: minimum ${minimum:-none}, maximum ${maximum:-none}"
}

# Every title Weston was given in this run: the splash's and the main window's, nothing added.
check_titles() {
    local titles wanted
    titles=$(tail -n "+$((log_start + 1))" "$work/weston.log" |
        grep -ao 'xdg_toplevel@[0-9]*\.set_title("[^"]*")' | sed 's/.*set_title(//; s/)$//' |
        sort -u)
    wanted=$(printf '"%s"\n' Varnel "$title" | sort -u)
    [ "$titles" = "$wanted" ] || fail "toplevel titles on the $current panel:" \
        "${titles//$'\n'/, }; wanted ${wanted//$'\n'/, }"
}

start_program search "start search"
wait_for "the search page's $page_colour in a screenshot" 180 page_drawn
cp "$work/screen.png" "$output/wayland-search.png"
check_toplevel
check_titles
stop_program "$program_pid"
program_pid=

start_program conversion "start temp"
wait_for "the conversion panel's four fields in a screenshot" 120 fields_drawn
cp "$work/screen.png" "$output/wayland-conversion.png"
check_toplevel
check_titles
stop_program "$program_pid"
program_pid=

echo "native Wayland: page and fields drawn, app id $app_id; screenshots in $output"
