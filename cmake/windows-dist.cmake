# The Windows program as a user gets it, and a check that it runs on any Windows as it is.
# Included by the top-level CMakeLists.txt for the Win32 front end, after the help file and the
# pictures (resources/help_and_pictures.cmake).
#
# tolvane_add_windows_dist(TARGET <exe-target>)
#   Target tolvane_dist (built by default) lays out ${CMAKE_BINARY_DIR}/dist/Tolvane/: the
#   program, tolvane.chm and the search page's three pictures, the folder a user copies anywhere
#   and starts the program from. Each file is copied again when it changes.
#
# tolvane_add_windows_program_check(TARGET <exe-target> ARCH <x86|x64>)
#   When BUILD_TESTING is on, the test windows_program_self_contained: the program is a Windows
#   GUI program of that word size that needs no DLL beyond those every Windows has
#   (tests/check_windows_program.sh, run here with the toolchain's objdump, not under Wine).

include_guard(GLOBAL)

function(tolvane_add_windows_dist)
    cmake_parse_arguments(PARSE_ARGV 0 arg "" "TARGET" "")
    if(NOT arg_TARGET OR arg_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "tolvane_add_windows_dist(TARGET <exe-target>)")
    endif()
    if(NOT TARGET "${arg_TARGET}")
        message(FATAL_ERROR "tolvane_add_windows_dist: no target '${arg_TARGET}'")
    endif()
    if(NOT TOLVANE_HELP_CHM OR NOT TOLVANE_WEB_PICTURES)
        message(FATAL_ERROR "tolvane_add_windows_dist: include resources/help_and_pictures.cmake "
                            "before it is called")
    endif()

    set(dist_dir "${CMAKE_BINARY_DIR}/dist/Tolvane")
    # OUTPUT takes no target's generator expressions, so the name is worked out here as CMake
    # names the file.
    get_target_property(exe_name "${arg_TARGET}" OUTPUT_NAME)
    if(NOT exe_name)
        set(exe_name "${arg_TARGET}")
    endif()
    set(dist_exe "${dist_dir}/${exe_name}${CMAKE_EXECUTABLE_SUFFIX}")
    # Naming the target in DEPENDS copies the program again whenever it is linked again.
    add_custom_command(
        OUTPUT "${dist_exe}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${dist_dir}"
        COMMAND "${CMAKE_COMMAND}" -E copy "$<TARGET_FILE:${arg_TARGET}>" "${dist_exe}"
        DEPENDS "${arg_TARGET}"
        COMMENT "Copying ${exe_name}${CMAKE_EXECUTABLE_SUFFIX} to dist/Tolvane"
        VERBATIM
    )
    set(dist_files "${dist_exe}")
    foreach(file IN LISTS TOLVANE_HELP_CHM TOLVANE_WEB_PICTURES)
        cmake_path(GET file FILENAME name)
        add_custom_command(
            OUTPUT "${dist_dir}/${name}"
            COMMAND "${CMAKE_COMMAND}" -E make_directory "${dist_dir}"
            COMMAND "${CMAKE_COMMAND}" -E copy "${file}" "${dist_dir}/${name}"
            DEPENDS "${file}"
            COMMENT "Copying ${name} to dist/Tolvane"
            VERBATIM
        )
        list(APPEND dist_files "${dist_dir}/${name}")
    endforeach()
    add_custom_target(tolvane_dist ALL DEPENDS ${dist_files})
    # The help file and the pictures are made by rules of another folder, which the Makefile
    # generators see only through their targets.
    add_dependencies(tolvane_dist tolvane_help_file tolvane_web_pictures)
endfunction()

function(tolvane_add_windows_program_check)
    cmake_parse_arguments(PARSE_ARGV 0 arg "" "TARGET;ARCH" "")
    if(NOT arg_TARGET OR NOT arg_ARCH OR arg_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "tolvane_add_windows_program_check(TARGET <exe-target> ARCH <x86|x64>)")
    endif()
    if(NOT arg_ARCH MATCHES "^(x86|x64)$")
        message(FATAL_ERROR "tolvane_add_windows_program_check: ARCH is x86 or x64, not "
                            "'${arg_ARCH}'")
    endif()
    if(NOT BUILD_TESTING)
        return()
    endif()
    if(NOT CMAKE_OBJDUMP)
        message(FATAL_ERROR "tolvane_add_windows_program_check: the toolchain has no objdump "
                            "(package binutils-mingw-w64)")
    endif()
    # The script is the command, so CTest runs it here: the cross-compiling emulator only wraps
    # the project's own executables.
    add_test(NAME windows_program_self_contained
             COMMAND "${PROJECT_SOURCE_DIR}/tests/check_windows_program.sh"
                     "$<TARGET_FILE:${arg_TARGET}>" "${arg_ARCH}" "${CMAKE_OBJDUMP}")
endfunction()
