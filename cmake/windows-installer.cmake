# The Windows Installer package (.msi) of a Windows build, made with wixl (Debian package wixl)
# from resources/tolvane.wxs.in, and the test that installs and removes it under Wine.
#
#   tolvane_add_installer(DIST_DIR <folder> DEPENDS <targets...>)
#       Target tolvane_msi, built with ALL: ${CMAKE_BINARY_DIR}/tolvane-<version>-<arch>.msi with
#       the files of DIST_DIR, which the DEPENDS targets lay out. Without wixl there is no
#       target, only a message, and the rest of the build goes on.
#   tolvane_add_installer_test()
#       Test windows_installer_install_removal, when BUILD_TESTING is on and the package is built.

find_program(TOLVANE_WIXL wixl DOC "wixl, which builds the Windows Installer package")

# What the program needs beside it, as the package installs it; the dist folder holds these.
set(TOLVANE_INSTALLED_FILES tolvane.exe tolvane.chm banner_top.gif searchfor.gif go.gif)

function(tolvane_add_installer)
    cmake_parse_arguments(PARSE_ARGV 0 arg "" "DIST_DIR" "DEPENDS")
    if(NOT arg_DIST_DIR OR arg_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "tolvane_add_installer(DIST_DIR <folder> DEPENDS <targets...>)")
    endif()
    cmake_path(ABSOLUTE_PATH arg_DIST_DIR BASE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
               NORMALIZE OUTPUT_VARIABLE dist_dir)

    # Each architecture is a product of its own to Windows Installer, with an upgrade code of its
    # own: installing the 64-bit package must not remove a 32-bit one as an older version of it.
    # The shortcut's component is the same resource only within one architecture as well.
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$")
        set(arch x86)
        set(TOLVANE_MSI_PROGRAM_FILES ProgramFilesFolder)
        set(TOLVANE_MSI_WIN64 no)
        set(TOLVANE_MSI_UPGRADE_CODE 54C8AF65-7424-4081-AFD8-0A9029740E8C)
        set(TOLVANE_MSI_SHORTCUT_GUID E382E6D3-A391-4FC4-8C64-9F099F315A4B)
    elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
        set(arch x64)
        set(TOLVANE_MSI_PROGRAM_FILES ProgramFiles64Folder)
        set(TOLVANE_MSI_WIN64 yes)
        set(TOLVANE_MSI_UPGRADE_CODE 9CC88F56-A004-4781-8C56-866063B456B2)
        set(TOLVANE_MSI_SHORTCUT_GUID 9FB92237-39A1-4B33-ABD2-23A5351E614E)
    else()
        message(FATAL_ERROR "No Windows Installer package for the processor "
                            "'${CMAKE_SYSTEM_PROCESSOR}': only i686 (x86) and x86_64 (x64)")
    endif()

    if(NOT TOLVANE_WIXL)
        message(STATUS "wixl not found: no Windows Installer package (target tolvane_msi) in "
                       "this build; scripts/install-deps.sh test installs it")
        return()
    endif()

    # Windows Installer compares major.minor.build, each a number of its own: the minor number
    # is there even for a version of one number, and what comes after the build is left out,
    # as Windows Installer would ignore it. The uninstall entry shows the version as written here.
    set(TOLVANE_MSI_VERSION "${PROJECT_VERSION_MAJOR}")
    if(PROJECT_VERSION_MINOR STREQUAL "")
        string(APPEND TOLVANE_MSI_VERSION ".0")
    else()
        string(APPEND TOLVANE_MSI_VERSION ".${PROJECT_VERSION_MINOR}")
    endif()
    if(NOT PROJECT_VERSION_PATCH STREQUAL "")
        string(APPEND TOLVANE_MSI_VERSION ".${PROJECT_VERSION_PATCH}")
    endif()

    # wixl finds no file by an absolute path (0.101 takes every path as relative to the folder
    # it runs in or to the .wxs file's): it runs beside the .wxs, and the paths are relative to
    # that folder. Blanks in them do no harm.
    set(work_dir "${CMAKE_BINARY_DIR}/installer-${arch}")
    set(wxs "${work_dir}/tolvane.wxs")
    set(icon "${PROJECT_SOURCE_DIR}/resources/tolvane.ico")
    file(RELATIVE_PATH TOLVANE_MSI_DIST_DIR "${work_dir}" "${dist_dir}")
    file(RELATIVE_PATH TOLVANE_MSI_ICON "${work_dir}" "${icon}")
    if(TOLVANE_MSI_DIST_DIR STREQUAL "")
        set(TOLVANE_MSI_DIST_DIR .)
    endif()
    configure_file("${PROJECT_SOURCE_DIR}/resources/tolvane.wxs.in" "${wxs}" @ONLY)

    set(msi "${CMAKE_BINARY_DIR}/${PROJECT_NAME}-${PROJECT_VERSION}-${arch}.msi")
    list(TRANSFORM TOLVANE_INSTALLED_FILES PREPEND "${dist_dir}/" OUTPUT_VARIABLE dist_files)
    add_custom_command(
        OUTPUT "${msi}"
        COMMAND "${TOLVANE_WIXL}" --arch ${arch} --output "${msi}" "${wxs}"
        WORKING_DIRECTORY "${work_dir}"
        DEPENDS "${wxs}" "${icon}" ${dist_files} ${arg_DEPENDS}
        COMMENT "Windows Installer package ${PROJECT_NAME}-${PROJECT_VERSION}-${arch}.msi"
        VERBATIM)
    add_custom_target(tolvane_msi ALL DEPENDS "${msi}")
    if(arg_DEPENDS)
        add_dependencies(tolvane_msi ${arg_DEPENDS})
    endif()

    # For tolvane_add_installer_test, which may be called from another folder.
    set_property(GLOBAL PROPERTY TOLVANE_MSI "${msi}")
    if(arch STREQUAL x86)
        set_property(GLOBAL PROPERTY TOLVANE_MSI_PROGRAM_FILES "Program Files (x86)")
    else()
        set_property(GLOBAL PROPERTY TOLVANE_MSI_PROGRAM_FILES "Program Files")
    endif()
    set_property(GLOBAL PROPERTY TOLVANE_MSI_VERSION "${TOLVANE_MSI_VERSION}")
