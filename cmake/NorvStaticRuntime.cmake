# Programs that carry their C++ runtime and {fmt} inside them (Linux).
#
# A command line such as jet-cli runs for a few milliseconds, and with the
# runtime in shared libraries the dynamic loader took a third of its CPU
# time: finding, mapping and relocating libstdc++, libgcc_s, libfmt and libc.
# So libstdc++ and libgcc are linked statically, and {fmt} is used in its
# header-only mode (Debian ships no static archive of it), for the whole
# tree, since the libraries' code ends up in the programs. Windows builds
# link everything statically already (the MinGW toolchain files).
#
# The C library stays the system's shared one. A static glibc still loads
# parts of itself at run time (iconv's character sets, which Jet 3 text in
# code pages other than 1252 needs, and the user database), and those must
# come from the very glibc it was built from; a package installed on a
# machine with another glibc would then misread text. The loader's share of
# a run is what that costs; bench/ measures it.
#
# The Qt dialog stays dynamic: Qt's own libraries load the shared libstdc++
# anyway, and a second, static copy in the same process would gain nothing.

if(CMAKE_CROSSCOMPILING OR WIN32 OR APPLE OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang"
   OR NORV_SANITIZE OR NORV_BUILD_FUZZ)
  set(norv_static_runtime_default OFF)
else()
  set(norv_static_runtime_default ON)
endif()
option(NORV_STATIC_RUNTIME "Link the programs' C++ runtime and {fmt} statically"
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

# norv_program(TARGET): a program users run, linked as above.
function(norv_program target)
  if(NORV_STATIC_RUNTIME)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
  endif()
endfunction()
