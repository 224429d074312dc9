# Cross-building for 64-bit Windows with Debian's mingw-w64. The -posix compilers give the
# standard library its threads (std::mutex, std::thread), which GoogleTest and the string table
# need; the programs are linked statically so that they run under Wine without extra DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELTRIX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELTRIX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELTRIX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VELTRIX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELTRIX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine, through a wrapper that starts a program again only when Wine
# failed to start it. WINEPREFIX and WINEDEBUG come from the environment.
find_program(VELTRIX_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VELTRIX_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${VELTRIX_WINE})
endif()

# Header-only libraries come from the build machine.
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/cross)
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/cross)
