# Shared part of the MinGW-w64 toolchain files; they set NORV_MINGW_TRIPLE and
# NORV_MINGW_PROCESSOR first. Debian's "posix" compilers are used because
# their libstdc++ has std::thread and std::mutex.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${NORV_MINGW_PROCESSOR})

set(CMAKE_C_COMPILER ${NORV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NORV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NORV_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${NORV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The executables carry libstdc++, libgcc and winpthread inside, so they run
# on a bare Windows (or Wine) without the MinGW runtime DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Test sources with many templates exceed the 32k sections of a plain COFF.
set(CMAKE_CXX_FLAGS_INIT "-Wa,-mbig-obj")

# Tests run through Wine's loader of the build's own architecture, never
# through the `wine` wrapper: Debian's wrapper prefers the 32-bit loader
# whenever it is installed, and on a kernel that runs no 32-bit programs that
# loader fails for every program, 64-bit ones included.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(NORV_WINE_LOADER ${NORV_WINE_LOADER_NAME}
    PATHS /usr/lib/wine /usr/lib64/wine /opt/wine-stable/bin NO_DEFAULT_PATH)
  find_program(NORV_WINE_LOADER ${NORV_WINE_LOADER_NAME})
  if(NORV_WINE_LOADER)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${NORV_WINE_LOADER})
  endif()
endif()
