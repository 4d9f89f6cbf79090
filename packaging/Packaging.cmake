# The desktop entry, the icon, the documentation and the Debian package. Included from the
# top-level CMakeLists.txt after the program's targets; the programs install themselves (src/,
# sim/).
#
#   cmake --install build --prefix /usr/local     # or: cd build && cpack -G DEB

if(UNIX AND NOT APPLE)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/orva-ds.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/orva-ds.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    # The software centres' entry, which names the desktop entry above.
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/example.c_seed_9e867cda.orva_ds.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/orva-ds.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    # share/doc/orva-ds: the copyright file every Debian package carries, and the guides with
    # the pictures they show, in the same folders as in the source, so that their links hold.
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${PROJECT_SOURCE_DIR}/README.md
            DESTINATION ${CMAKE_INSTALL_DOCDIR})
    install(FILES ${PROJECT_SOURCE_DIR}/docs/Bedienung.md ${PROJECT_SOURCE_DIR}/docs/screenshot.png
                  ${PROJECT_SOURCE_DIR}/docs/archive-window.png
            DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
endif()

set(orva_maintainer
    "Seed 9e867cda maintainers <maintainers@users.noreply.c-seed-9e867cda.example>")
set(ORVA_PACKAGE_MAINTAINER "${orva_maintainer}"
    CACHE STRING "Maintainer field of the Debian package, e.g. \"Name <mail address>\"")
# Build folders configured earlier keep the former placeholder, which has no address.
if(ORVA_PACKAGE_MAINTAINER STREQUAL "ORVA-DS reader maintainers")
    set_property(CACHE ORVA_PACKAGE_MAINTAINER PROPERTY VALUE "${orva_maintainer}")
endif()

set(CPACK_PACKAGE_NAME orva-ds)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Reader for the ORVA-DS direction-sensing counting light barrier")
set(CPACK_PACKAGE_DESCRIPTION
    "Wakes the ORVA-DS light barrier over an RS-232 line, downloads its stored
counts, turns them into an hourly report per day, shows, saves and prints it,
and reads and sets the device's clock. German user interface.
Comes with orva-sim, a simulated light barrier on a pseudo-terminal for trying
the program without the device.")
set(CPACK_PACKAGE_CONTACT "${ORVA_PACKAGE_MAINTAINER}")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORVA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The runtime libraries, the Qt 6 ones among them: dpkg-shlibdeps reads them off the programs
# with the least versions they need. Without that tool, the Qt 6 runtime is named by hand, at
# least the version the programs were built with.
find_program(ORVA_DPKG_SHLIBDEPS dpkg-shlibdeps)
# Qt loads its SQLite driver as a plug-in, which no library names: the archive needs it.
if(ORVA_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
else()
    set(orva_qt_min "${Qt6_VERSION_MAJOR}.${Qt6_VERSION_MINOR}")
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6widgets6 (>= ${orva_qt_min}), libqt6serialport6 (>= ${orva_qt_min}), \
libqt6printsupport6 (>= ${orva_qt_min}), libqt6gui6 (>= ${orva_qt_min}), \
libqt6charts6 (>= ${orva_qt_min}), libqt6sql6 (>= ${orva_qt_min}), \
libqt6sql6-sqlite (>= ${orva_qt_min}), libqt6core6 (>= ${orva_qt_min})")
endif()
# German standard buttons (Ja/Nein/Abbrechen) in the message boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)

include(CPack)
