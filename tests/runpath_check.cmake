# Fails when an ELF file the build made (under BUILD), or one a fresh
# install of the build puts under a prefix, has an empty or relative entry
# in its RPATH or RUNPATH: the loader takes those as the current folder, so
# running a program from a folder someone else filled would load their
# libraries. Entries starting with $ORIGIN are fine.
#   cmake -DBUILD=<build folder> -DREADELF=<readelf> -P runpath_check.cmake
set(stage "${BUILD}/runpath-check-install")
file(REMOVE_RECURSE "${stage}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${stage}"
  RESULT_VARIABLE failed OUTPUT_QUIET ERROR_VARIABLE error)
if(failed)
  message(FATAL_ERROR "installing into ${stage} failed: ${error}")
endif()

# Programs and shared objects: the executable files, and shared objects by
# name (installed without the execute bit on Debian); not the data files
# other tests write into the build folder meanwhile.
execute_process(COMMAND find "${BUILD}" -type f ( -perm -u=x -o -name *.so -o -name *.so.* )
  OUTPUT_VARIABLE files OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot list the files under ${BUILD}")
endif()
string(REPLACE "\n" ";" files "${files}")
set(searched 0)
set(faults "")
foreach(file IN LISTS files)
  # A file that is no ELF file gives no dynamic section.
  execute_process(COMMAND ${READELF} -d "${file}" OUTPUT_VARIABLE dynamic ERROR_QUIET)
  string(REGEX MATCHALL "\\((RPATH|RUNPATH)\\)[^\n]*" entries "${dynamic}")
  foreach(entry IN LISTS entries)
    math(EXPR searched "${searched} + 1")
    string(REGEX REPLACE "^[^[]*\\[(.*)\\]$" "\\1" path "${entry}")
    if(path STREQUAL "" OR path MATCHES "^:|::|:$")
      string(APPEND faults "  ${file}: an empty entry in [${path}]\n")
    endif()
    string(REPLACE ":" ";" parts "${path}")
    foreach(part IN LISTS parts)
      if(NOT part STREQUAL "" AND NOT part MATCHES "^(/|\\$ORIGIN|\\$\\{ORIGIN\\})")
        string(APPEND faults "  ${file}: the relative entry ${part} in [${path}]\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "loader search paths that reach the current folder:\n${faults}")
endif()
if(searched EQUAL 0)
  message(FATAL_ERROR "no ELF file under ${BUILD} has a search path: nothing was checked")
endif()
file(REMOVE_RECURSE "${stage}")
message(STATUS "${searched} search paths checked, none empty or relative")
