# Runs PROGRAM with the folder FOLDER (made empty first) and fails unless it
# exits with 0 and prints exactly the contents of EXPECTED.
file(REMOVE_RECURSE ${FOLDER})
file(MAKE_DIRECTORY ${FOLDER})
execute_process(COMMAND ${PROGRAM} ${FOLDER} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
file(READ ${EXPECTED} expected)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} exited with ${rc}; it printed:\n${out}")
endif()
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "${PROGRAM} printed:\n${out}\nexpected:\n${expected}")
endif()
