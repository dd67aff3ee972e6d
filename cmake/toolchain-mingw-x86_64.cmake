# 64-bit Windows with Debian's mingw-w64 cross compiler (package g++-mingw-w64-x86-64-posix): the
# CMake preset `windows64`, whose tests run under wine64 on every machine.

set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOLVANE_MINGW_TRIPLET x86_64-w64-mingw32)
set(TOLVANE_WINE_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
