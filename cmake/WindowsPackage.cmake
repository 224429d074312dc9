# The Windows packages, built by CPack: (cd build/windows && cpack).
#   - the zip, for those who do not install: the programs in bin/, the README's sections on the
#     command line and on Windows as README.md, the picture that the README shows, and the
#     licence text;
#   - a 64-bit NSIS installer (packaging/windows/NSIS.template.in is CMake's own template for a
#     64-bit target): a per-machine install into Program Files with a Start-menu shortcut to
#     the wizard, an entry in the installed-programs list, the wizard's COM registration
#     (/RegServer) at install and its removal (/UnregServer) at uninstall; /S installs and
#     uninstalls silently.
set(readme_part ${CMAKE_BINARY_DIR}/package/README.md)
file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
set(part "# Veltrix instrument settings for Windows\n")
foreach(heading "## The command line" "## Windows")
    string(FIND "${readme}" "\n${heading}\n" start)
    if(start EQUAL -1)
        message(FATAL_ERROR "README.md has no section '${heading}'")
    endif()
    math(EXPR start "${start} + 1")
    string(SUBSTRING "${readme}" ${start} -1 section)
    # Up to the next section of the same level.
    string(FIND "${section}" "\n## " end)
    if(NOT end EQUAL -1)
        string(SUBSTRING "${section}" 0 ${end} section)
    endif()
    string(APPEND part "\n${section}")
endforeach()
file(WRITE ${readme_part} "${part}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)
install(FILES ${readme_part} DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/doc/windows-wizard.png DESTINATION doc)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION . RENAME LICENSE.txt)

set(wizard_exe "$INSTDIR\\bin\\veltrix-instrument-settings.exe")

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME veltrix-settings)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Veltrix instrument settings team")
set(CPACK_SYSTEM_NAME windows-x86_64)
set(CPACK_STRIP_FILES ON)
# Values reach the installer script as written (quotes and backslashes included).
set(CPACK_VERBATIM_VARIABLES ON)
# The installer has a name of its own (packaging/windows/CPackOptions.cmake).
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/windows/CPackOptions.cmake)
set(CPACK_VELTRIX_INSTALLER_FILE_NAME veltrix-instrument-settings-${PROJECT_VERSION}-windows-x86_64)

set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/packaging/windows)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Veltrix Instrument Settings")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Veltrix Instrument Settings")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "Veltrix Instrument Settings")
set(CPACK_NSIS_DISPLAY_NAME "Veltrix Instrument Settings")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/packaging/copyright)
# The Start-menu shortcut: bin/veltrix-instrument-settings.exe.
set(CPACK_PACKAGE_EXECUTABLES veltrix-instrument-settings "Veltrix Instrument Settings")
set(CPACK_NSIS_INSTALLED_ICON_NAME bin\\veltrix-instrument-settings.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "ExecWait '\"${wizard_exe}\" /RegServer'")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "ExecWait '\"${wizard_exe}\" /UnregServer'")
include(CPack)
