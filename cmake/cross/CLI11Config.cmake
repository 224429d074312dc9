# Debian's CLI11 headers for a cross build (see HostHeaders.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/HostHeaders.cmake)
if(NOT TARGET CLI11::CLI11)
    veltrix_host_headers(CLI11::CLI11 CLI)
endif()
