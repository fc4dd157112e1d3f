# Writes the character table again from the Unicode database and compares it
# with the committed one.
#   cmake -DGENERATOR=exe -DDATA_DIR=dir -DCOMMITTED=file -DOUTPUT=file -P check_unicode_table.cmake
cmake_minimum_required(VERSION 3.20)

if(NOT EXISTS ${DATA_DIR}/UnicodeData.txt OR NOT EXISTS ${DATA_DIR}/CaseFolding.txt)
  message("unicode-data is not installed (${DATA_DIR}); scripts/setup.sh installs it")
  return()
endif()
execute_process(COMMAND ${GENERATOR} ${DATA_DIR}/UnicodeData.txt ${DATA_DIR}/CaseFolding.txt ${OUTPUT}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the generator failed (${status})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${COMMITTED} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${COMMITTED} is not what the database gives: compare it with ${OUTPUT}")
endif()
