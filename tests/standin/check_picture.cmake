# Draws a scenario with `trivu-host run SCENARIO --trace --svg OUT` (or
# writes its page, with -DOPTION=--html), compares the output byte for byte
# with the one kept in the sources (docs/pictures), and the trace with the
# one of a run without the option: drawing never changes a run. A page is
# pinned by the SHA-256 of its data block, the run as JSON (kept in
# tests/standin/pages/expected): what the Windows build must write as the
# Linux one does. What the page's script makes of it is for the browser
# checks (check_pages.sh, check_page_steps.py) to say.
#   -DHOST=... [-DEMULATOR=wine-run] -DSCENARIO=... -DEXPECTED=... -DOUT=... [-DOPTION=--html]
cmake_minimum_required(VERSION 3.25)
if(NOT OPTION)
  set(OPTION --svg)
endif()
execute_process(COMMAND ${EMULATOR} ${HOST} run ${SCENARIO} --trace ${OPTION} ${OUT}
  OUTPUT_VARIABLE drawn_trace ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "trivu-host run ${OPTION} ended with ${status}: ${err}")
endif()
execute_process(COMMAND ${EMULATOR} ${HOST} run ${SCENARIO} --trace
  OUTPUT_VARIABLE plain_trace ERROR_QUIET)
if(NOT drawn_trace STREQUAL plain_trace)
  message(FATAL_ERROR "the trace of ${SCENARIO} differs with ${OPTION}")
endif()
file(SHA256 ${OUT} actual)
if(EXPECTED MATCHES "[.]sha256$")
  file(READ ${OUT} page)
  if(NOT page MATCHES "<script type=\"application/json\" id=\"run\">([^<]*)</script>")
    message(FATAL_ERROR "${OUT} has no data block (<script type=\"application/json\" id=\"run\">)")
  endif()
  string(SHA256 actual "${CMAKE_MATCH_1}")
  file(STRINGS ${EXPECTED} expected LIMIT_COUNT 1)
  set(regenerate "build/trivu-host run ${SCENARIO} --trace ${OPTION} out && sed -n 's|.*<script type=\"application/json\" id=\"run\">\\([^<]*\\)</script>.*|\\1|p' out | tr -d '\\n' | sha256sum | cut -c1-64 > ${EXPECTED}")
else()
  file(SHA256 ${EXPECTED} expected)
  set(regenerate "build/trivu-host run ${SCENARIO} --trace ${OPTION} ${EXPECTED}")
endif()
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "${EXPECTED} no longer matches the output of ${SCENARIO} (left in ${OUT}). "
    "Regenerate it from the source folder: ${regenerate}")
endif()
