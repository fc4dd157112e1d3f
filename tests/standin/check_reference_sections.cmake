# docs/reference.md has a section for every entry of the catalogue, and for
# nothing else: for action N, exactly once, the anchor line and the heading
# right under it,
#
#   <a id="action-N"></a>
#   ### Action N: MENU TEXT
#
# where MENU TEXT is the entry's menu text (from `trivu-host catalogue
# --json`) with each run of spaces made one and none at either end; the same
# for conditions and expressions.
#
#   cmake -DHOST=trivu-host [-DEMULATOR=wine-run] -DREFERENCE=docs/reference.md -P check_reference_sections.cmake
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${EMULATOR} ${HOST} catalogue --json
  OUTPUT_VARIABLE json ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "catalogue --json exited with ${status}: ${errors}")
endif()
file(READ ${REFERENCE} page)
string(REPLACE "\r\n" "\n" page "\n${page}\n")

# How often `literal` stands in the page.
function(count_in_page literal out)
  set(rest "${page}")
  set(n 0)
  string(LENGTH "${literal}" length)
  while(TRUE)
    string(FIND "${rest}" "${literal}" at)
    if(at EQUAL -1)
      break()
    endif()
    math(EXPR n "${n} + 1")
    math(EXPR at "${at} + ${length}")
    string(SUBSTRING "${rest}" ${at} -1 rest)
  endwhile()
  set(${out} ${n} PARENT_SCOPE)
endfunction()

set(faults "")
set(summary "")
foreach(kind action condition expression)
  string(SUBSTRING ${kind} 0 1 first)
  string(TOUPPER ${first} first)
  string(SUBSTRING ${kind} 1 -1 tail)
  set(title "${first}${tail}")
  string(JSON count LENGTH "${json}" ${kind}s)
  math(EXPR last "${count} - 1")
  set(missing "")
  foreach(code RANGE ${last})
    string(JSON menu GET "${json}" ${kind}s ${code} menu)
    string(REGEX REPLACE " +" " " menu "${menu}")
    string(STRIP "${menu}" menu)
    set(anchor "\n<a id=\"${kind}-${code}\"></a>\n")
    set(heading "\n### ${title} ${code}: ")
    count_in_page("${anchor}### ${title} ${code}: ${menu}\n" sections)
    count_in_page("${anchor}" anchors)
    count_in_page("${heading}" headings)
    if(sections EQUAL 1 AND anchors EQUAL 1 AND headings EQUAL 1)
      continue()
    endif()
    if(anchors EQUAL 0 AND headings EQUAL 0)
      list(APPEND missing ${code})
    else()
      string(APPEND faults "  ${kind} ${code}: ${anchors} anchor lines, ${headings} headings, ${sections} of them as "
        "'<a id=\"${kind}-${code}\"></a>' right above '### ${title} ${code}: ${menu}'\n")
    endif()
  endforeach()
  # Headings of entries the catalogue does not have.
  string(REGEX MATCHALL "\n### ${title} [0-9]+:" found "${page}")
  foreach(heading IN LISTS found)
    string(REGEX MATCH "[0-9]+" code "${heading}")
    if(code GREATER last)
      string(APPEND faults "  ${kind} ${code}: a section, but the catalogue has ${count} ${kind}s\n")
    endif()
  endforeach()
  if(missing)
    list(LENGTH missing n)
    list(JOIN missing " " missing)
    string(APPEND faults "  ${n} of ${count} ${kind}s have no section: ${missing}\n")
  endif()
endforeach()

if(faults)
  message(FATAL_ERROR "${REFERENCE}: each entry has its section once, its anchor line right above its heading:\n${faults}")
endif()
message(STATUS "${REFERENCE}: a section for each of the catalogue's entries")
