# norv_windows_resources(TARGET DESCRIPTION text [MANIFEST template] [ICON file]):
# a Windows program's manifest and version resource, both with the
# project's version, and its icon. MANIFEST defaults to that of a console
# program. Elsewhere it does nothing.
set(NORV_WINDOWS_TEMPLATES "${CMAKE_CURRENT_LIST_DIR}/windows")

function(norv_windows_resources target)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "DESCRIPTION;MANIFEST;ICON" "" ${ARGN})
  if(NOT ARG_MANIFEST)
    set(ARG_MANIFEST "${NORV_WINDOWS_TEMPLATES}/console-program.manifest.in")
  endif()
  set(NORV_PROGRAM_NAME ${target})
  set(NORV_FILE_DESCRIPTION "${ARG_DESCRIPTION}")
  # Norv.VersionUpdateCli from norv-version-update-cli, Norv.JetCli from jet-cli.
  string(REGEX REPLACE "^norv-" "" words "${target}")
  string(REPLACE "-" ";" words "${words}")
  set(NORV_ASSEMBLY_NAME "Norv.")
  foreach(word ${words})
    string(SUBSTRING "${word}" 0 1 first)
    string(TOUPPER "${first}" first)
    string(SUBSTRING "${word}" 1 -1 rest)
    string(APPEND NORV_ASSEMBLY_NAME "${first}${rest}")
  endforeach()
  # A manifest's version has four parts.
  set(NORV_ASSEMBLY_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
  set(NORV_ICON_RESOURCE "")
  if(ARG_ICON)
    set(NORV_ICON_RESOURCE "1 ICON \"${ARG_ICON}\"")
  endif()
  set(NORV_MANIFEST_FILE "${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest")
  configure_file("${ARG_MANIFEST}" "${NORV_MANIFEST_FILE}" @ONLY)
  configure_file("${NORV_WINDOWS_TEMPLATES}/program.rc.in"
                 "${CMAKE_CURRENT_BINARY_DIR}/${target}.rc" @ONLY)
  target_sources(${target} PRIVATE "${CMAKE_CURRENT_BINARY_DIR}/${target}.rc")
endfunction()
