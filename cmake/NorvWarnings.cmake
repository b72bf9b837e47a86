# Shared compile settings for every target of the project.
add_library(norv_options INTERFACE)
target_compile_options(norv_options INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic>)
if(WIN32)
  # <windows.h> without its min/max macros and the rarely used headers.
  target_compile_definitions(norv_options INTERFACE NOMINMAX WIN32_LEAN_AND_MEAN)
endif()
if(NORV_SANITIZE)
  target_compile_options(norv_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(norv_options INTERFACE -fsanitize=address,undefined)
endif()

# norv_library(NAME SOURCES... DEPS ...): one library per folder, includes
# rooted at the project so headers read as "jet/database.h".
function(norv_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC norv_options ${ARG_DEPS})
  # Absolute paths (also inside the platform choices) for norv_release_copy.
  list(TRANSFORM ARG_SOURCES REPLACE "([A-Za-z0-9_]+\\.cpp)" "${CMAKE_CURRENT_SOURCE_DIR}/\\1")
  set_property(GLOBAL PROPERTY norv_sources_${name} "${ARG_SOURCES}")
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
  target_compile_options(${name} PRIVATE -Wall -Wextra -O3 -flto=auto)
  target_compile_definitions(${name} PRIVATE NDEBUG)
  # -Wstringop-overread: GCC 12 misreads std::vector comparisons inlined at -O3.
  target_link_options(${name} PRIVATE -O3 -flto=auto -Werror=odr -Werror=lto-type-mismatch
    -Wno-stringop-overread)
endfunction()
