# What `cmake --install` puts under the prefix: zidevuv10.so and
# zidevuv10-profile.so with their SONAME links and development links, the
# public headers with the generated version header, the command-line tool
# and its manual page when the build has it, the CMake package (imported
# targets zidevuv10::zidevuv10 and zidevuv10::profile), zidevuv10.pc and
# zidevuv10-profile.pc, and the Python package when the build has it
# (python/CMakeLists.txt). The static archive, tests, benchmarks and fuzz
# targets stay in the build tree.
#
# The target zidevuv10_installables builds exactly what is installed, for a
# build folder that has not built everything; installing takes what it
# built rather than building everything first.
include(CMakePackageConfigHelpers)

set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(ZIDEVUV10_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/zidevuv10)

install(TARGETS zidevuv10 zidevuv10_profile EXPORT zidevuv10Targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/zidevuv10/
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zidevuv10
  FILES_MATCHING PATTERN "*.h")
install(FILES ${ZIDEVUV10_GENERATED_INCLUDE}/zidevuv10/version.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zidevuv10)
# The C functions' manual page zidevuv10-profile(3).
configure_file(${PROJECT_SOURCE_DIR}/platform/c_api/zidevuv10-profile.3
  ${PROJECT_BINARY_DIR}/zidevuv10-profile.3 @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/zidevuv10-profile.3 DESTINATION ${CMAKE_INSTALL_MANDIR}/man3)

add_custom_target(zidevuv10_installables)
add_dependencies(zidevuv10_installables zidevuv10 zidevuv10_profile)

# The tool finds the library beside its own folder wherever the prefix is.
if(TARGET zidevuv10_cli)
  file(RELATIVE_PATH zidevuv10_bin_to_lib
    ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  install(TARGETS zidevuv10_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  zidevuv10_install_runpath(zidevuv10_cli ${CMAKE_INSTALL_BINDIR} "$ORIGIN/${zidevuv10_bin_to_lib}")
  install(FILES ${PROJECT_BINARY_DIR}/tools/cli/zidevuv10.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  add_dependencies(zidevuv10_installables zidevuv10_cli)
endif()

# The Python package, when the build has it (its rules are in python/).
if(TARGET zidevuv10_python)
  add_dependencies(zidevuv10_installables zidevuv10_python)
endif()

# The CMake package. The library's own dependencies (ICU, threads) are
# private to the shared object, so the package needs none of them.
install(EXPORT zidevuv10Targets NAMESPACE zidevuv10:: DESTINATION ${ZIDEVUV10_PACKAGE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/zidevuv10Config.cmake.in
  ${PROJECT_BINARY_DIR}/zidevuv10Config.cmake
  INSTALL_DESTINATION ${ZIDEVUV10_PACKAGE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/zidevuv10ConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/zidevuv10Config.cmake
  ${PROJECT_BINARY_DIR}/zidevuv10ConfigVersion.cmake
  DESTINATION ${ZIDEVUV10_PACKAGE_DIR})

# zidevuv10.pc. Its prefix is found from the file's own place, so the file is
# right wherever the install lands (cmake --install --prefix, DESTDIR). A
# relative folder is taken under that prefix, an absolute one as it is.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(ZIDEVUV10_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH zidevuv10_pc_up /x/${CMAKE_INSTALL_LIBDIR}/pkgconfig /x)
  string(REGEX REPLACE "/$" "" zidevuv10_pc_up "${zidevuv10_pc_up}")
  set(ZIDEVUV10_PC_PREFIX "\${pcfiledir}/${zidevuv10_pc_up}")
endif()
foreach(dir LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${dir}}")
    set(ZIDEVUV10_PC_${dir} "${CMAKE_INSTALL_${dir}}")
  else()
    set(ZIDEVUV10_PC_${dir} "\${prefix}/${CMAKE_INSTALL_${dir}}")
  endif()
endforeach()
# One file per library: zidevuv10 (everything) and zidevuv10-profile (the C
# functions alone).
foreach(module IN ITEMS zidevuv10 zidevuv10-profile)
  set(ZIDEVUV10_PC_MODULE ${module})
  if(module STREQUAL "zidevuv10")
    set(ZIDEVUV10_PC_DESCRIPTION "Reads and writes Windows-style INI files as the Windows profile API does")
  else()
    set(ZIDEVUV10_PC_DESCRIPTION "The Windows profile API's C functions alone, without the classes")
  endif()
  configure_file(${CMAKE_CURRENT_LIST_DIR}/zidevuv10.pc.in ${PROJECT_BINARY_DIR}/${module}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${module}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()
