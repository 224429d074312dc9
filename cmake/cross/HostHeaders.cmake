# Header-only libraries of the build machine (Debian's) for a cross build: an include folder
# of their own that holds only their headers, so that the build machine's C library headers
# never come before the target's.
function(veltrix_host_headers target folder)
    set(include_dir ${CMAKE_BINARY_DIR}/host-headers)
    file(MAKE_DIRECTORY ${include_dir})
    if(NOT EXISTS ${include_dir}/${folder})
        file(CREATE_LINK /usr/include/${folder} ${include_dir}/${folder} SYMBOLIC)
    endif()
    add_library(${target} INTERFACE IMPORTED)
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${include_dir})
endfunction()
