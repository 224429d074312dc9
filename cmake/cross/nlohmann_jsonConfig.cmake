# Debian's nlohmann-json headers for a cross build (see HostHeaders.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/HostHeaders.cmake)
if(NOT TARGET nlohmann_json::nlohmann_json)
    veltrix_host_headers(nlohmann_json::nlohmann_json nlohmann)
endif()
