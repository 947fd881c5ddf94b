# Shared by the mingw-w64 toolchain files: each sets TARVENIA_MINGW_PREFIX
# (the compilers' triplet), TARVENIA_MINGW_ARCH (the folder name of its
# cross-built dependencies) and CMAKE_SYSTEM_PROCESSOR, then includes this.
# The "-posix" compilers are needed: the default win32 thread model has no
# std::thread. Everything is linked statically so that the programs run
# without any DLL beside them (no libstdc++, libgcc or winpthread DLL).
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TARVENIA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVENIA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TARVENIA_MINGW_PREFIX}-windres)
set(CMAKE_ASM_NASM_COMPILER nasm)

# Libraries and packages come from the mingw sysroot and from the prefix
# TARVENIA_WINDOWS_DEPS (the cross-built libjpeg-turbo and GoogleTest made by
# scripts/build-windows), never from the build machine's own /usr.
if(NOT DEFINED TARVENIA_WINDOWS_DEPS)
    set(TARVENIA_WINDOWS_DEPS ${CMAKE_CURRENT_LIST_DIR}/../build/third_party/${TARVENIA_MINGW_ARCH})
endif()
get_filename_component(TARVENIA_WINDOWS_DEPS "${TARVENIA_WINDOWS_DEPS}" ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${TARVENIA_MINGW_PREFIX} ${TARVENIA_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Programs built here run under Wine on the build machine (tests, test
# discovery). The wrapper bounds every run in time and picks the Wine prefix
# of the program's architecture.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
endif()

# pkg-config answers from the prefix only: the build machine's .pc files
# describe Linux libraries.
set(ENV{PKG_CONFIG_LIBDIR} "${TARVENIA_WINDOWS_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
