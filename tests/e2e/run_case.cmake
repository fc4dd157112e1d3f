# Plays one end-to-end case (see CMakeLists.txt) and compares the exit status,
# standard output and standard error with the expected ones. On a mismatch the
# actual output is left in WORK for inspection.
#
# The scenario is ${CASE}.json; the expectations are ${EXPECT}.out and its
# companions, EXPECT defaulting to CASE (the examples keep theirs apart).
# In NAME.err, @SCENARIO@ stands for the scenario's path.
#
# With RUNTIME the case is played as a built game plays it (run --runtime):
# on the run-time library RUNTIME, or on the probe again for a case that runs
# the probe, and must give the very same results.
cmake_minimum_required(VERSION 3.25)

foreach(var HOST PROBE CASE WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_case.cmake needs -D${var}=...")
  endif()
endforeach()

if(NOT DEFINED EXPECT)
  set(EXPECT ${CASE})
endif()

# KEEP_WORK plays in a folder as it is (an unzipped package).
if(NOT KEEP_WORK)
  file(REMOVE_RECURSE ${WORK})
  file(MAKE_DIRECTORY ${WORK})
endif()

set(args "")
if(EXISTS ${EXPECT}.args)
  file(READ ${EXPECT}.args words)
  string(STRIP "${words}" words)
  string(REPLACE "@PROBE@" "${PROBE}" words "${words}")
  separate_arguments(args UNIX_COMMAND "${words}")
endif()
if(DEFINED RUNTIME)
  if(words MATCHES "@PROBE@" OR "${PROBE}" IN_LIST args)
    list(APPEND args --runtime ${PROBE})
  else()
    list(APPEND args --runtime ${RUNTIME})
  endif()
endif()

# EMULATOR, when given, runs the host (the Windows build's, under Wine).
execute_process(COMMAND ${EMULATOR} ${HOST} run ${CASE}.json ${args}
  WORKING_DIRECTORY ${WORK}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)

set(faults "")
set(want_status 0)
if(EXISTS ${EXPECT}.status)
  file(READ ${EXPECT}.status want_status)
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
    string(REPLACE "@SCENARIO@" "${CASE}.json" want "${want}")
  endif()
  if(NOT actual STREQUAL want)
    file(WRITE ${WORK}/actual.${stream} "${actual}")
    file(WRITE ${WORK}/expected.${stream} "${want}")
    execute_process(COMMAND diff -u ${WORK}/expected.${stream} ${WORK}/actual.${stream} OUTPUT_VARIABLE diff)
    set(faults "${faults}standard ${stream} differs:\n${diff}\n" PARENT_SCOPE)
  endif()
endfunction()

# A text file saved by the extension is a Windows text file there (CR LF):
# a case that prints one keeps the Windows build's output in NAME.win32.out.
set(want_out ${EXPECT}.out)
if(WIN32_BUILD AND EXISTS ${EXPECT}.win32.out)
  set(want_out ${EXPECT}.win32.out)
endif()
compare(out "${out}" ${want_out})
compare(err "${err}" ${EXPECT}.err)

if(faults)
  message(FATAL_ERROR "${CASE}.json:\n${faults}")
endif()
