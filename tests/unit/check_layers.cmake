# Includes point downwards: no source file includes a folder above its own,
# so that each folder's neighbours can be read off its includes.
#   cmake -DSOURCE_DIR=path [-DPLANT=FILE>INCLUDED] -P check_layers.cmake
# PLANT adds an include to FILE's, as a test of the check itself: a planted
# include that points the wrong way must fail it.
#
# The layer is the folder's, numbered as docs/architecture.md numbers them:
#   1  sdk/ and platform/
#   2  host/boundary/: the two records, the service wrappers, the guard, the
#      catalogue's frozen numbers and the document type
#   3  common/
#   4  the subsystems json/, regex/, objctrl/, align/, window/; none includes
#      another, except that regex/ writes into the JSON store (json/store.h)
#   5  host/ and host/editor/: the catalogue and the exports; nothing outside
#      host/editor/ includes one of its files (the run-time library has none)
# trivu-host/ stands beside them, a program of its own: besides its own files
# it sees only what `stand_in_may_see` names. Its rooms are layers too, in
# the order of `stand_in_rooms`: each uses only the rooms before it.
cmake_minimum_required(VERSION 3.20)

set(layer_1 sdk platform)
set(layer_2 host/boundary)
set(layer_3 common)
set(layer_4 json regex objctrl align window)
set(layer_5 host host/editor)
set(stand_in trivu-host)
set(stand_in_may_see sdk/ platform/utf.h platform/desktop.h host/boundary/ace_numbers.h host/boundary/editdata.h common/param_formats.h
    trivu-host/)
set(stand_in_rooms base scenario play record draw commands)

# The folder a path belongs to: its first component, or its first two under
# host/ (host/boundary/ and host/editor/ are folders of their own).
function(folder_of path out)
  string(REGEX MATCH "^host/[^/]+/" sub "${path}")
  if(sub)
    string(REGEX REPLACE "/$" "" folder "${sub}")
  else()
    string(REGEX MATCH "^[^/]+" folder "${path}")
  endif()
  set(${out} ${folder} PARENT_SCOPE)
endfunction()

# The layer of a folder, 0 for the stand-in, -1 for a folder outside them.
function(layer_of folder out)
  foreach(layer 1 2 3 4 5)
    if(folder IN_LIST layer_${layer})
      set(${out} ${layer} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  if(folder STREQUAL stand_in)
    set(${out} 0 PARENT_SCOPE)
  else()
    set(${out} -1 PARENT_SCOPE)
  endif()
endfunction()

function(stand_in_may_include included out)
  foreach(allowed IN LISTS stand_in_may_see)
    string(FIND "${included}" "${allowed}" at)
    if(at EQUAL 0)
      set(${out} TRUE PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out} FALSE PARENT_SCOPE)
endfunction()

# The stand-in's room of a path under trivu-host/, its place in
# `stand_in_rooms` (-1 for none).
function(room_of path out)
  string(REGEX MATCH "^trivu-host/([^/]+)/" _ "${path}")
  list(FIND stand_in_rooms "${CMAKE_MATCH_1}" room)
  set(${out} ${room} PARENT_SCOPE)
endfunction()

# Why a file of the stand-in may not include `included`, or nothing.
function(stand_in_fault_of file included out)
  stand_in_may_include(${included} allowed)
  set(fault "")
  if(NOT allowed)
    list(JOIN stand_in_may_see ", " seen)
    set(fault "the stand-in host sees only ${seen}")
  elseif(included MATCHES "^trivu-host/")
    room_of(${file} own)
    room_of(${included} theirs)
    list(JOIN stand_in_rooms " < " order)
    if(own EQUAL -1 OR theirs EQUAL -1)
      set(fault "a room of the stand-in is one of ${order}, and this is none")
    elseif(theirs GREATER own)
      list(GET stand_in_rooms ${own} own_room)
      list(GET stand_in_rooms ${theirs} their_room)
      set(fault "the room ${their_room}/ comes after ${own_room}/ (${order})")
    endif()
  endif()
  set(${out} "${fault}" PARENT_SCOPE)
endfunction()

# Why `file` may not include `included`, or nothing.
function(fault_of file included out)
  folder_of(${file} own_folder)
  folder_of(${included} their_folder)
  layer_of(${own_folder} own)
  layer_of(${their_folder} theirs)
  set(fault "")
  if(own EQUAL 0)
    stand_in_fault_of(${file} ${included} fault)
  elseif(theirs EQUAL -1)
    set(fault "${their_folder}/ is in no layer")
  elseif(theirs GREATER own)
    set(fault "layer ${theirs} (${their_folder}/) is above layer ${own} (${own_folder}/)")
  elseif(own EQUAL 4 AND theirs EQUAL 4 AND NOT own_folder STREQUAL their_folder
         AND NOT (own_folder STREQUAL "regex" AND included STREQUAL "json/store.h"))
    set(fault "one subsystem does not include another")
  elseif(their_folder STREQUAL "host/editor" AND NOT own_folder STREQUAL "host/editor")
    set(fault "only the editor's part sees host/editor/ (the run-time library has none of it)")
  endif()
  set(${out} "${fault}" PARENT_SCOPE)
endfunction()

set(planted_file "")
if(PLANT)
  string(REPLACE ">" ";" plant "${PLANT}")
  list(GET plant 0 planted_file)
  list(GET plant 1 planted_include)
  if(NOT EXISTS ${SOURCE_DIR}/${planted_file})
    message(FATAL_ERROR "check_layers.cmake: nothing to plant into: no ${planted_file}")
  endif()
endif()

set(faults "")
set(checked 0)
foreach(top ${layer_1} host common ${layer_4} ${stand_in})
  file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${top}/*.h ${SOURCE_DIR}/${top}/*.cpp)
  foreach(file IN LISTS files)
    math(EXPR checked "${checked} + 1")
    file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    if(file STREQUAL planted_file)
      list(APPEND lines "#include \"${planted_include}\"")
    endif()
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" included "${line}")
      fault_of(${file} ${included} fault)
      if(fault)
        list(APPEND faults "${file} includes ${included}: ${fault}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(checked EQUAL 0)
  message(FATAL_ERROR "check_layers.cmake: no sources under '${SOURCE_DIR}'")
endif()
if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes that point upwards or sideways:\n  ${text}")
endif()
message(STATUS "${checked} files include only their own layer and those below it")
