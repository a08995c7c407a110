# Cross build for 64-bit Windows with Debian's mingw-w64 (the POSIX thread model, which the C++
# standard library's threads and mutexes need). What it builds runs here under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAVIRO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAVIRO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVIRO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVIRO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAVIRO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and tools run through Wine; scripts/test-windows.sh gives it a private prefix.
find_program(TAVIRO_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TAVIRO_WINE})

# Libraries come from the Windows sysroot only; none is found there for libsndfile, for example.
set(PKG_CONFIG_EXECUTABLE ${TAVIRO_MINGW_PREFIX}-pkg-config CACHE FILEPATH "pkg-config for the Windows sysroot")

# Self-contained binaries: libstdc++, libgcc and winpthread linked in, so the module and the
# programs import only Windows system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
