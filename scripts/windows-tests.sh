#!/usr/bin/env bash
# Builds the parts of Tolvane that need no Qt as Windows programs, 64-bit (CMake preset
# `windows64`, in build-windows64) and 32-bit (preset `windows`, in build-windows), and has CTest
# run their tests under Wine: the conversion core, the browser launcher on the Windows shell, and
# the version resource. GoogleTest is built first for each from the sources Debian ships (package
# googletest) with the same compiler. Wine runs in a private prefix inside each build folder
# (cmake/wine-emulator.sh), its windows on an Xvfb of this script's own, which it ends however it
# ends itself.
#
# The 64-bit tests run on every machine. The 32-bit build is always compiled and linked; its tests
# run where this machine can start a 32-bit program, which is found out once, by trying. Some
# kernels run no i386 program at all (32-bit emulation switched off).
# Usage: windows-tests.sh
set -euo pipefail

cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}
gtest_source=/usr/src/googletest
wine32_loader=${TOLVANE_WINE32_LOADER:-/usr/lib/wine/wine}

for tool in i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix i686-w64-mingw32-windres \
            x86_64-w64-mingw32-windres /usr/lib/wine/wine64 wineserver chmcmd Xvfb; do
    if ! command -v "$tool" >/dev/null; then
        echo "Windows tests cannot run: $tool is missing (scripts/install-deps.sh test installs it)."
        exit 1
    fi
done
if [ ! -f "$gtest_source/CMakeLists.txt" ]; then
    echo "Windows tests cannot run: no GoogleTest sources in $gtest_source (package googletest)."
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

# The probe: can this machine start a 32-bit program? The i386 Wine loader is one, and the one
# the 32-bit tests need.
if probe=$("$wine32_loader" --version 2>&1); then
    runs_32bit=yes
    echo "Windows: this machine runs 32-bit programs ($wine32_loader: $probe): 64-bit and 32-bit tests run"
else
    runs_32bit=no
    probe=${probe#*line [0-9]*: }  # what the kernel or the shell said, without the script's line
    echo "Windows: this machine runs no 32-bit programs ($wine32_loader: ${probe:-no answer}): 64-bit tests run, the 32-bit build is compiled only"
fi

build_dir() {  # preset -> its build folder
    case $1 in windows) echo "$root/build-windows" ;; windows64) echo "$root/build-windows64" ;; esac
}

build() {  # preset toolchain: GoogleTest for it, then the core, the launcher and their tests
    local preset=$1 toolchain=$root/cmake/$2 build
    build=$(build_dir "$preset")
    # Where the preset looks for it (GTest_DIR).
    quietly cmake -S "$gtest_source" -B "$build/googletest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$build/googletest-install"
    quietly cmake --build "$build/googletest" -j "$jobs"
    quietly cmake --install "$build/googletest"
    quietly cmake --preset "$preset"
    quietly cmake --build --preset "$preset" -j "$jobs"
}

run_tests() {  # preset wine-arch -> prints "P of T tests passed"; fails unless all of them did
    local preset=$1 arch=$2 build results status=0 total=0 passed=0
    build=$(build_dir "$preset")
    # Wine stays up from CTest's reading of the test lists to the last test; that saves starting
    # its service programs around every one of them.
    quietly "$root/cmake/wine-emulator.sh" "$arch" "$build/wine" --start
    results=$build/results.xml
    rm -f "$results"
    quietly ctest --preset "$preset" -j "$jobs" --output-junit "$results" || status=1
    "$root/cmake/wine-emulator.sh" "$arch" "$build/wine" --stop
    # The count comes from CTest's own report: one test case per CTest test, that is per
    # GoogleTest test and per check script.
    if [ -f "$results" ]; then
        total=$(grep -c '<testcase ' "$results" || true)
        passed=$(grep -c '<testcase [^>]*status="run"' "$results" || true)
    fi
    echo "$passed of $total tests passed"
    [ "$status" = 0 ] && [ "$total" != 0 ] && [ "$passed" = "$total" ]
}

echo "Windows: building GoogleTest, the core, the launcher and their tests (64-bit and 32-bit, mingw-w64)"
build windows64 toolchain-mingw-x86_64.cmake
build windows toolchain-mingw-i686.cmake

# Wine first, then the X server its windows were on; also when a step fails or the script is
# interrupted. Nothing else ends the X server: it would outlive a script that fails, or that is
# sent a signal of its own rather than Ctrl-C's to the whole process group.
xvfb_pid=
clean_up() {
    "$root/cmake/wine-emulator.sh" win64 "$(build_dir windows64)/wine" --stop 2>/dev/null || true
    [ "$runs_32bit" = no ] ||
        "$root/cmake/wine-emulator.sh" win32 "$(build_dir windows)/wine" --stop 2>/dev/null || true
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
xvfb_log=$(build_dir windows64)/xvfb.log
exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>"$xvfb_log")
xvfb_pid=$!
if ! read -r -t 30 -u 3 display_number; then
    cat "$xvfb_log" >&2
    echo "Windows tests cannot run: Xvfb did not start (log above)." >&2
    exit 1
fi
exec 3<&-
export TOLVANE_WINE_DISPLAY=:$display_number

failed=0
summary_64=$(run_tests windows64 win64) || failed=1
summary_64=$(tail -n 1 <<<"$summary_64")
if [ "$runs_32bit" = yes ]; then
    summary_32=$(run_tests windows win32) || failed=1
    summary_32=$(tail -n 1 <<<"$summary_32")
else
    summary_32="built, not run (this machine runs no 32-bit programs)"
fi
echo "Windows 64-bit: $summary_64; Windows 32-bit: $summary_32 (Wine: $(/usr/lib/wine/wine64 --version))"
exit "$failed"
