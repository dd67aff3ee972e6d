# shellcheck shell=bash
# What the scripts that run the built program on a display share (the desktop tests in
# tests/desktop/, scripts/make-screenshot.sh, bench/startup.sh): a portable copy of the program, a
# virtual X display, waiting for a condition, and skipping. Sourced; expects $work (a private
# temporary folder) and $build (the build folder).

# CTest shows a test that exits with this code as skipped (SKIP_RETURN_CODE).
readonly skip_code=77

skip() {
    echo "SKIPPED: $*"
    exit "$skip_code"
}

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The main window's title, by which the scripts find it: the build writes it from project().
read -r title <"$build/version/program_title.txt" ||
    fail "no program title in $build: build the project first"
readonly title

require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps.sh test)"
    done
}

# A copy of the program with its plugin, pictures and help, which keeps its own pref.ifm and page;
# the preference line chooses the start panel ("start temp" or "start search").
stage() {
    local build=$1 folder=$work/$2 preference=$3
    mkdir -p "$folder"
    cp "$build/tolvane" "$build/tolvane_web_engine.so" "$build"/*.gif "$build/tolvane.chm" "$folder/"
    printf '%s\r\n' "$preference" >"$folder/pref.ifm"
    echo "$folder/tolvane"
}

# wait_for WHAT SECONDS COMMAND...: runs COMMAND until it succeeds; fails naming WHAT when SECONDS
# have passed. The limits are generous: they only end a run that has gone wrong.
wait_for() {
    local what=$1 seconds=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || fail "gave up after ${seconds} s waiting for $what"
        sleep 0.1
    done
}

# A virtual X display of its own: Xvfb picks a free display number and writes it once it accepts
# clients. Sets DISPLAY and xvfb_pid.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    wait_for "Xvfb's display number" 60 test -s "$work/display"
    DISPLAY=:$(cat "$work/display")
    export DISPLAY
}

# start_on_x11 PANEL PREFERENCE: a staged copy of $build on the X display, its output in
# $work/program.log. Sets program_pid.
start_on_x11() {
    local program
    program=$(stage "$build" "$1" "$2")
    QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 &
    program_pid=$!
}

# main_window_shown: whether the main window of the program started last is on the X display;
# sets main_window.
main_window_shown() {
    program_alive "$program_pid" "$work/program.log"
    main_window=$(xdotool search --onlyvisible --name "^${title//./\\.}\$" 2>/dev/null | head -1)
    [ -n "$main_window" ]
}

# program_alive PID LOG: fails, showing the end of LOG, when the program has ended on its own.
program_alive() {
    kill -0 "$1" 2>/dev/null && return 0
    grep -v '^\[' "$2" | tail -20 >&2
    fail "the program ended on its own"
}

# white_areas PICTURE: the pure white areas of at least 1000 pixels, as WxH+X+Y, top to bottom. On
# the conversion panel these are the four unit fields.
white_areas() {
    convert "$1" -fill black +opaque white -define connected-components:verbose=true \
        -connected-components 8 null: |
        awk '($5 == "srgb(255,255,255)" || $5 == "gray(255)") && $4 >= 1000 { print $2 }' |
        sort -t+ -k3n
}

# Ends the program as a desktop session does and expects it to end cleanly.
stop_program() {
    local pid=$1 status=0
    kill -TERM "$pid" 2>/dev/null || fail "the program had already ended"
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "the program ended with status $status after SIGTERM"
}

# WebEngine's sandbox does not run as root; the tests show the page anyway.
if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
