# Draws a scenario with `trivu-host run SCENARIO --trace --svg OUT`, compares
# the drawing with the picture kept in docs/pictures byte for byte, and the
# trace with the one of a run without --svg: drawing never changes a run.
#   -DHOST=... [-DEMULATOR=wine-run] -DSCENARIO=... -DEXPECTED=... -DOUT=...
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${EMULATOR} ${HOST} run ${SCENARIO} --trace --svg ${OUT}
  OUTPUT_VARIABLE drawn_trace ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "trivu-host run --svg ended with ${status}: ${err}")
endif()
execute_process(COMMAND ${EMULATOR} ${HOST} run ${SCENARIO} --trace
  OUTPUT_VARIABLE plain_trace ERROR_QUIET)
if(NOT drawn_trace STREQUAL plain_trace)
  message(FATAL_ERROR "the trace of ${SCENARIO} differs with --svg")
endif()
file(READ ${OUT} actual)
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "${EXPECTED} no longer matches the drawing of ${SCENARIO} (left in ${OUT}). "
    "Regenerate it from the source folder: build/trivu-host run ${SCENARIO} --svg ${EXPECTED}")
endif()
