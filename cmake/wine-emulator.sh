#!/usr/bin/env bash
# Runs Windows programs under Wine in a private prefix; the mingw toolchain files make this CMake's
# emulator, so CTest and its test discovery go through it.
# Usage: wine-emulator.sh win32|win64 PREFIX PROGRAM [ARGUMENTS...]   runs a program
#        wine-emulator.sh win32|win64 PREFIX --start | --stop        keeps Wine running for a
#                                                                    series of programs, and ends it
# Without --start every program works too, only slower: Wine then starts and ends its own service
# programs around each one, and the caller waits for them as they hold its output open.
#
# Each word size has its own loader, called directly: Debian's `wine` wrapper takes the i386 one
# whenever wine32 is installed, also for 64-bit programs and on machines that run no i386 program.
# TOLVANE_WINE32_LOADER names another i386 loader (scripts/windows-tests.sh tries it first).
# TOLVANE_WINE_DISPLAY, when set, is the X display the programs' windows open on.
set -euo pipefail

arch=$1
prefix=$(realpath -m "$2")
shift 2
case $arch in
win32) loader=${TOLVANE_WINE32_LOADER:-/usr/lib/wine/wine} ;;
win64) loader=/usr/lib/wine/wine64 ;;
*)
    echo "wine-emulator.sh: the first argument is win32 or win64, not '$arch'" >&2
    exit 2
    ;;
esac

# No display of the caller's: a window or installer dialog could wait there for anyone. The
# window tests name an X server of their own (scripts/windows-tests.sh starts an Xvfb); without
# one, console programs only. Wine's Wayland driver is not used either way.
unset WAYLAND_DISPLAY
if [ -n "${TOLVANE_WINE_DISPLAY:-}" ]; then
    export DISPLAY=$TOLVANE_WINE_DISPLAY
else
    unset DISPLAY
fi
export WINEPREFIX=$prefix WINEARCH=$arch WINELOADER=$loader WINEDEBUG=-all \
       WINEDLLOVERRIDES="mscoree="

# Stopping needs no prefix to be made first; one half made by an interrupted wineboot may still
# have a server to end.
if [ "${1:-}" = --stop ]; then
    if [ -d "$prefix" ]; then
        wineserver -k 2>/dev/null || true
    fi
    exit 0
fi

# The prefix is made once. CTest starts several programs at a time, so whoever comes first makes
# it while the others wait on the lock; two wineboots on one prefix would spoil it.
if [ ! -f "$prefix/.tolvane-ready" ]; then
    mkdir -p "$(dirname "$prefix")"
    exec 9>"$prefix.lock"
    flock 9
    if [ ! -f "$prefix/.tolvane-ready" ]; then
        rm -rf "$prefix"
        log=$prefix.log
        # Always without a display, so that the prefix is the same whether a run with windows or
        # one without makes it, and no dialog of the set-up can wait for anyone.
        if ! timeout 600 env -u DISPLAY "$loader" wineboot --init >"$log" 2>&1 ||
            ! timeout 300 wineserver -w; then
            cat "$log" >&2
            echo "wine-emulator.sh: could not prepare the $arch Wine prefix $prefix" >&2
            exit 1
        fi
        touch "$prefix/.tolvane-ready"
    fi
    exec 9>&-
fi

case ${1:-} in
--start)
    # A server that stays, and its service programs started here with no output to hold open.
    wineserver -k 2>/dev/null || true
    wineserver -p </dev/null >/dev/null 2>&1
    "$loader" cmd /c exit </dev/null >/dev/null 2>&1
    ;;
*)
    # The C run-time writes text with CR LF line ends; GoogleTest's list of tests is read by
    # CMake, which would keep the CR in the names of the test suites.
    "$loader" "$@" | tr -d '\r'
    ;;
esac
