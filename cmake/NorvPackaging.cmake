# Installation and the packages. `cmake --install <build>` puts the
# programs in place; `cpack --config <build>/CPackConfig.cmake` makes the
# .deb, or in a Windows cross build the zip (scripts/windows-package). The dialog's own folder installs the
# dialog with its desktop entry and icon; the command-line programs are
# installed here.
include(GNUInstallDirs)

# norv_manual_page(PROGRAM SUMMARY): section 1 page made from the program's
# --help by help2man, so that it never drifts from the program; none where
# help2man is missing.
function(norv_manual_page program summary)
  find_program(NORV_HELP2MAN help2man)
  if(NOT NORV_HELP2MAN OR NOT TARGET ${program})
    return()
  endif()
  set(page "${CMAKE_BINARY_DIR}/man/${program}.1")
  add_custom_command(OUTPUT "${page}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/man"
    COMMAND "${NORV_HELP2MAN}" --no-info "--version-string=${PROJECT_VERSION}"
            "--name=${summary}" "--output=${page}" "$<TARGET_FILE:${program}>"
    DEPENDS ${program} VERBATIM)
  add_custom_target(${program}-manual-page ALL DEPENDS "${page}")
  install(FILES "${page}" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

foreach(program norv-version-update-cli jet-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(WIN32)
  # A zip to unpack and run: the programs and README-Windows.txt (app/win32).
  # Installing takes the programs as built: scripts/windows-package builds
  # those three alone, not the tests.
  set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_PACKAGE_FILE_NAME norv-version-update-${PROJECT_VERSION}-win64)
  else()
    set(CPACK_PACKAGE_FILE_NAME norv-version-update-${PROJECT_VERSION}-win32)
  endif()
else()
  install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  norv_manual_page(norv-version-update-cli
    "write a version number into the control tables of the Norv suite's databases")
  norv_manual_page(jet-cli "read, create and update Jet (.mdb) databases")
  set(CPACK_GENERATOR DEB)
endif()
set(CPACK_PACKAGE_NAME norv-version-update)
set(CPACK_PACKAGE_VENDOR "Norv Software")
set(CPACK_PACKAGE_CONTACT "Norv developers <dev@norv.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Writes a version number into the control tables of the Norv suite's Jet databases")
set(CPACK_PACKAGE_DESCRIPTION
  "A maintenance tool for the Norv application suite: the \"Version Update\" dialog, its\
 command line norv-version-update-cli and jet-cli. It reads and updates Jet (.mdb)\
 databases with its own engine, and finds the suite through a Wine prefix's registry.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Quotes in the texts above reach the package as written, not as list
# separators.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Library dependencies (Qt, fmt, ...) come from the binaries themselves.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
