# Shared compile settings for every target of the project.
add_library(norv_options INTERFACE)
target_compile_options(norv_options INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic>)
if(NORV_WARNINGS_AS_ERRORS)
  target_compile_options(norv_options INTERFACE -Werror)
endif()
if(WIN32)
  # <windows.h> without its min/max macros and the rarely used headers.
  target_compile_definitions(norv_options INTERFACE NOMINMAX WIN32_LEAN_AND_MEAN)
endif()
if(NORV_SANITIZE)
  target_compile_options(norv_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(norv_options INTERFACE -fsanitize=address,undefined)
endif()

# norv_library(NAME SOURCES... PUBLIC_HEADERS... DEPS... PRIVATE_DEPS...):
# one library per folder. Headers read as "jet/database.h", but a target
# sees only its own folder's headers and the PUBLIC_HEADERS of the libraries
# it links: each library's include root is a folder of links made here, one
# to each public header, and a second root with a link to its own source
# folder that only the library itself and its programs get (see
# norv_own_headers). So a layer that includes a header of a layer above it,
# or another layer's internals, does not compile. DEPS are part of a
# library's interface (their public headers are its callers' too);
# PRIVATE_DEPS are not, so a library made of inner layers shows its callers
# only its own public headers. Tests, benchmarks and fuzz targets are
# whitebox code and include from the project root.
function(norv_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_HEADERS;DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  file(RELATIVE_PATH folder "${PROJECT_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}")
  set(public_root "${PROJECT_BINARY_DIR}/include/public/${name}")
  file(REMOVE_RECURSE "${public_root}")
  file(MAKE_DIRECTORY "${public_root}/${folder}")
  foreach(header ${ARG_PUBLIC_HEADERS})
    get_filename_component(header_folder "${public_root}/${folder}/${header}" DIRECTORY)
    file(MAKE_DIRECTORY "${header_folder}")
    norv_link("${CMAKE_CURRENT_SOURCE_DIR}/${header}" "${public_root}/${folder}/${header}")
  endforeach()
  norv_own_headers(${name})
  target_include_directories(${name} PUBLIC "${public_root}")
  target_link_libraries(${name} PUBLIC norv_options ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  # Absolute paths (also inside the platform choices) for norv_release_copy.
  list(TRANSFORM ARG_SOURCES REPLACE "([A-Za-z0-9_]+\\.cpp)" "${CMAKE_CURRENT_SOURCE_DIR}/\\1")
  set_property(GLOBAL PROPERTY norv_sources_${name} "${ARG_SOURCES}")
endfunction()

# norv_own_headers(TARGET): TARGET, defined in this folder, sees this
# folder's headers as "<folder>/<header>", through a root holding a link to
# the folder alone (the project root would show every layer's internals).
function(norv_own_headers target)
  file(RELATIVE_PATH folder "${PROJECT_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}")
  set(private_root "${PROJECT_BINARY_DIR}/include/private/${target}")
  file(REMOVE_RECURSE "${private_root}")
  get_filename_component(parent "${private_root}/${folder}" DIRECTORY)
  file(MAKE_DIRECTORY "${parent}")
  norv_link("${CMAKE_CURRENT_SOURCE_DIR}" "${private_root}/${folder}")
  target_include_directories(${target} PRIVATE "${private_root}")
endfunction()

# A symbolic link, or a copy where the file system has none.
function(norv_link target link)
  file(CREATE_LINK "${target}" "${link}" COPY_ON_ERROR SYMBOLIC)
endfunction()

# norv_release_copy(NAME SOURCES... LIBRARIES... DEPS...): an executable of
# SOURCES and the sources of the project LIBRARIES compiled again as a
# Release build is (-O3, no assertions), whatever this tree's build type,
# and linked with link-time optimisation so that GCC checks the one
# definition rule across the whole program: two different types of one
# name fail the build instead of mixing their code at run time.
function(norv_release_copy name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;DEPS" ${ARGN})
  set(sources ${ARG_SOURCES})
  foreach(library ${ARG_LIBRARIES})
    get_property(library_sources GLOBAL PROPERTY norv_sources_${library})
    list(APPEND sources ${library_sources})
  endforeach()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_compile_options(${name} PRIVATE -Wall -Wextra -O3 -flto=auto
    $<$<BOOL:${NORV_WARNINGS_AS_ERRORS}>:-Werror>)
  target_compile_definitions(${name} PRIVATE NDEBUG)
  # -Wstringop-overread: GCC 12 misreads std::vector comparisons inlined at -O3.
  target_link_options(${name} PRIVATE -O3 -flto=auto -Werror=odr -Werror=lto-type-mismatch
    -Wno-stringop-overread)
endfunction()
