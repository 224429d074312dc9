# Run by CPack on the staging directory before the package is made: compresses every manual
# page and every changelog that the project installed, whichever part installed it, with
# gzip -9n (no name or time stamp, so the package is reproducible).
find_program(VELTRIX_GZIP gzip REQUIRED)
file(GLOB_RECURSE docs LIST_DIRECTORIES false
     "${CPACK_TEMPORARY_DIRECTORY}/*/share/man/man*/*"
     "${CPACK_TEMPORARY_DIRECTORY}/*/share/doc/*/changelog")
foreach(doc IN LISTS docs)
    if(NOT doc MATCHES "\\.gz$")
        execute_process(COMMAND ${VELTRIX_GZIP} -9nf "${doc}" RESULT_VARIABLE result)
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "gzip failed on ${doc}")
        endif()
    endif()
endforeach()
