# Installs the build into a fresh prefix and checks that a desktop finds what it needs there.
# Run by CTest: cmake -DBUILD_DIR=... -DPREFIX=... -DAPP_ID=... -DDATADIR=... -P check_install.cmake
foreach(var IN ITEMS BUILD_DIR PREFIX APP_ID DATADIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "${var} is not set")
    endif()
endforeach()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(share "${PREFIX}/share")
set(missing)
foreach(path IN ITEMS
        "${DATADIR}/tolvane.chm"
        "${DATADIR}/banner_top.gif"
        "${DATADIR}/searchfor.gif"
        "${DATADIR}/go.gif"
        "share/applications/${APP_ID}.desktop"
        "share/metainfo/${APP_ID}.metainfo.xml"
        "share/icons/hicolor/scalable/apps/${APP_ID}.svg"
        "share/icons/hicolor/48x48/apps/${APP_ID}.png"
        "share/icons/hicolor/128x128/apps/${APP_ID}.png"
        "share/man/man1/tolvane.1")
    if(NOT EXISTS "${PREFIX}/${path}")
        list(APPEND missing "${path}")
    endif()
endforeach()
if(missing)
    message(FATAL_ERROR "not installed: ${missing}")
endif()

# The desktop entry, the icon and the metainfo must name one another.
file(STRINGS "${share}/applications/${APP_ID}.desktop" icon_line REGEX "^Icon=")
if(NOT icon_line STREQUAL "Icon=${APP_ID}")
    message(FATAL_ERROR "the desktop entry names the icon '${icon_line}', not '${APP_ID}'")
endif()
file(READ "${share}/metainfo/${APP_ID}.metainfo.xml" metainfo)
string(FIND "${metainfo}" "<id>${APP_ID}</id>" id_at)
string(FIND "${metainfo}" "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
       launchable_at)
if(id_at LESS 0 OR launchable_at LESS 0)
    message(FATAL_ERROR "the metainfo file does not name ${APP_ID} and its desktop entry")
endif()

# A built program is installed as well.
if(EXISTS "${BUILD_DIR}/tolvane" AND NOT EXISTS "${PREFIX}/bin/tolvane")
    message(FATAL_ERROR "the program was built but not installed")
endif()
file(REMOVE_RECURSE "${PREFIX}")
