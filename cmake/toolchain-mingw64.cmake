# Cross build for 64-bit Windows with MinGW-w64 GCC (POSIX threads, Debian's
# g++-mingw-w64-x86-64-posix). Executables link statically, so nothing of the MinGW runtime
# (libstdc++, libgcc, winpthread) has to lie beside them; they import only Windows system DLLs.
# Test programs run under Wine (CMAKE_CROSSCOMPILING_EMULATOR), so `ctest` runs them as well.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LUMENO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LUMENO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMENO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMENO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LUMENO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Debian installs wine64 outside PATH.
find_program(LUMENO_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT LUMENO_WINE64)
    find_program(LUMENO_WINE64 NAMES wine64 wine)
endif()
if(LUMENO_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${LUMENO_WINE64})
endif()
