# 32-bit Windows with Debian's mingw-w64 cross compiler (package g++-mingw-w64-i686-posix): the
# CMake preset `windows`. scripts/windows-tests.sh builds it and, where this machine runs 32-bit
# programs, runs its tests under Wine.

# core/ keys its SSE2 arithmetic on this name: the x87's 80-bit registers would round
# differently from every other platform.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOLVANE_MINGW_TRIPLET i686-w64-mingw32)
set(TOLVANE_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
