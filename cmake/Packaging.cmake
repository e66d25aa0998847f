# A Debian package of the installed files: `cpack -G DEB` in the build directory.

set(CPACK_PACKAGE_NAME "ombrelclock")
set(CPACK_PACKAGE_VENDOR "OmbrelClock developers")
set(CPACK_PACKAGE_CONTACT "OmbrelClock developers <dev@ombrelclock.invalid>")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "caption-bar clock with a one-month date book")
# Lines kept short by hand: Debian shows the long description as written.
set(CPACK_PACKAGE_DESCRIPTION
"OmbrelClock is a small desktop clock whose window is just a caption bar
showing the time, the date and the day of the week. Enter unfolds a
one-month calendar below it.

Any date can carry a short note: dates with one are shown in bold, and
clicking the selected date opens a small editor. The window position and
the notes are kept in one INI profile file. The user interface is in
Japanese.")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "ombrelclock")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
# The RelWithDebInfo binary carries its debug data; users get it stripped.
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB")

set(CPACK_DEBIAN_PACKAGE_NAME "ombrelclock")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "OmbrelClock developers <dev@ombrelclock.invalid>")
# The Qt libraries, and with libqt6gui6 the X11 (xcb) platform plugin and the IBus input
# context, come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so no library dependency names them: a font with Japanese glyphs and
# Qt's own Japanese texts (the Yes/No buttons).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")
# Typing Japanese notes needs an input method; Fcitx 5 reaches Qt 6 only through its frontend.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ibus | fcitx5-frontend-qt6")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-gtk-platformtheme")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Debian wants the package's changelog beside its copyright.
ombrel_install_gzipped("${PROJECT_SOURCE_DIR}/res/debian-changelog.in" changelog.Debian
                       "${CMAKE_INSTALL_DATADIR}/doc/${OMBREL_APP_ID}")

include(CPack)
