# 32-bit Windows programs from Debian's mingw-w64, run under wine where a test needs them to.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

# The posix thread model: the win32 one of GCC 12 has no std::thread or std::mutex.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthreads linked in: the programs import only what Windows ships.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# The wine prefix lives in the build folder, never in the user's home (scripts/wine.sh makes it).
set(NETSETUP_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${NETSETUP_WINEPREFIX} WINEDEBUG=-all
    WINEDLLOVERRIDES=winemenubuilder.exe=d wine)
