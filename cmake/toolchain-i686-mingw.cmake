# Cross-build for 32-bit Windows (the program we ship) with the i686
# mingw-w64 compilers.
set(TARVENIA_MINGW_PREFIX i686-w64-mingw32)
set(TARVENIA_MINGW_ARCH i686)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
