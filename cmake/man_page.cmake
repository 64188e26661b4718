# Writes the manual page zidevuv10(1) from the tool's own help texts, so the
# page says what --help says: the tool's help, then each command's help.
#   cmake -DTOOL=path/to/zidevuv10 -DOUTPUT=zidevuv10.1 -DVERSION=1.0.0 -P man_page.cmake

function(help_of out)
  execute_process(COMMAND ${TOOL} ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TOOL} ${ARGN} failed: ${status}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Help text as literal roff lines: backslashes escaped, and a line starting
# with "." or "'" kept from being read as a request.
function(roff_literal out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} ".nf\n${text}.fi\n" PARENT_SCOPE)
endfunction()

help_of(top --help)
string(REGEX MATCH "\nCommands:\n(.*)\n\nOptions:" commands_block "${top}")
string(REGEX MATCHALL "\n  [a-z]+ " command_lines "\n${CMAKE_MATCH_1}")

roff_literal(top_roff "${top}")
set(page ".TH ZIDEVUV10 1 \"\" \"zidevuv10 ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\nzidevuv10 \\- read and write Windows-style initialization files\n")
string(APPEND page ".SH DESCRIPTION\n${top_roff}")
string(APPEND page ".SH COMMANDS\n")
foreach(line IN LISTS command_lines)
  string(STRIP "${line}" command)
  help_of(text ${command} --help)
  roff_literal(text_roff "${text}")
  string(APPEND page ".SS ${command}\n${text_roff}")
endforeach()
string(APPEND page ".SH SEE ALSO\nThe README of the zidevuv10 sources, and tools/script/README.md for the script language.\n")
file(WRITE ${OUTPUT} "${page}")
