# Draws a scenario with `trivu-host run SCENARIO --svg OUT` and compares the
# drawing with the picture kept in docs/pictures, byte for byte.
#   -DHOST=... [-DEMULATOR=wine-run] -DSCENARIO=... -DEXPECTED=... -DOUT=...
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${EMULATOR} ${HOST} run ${SCENARIO} --svg ${OUT}
  OUTPUT_QUIET ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "trivu-host run --svg ended with ${status}: ${err}")
endif()
file(READ ${OUT} actual)
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "${EXPECTED} no longer matches the drawing of ${SCENARIO} (left in ${OUT}). "
    "Regenerate it from the source folder: build/trivu-host run ${SCENARIO} --svg ${EXPECTED}")
endif()
