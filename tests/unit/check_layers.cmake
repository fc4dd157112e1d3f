# Includes point downwards: no source file includes a layer above its own,
# so that each folder's neighbours can be read off its includes.
#   cmake -DSOURCE_DIR=path -P check_layers.cmake
#
# Layers, bottom up:
#   0  sdk/ and platform/
#   1  the boundary records of host/ (the files named in `boundary`) and the
#      document type RUNDATA holds
#   2  common/
#   3  the subsystems json/, regex/, objctrl/, align/, window/; none includes
#      another, except that regex/ writes into the JSON store (json/store.h)
#   4  the rest of host/: the catalogue and the exports
#   5  trivu-host/, a program of its own: besides its own files it sees only
#      sdk/, the codec platform/utf.h and the table platform/desktop.h that
#      the AttachDesktop export of sdk/exports.h takes
# Within layer 4, host/editor/ is the editor's part, which the run-time
# library leaves out: nothing outside it includes one of its files.
cmake_minimum_required(VERSION 3.20)

set(boundary host/rundata.h host/editdata.h host/services.h host/services.cpp host/guard.h host/ace_numbers.h
    json/value.h)
set(subsystems json regex objctrl align window)
set(stand_in_may_see sdk/ platform/utf.h platform/desktop.h trivu-host/)

# The layer of a path relative to SOURCE_DIR, or -1 for a file outside them.
function(layer_of path out)
  string(REGEX MATCH "^[^/]+" folder "${path}")
  if(path IN_LIST boundary)
    set(layer 1)
  elseif(folder STREQUAL "sdk" OR folder STREQUAL "platform")
    set(layer 0)
  elseif(folder STREQUAL "common")
    set(layer 2)
  elseif(folder IN_LIST subsystems)
    set(layer 3)
  elseif(folder STREQUAL "host")
    set(layer 4)
  elseif(folder STREQUAL "trivu-host")
    set(layer 5)
  else()
    set(layer -1)
  endif()
  set(${out} ${layer} PARENT_SCOPE)
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

set(faults "")
set(checked 0)
foreach(top sdk platform host common ${subsystems} trivu-host)
  file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${top}/*.h ${SOURCE_DIR}/${top}/*.cpp)
  foreach(file IN LISTS files)
    math(EXPR checked "${checked} + 1")
    layer_of(${file} own)
    string(REGEX MATCH "^[^/]+" own_folder "${file}")
    file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" included "${line}")
      layer_of(${included} theirs)
      string(REGEX MATCH "^[^/]+" their_folder "${included}")
      set(fault "")
      if(own EQUAL 5)
        stand_in_may_include(${included} allowed)
        if(NOT allowed)
          set(fault "the stand-in host sees only sdk/, platform/utf.h, platform/desktop.h and itself")
        endif()
      elseif(theirs GREATER own)
        set(fault "layer ${theirs} is above layer ${own}")
      elseif(own EQUAL 3 AND theirs EQUAL 3 AND NOT own_folder STREQUAL their_folder
             AND NOT (own_folder STREQUAL "regex" AND included STREQUAL "json/store.h"))
        set(fault "one subsystem does not include another")
      elseif(included MATCHES "^host/editor/" AND NOT file MATCHES "^host/editor/")
        set(fault "only the editor's part sees host/editor/ (the run-time library has none of it)")
      endif()
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
