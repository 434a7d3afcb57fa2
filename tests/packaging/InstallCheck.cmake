# Installs the build into PREFIX and checks the installation as a desktop and a user meet it:
# the files where the desktop looks for them, the validators of the desktop entry and the
# AppStream data (where installed), the manual pages rendering without a complaint, and the
# installed program starting by itself (no path into the build or source folder).
#   cmake -DBUILD_DIR=... -DPREFIX=... -DDESKTOP_ID=... -DVERSION=... -P InstallCheck.cmake

function(fail message)
    message(SEND_ERROR "${message}")
endfunction()

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE error)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (are all targets built?):\n${error}")
endif()

set(desktop share/applications/${DESKTOP_ID}.desktop)
set(metainfo share/metainfo/${DESKTOP_ID}.metainfo.xml)
set(expected
    bin/ardelremote bin/ardelctl bin/ardelremoted ${desktop} ${metainfo}
    lib/systemd/system/ardelremoted.service share/man/man1/ardelremoted.1.gz
    share/icons/hicolor/scalable/apps/${DESKTOP_ID}.svg
    share/man/man1/ardelremote.1.gz share/man/man1/ardelctl.1.gz
    share/doc/ardelremote/copyright share/doc/ardelremote/changelog.gz)
foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${DESKTOP_ID}.png)
endforeach()
foreach(file ${expected})
    if(NOT EXISTS ${PREFIX}/${file})
        fail("missing from the installation: ${file}")
    endif()
endforeach()
# Nothing else: the development tools stay in the build folder.
file(GLOB_RECURSE installed RELATIVE ${PREFIX} ${PREFIX}/*)
foreach(file ${installed})
    list(FIND expected ${file} index)
    if(index EQUAL -1)
        fail("installed but not expected: ${file}")
    endif()
endforeach()

# The installed program, started from elsewhere and without a display.
execute_process(COMMAND ${PREFIX}/bin/ardelremote --version WORKING_DIRECTORY ${PREFIX}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
if(NOT result EQUAL 0 OR NOT output STREQUAL "ardelremote ${VERSION}\n")
    fail("ardelremote --version: exit ${result}, printed '${output}' ${error}")
endif()

# The desktop entry names the installed program and icon.
file(READ ${PREFIX}/${desktop} entry)
if(NOT entry MATCHES "\nExec=ardelremote\n" OR NOT entry MATCHES "\nIcon=${DESKTOP_ID}\n")
    fail("the desktop entry does not start ardelremote with its icon:\n${entry}")
endif()
file(READ ${PREFIX}/${metainfo} appdata)
if(NOT appdata MATCHES "<release version=\"${VERSION}\"")
    fail("the AppStream data has no release ${VERSION}")
endif()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
    execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${PREFIX}/${desktop}
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
    if(NOT result EQUAL 0 OR NOT "${output}${error}" STREQUAL "")
        fail("desktop-file-validate:\n${output}${error}")
    endif()
else()
    message(STATUS "desktop-file-validate is not installed: the desktop entry is not validated")
endif()

find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    execute_process(COMMAND ${APPSTREAMCLI} validate --no-net --no-color ${PREFIX}/${metainfo}
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
    if(NOT result EQUAL 0)
        fail("appstreamcli validate:\n${output}${error}")
    endif()
else()
    message(STATUS "appstreamcli is not installed: the AppStream data is not validated")
endif()

find_program(MAN man)
if(MAN)
    foreach(page ardelremote ardelctl ardelremoted)
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANWIDTH=80
                ${MAN} --warnings -E UTF-8 -l ${PREFIX}/share/man/man1/${page}.1.gz
            RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
        string(TOUPPER ${page} title)
        if(NOT result EQUAL 0 OR NOT error STREQUAL "" OR NOT output MATCHES "^${title}\\(1\\)"
           OR NOT output MATCHES "\nSYNOPSIS\n")
            fail("man -l ${page}.1.gz: exit ${result}\n${error}")
        endif()
    endforeach()
else()
    message(STATUS "man is not installed: the manual pages are not rendered")
endif()

# The service's unit names the installed program and passes systemd's own check.
file(READ ${PREFIX}/lib/systemd/system/ardelremoted.service unit)
if(NOT unit MATCHES "\nExecStart=${PREFIX}/bin/ardelremoted --root /var/lib/ardelremote ")
    fail("the unit does not start the installed ardelremoted:\n${unit}")
endif()
execute_process(COMMAND ${PREFIX}/bin/ardelremoted --version
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
if(NOT result EQUAL 0 OR NOT output STREQUAL "ardelremoted ${VERSION}\n")
    fail("ardelremoted --version: exit ${result}, printed '${output}' ${error}")
endif()
find_program(SYSTEMD_ANALYZE systemd-analyze)
if(SYSTEMD_ANALYZE)
    execute_process(COMMAND ${SYSTEMD_ANALYZE} verify --man=no
                            ${PREFIX}/lib/systemd/system/ardelremoted.service
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
    if(NOT result EQUAL 0 OR error MATCHES "ardelremoted")
        fail("systemd-analyze verify ardelremoted.service:\n${output}${error}")
    endif()
else()
    message(STATUS "systemd-analyze is not installed: the unit is not verified")
endif()
