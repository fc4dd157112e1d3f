# Runs a program and compares what it printed with what was expected.
#
#   cmake [-DNAME=VALUE]... -P compare_output.cmake -- PROGRAM [ARGUMENT]...
#
# Everything after "--" is the command, one argument each (empty ones too).
# Settings (values cannot hold ";", which CMake takes as a list separator):
#   EXPECTED_FILE      a file whose content standard output must match
#   EXPECTED           the text standard output must match (instead of a file)
#   MATCH              exact (default), prefix (output starts with the
#                      expectation) or contains
#   EXIT_CODE          the exit status wanted (default 0)
#   STDERR_CONTAINS    a text standard error must contain
#   WORKING_DIRECTORY  where to run the command (default: the current one)
#   EXPECTED_ENDS_AT   a heading line of the expected file where the
#                      comparison stops (hand-written notes after a
#                      generated text); the blank line before it is dropped
#   HINT               a line added to the failure message, e.g. how to
#                      regenerate the expected file
#   OUTPUT_FILE        also write standard output there (to refresh an
#                      expectation by hand)
#
# With neither EXPECTED_FILE nor EXPECTED, standard output is not checked.
# A mismatch fails with a unified diff of expected and actual output.

cmake_minimum_required(VERSION 3.25)

# ---- The command after "--" --------------------------------------------------
set(command "")
set(seen_separator FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE ${last})
  if(seen_separator)
    list(APPEND command "${CMAKE_ARGV${i}}")
  elseif("${CMAKE_ARGV${i}}" STREQUAL "--")
    set(seen_separator TRUE)
  endif()
endforeach()
if(NOT seen_separator OR command STREQUAL "")
  message(FATAL_ERROR "compare_output: no command; use -P compare_output.cmake -- PROGRAM [ARGUMENT]...")
endif()

if(NOT DEFINED MATCH)
  set(MATCH exact)
endif()
if(NOT MATCH MATCHES "^(exact|prefix|contains)$")
  message(FATAL_ERROR "compare_output: MATCH is exact, prefix or contains, not '${MATCH}'")
endif()
if(NOT DEFINED EXIT_CODE)
  set(EXIT_CODE 0)
endif()
if(NOT DEFINED WORKING_DIRECTORY)
  set(WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
endif()

# ---- Run it -------------------------------------------------------------------
# list(JOIN) would lose empty arguments in messages; show them as "".
set(shown "")
foreach(word IN LISTS command)
  if(word STREQUAL "")
    string(APPEND shown " \"\"")
  else()
    string(APPEND shown " ${word}")
  endif()
endforeach()

# Expanding ${command} would drop empty arguments (as in `--text ""`);
# bracket-quoting each word keeps them.
set(run "execute_process(COMMAND")
foreach(word IN LISTS command)
  string(APPEND run " [==[${word}]==]")
endforeach()
string(APPEND run " WORKING_DIRECTORY [==[${WORKING_DIRECTORY}]==]"
  " RESULT_VARIABLE status OUTPUT_VARIABLE actual ERROR_VARIABLE errors)")
cmake_language(EVAL CODE "${run}")

if(DEFINED OUTPUT_FILE)
  file(WRITE "${OUTPUT_FILE}" "${actual}")
endif()

set(failures "")
if(NOT "${status}" STREQUAL "${EXIT_CODE}")
  string(APPEND failures "exit status ${status}, wanted ${EXIT_CODE}\n")
endif()
if(DEFINED STDERR_CONTAINS)
  string(FIND "${errors}" "${STDERR_CONTAINS}" at)
  if(at EQUAL -1)
    string(APPEND failures "standard error lacks: ${STDERR_CONTAINS}\n")
  endif()
endif()

# ---- Compare standard output -----------------------------------------------------
set(checked FALSE)
if(DEFINED EXPECTED_FILE)
  if(NOT EXISTS "${EXPECTED_FILE}")
    string(APPEND failures "the expected file ${EXPECTED_FILE} does not exist\n")
  else()
    file(READ "${EXPECTED_FILE}" expected)
    if(DEFINED EXPECTED_ENDS_AT)
      string(FIND "${expected}" "\n\n${EXPECTED_ENDS_AT}\n" at)
      if(NOT at EQUAL -1)
        math(EXPR at "${at} + 1")
        string(SUBSTRING "${expected}" 0 ${at} expected)
      endif()
    endif()
    set(checked TRUE)
  endif()
elseif(DEFINED EXPECTED)
  set(expected "${EXPECTED}")
  set(checked TRUE)
endif()

set(diff_text "")
if(checked)
  set(compared "${actual}")
  if(MATCH STREQUAL "prefix")
    string(LENGTH "${expected}" length)
    string(SUBSTRING "${actual}" 0 ${length} compared)
  endif()
  if(MATCH STREQUAL "contains")
    string(FIND "${actual}" "${expected}" at)
    if(at EQUAL -1)
      string(APPEND failures "standard output lacks the expected text\n")
      set(diff_text "--- expected (somewhere in the output)\n${expected}\n+++ actual\n${actual}\n")
    endif()
  elseif(NOT compared STREQUAL expected)
    string(APPEND failures "standard output differs from the expected (${MATCH} match)\n")
    # A diff shows where; a unique name keeps parallel tests apart.
    string(MD5 key "${shown}|${expected}")
    set(expected_file "${CMAKE_CURRENT_BINARY_DIR}/compare_output-${key}.expected")
    set(actual_file "${CMAKE_CURRENT_BINARY_DIR}/compare_output-${key}.actual")
    file(WRITE "${expected_file}" "${expected}")
    file(WRITE "${actual_file}" "${compared}")
    find_program(DIFF diff)
    if(DIFF)
      execute_process(COMMAND "${DIFF}" -u --label expected --label actual "${expected_file}" "${actual_file}"
        OUTPUT_VARIABLE diff_text)
    else()
      set(diff_text "--- expected\n${expected}\n+++ actual\n${compared}\n")
    endif()
    file(REMOVE "${expected_file}" "${actual_file}")
  endif()
endif()

if(NOT failures STREQUAL "")
  set(report "command:${shown}\n${failures}")
  if(NOT diff_text STREQUAL "")
    string(APPEND report "${diff_text}")
  endif()
  if(NOT errors STREQUAL "")
    string(APPEND report "standard error:\n${errors}")
  endif()
  if(DEFINED HINT)
    string(APPEND report "${HINT}\n")
  endif()
  # A plain message is printed as it is; FATAL_ERROR would reflow the diff.
  message("${report}")
  message(FATAL_ERROR "compare_output: the check failed")
endif()
