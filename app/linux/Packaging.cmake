# Installation (program, manual page, desktop entry, AppStream metainfo, icon, copyright and
# changelog) and the Debian package. The package takes in whatever the project installs, the
# simulator and the command-line program included.
include(GNUInstallDirs)

set(VELTRIX_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(VELTRIX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${PROJECT_NAME})

install(TARGETS veltrix-instrument-settings RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/doc/man/veltrix-instrument-settings.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES veltrix-instrument-settings.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VELTRIX_PACKAGING_DIR}/invalid.veltrix.InstrumentSettings.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/veltrix-instrument-settings.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${VELTRIX_PACKAGING_DIR}/copyright ${VELTRIX_PACKAGING_DIR}/changelog
        DESTINATION ${VELTRIX_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Veltrix instrument settings team <support@veltrix.invalid>")
# The synopsis stays within lintian's 80 characters, the long description lines too.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "settings wizard for the Veltrix microplate absorbance reader")
set(CPACK_PACKAGE_DESCRIPTION
    "A five-step wizard that finds a Veltrix microplate reader on a serial\n\
port and sets its emulation mode, baud rate, filter slide, measurement\n\
mode and plate movements.\n\
.\n\
The instrument simulator veltrix-sim comes with it, so the wizard can be\n\
tried without an instrument, and a line trace of a problem played back.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies are computed by dpkg-shlibdeps; the platform plugin is loaded at run
# time, so no library names it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The session bus is only needed for automation clients.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dbus-user-session | dbus-x11")
# Programs are stripped; their debug symbols go into the -dbgsym package.
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
# Manual pages and the changelog are compressed in the package, as Debian's policy asks.
set(CPACK_PRE_BUILD_SCRIPTS ${VELTRIX_PACKAGING_DIR}/CompressDocs.cmake)
include(CPack)
