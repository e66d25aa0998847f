# Checks of what `cmake --install` ships: the desktop entry and the AppStream metadata pass their
# validators, and the installed tree holds every file and starts a working clock window.
# Each is skipped (exit 77) where its tools are not installed.

add_test(NAME install_desktop_entry_valid
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/check-with.sh
                 desktop-file-validate ${OMBREL_DESKTOP_FILE})

# Strict, so infos such as a missing content rating fail too; the one info the placeholder
# domain of the component id always draws is lowered out of the way.
add_test(NAME install_metainfo_valid
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/check-with.sh
                 appstreamcli validate --no-net --strict --override=cid-maybe-not-rdns=pedantic
                 ${OMBREL_METAINFO_FILE})

add_test(NAME install_run_installed
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/run-installed.sh
                 ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})

set_tests_properties(install_desktop_entry_valid install_metainfo_valid install_run_installed
    PROPERTIES LABELS e2e SKIP_RETURN_CODE 77)
set_tests_properties(install_desktop_entry_valid install_metainfo_valid PROPERTIES TIMEOUT 60)
set_tests_properties(install_run_installed PROPERTIES TIMEOUT 120)

# The Debian package made from this build, checked by lintian.
add_test(NAME install_package_lintian
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/lint-package.sh ${CMAKE_BINARY_DIR})
set_tests_properties(install_package_lintian PROPERTIES LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT 300)
