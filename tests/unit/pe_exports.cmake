# The export name table of a PE file as `objdump -p` prints it, for the checks
# that read it (check_exports.cmake, check_pe.cmake):
#   pe_export_entries(DUMP OUT) sets OUT to the "[ ordinal] name" entries
# (whole entries: a lone "]" would upset CMake's lists).
function(pe_export_entries dump out)
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[ 0-9]+\\] [^\n]*\n)*)" _ "${dump}")
  string(REGEX MATCHALL "\\[[ 0-9]+\\] [^\n]+" entries "${CMAKE_MATCH_1}")
  set(${out} "${entries}" PARENT_SCOPE)
endfunction()
