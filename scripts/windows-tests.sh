#!/usr/bin/env bash
# Builds the parts of Tolvane that need no Qt as 32-bit Windows programs (CMake preset `windows`,
# in build-windows) and has CTest run their tests under Wine: the conversion core, the browser
# launcher on the Windows shell, and the version resource. GoogleTest is built first from the
# sources Debian ships (package googletest) with the same compiler. Wine runs in a private prefix
# inside the build folder (build-windows/wine), without a display (cmake/wine-emulator.sh).
# Usage: windows-tests.sh
set -euo pipefail

cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-windows
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
# Where the preset `windows` looks for it (GTest_DIR).
quietly cmake -S "$gtest_source" -B "$build/googletest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$build/googletest-install"
quietly cmake --build "$build/googletest" -j "$jobs"
quietly cmake --install "$build/googletest"
quietly cmake --preset windows
# Wine stays up from the test discovery of the build to the last test; that saves starting its
# service programs around every one of them.
wine_prefix=$build/wine
trap '"$root/cmake/wine-emulator.sh" "$wine_prefix" --stop' EXIT
quietly "$root/cmake/wine-emulator.sh" "$wine_prefix" --start
quietly cmake --build --preset windows -j "$jobs"

results=$build/results.xml
rm -f "$results"
status=0
quietly ctest --preset windows -j "$jobs" --output-junit "$results" || status=1

# The count comes from CTest's own report: one test case per GoogleTest test.
total=0
passed=0
if [ -f "$results" ]; then
    total=$(grep -c '<testcase ' "$results" || true)
    passed=$(grep -c '<testcase [^>]*status="run"' "$results" || true)
fi
echo "Windows (Wine, $(wine --version)): $passed of $total tests passed"
if [ "$status" != 0 ] || [ "$total" = 0 ] || [ "$passed" != "$total" ]; then
    exit 1
fi
