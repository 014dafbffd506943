# Installing like a Linux program: the two programs, the desktop entry, the file type with its
# thumbnailer, icons, AppStream metadata, man pages, bash completion; and a .deb through CPack.
include(GNUInstallDirs)

set(korvel_linux ${PROJECT_SOURCE_DIR}/packaging/linux)
set(korvel_generated ${CMAKE_BINARY_DIR}/packaging)

if(TARGET korvel)
  install(TARGETS korvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS korvel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${korvel_linux}/korvel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${korvel_linux}/korvel-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME korvel.xml)
install(FILES ${korvel_linux}/korvel.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
install(FILES ${korvel_linux}/completion/korvel-cli DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${korvel_linux}/icons/korvel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${korvel_linux}/icons/korvel-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME korvel.png)
endforeach()

# The version is written into the metadata and the man pages once, from the project's.
configure_file(${korvel_linux}/io.korvel.Korvel.metainfo.xml ${korvel_generated}/io.korvel.Korvel.metainfo.xml @ONLY)
install(FILES ${korvel_generated}/io.korvel.Korvel.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
find_program(GZIP_PROGRAM gzip REQUIRED)
set(man_pages)
foreach(page korvel korvel-cli)
  configure_file(${korvel_linux}/man/${page}.1 ${korvel_generated}/${page}.1 @ONLY)
  add_custom_command(OUTPUT ${korvel_generated}/${page}.1.gz
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${korvel_generated}/${page}.1 > ${korvel_generated}/${page}.1.gz
    DEPENDS ${korvel_generated}/${page}.1)
  list(APPEND man_pages ${korvel_generated}/${page}.1.gz)
endforeach()
add_custom_target(korvel_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvel)
set(CPACK_PACKAGE_VENDOR "The Korvel developers")
set(CPACK_PACKAGE_CONTACT "The Korvel developers <dev@korvel.io>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "label designer and label-printing tool")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvel designs labels with texts, barcodes, pictures and shapes, binds them to counters, dates and database records, and prints them on label printers. korvel-cli prints, renders and converts labels without a window.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://korvel.io/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_STRIP_FILES ON)
# The shared libraries the programs link are found by dpkg-shlibdeps. What Qt loads at run
# time is invisible to it and named here: the SQLite driver (every data file is read through
# it) and the platform plugins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, fonts-wqy-microhei, libqt6sql6-odbc, libqt6sql6-psql, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libsqliteodbc, cups")
include(CPack)
