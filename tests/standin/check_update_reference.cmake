# scripts/update-reference.sh on a stale copy of docs/reference.md: the part
# above "## Notes" becomes the catalogue, the notes stay byte for byte.
#
#   cmake -DHOST=trivu-host -DSCRIPT=update-reference.sh -DREFERENCE=reference.md -DWORK=DIR -P check_update_reference.cmake
cmake_minimum_required(VERSION 3.25)

file(READ ${REFERENCE} reference)
string(FIND "${reference}" "\n## Notes\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${REFERENCE} has no line '## Notes'")
endif()
math(EXPR at "${at} + 1")
string(SUBSTRING "${reference}" ${at} -1 notes)
# A second heading of the same name and a last line without its newline are
# notes like any other.
string(APPEND notes "\n## Notes\n\nA last line, no newline.")

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/reference.md "| an entry that is gone |\n\n${notes}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env TRIVU_HOST=${HOST} REFERENCE=${WORK}/reference.md bash ${SCRIPT}
  RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "update-reference.sh failed (${status}): ${err}")
endif()
execute_process(COMMAND ${HOST} catalogue OUTPUT_VARIABLE catalogue RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "trivu-host catalogue failed (${status})")
endif()
file(READ ${WORK}/reference.md updated)
if(NOT updated STREQUAL "${catalogue}\n${notes}")
  file(WRITE ${WORK}/expected.md "${catalogue}\n${notes}")
  message(FATAL_ERROR "update-reference.sh did not give the catalogue, a blank line and the notes as they were: "
    "compare ${WORK}/reference.md with ${WORK}/expected.md")
endif()
