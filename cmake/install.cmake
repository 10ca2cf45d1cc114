# Installation and packaging of the executable, its manual page and its bash
# completion.
include(GNUInstallDirs)
install(TARGETS rostrix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Debian ships manual pages gzip-compressed (gzip -9n: no name or time stamp,
# so the package is the same from one build to the next). Where gzip is
# missing the page is installed as it is; man reads both.
set(ROSTRIX_MAN_PAGE ${PROJECT_SOURCE_DIR}/docs/rostrix.1)
find_program(ROSTRIX_GZIP gzip)
if(ROSTRIX_GZIP)
  set(ROSTRIX_INSTALLED_MAN_PAGE ${PROJECT_BINARY_DIR}/rostrix.1.gz)
  add_custom_command(
    OUTPUT ${ROSTRIX_INSTALLED_MAN_PAGE}
    COMMAND ${ROSTRIX_GZIP} -9n -c ${ROSTRIX_MAN_PAGE} > ${ROSTRIX_INSTALLED_MAN_PAGE}
    DEPENDS ${ROSTRIX_MAN_PAGE}
    COMMENT "Compressing the manual page")
  add_custom_target(man_page ALL DEPENDS ${ROSTRIX_INSTALLED_MAN_PAGE})
else()
  set(ROSTRIX_INSTALLED_MAN_PAGE ${ROSTRIX_MAN_PAGE})
endif()
install(FILES ${ROSTRIX_INSTALLED_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# bash-completion loads completions/<command> on first use of the command.
install(FILES ${PROJECT_SOURCE_DIR}/completions/rostrix
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# `cpack -G DEB` in the build directory makes rostrix_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rostrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the rostrix developers")
set(CPACK_PACKAGE_CONTACT "the rostrix developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "list and rebuild the teams of Torvanel save files")
set(CPACK_PACKAGE_DESCRIPTION
    "rostrix lists the teams and units of Torvanel save files (SQD files) as\n\
tab-separated text, makes a new save file from a list of whole teams, and\n\
builds one from teams composed unit by unit, repairing formation cells and\n\
naming unnamed teams.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "the rostrix developers")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# CPack finds the executables to give dpkg-shlibdeps with file(1).
find_program(ROSTRIX_DPKG_SHLIBDEPS dpkg-shlibdeps)
find_program(ROSTRIX_FILE file)
if(ROSTRIX_DPKG_SHLIBDEPS AND ROSTRIX_FILE)
  # The libraries the executable is linked with, and their versions.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  # Without them: what a build on Debian 12 needs at run time, less what the
  # executable has built in.
  get_target_property(ROSTRIX_LINK_OPTIONS rostrix LINK_OPTIONS)
  if("-static" IN_LIST ROSTRIX_LINK_OPTIONS)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "")
  elseif("-static-libstdc++" IN_LIST ROSTRIX_LINK_OPTIONS)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34)")
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1 (>= 3.0)")
  endif()
endif()
include(CPack)
