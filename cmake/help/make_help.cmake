# Makes the help file TRIVU.chm from the users' documentation:
#   cmake -DSOURCE_DIR=. -DOUT=build/help -DPANDOC=pandoc -DCHMCMD=chmcmd -P make_help.cmake
#
# Every docs/*.md but architecture.md (the developers' map) becomes a page,
# rendered by pandoc with filter.lua; the pictures of docs/pictures/ go in
# with them. The contents tree lists each page with its sections, the index
# every action, condition and expression by its menu text. The compiler is
# Free Pascal's chmcmd, which reads the usual help project files.
cmake_minimum_required(VERSION 3.25)

foreach(var SOURCE_DIR OUT PANDOC CHMCMD)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make_help.cmake needs -D${var}=...")
  endif()
endforeach()
set(site ${OUT}/site)
file(REMOVE_RECURSE ${site})
file(MAKE_DIRECTORY ${site})
file(WRITE ${OUT}/header.html "<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">\n")

function(escape text out)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  string(REPLACE "\"" "&quot;" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# A sitemap entry of the contents or the index.
function(sitemap_item name target out)
  escape("${name}" name)
  set(${out} "<LI> <OBJECT type=\"text/sitemap\">\n  <param name=\"Name\" value=\"${name}\">\n  <param name=\"Local\" value=\"${target}\">\n  </OBJECT>\n" PARENT_SCOPE)
endfunction()

file(GLOB pages RELATIVE ${SOURCE_DIR}/docs ${SOURCE_DIR}/docs/*.md)
list(REMOVE_ITEM pages architecture.md)
list(SORT pages)
if(NOT pages)
  message(FATAL_ERROR "no pages in ${SOURCE_DIR}/docs")
endif()

set(files "")
set(contents "")
set(index "")
foreach(page IN LISTS pages)
  string(REGEX REPLACE "\\.md$" "" name "${page}")
  execute_process(COMMAND ${PANDOC} -f gfm -t html5 -s --lua-filter ${CMAKE_CURRENT_LIST_DIR}/filter.lua
                          -H ${OUT}/header.html -M help_entries=${OUT}/${name}.entries
                          -o ${site}/${name}.html ${SOURCE_DIR}/docs/${page}
                  RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "pandoc failed on docs/${page}: ${err}")
  endif()
  list(APPEND files ${name}.html)
  file(STRINGS ${OUT}/${name}.entries lines ENCODING UTF-8)
  set(sections "")
  foreach(line IN LISTS lines)
    string(REPLACE "\t" ";" fields "${line}")
    list(GET fields 0 kind)
    if(kind STREQUAL "page")
      list(GET fields 1 title)
    else()
      list(GET fields 1 id)
      list(GET fields 2 text)
      sitemap_item("${text}" "${name}.html#${id}" item)
      if(kind STREQUAL "section")
        string(APPEND sections "${item}")
      else()
        string(APPEND index "${item}")
      endif()
    endif()
  endforeach()
  if(page STREQUAL "reference.md")
    set(default_topic ${name}.html)
  endif()
  sitemap_item("${title}" "${name}.html" item)
  string(APPEND contents "${item}")
  if(sections)
    string(APPEND contents "<UL>\n${sections}</UL>\n")
  endif()
endforeach()
if(NOT index)
  message(FATAL_ERROR "the index is empty: docs/reference.md gave no entries")
endif()
if(NOT default_topic)
  list(GET files 0 default_topic)
endif()

file(GLOB pictures RELATIVE ${SOURCE_DIR}/docs ${SOURCE_DIR}/docs/pictures/*)
if(pictures)
  file(COPY ${SOURCE_DIR}/docs/pictures DESTINATION ${site})
  list(APPEND files ${pictures})
endif()

set(sitemap_head "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\n<HTML>\n<HEAD>\n</HEAD>\n<BODY>\n")
file(WRITE ${site}/TRIVU.hhc "${sitemap_head}<UL>\n${contents}</UL>\n</BODY>\n</HTML>\n")
file(WRITE ${site}/TRIVU.hhk "${sitemap_head}<UL>\n${index}</UL>\n</BODY>\n</HTML>\n")
list(JOIN files "\n" file_list)
file(WRITE ${site}/TRIVU.hhp "[OPTIONS]
Compatibility=1.1 or later
Compiled file=TRIVU.chm
Contents file=TRIVU.hhc
Index file=TRIVU.hhk
Default topic=${default_topic}
Display compile progress=No
Full-text search=Yes
Language=0x409 English (United States)
Title=TRIVU

[FILES]
${file_list}
")

execute_process(COMMAND ${CHMCMD} TRIVU.hhp WORKING_DIRECTORY ${site}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT EXISTS ${site}/TRIVU.chm)
  message(FATAL_ERROR "chmcmd failed (${status}):\n${out}${err}")
endif()
file(RENAME ${site}/TRIVU.chm ${OUT}/TRIVU.chm)
list(LENGTH files count)
message(STATUS "help: ${OUT}/TRIVU.chm, ${count} files")
