# Cross-build for 64-bit Windows with the x86_64 mingw-w64 compilers: the same
# sources as the shipped 32-bit program, tested under wine64 on machines that
# cannot run 32-bit programs (and there too it catches pointer-size faults).
set(TARVENIA_MINGW_PREFIX x86_64-w64-mingw32)
set(TARVENIA_MINGW_ARCH x86_64)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