endfunction()

# The package installed and removed by 64-bit Wine, which installs the 32-bit package as well, so
# the test runs also where the machine starts no 32-bit program. It runs the build machine's
# script, not a program of the build: CTest's emulator has nothing to do with it. Its Wine
# prefix is its own, as an installation there is what the test looks at. CHECK_PROGRAM names the
# target of a Windows program that starts the installed program and looks where it keeps its
# files; it needs a display, so the test shares the window tests' lock.
function(tolvane_add_installer_test)
    cmake_parse_arguments(arg "" "CHECK_PROGRAM" "" ${ARGN})
    get_property(msi GLOBAL PROPERTY TOLVANE_MSI)
    if(NOT BUILD_TESTING OR NOT TARGET tolvane_msi OR NOT msi)
        return()
    endif()
    get_property(program_files GLOBAL PROPERTY TOLVANE_MSI_PROGRAM_FILES)
    get_property(version GLOBAL PROPERTY TOLVANE_MSI_VERSION)
    add_test(NAME windows_installer_install_removal
             COMMAND "${PROJECT_SOURCE_DIR}/tests/check_windows_installer.sh" "${msi}"
                     "${program_files}" "${TOLVANE_PROGRAM_TITLE}" "${version}"
                     "${CMAKE_BINARY_DIR}/wine-installer"
                     $<$<BOOL:${arg_CHECK_PROGRAM}>:$<TARGET_FILE:${arg_CHECK_PROGRAM}>>)
    set_tests_properties(windows_installer_install_removal PROPERTIES
        RESOURCE_LOCK "wine_installer;display" TIMEOUT 900 LABELS installation)
endfunction()
