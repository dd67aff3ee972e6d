# The help file and the search page's three pictures, beside the program in ${CMAKE_BINARY_DIR}:
# what every front end needs beside its executable at run time.
#
# Included by resources/CMakeLists.txt for the Qt front end and by the top-level CMakeLists.txt
# for the Win32 one, so both get the same files from the same rules. Wherever it is included
# from, its work files go to ${CMAKE_BINARY_DIR}/resources, the folder of resources/.
# Sets in the including scope:
#   TOLVANE_HELP_CHM      ${CMAKE_BINARY_DIR}/tolvane.chm, made by tolvane_help_file
#   TOLVANE_HELP_STAGE    the folder of everything tolvane.chm was compiled from
#   TOLVANE_WEB_PICTURES  the pictures as copied beside the program by tolvane_web_pictures
# Targets (both built by default):
#   tolvane_help_file     compiles help/ into ${CMAKE_BINARY_DIR}/tolvane.chm; the
#                         title in tolvane.hhp.in and about.htm.in comes from project()
#   tolvane_web_pictures  copies web/*.gif beside the program
#
# The pictures are committed as they are (see the README).

find_program(TOLVANE_CHMCMD chmcmd REQUIRED
             DOC "CHM compiler from Free Pascal (Debian package fp-utils)")

block(PROPAGATE TOLVANE_HELP_CHM TOLVANE_HELP_STAGE TOLVANE_WEB_PICTURES)
    set(source_dir "${CMAKE_CURRENT_LIST_DIR}")
    set(work_dir "${CMAKE_BINARY_DIR}/resources")

    # --- Help -------------------------------------------------------------------

    # The files the help holds, in the order of [FILES] in tolvane.hhp, which is made from this list.
    set(tolvane_help_files
        index.htm
        converting.htm
        keypad.htm
        search.htm
        preferences.htm
        about.htm
        help.css
        tolvane.png
    )
    list(JOIN tolvane_help_files "\n" tolvane_help_file_lines)
    # Everything chmcmd reads; those with a .in file name the program's title and are made from
    # project().
    set(help_sources)
    foreach(name IN LISTS tolvane_help_files ITEMS tolvane.hhp toc.hhc index.hhk)
        if(EXISTS "${source_dir}/help/${name}.in")
            set(generated "${work_dir}/help-generated/${name}")
            configure_file("${source_dir}/help/${name}.in" "${generated}" @ONLY)
            list(APPEND help_sources "${generated}")
        else()
            list(APPEND help_sources "${source_dir}/help/${name}")
        endif()
    endforeach()

    # chmcmd writes its output next to the project file, so it runs on a copy in
    # the build tree.  It exits with 0 even when it fails, hence the stage is
    # emptied first: the final copy then fails if no tolvane.chm was written.
    set(TOLVANE_HELP_STAGE "${work_dir}/help")
    set(TOLVANE_HELP_CHM "${CMAKE_BINARY_DIR}/tolvane.chm")
    add_custom_command(
        OUTPUT "${TOLVANE_HELP_CHM}"
        COMMAND "${CMAKE_COMMAND}" -E rm -rf "${TOLVANE_HELP_STAGE}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${TOLVANE_HELP_STAGE}"
        COMMAND "${CMAKE_COMMAND}" -E copy ${help_sources} "${TOLVANE_HELP_STAGE}"
        COMMAND "${CMAKE_COMMAND}" -E chdir "${TOLVANE_HELP_STAGE}"
                "${TOLVANE_CHMCMD}" --verbosity 0 tolvane.hhp
        COMMAND "${CMAKE_COMMAND}" -E copy "${TOLVANE_HELP_STAGE}/tolvane.chm" "${TOLVANE_HELP_CHM}"
        DEPENDS ${help_sources}
        COMMENT "Compiling help file tolvane.chm"
        VERBATIM
    )
    add_custom_target(tolvane_help_file ALL DEPENDS "${TOLVANE_HELP_CHM}")

    # --- Web page pictures --------------------------------------------------------

    set(TOLVANE_WEB_PICTURES)
    foreach(name IN ITEMS banner_top.gif searchfor.gif go.gif)
        set(src "${source_dir}/web/${name}")
        set(dst "${CMAKE_BINARY_DIR}/${name}")
        add_custom_command(
            OUTPUT "${dst}"
            COMMAND "${CMAKE_COMMAND}" -E copy "${src}" "${dst}"
            DEPENDS "${src}"
            COMMENT "Copying ${name}"
            VERBATIM
        )
        list(APPEND TOLVANE_WEB_PICTURES "${dst}")
    endforeach()
    add_custom_target(tolvane_web_pictures ALL DEPENDS ${TOLVANE_WEB_PICTURES})
endblock()
