# Plays one end-to-end case (see CMakeLists.txt) and compares the exit status,
# standard output and standard error with the expected ones. On a mismatch the
# actual output is left in WORK for inspection.
cmake_minimum_required(VERSION 3.25)

foreach(var HOST PROBE CASE WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_case.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

set(args "")
if(EXISTS ${CASE}.args)
  file(READ ${CASE}.args words)
  string(STRIP "${words}" words)
  string(REPLACE "@PROBE@" "${PROBE}" words "${words}")
  separate_arguments(args UNIX_COMMAND "${words}")
endif()

# EMULATOR, when given, runs the host (the Windows build's, under Wine).
execute_process(COMMAND ${EMULATOR} ${HOST} run ${CASE}.json ${args}
  WORKING_DIRECTORY ${WORK}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)

set(faults "")
set(want_status 0)
if(EXISTS ${CASE}.status)
  file(READ ${CASE}.status want_status)
  string(STRIP "${want_status}" want_status)
endif()
if(NOT status STREQUAL want_status)
  string(APPEND faults "exit status ${status}, expected ${want_status}\n")
endif()

# Compares one stream; `expected` is a file, or empty for "nothing".
function(compare stream actual expected)
  set(want "")
  if(EXISTS ${expected})
    file(READ ${expected} want)
  endif()
  if(NOT actual STREQUAL want)
    file(WRITE ${WORK}/actual.${stream} "${actual}")
    file(WRITE ${WORK}/expected.${stream} "${want}")
    execute_process(COMMAND diff -u ${WORK}/expected.${stream} ${WORK}/actual.${stream} OUTPUT_VARIABLE diff)
    set(faults "${faults}standard ${stream} differs:\n${diff}\n" PARENT_SCOPE)
  endif()
endfunction()

compare(out "${out}" ${CASE}.out)
compare(err "${err}" ${CASE}.err)

if(faults)
  message(FATAL_ERROR "${CASE}.json:\n${faults}")
endif()
