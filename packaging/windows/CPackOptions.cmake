# Per generator: the zip keeps its name, the installer is named after the wizard.
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_VELTRIX_INSTALLER_FILE_NAME}")
endif()
