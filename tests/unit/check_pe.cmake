# Checks of the Windows library that read the PE file and run nothing, so
# that they hold on machines that cannot run the build's programs too.
#   cmake -DLIBRARY=trivu.mfx -DCHECK=imports|resources -DOBJDUMP=objdump -DWINDRES=windres
#         [-DSCRIPT=resources/trivu.rc] -P check_pe.cmake
#
# imports:   the library needs nothing but the system's KERNEL32 and USER32
#            and the C runtime msvcrt (everything else is linked in).
# resources: the library carries exactly the resources of the script (the
#            string table, the three menus, the about dialog and the version
#            record), read back from the PE file by the resource compiler.
cmake_minimum_required(VERSION 3.25)

function(run_tool output)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${status}): ${err}")
  endif()
  set(${output} "${out}" PARENT_SCOPE)
endfunction()

if(CHECK STREQUAL "imports")
  run_tool(dump ${OBJDUMP} -p ${LIBRARY})
  string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
  set(imported "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^DLL Name: " "" name "${line}")
    string(STRIP "${name}" name)
    list(APPEND imported "${name}")
  endforeach()
  list(SORT imported)
  list(REMOVE_DUPLICATES imported)
  set(allowed KERNEL32.dll USER32.dll msvcrt.dll)
  if(NOT imported STREQUAL allowed)
    message(FATAL_ERROR "${LIBRARY} imports ${imported}; only ${allowed} are allowed")
  endif()
  message(STATUS "imports: ${imported}")

elseif(CHECK STREQUAL "resources")
  if(NOT SCRIPT)
    get_filename_component(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/../../resources/trivu.rc ABSOLUTE)
  endif()
  # Both sides as the resource compiler writes them back as a script; the
  # memory flags (MOVEABLE, PURE, ...) are not kept in a PE file.
  run_tool(built ${WINDRES} -J coff -i ${LIBRARY} -O rc)
  get_filename_component(folder ${SCRIPT} DIRECTORY)
  run_tool(wanted ${WINDRES} -I ${folder} -i ${SCRIPT} -O rc)
  foreach(side built wanted)
    string(REGEX REPLACE " (MOVEABLE|PURE|IMPURE|DISCARDABLE|PRELOAD|LOADONCALL|FIXED)" "" ${side} "${${side}}")
  endforeach()
  if(NOT built STREQUAL wanted)
    file(WRITE ${LIBRARY}.resources.rc "${built}")
    message(FATAL_ERROR "the resources of ${LIBRARY} differ from ${SCRIPT} (read back: ${LIBRARY}.resources.rc)")
  endif()
  # And the script holds what the editor asks for: "KIND=COUNT", 0 meaning "some".
  foreach(want "STRINGTABLE=0" "MENU=3" "DIALOGEX=1" "VERSIONINFO=1")
    string(REPLACE "=" ";" want "${want}")
    list(GET want 0 kind)
    list(GET want 1 wanted_count)
    string(REGEX MATCHALL "\n([0-9]+ )?${kind}[ \n]" found "${built}")
    list(LENGTH found count)
    if((wanted_count EQUAL 0 AND count EQUAL 0) OR (wanted_count GREATER 0 AND NOT count EQUAL wanted_count))
      message(FATAL_ERROR "${LIBRARY} has ${count} ${kind} resources, wants ${wanted_count} (0: some)")
    endif()
  endforeach()
  message(STATUS "resources: as resources/trivu.rc")
else()
  message(FATAL_ERROR "check_pe.cmake: CHECK is imports or resources, not '${CHECK}'")
endif()
