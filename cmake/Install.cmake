# Desktop integration: the menu entry, the icon at every size it is drawn at, and the
# AppStream metadata that software centres read. The binary's own rule is in the top file.

set(OMBREL_APP_ID "ombrelclock")
# The AppStream id is reverse-DNS on the project's placeholder domain; the desktop entry keeps
# the plain name because Qt announces it (QApplication::setDesktopFileName).
set(OMBREL_METAINFO_ID "invalid.ombrelclock.ombrelclock")

set(OMBREL_DESKTOP_FILE "${PROJECT_SOURCE_DIR}/res/${OMBREL_APP_ID}.desktop")
set(OMBREL_METAINFO_FILE "${CMAKE_BINARY_DIR}/generated/res/${OMBREL_METAINFO_ID}.metainfo.xml")
# The release in the metadata is the project version, so it cannot go stale.
configure_file("${PROJECT_SOURCE_DIR}/res/ombrelclock.metainfo.xml.in" "${OMBREL_METAINFO_FILE}" @ONLY)

install(FILES "${OMBREL_DESKTOP_FILE}" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${OMBREL_METAINFO_FILE}" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

set(OMBREL_ICON_SIZES 16 32 48 64 128)
foreach(size IN LISTS OMBREL_ICON_SIZES)
    install(FILES "${PROJECT_SOURCE_DIR}/res/icons/clock-${size}.png"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
            RENAME "${OMBREL_APP_ID}.png")
endforeach()

# Under the name Debian looks for, which reads as well anywhere else.
install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/${OMBREL_APP_ID}"
        RENAME copyright)

# Manual pages and Debian's changelog are kept compressed as the dpkg tools do it (gzip -9, no
# name or time stamp inside, so the package is reproducible); man reads them either way.
find_program(OMBREL_GZIP gzip)
# SOURCE goes through configure_file (@VAR@ only) and is installed as DESTINATION/NAME[.gz].
function(ombrel_install_gzipped source name destination)
    set(copy "${CMAKE_BINARY_DIR}/generated/gz/${name}")
    configure_file("${source}" "${copy}" @ONLY)
    if(OMBREL_GZIP)
        execute_process(COMMAND "${OMBREL_GZIP}" -9nf "${copy}")
        set(copy "${copy}.gz")
    endif()
    install(FILES "${copy}" DESTINATION "${destination}")
endfunction()

ombrel_install_gzipped("${PROJECT_SOURCE_DIR}/res/ombrelclock.1" ombrelclock.1 "${CMAKE_INSTALL_MANDIR}/man1")
