# The entry points of each library, read from the sections of sdk/exports.h,
# for the Linux version scripts and the export checks of both systems:
#   trivu_export_names(HEADER VARIANT OUT)
# VARIANT edit: every entry point, as the editor loads the library.
# VARIANT runtime: what a built game needs, the "Load time and run time"
# section and the stand-in's "The stand-in desktop" (AttachDesktop).
function(trivu_export_names header variant out)
  file(STRINGS ${header} lines REGEX "^(// ---- |TRIVU_EXPORT )")
  set(names "")
  set(section "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^// ---- (.*[^ -]) *-*$")
      string(STRIP "${CMAKE_MATCH_1}" section)
    elseif(line MATCHES "WINAPI ([A-Za-z0-9_]+)\\(")
      if(variant STREQUAL "edit" OR section STREQUAL "Load time and run time"
         OR section STREQUAL "The stand-in desktop")
        list(APPEND names ${CMAKE_MATCH_1})
      endif()
    endif()
  endforeach()
  if(NOT variant STREQUAL "edit" AND NOT variant STREQUAL "runtime")
    message(FATAL_ERROR "trivu_export_names: VARIANT is edit or runtime, not '${variant}'")
  endif()
  set(${out} ${names} PARENT_SCOPE)
endfunction()
