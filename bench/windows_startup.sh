#!/usr/bin/env bash
# Start-up benchmark of the Windows program under Wine: builds it with its floor, a bare window
# with the same controls (bench/win32/), and has bench/win32/startup_bench start each in turns on
# an Xvfb of this script's own, with Wine's server and service programs kept running for all the
# runs, so that every start is a warm one. Prints the medians and the ratios program / floor.
# Usage: bench/windows_startup.sh [windows64|windows] [runs]
#   windows64 (the default): 64-bit, build-windows64, under wine64
#   windows:                 32-bit, build-windows, where this machine runs 32-bit programs
set -euo pipefail

cd "$(dirname "$0")/.."
root=$PWD
preset=${1:-windows64}
runs=${2:-15}
jobs=${JOBS:-2}
gtest_source=/usr/src/googletest
case $preset in
windows64) arch=win64 toolchain=toolchain-mingw-x86_64.cmake loader=/usr/lib/wine/wine64 ;;
windows) arch=win32 toolchain=toolchain-mingw-i686.cmake loader=${TOLVANE_WINE32_LOADER:-/usr/lib/wine/wine} ;;
*)
    echo "usage: bench/windows_startup.sh [windows64|windows] [runs]" >&2
    exit 2
    ;;
esac
build=$root/build-$preset

for tool in Xvfb wineserver "$loader"; do
    command -v "$tool" >/dev/null || { echo "windows_startup.sh: $tool is missing" >&2; exit 1; }
done
if ! probe=$("$loader" --version 2>&1); then
    echo "windows_startup.sh: this machine cannot start $loader (${probe##*: }); try windows64" >&2
    exit 1
fi

quietly() {  # runs a step, showing its output only when it fails
    local log
    log=$(mktemp)
    if ! "$@" >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        return 1
    fi
    rm -f "$log"
}

# The preset's build has the tests too, and looks for GoogleTest built for it (GTest_DIR), as
# scripts/windows-tests.sh builds it; only the benchmark's targets are built here.
echo "windows_startup.sh: building $preset (bare_window, startup_bench, tolvane)"
if [ ! -d "$build/googletest-install" ]; then
    quietly cmake -S "$gtest_source" -B "$build/googletest" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$build/googletest-install"
    quietly cmake --build "$build/googletest" -j "$jobs"
    quietly cmake --install "$build/googletest"
fi
quietly cmake --preset "$preset"
quietly cmake --build --preset "$preset" -j "$jobs" --target startup_bench

# Wine first, then the X server its windows were on; also when a step fails or the script is
# interrupted.
xvfb_pid=
clean_up() {
    "$root/cmake/wine-emulator.sh" "$arch" "$build/wine" --stop 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap clean_up EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# A free display number, which Xvfb picks and writes on its standard output once it takes
# connections. Local connections only, so it needs no authorisation.
xvfb_log=$build/bench-xvfb.log
exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>"$xvfb_log")
xvfb_pid=$!
if ! read -r -t 30 -u 3 display_number; then
    cat "$xvfb_log" >&2
    echo "windows_startup.sh: Xvfb did not start (log above)" >&2
    exit 1
fi
exec 3<&-
export TOLVANE_WINE_DISPLAY=:$display_number

quietly "$root/cmake/wine-emulator.sh" "$arch" "$build/wine" --start
echo "windows_startup.sh: $runs runs of each on display :$display_number"
"$root/cmake/wine-emulator.sh" "$arch" "$build/wine" "$build/bench/win32/startup_bench.exe" "$runs"
