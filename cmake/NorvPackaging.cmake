# Installation and the packages. `cmake --install <build>` puts the
# programs in place; `cpack --config <build>/CPackConfig.cmake` makes the
# .deb, or in a Windows cross build the zip (scripts/windows-package). The dialog's own folder installs the
# dialog with its desktop entry and icon; the command-line programs are
# installed here.
include(GNUInstallDirs)

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
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Library dependencies (Qt, fmt, ...) come from the binaries themselves.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
