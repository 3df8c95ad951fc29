# What `cmake --install` puts where, and the Debian package CPack makes of it
# (`cmake --build build --target package`, or `cpack -G DEB` in the build folder).
#
#   /usr/bin/orvanta, /usr/bin/orvanta-cli
#   /usr/share/orvanta/            the demo reference, help.htm, _pict/: the seed of every
#                                  user's own folder (~/.local/share/orvanta), never written
#   /usr/share/applications/, /usr/share/icons/hicolor/, /usr/share/metainfo/
#   /usr/share/man/man1/           orvanta.1.gz, orvanta-cli.1.gz
#   /usr/lib/systemd/user/         orvanta-update.service and .timer (not enabled)
#   /usr/share/doc/orvanta/        copyright, changelog.gz
include(GNUInstallDirs)

set(ORVANTA_PACKAGE_MAINTAINER "Norvel <packages@norvel.invalid>" CACHE STRING
    "Maintainer field of the Debian package")
set(ORVANTA_RELEASE_DATE "2026-12-10" CACHE STRING "Release date of this version (YYYY-MM-DD)")

set(packaging ${PROJECT_SOURCE_DIR}/packaging/linux)
set(generated ${CMAKE_BINARY_DIR}/packaging)
set(share ${CMAKE_INSTALL_DATADIR}/orvanta)

install(TARGETS orvanta-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(ORVANTA_BUILD_APP)
    install(TARGETS orvanta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The reference as the build made it, not build/bin/source.bin, which the program run from the
# build folder may have updated since.
install(FILES ${CMAKE_BINARY_DIR}/demo-reference/source.bin ${PROJECT_SOURCE_DIR}/src/app/help/help.htm
        DESTINATION ${share})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/demo/_pict DESTINATION ${share})

install(FILES ${packaging}/ru.norvel.Orvanta.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${packaging}/ru.norvel.Orvanta.metainfo.xml.in ${generated}/ru.norvel.Orvanta.metainfo.xml
               @ONLY)
install(FILES ${generated}/ru.norvel.Orvanta.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

install(FILES ${packaging}/orvanta.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
find_program(RSVG_CONVERT rsvg-convert)
set(icon_outputs)
if(RSVG_CONVERT)
    foreach(size 16 24 32 48 64 128 256)
        set(png ${generated}/icons/${size}x${size}/orvanta.png)
        add_custom_command(
            OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}/icons/${size}x${size}
            COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${packaging}/orvanta.svg
            DEPENDS ${packaging}/orvanta.svg
            COMMENT "Rendering the ${size} px icon")
        list(APPEND icon_outputs ${png})
        install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
else()
    message(WARNING "rsvg-convert not found (package librsvg2-bin): the package gets the SVG icon only")
endif()

# Manual pages and the changelog, compressed as Debian wants them (-n: no time stamp inside).
set(doc_outputs)
foreach(page orvanta.1 orvanta-cli.1)
    add_custom_command(
        OUTPUT ${generated}/${page}.gz
        COMMAND gzip -9n -c ${packaging}/${page} > ${generated}/${page}.gz
        DEPENDS ${packaging}/${page}
        COMMENT "Compressing the manual page ${page}")
    list(APPEND doc_outputs ${generated}/${page}.gz)
    install(FILES ${generated}/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
configure_file(${packaging}/changelog.in ${generated}/changelog @ONLY)
add_custom_command(
    OUTPUT ${generated}/changelog.gz
    COMMAND gzip -9n -c ${generated}/changelog > ${generated}/changelog.gz
    DEPENDS ${generated}/changelog
    COMMENT "Compressing the changelog")
list(APPEND doc_outputs ${generated}/changelog.gz)
install(FILES ${packaging}/copyright ${generated}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orvanta)

install(FILES ${packaging}/orvanta-update.service ${packaging}/orvanta-update.timer
        DESTINATION lib/systemd/user)

add_custom_target(packaging_files ALL DEPENDS ${icon_outputs} ${doc_outputs})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvanta)
set(CPACK_PACKAGE_VERSION ${ORVANTA_VERSION})
set(CPACK_PACKAGE_VENDOR Norvel)
set(CPACK_PACKAGE_CONTACT ${ORVANTA_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reference of medicinal preparations for pharmacy staff")
# CPack puts the summary above this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A desktop reference of medicinal preparations for Russian-speaking pharmacy
staff and physicians: find a preparation from a few typed letters, by synonyms
or indications, read and print its description, and keep the reference current
from numbered update packets fetched from an update server. Ships a demo
reference (made-up data, not for medical use) and orvanta-cli, its
command-line companion.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ORVANTA_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies from the libraries the binaries link; Qt's own translations only make the
# standard buttons speak Russian.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
