# The reader of the export lists (cmake/exports.cmake) refuses a header whose
# lists and declarations disagree: each row plants one disagreement in a copy
# of sdk/exports.h, and the reader must stop with the row's words.
#   cmake -DHEADER=sdk/exports.h -DREADER=cmake/exports.cmake -DWORK=dir -P check_export_lists.cmake
cmake_minimum_required(VERSION 3.25)

file(READ ${HEADER} header)
set(declaration "TRIVU_EXPORT uint32_t WINAPI GetInfos(int32_t info);\n")
set(listed "X(GetInfos)")
foreach(needle declaration listed)
  string(FIND "${header}" "${${needle}}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${HEADER} no longer holds '${${needle}}': choose another planted line")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/read.cmake "include(${READER})\ntrivu_export_names(\${HEADER} edit names)\n")
execute_process(COMMAND ${CMAKE_COMMAND} -DHEADER=${HEADER} -P ${WORK}/read.cmake RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the reader refuses the header as it is: ${err}")
endif()

# One row: the header with FROM replaced by TO must stop the reader with words
# matching EXPECTED.
set(faults "")
function(row name from to expected)
  string(REPLACE "${from}" "${to}" planted "${header}")
  file(WRITE ${WORK}/exports.h "${planted}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DHEADER=${WORK}/exports.h -P ${WORK}/read.cmake
    RESULT_VARIABLE status ERROR_VARIABLE err)
  if(status EQUAL 0)
    set(faults "${faults}\n  ${name}: the reader took it" PARENT_SCOPE)
  elseif(NOT err MATCHES "${expected}")
    set(faults "${faults}\n  ${name}: the reader said ${err}" PARENT_SCOPE)
  endif()
endfunction()

row("a declaration in no list" "${declaration}" "${declaration}TRIVU_EXPORT void WINAPI Planted(int32_t n);\n"
    "declared in no list: Planted\n")
row("a listed name never declared" "${declaration}" "" "listed, not declared: GetInfos\n")
row("a name listed twice" "${listed}" "${listed} X(GetInfos)" "listed [0-9]+ times for [0-9]+ names")
if(faults)
  message(FATAL_ERROR "the export lists' reader let a disagreement pass:${faults}")
endif()
