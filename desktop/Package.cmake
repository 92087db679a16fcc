# `make package`: a Debian package of what `cmake --install` installs, under /usr, with its dependencies
# found by dpkg-shlibdeps. Debian's own triggers update the menus, the MIME database and the icon cache.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelagrin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "microplastic drift in a real body of water")
set(CPACK_PACKAGE_DESCRIPTION
    "Pelagrin simulates how microplastic particles drift, sink, settle on the bottom and strand on the shore of a real lake or bay, whose outline it fetches from OpenStreetMap. Its user interface runs in the web browser; run and detect work headless.")
set(CPACK_PACKAGE_CONTACT "Pelagrin developers <pelagrin@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The page opens in the desktop's browser through xdg-open; Chromium is the one it is tested with.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "chromium | www-browser, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-user-dirs")
include(CPack)
