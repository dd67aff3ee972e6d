#!/usr/bin/env bash
# Builds the parts of Tolvane that need no Qt as 32-bit Windows programs and runs their tests under
# Wine: the conversion core, the browser launcher on the Windows shell, and the version resource.
# GoogleTest is built from the sources Debian ships (package googletest) with the same compiler.
# Wine runs in a private prefix inside the build folder, without a display.
# Usage: windows-tests.sh [build folder]    (default: build-windows)
set -euo pipefail

cd "$(dirname "$0")/.."
root=$PWD
build=$root/${1:-build-windows}
jobs=${JOBS:-$(nproc)}
toolchain=$root/cmake/toolchain-mingw-i686.cmake
gtest_source=/usr/src/googletest

for tool in i686-w64-mingw32-g++-posix i686-w64-mingw32-windres wine wineserver; do
    if ! command -v "$tool" >/dev/null; then
        echo "Windows tests skipped: $tool is missing (scripts/install-deps.sh test installs it)."
        exit 0
    fi
done
if [ ! -f "$gtest_source/CMakeLists.txt" ]; then
    echo "Windows tests skipped: no GoogleTest sources in $gtest_source (package googletest)."
    exit 0
fi

quietly() {  # runs a step, showing its output only when it fails
    local log
    log=$(mktemp)
    if ! "$@" >"$log" 2>&1; then
        cat "$log"
        rm -f "$log"
        return 1
    fi
    rm -f "$log"
}

echo "Windows: building GoogleTest, the core, the launcher and their tests (32-bit, mingw-w64)"
quietly cmake -S "$gtest_source" -B "$build/googletest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$build/googletest-install"
quietly cmake --build "$build/googletest" -j "$jobs"
quietly cmake --install "$build/googletest"
quietly cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DTOLVANE_WERROR=ON -DTOLVANE_CORE_ONLY=ON -DTOLVANE_BENCHMARKS=OFF \
    -DGTest_DIR="$build/googletest-install/lib/cmake/GTest"
quietly cmake --build "$build" -j "$jobs"

# Console programs only: no display, so no window or installer dialog can wait for anyone.
unset DISPLAY WAYLAND_DISPLAY
export WINEPREFIX=$build/wine WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree="
trap 'wineserver -k 2>/dev/null || true' EXIT
if [ ! -f "$WINEPREFIX/.tolvane-ready" ]; then
    echo "Windows: preparing the Wine prefix $WINEPREFIX (once)"
    rm -rf "$WINEPREFIX"
    quietly timeout 600 wineboot --init
    timeout 300 wineserver -w
    touch "$WINEPREFIX/.tolvane-ready"
fi

mkdir -p "$build/results"
failed=0
total_passed=0
total_ran=0
for program in "$build"/tests/*_tests.exe; do
    name=$(basename "$program" .exe)
    log=$build/results/$name.log
    status=0
    (cd "$(dirname "$program")" && timeout 600 wine "$(basename "$program")") 2>&1 |
        tr -d '\r' >"$log" || status=1
    ran=$(sed -n 's/^\[==========\] \([0-9]*\) tests\{0,1\} from .* ran\..*/\1/p' "$log")
    passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\./\1/p' "$log")
    ran=${ran:-0}
    passed=${passed:-0}
    total_ran=$((total_ran + ran))
    total_passed=$((total_passed + passed))
    if [ "$status" != 0 ] || [ "$ran" = 0 ] || [ "$passed" != "$ran" ]; then
        failed=1
        grep -v '^\[       OK \]\|^\[ RUN      \]' "$log" || true
    fi
    echo "Windows (Wine): $name: $passed of $ran tests passed"
done
echo "Windows (Wine, $(wine --version)): $total_passed of $total_ran tests passed"
exit "$failed"
