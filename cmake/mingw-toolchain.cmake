# What the two Windows toolchain files share: Debian's mingw-w64 cross compilers for the triplet
# TOLVANE_MINGW_TRIPLET, static programs, and Wine of the word size TOLVANE_WINE_ARCH as the
# emulator that CTest runs the tests with.

set(CMAKE_SYSTEM_NAME Windows)

# The POSIX thread model: with the win32 one, GCC 12's library has no std::mutex, which
# GoogleTest needs.
set(CMAKE_C_COMPILER ${TOLVANE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOLVANE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TOLVANE_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOLVANE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained programs: no compiler run-time DLLs to put beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CTest runs the programs under Wine, in a private prefix in the build folder. Building never
# runs them (the test lists are read when CTest starts), so a machine that cannot run a build's
# programs still compiles and links it.
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_CURRENT_LIST_DIR}/wine-emulator.sh;${TOLVANE_WINE_ARCH};${CMAKE_BINARY_DIR}/wine")
