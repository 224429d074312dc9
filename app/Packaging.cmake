# Installation (program, desktop entry, icon in the hicolor theme) and the Debian package.
include(GNUInstallDirs)

install(TARGETS veltrix-instrument-settings RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES veltrix-instrument-settings.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/veltrix-instrument-settings.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veltrix-instrument-settings)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Veltrix instrument settings team <support@veltrix.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Settings wizard for the Veltrix microplate absorbance reader")
set(CPACK_PACKAGE_DESCRIPTION
    "A five-step wizard that finds a Veltrix microplate reader on a serial port and sets its\n\
emulation mode, baud rate, filter slide, measurement mode and plate movements.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.36), libstdc++6 (>= 12), libgcc-s1, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6dbus6 (>= 6.4), libqt6svg6 (>= 6.4), qt6-qpa-plugins")
# The session bus is only needed for automation clients.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dbus-user-session | dbus-x11")
include(CPack)
