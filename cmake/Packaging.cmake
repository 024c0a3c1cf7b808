# Install layout and the Debian package: the binary in bin/, its resources in
# share/corvanta/ (where Bundle looks next to bin/), and the desktop entry,
# icon and AppStream metadata where desktops and software centres find them.
include(GNUInstallDirs)

set(CORVANTA_APP_ID org.corvanta.Corvanta)
# The date of the release named by project(VERSION); update both together.
set(CORVANTA_RELEASE_DATE 2026-12-07)
set(CORVANTA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS corvanta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/ DESTINATION ${CMAKE_INSTALL_DATADIR}/corvanta)
install(FILES ${CORVANTA_PACKAGING_DIR}/${CORVANTA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/images/CorvantaLogo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${CORVANTA_APP_ID}.svg)
configure_file(${CORVANTA_PACKAGING_DIR}/${CORVANTA_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/packaging/${CORVANTA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${CORVANTA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_PACKAGE_NAME corvanta)
set(CPACK_PACKAGE_VENDOR Corvanta)
set(CPACK_PACKAGE_CONTACT "Corvanta developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keyboard shortcuts of the application you are working in")
set(CPACK_PACKAGE_DESCRIPTION
    "A small panel that floats above your windows and shows the keyboard shortcuts of the application in front.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY corvanta)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The libraries come from dpkg-shlibdeps; Qt's X11 platform plugin is loaded at
# run time, so no library names it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
include(CPack)
