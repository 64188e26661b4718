# The loader's search path (RUNPATH) of what is installed with one: the build
# folder in the build tree, $ORIGIN-based once installed; never an empty or
# relative entry, which the loader takes as the current folder.
#
# CMake's own install-time rewrite cannot give that: it ends the build-tree
# path with ":" padding (empty entries) to reserve room for the installed
# one. Here the build tree's path is the build folder written with trailing
# slashes up to the installed path's length (the same folder to the loader),
# and the install rewrites it in place.
#
# zidevuv10_install_runpath(TARGET DESTINATION RUNPATH): call after the
# target's install(TARGETS ... DESTINATION), with the same destination.
function(zidevuv10_install_runpath target destination runpath)
  set(build_path "${PROJECT_BINARY_DIR}")
  string(LENGTH "${runpath}" wanted)
  string(LENGTH "${build_path}" length)
  while(length LESS wanted)
    string(APPEND build_path "/")
    math(EXPR length "${length} + 1")
  endwhile()
  set_target_properties(${target} PROPERTIES BUILD_WITH_INSTALL_RPATH ON INSTALL_RPATH "${build_path}")
  if(NOT IS_ABSOLUTE "${destination}")
    set(destination "\${CMAKE_INSTALL_PREFIX}/${destination}")
  endif()
  install(CODE "file(RPATH_CHANGE
    FILE \"\$ENV{DESTDIR}${destination}/$<TARGET_FILE_NAME:${target}>\"
    OLD_RPATH \"${build_path}\" NEW_RPATH \"${runpath}\")")
endfunction()
