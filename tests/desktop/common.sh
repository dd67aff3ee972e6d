# shellcheck shell=bash
# Shared by the desktop tests and scripts/make-screenshot.sh: a portable copy of the built program,
# waiting for a condition, and skipping. Sourced; expects $work (a private temporary folder).

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
    cp "$build/tolvane" "$build/tolvane_webview.so" "$build"/*.gif "$build/tolvane.chm" "$folder/"
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
