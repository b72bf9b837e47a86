# norv_redirect_package(PACKAGE): every later find_package(PACKAGE) of the
# tree, in module mode too, finds the targets this project defined for it
# instead of a package installed on the machine.
function(norv_redirect_package package)
  string(TOLOWER "${package}" name)
  file(WRITE "${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/${name}-config.cmake"
    "# Provided by the project's own CMake files\nset(${package}_FOUND TRUE)\n")
  file(WRITE "${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/${name}-config-version.cmake"
    "set(PACKAGE_VERSION_COMPATIBLE TRUE)\nset(PACKAGE_VERSION_EXACT FALSE)\n")
endfunction()
