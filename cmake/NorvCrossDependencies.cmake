# Third-party code for cross builds (MinGW-w64). Debian ships {fmt}, CLI11
# and nlohmann-json as headers for the build machine and GoogleTest as
# sources; a cross build uses the headers alone ({fmt} in its header-only
# mode) and compiles GoogleTest with the cross compiler. Every
# find_package() of the tree then finds these instead of the build
# machine's libraries, so the layers' CMake files stay as they are.

set(NORV_HOST_INCLUDE_DIR /usr/include CACHE PATH "Build machine's header folder holding fmt/, CLI/, nlohmann/")
set(NORV_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian's googletest package)")

include(NorvRedirectPackage)

# Only the three libraries' folders are put on the include path: the whole of
# /usr/include would hide MinGW's C library behind glibc's headers.
set(norv_host_headers "${CMAKE_BINARY_DIR}/host-headers")
file(MAKE_DIRECTORY "${norv_host_headers}")

# norv_header_only_package(PACKAGE TARGET FOLDER [DEFINITIONS...])
function(norv_header_only_package package target folder)
  set(source "${NORV_HOST_INCLUDE_DIR}/${folder}")
  if(NOT EXISTS "${source}")
    return()
  endif()
  if(NOT EXISTS "${norv_host_headers}/${folder}")
    file(CREATE_LINK "${source}" "${norv_host_headers}/${folder}" SYMBOLIC)
  endif()
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${norv_host_headers}"
    INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${norv_host_headers}"
    INTERFACE_COMPILE_DEFINITIONS "${ARGN}")
  norv_redirect_package(${package})
endfunction()

norv_header_only_package(fmt fmt::fmt fmt FMT_HEADER_ONLY=1)
if(TARGET fmt::fmt)
  add_library(fmt::fmt-header-only ALIAS fmt::fmt)
endif()
norv_header_only_package(CLI11 CLI11::CLI11 CLI)
norv_header_only_package(nlohmann_json nlohmann_json::nlohmann_json nlohmann)

if(NORV_BUILD_TESTS)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # Windows' own threading primitives rather than winpthread.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory("${NORV_GOOGLETEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
  foreach(library gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${library})
      add_library(GTest::${library} ALIAS ${library})
    endif()
  endforeach()
  norv_redirect_package(GTest)
endif()
