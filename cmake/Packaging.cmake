# Installing, and the Debian package (cpack in a build directory):
#
#   /usr/bin/orbalis                        the command line
#   /usr/lib/orbalis/Orbalis.so             the plug-in, where orbalis looks
#                                           for it (../lib/orbalis beside bin/)
#   /usr/lib/orbalis/liborbalis-win32.so    the Win32 subset both link
#   /usr/share/orbalis/workbench/           the browser workbench's page
#   /usr/share/doc/orbalis/                 README.md and docs/
#
# The programs find the subset through their run path, relative to
# themselves, so the tree works wherever it is installed.
include(GNUInstallDirs)
# Installing and packing take what is built; they do not build every target
# (tests and benchmarks included) first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(ORBALIS_INSTALL_LIBDIR ${CMAKE_INSTALL_LIBDIR}/orbalis)
if(CMAKE_INSTALL_LIBDIR MATCHES "/")
  message(FATAL_ERROR "The package wants a plain library folder name, not ${CMAKE_INSTALL_LIBDIR}")
endif()

set_target_properties(orbalis PROPERTIES INSTALL_RPATH "$ORIGIN/../${ORBALIS_INSTALL_LIBDIR}")
set_target_properties(orbalis_plugin orbalis_win32 orbalis_handles PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS orbalis RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS orbalis_plugin orbalis_win32 orbalis_handles
  LIBRARY DESTINATION ${ORBALIS_INSTALL_LIBDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/tools/workbench/page/ DESTINATION ${CMAKE_INSTALL_DATADIR}/orbalis/workbench)
set(ORBALIS_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/orbalis)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${ORBALIS_INSTALL_DOCDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${ORBALIS_INSTALL_DOCDIR}/docs)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orbalis)
set(CPACK_PACKAGE_VENDOR Orbalis)
set(CPACK_PACKAGE_CONTACT "Orbalis <orbalis@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cartography plug-in for a vector drawing host, with its stand-in host")
set(CPACK_PACKAGE_DESCRIPTION
  "Orbalis moves, colours, scales and labels maps in a vector drawing host. This package holds the plug-in, the stand-in host's command line (orbalis) with its browser workbench, and the documentation.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The shared libraries the programs need become the package's dependencies
# (dpkg-shlibdeps, package dpkg-dev); the private subset is found beside the
# plug-in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/host)
include(CPack)
