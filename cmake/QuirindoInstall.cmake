# What `cmake --install` puts where, and the Debian package made from it
# (`cpack -G DEB`). The layout follows the freedesktop.org rules, so the
# program appears in the desktop's menu with its icon and opens .qrd files.
include(GNUInstallDirs)

set(QUIRINDO_APP_ID org.tavren.Quirindo)
set(QUIRINDO_DESKTOP_DIR ${PROJECT_SOURCE_DIR}/resources/desktop)

install(TARGETS quirindo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The shipped table, freshly written from resources/translations.tsv; the
# program finds it in ../share/quirindo relative to its own folder.
install(FILES ${PROJECT_BINARY_DIR}/src/app/translate.dbf.generated
  DESTINATION ${CMAKE_INSTALL_DATADIR}/quirindo RENAME translate.dbf)
install(FILES ${QUIRINDO_DESKTOP_DIR}/${QUIRINDO_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUIRINDO_DESKTOP_DIR}/${QUIRINDO_APP_ID}.mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${QUIRINDO_APP_ID}.xml)
install(FILES ${QUIRINDO_DESKTOP_DIR}/${QUIRINDO_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${QUIRINDO_DESKTOP_DIR}/icons/hicolor
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Man pages are installed compressed, as Debian's man expects them.
set(QUIRINDO_MAN_PAGE ${PROJECT_BINARY_DIR}/quirindo.1.gz)
add_custom_command(OUTPUT ${QUIRINDO_MAN_PAGE}
  COMMAND gzip -9 -n -c ${QUIRINDO_DESKTOP_DIR}/quirindo.1 > ${QUIRINDO_MAN_PAGE}
  DEPENDS ${QUIRINDO_DESKTOP_DIR}/quirindo.1
  COMMENT "Compressing the man page")
add_custom_target(quirindo_man_page ALL DEPENDS ${QUIRINDO_MAN_PAGE})
install(FILES ${QUIRINDO_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME quirindo)
set(CPACK_PACKAGE_VENDOR TAVREN)
# The package's Maintainer field; set it to a real address when publishing.
set(QUIRINDO_PACKAGE_CONTACT "Quirindo maintainers <quirindo@localhost>"
  CACHE STRING "Maintainer of the Debian package")
set(CPACK_PACKAGE_CONTACT ${QUIRINDO_PACKAGE_CONTACT})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "geometric constructions with ruler, protractor and compasses")
set(CPACK_PACKAGE_DESCRIPTION
  "Quirindo makes geometric constructions as on paper: a ruler, a protractor and a pair of compasses lie on one to ten pages, with Bezier curves, pencil, eraser and texts. Drawings are saved as .qrd files and exported as DXF or pictures, also from the command line. The interface is German, with English and Italian translations.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The libraries the program links come from dpkg-shlibdeps (dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own buttons and dialogs in German and Italian.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-translations-l10n)
include(CPack)
