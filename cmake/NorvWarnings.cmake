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
endfunction()
