# Cross-compiling for Windows with Debian's mingw-w64 (posix threads).
# VORNEXA_MINGW_ARCH picks the target: x86_64 (64-bit) or i686 (32-bit).
set(VORNEXA_MINGW_ARCH x86_64 CACHE STRING "mingw-w64 target: x86_64 or i686")
set(arch ${VORNEXA_MINGW_ARCH})
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${arch})
set(CMAKE_C_COMPILER ${arch}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${arch}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${arch}-w64-mingw32-windres)
set(VORNEXA_WIDL ${arch}-w64-mingw32-widl)
set(CMAKE_FIND_ROOT_PATH /usr/${arch}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
