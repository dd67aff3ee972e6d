# 32-bit Windows with Debian's mingw-w64 cross compiler (package g++-mingw-w64-i686): the CMake
# preset `windows`. The programs run under Wine; scripts/windows-tests.sh does all of it.

set(CMAKE_SYSTEM_NAME Windows)
# core/ keys its SSE2 arithmetic on this name: the x87's 80-bit registers would round
# differently from every other platform.
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TOLVANE_MINGW_TRIPLET i686-w64-mingw32)
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

# CTest and the test discovery run the programs under Wine, in a private prefix in the build folder.
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_CURRENT_LIST_DIR}/wine-emulator.sh;${CMAKE_BINARY_DIR}/wine")
