# The Windows zip: veltrix-instrument-settings.exe (the window, which installs itself) and
# veltrix-settings.exe with the README's sections on the command line and on Windows, as
# README.md at the top, and the picture that the README shows. Built by CPack:
# (cd build/windows && cpack).
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

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME veltrix-settings)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME windows-x86_64)
set(CPACK_STRIP_FILES ON)
include(CPack)
