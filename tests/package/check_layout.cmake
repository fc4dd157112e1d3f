# The package unzipped into an empty folder holds exactly its layout (see
# cmake/package.cmake), and its libraries, program and help are the build's.
#   cmake -DZIP=trivu-V-win32.zip -DOUT=folder -DSOURCE_DIR=. -DEDIT_TIME=trivu.mfx
#         -DRUN_TIME=runtime/trivu.mfx -DHOST=trivu-host.exe -DHELP=TRIVU.chm -P check_layout.cmake
cmake_minimum_required(VERSION 3.25)

if(NOT EXISTS ${ZIP})
  message(FATAL_ERROR "no package ${ZIP}")
endif()
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${ZIP} WORKING_DIRECTORY ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot unzip ${ZIP}")
endif()

set(wanted
  Data/Runtime/Unicode/trivu.mfx
  Extensions/Unicode/trivu.mfx
  Help/TRIVU.chm
  TRIVU/INSTALL.txt
  TRIVU/trivu-host/USING.txt
  TRIVU/trivu-host/mmfs2.dll
  TRIVU/trivu-host/trivu-host.exe
  TRIVU/trivu-host/trivu.mfx)
file(GLOB examples RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/examples/*.json ${SOURCE_DIR}/examples/manual/*.json)
foreach(example IN LISTS examples)
  list(APPEND wanted TRIVU/${example})
endforeach()
list(SORT wanted)
file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${OUT} ${OUT}/*)
list(SORT found)
if(NOT found STREQUAL wanted)
  set(extra ${found})
  list(REMOVE_ITEM extra ${wanted})
  set(missing ${wanted})
  list(REMOVE_ITEM missing ${found})
  message(FATAL_ERROR "${ZIP} is not the package's layout\n  not wanted: ${extra}\n  missing: ${missing}")
endif()

set(faults "")
foreach(pair "Extensions/Unicode/trivu.mfx=${EDIT_TIME}" "TRIVU/trivu-host/trivu.mfx=${EDIT_TIME}"
             "Data/Runtime/Unicode/trivu.mfx=${RUN_TIME}" "TRIVU/trivu-host/trivu-host.exe=${HOST}"
             "Help/TRIVU.chm=${HELP}")
  string(REGEX MATCH "^([^=]+)=(.*)$" _ "${pair}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${CMAKE_MATCH_1} ${CMAKE_MATCH_2}
                  RESULT_VARIABLE differ)
  if(differ)
    string(APPEND faults "  ${CMAKE_MATCH_1} is not ${CMAKE_MATCH_2}\n")
  endif()
endforeach()
file(READ ${OUT}/TRIVU/INSTALL.txt install)
file(READ ${OUT}/TRIVU/INSTALL.txt install_bytes HEX)  # the text read drops the CRs
string(FIND "${install_bytes}" "0d0a" crlf)
if(crlf EQUAL -1 OR install MATCHES "@VERSION@")
  string(APPEND faults "  TRIVU/INSTALL.txt is no Windows text naming the version\n")
endif()
if(faults)
  message(FATAL_ERROR "${ZIP}:\n${faults}")
endif()

foreach(file IN ITEMS ${ZIP} ${EDIT_TIME} ${RUN_TIME})
  file(SIZE ${file} size)
  message(STATUS "${file}: ${size} bytes")
endforeach()
list(LENGTH found count)
message(STATUS "${ZIP}: the package's layout, ${count} files")
