# Programs that carry their runtime and {fmt} inside them (Linux).
#
# A command line such as jet-cli runs for a few milliseconds, and with the
# runtime in shared libraries the dynamic loader took a third of its CPU
# time: finding, mapping and relocating libstdc++, libgcc_s, libfmt and libc.
# So the programs are linked as static position-independent executables
# (their addresses still random): libstdc++, libgcc and the C library inside
# them, no loader at all. {fmt} is used in its header-only mode (Debian ships
# no static archive of it), for the whole tree, since the libraries' code
# ends up in the programs. Where the toolchain cannot link -static-pie, only
# libstdc++ and libgcc are linked statically. Windows builds link everything
# statically already (the MinGW toolchain files).
#
# What a static C library loads at run time, it loads from the system's own
# glibc: character sets other than code page 1252 for Jet 3 text (iconv),
# and the user database when $HOME is unset. Those need the glibc the
# program was built against, which the package on the same release has.
#
# The Qt dialog stays dynamic: Qt's own libraries load the shared libstdc++
# anyway, and a second, static copy in the same process would gain nothing.

if(CMAKE_CROSSCOMPILING OR WIN32 OR APPLE OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang"
   OR NORV_SANITIZE OR NORV_BUILD_FUZZ)
  set(norv_static_runtime_default OFF)
else()
  set(norv_static_runtime_default ON)
endif()
option(NORV_STATIC_RUNTIME "Link the programs statically: C and C++ runtime, {fmt}"
  ${norv_static_runtime_default})

if(NORV_STATIC_RUNTIME)
  find_path(NORV_FMT_INCLUDE_DIR fmt/format-inl.h REQUIRED)
  add_library(fmt::fmt INTERFACE IMPORTED GLOBAL)
  set_target_properties(fmt::fmt PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${NORV_FMT_INCLUDE_DIR}"
    INTERFACE_COMPILE_DEFINITIONS FMT_HEADER_ONLY=1)
  add_library(fmt::fmt-header-only ALIAS fmt::fmt)
  include(NorvRedirectPackage)
  norv_redirect_package(fmt)
endif()

if(NORV_STATIC_RUNTIME)
  include(CheckLinkerFlag)
  check_linker_flag(CXX -static-pie NORV_LINKS_STATIC_PIE)
endif()

# norv_program(TARGET): a program users run, linked as above.
function(norv_program target)
  if(NOT NORV_STATIC_RUNTIME)
    return()
  endif()
  if(NORV_LINKS_STATIC_PIE)
    # Not with -static-libstdc++: its -Bdynamic afterwards would bring the
    # shared libm back into a program that has no loader.
    target_link_options(${target} PRIVATE -static-pie)
  else()
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
  endif()
endfunction()
