# The records that keep a version of their own, because each lists past releases too, name
# project()'s as their newest; and no file of the source tree types the program's title, which the
# build makes from project().
#   cmake -DSOURCE_DIR=<dir> -DVERSION=<version> -DTITLE=<title> -DMETAINFO=<file>
#         -P check_version_records.cmake
foreach(required IN ITEMS SOURCE_DIR VERSION TITLE METAINFO)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "check_version_records.cmake needs -D${required}=...")
    endif()
endforeach()

set(failures)

# The first entry of debian/changelog: "tolvane (EPOCH:UPSTREAM-REVISION) ...", epoch optional.
file(STRINGS "${SOURCE_DIR}/debian/changelog" entry LIMIT_COUNT 1)
if(entry MATCHES "^[a-z0-9.+-]+ \\(([0-9]+:)?(.+)-[^-)]+\\)")
    if(NOT CMAKE_MATCH_2 STREQUAL VERSION)
        list(APPEND failures "debian/changelog's newest entry is ${CMAKE_MATCH_2}")
    endif()
else()
    list(APPEND failures "debian/changelog's first line names no version: ${entry}")
endif()

# AppStream lists the releases newest first.
file(READ "${METAINFO}" metainfo)
if(metainfo MATCHES "<release version=\"([^\"]*)\"")
    if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
        list(APPEND failures "the metainfo's newest release is ${CMAKE_MATCH_1}")
    endif()
else()
    list(APPEND failures "the metainfo lists no release")
endif()

find_package(Git QUIET)
if(GIT_FOUND AND EXISTS "${SOURCE_DIR}/.git")
    # The files git knows of and the new ones it does not ignore, binary ones left out.
    execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" grep --untracked -I -l -F
                            -e "${TITLE}"
                    RESULT_VARIABLE found OUTPUT_VARIABLE files ERROR_VARIABLE error)
    if(found EQUAL 0)
        string(STRIP "${files}" files)
        string(REPLACE "\n" ", " files "${files}")
        list(APPEND failures "\"${TITLE}\" is typed in ${files}")
    elseif(NOT found EQUAL 1)
        list(APPEND failures "git grep failed: ${error}")
    endif()
else()
    message(STATUS "not a git checkout: the files were not searched for the title")
endif()

if(failures)
    list(JOIN failures "\n  " failures)
    message(FATAL_ERROR "project() has ${VERSION} and \"${TITLE}\", but\n  ${failures}")
endif()
message(STATUS "debian/changelog and the metainfo name ${VERSION}; \"${TITLE}\" is typed nowhere")
