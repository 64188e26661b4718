# cpack -G DEB (run in the build folder): a Debian package of everything
# `cmake --install` installs (library with its SONAME links, headers, CMake
# and pkg-config files, the tool and its manual page), under /usr. The
# package's dependencies are found from the library and the tool by
# dpkg-shlibdeps (package dpkg-dev).
set(CPACK_PACKAGE_NAME zidevuv10)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "reads and writes Windows-style initialization files (library, headers, tool)")
set(CPACK_PACKAGE_CONTACT "zidevuv10 developers <zidevuv10@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_GENERATOR DEB)
# Packaging takes what zidevuv10_installables built, not the whole build.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
