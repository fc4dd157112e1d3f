# The help file and the package of the 32-bit Windows build, included by the
# top CMakeLists.txt once the libraries and the stand-in host are defined.
#
# The package is one ZIP, made by CPack (scripts/package.sh), that unzips
# into the host's folder: each library where the host looks for it, the help
# where the edit-time library's GetHelpFileName points, and TRIVU's own
# files in a folder of their own, so that nothing of the host's is touched.
#   Extensions/Unicode/trivu.mfx     the edit-time library
#   Data/Runtime/Unicode/trivu.mfx   the run-time library
#   Help/TRIVU.chm                   the help file (docs/)
#   TRIVU/INSTALL.txt, TRIVU/examples/ (and examples/manual/), TRIVU/trivu-host/
# TRIVU_PACKAGE tells the tests whether there is one.
find_program(TRIVU_PANDOC pandoc)
find_program(TRIVU_CHMCMD chmcmd)
find_program(TRIVU_CHMLS chmls)
if(NOT TRIVU_PANDOC OR NOT TRIVU_CHMCMD)
  message(WARNING "pandoc or chmcmd not found (bash scripts/setup.sh win32 installs them): no help file, no package")
  set(TRIVU_PACKAGE OFF)
  return()
endif()
set(TRIVU_PACKAGE ON)

set(TRIVU_HELP_FILE ${CMAKE_BINARY_DIR}/help/TRIVU.chm)
file(GLOB help_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/*.md ${CMAKE_SOURCE_DIR}/docs/pictures/*)
add_custom_command(OUTPUT ${TRIVU_HELP_FILE}
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUT=${CMAKE_BINARY_DIR}/help
          -DPANDOC=${TRIVU_PANDOC} -DCHMCMD=${TRIVU_CHMCMD} -P ${CMAKE_SOURCE_DIR}/cmake/help/make_help.cmake
  DEPENDS ${help_sources} ${CMAKE_SOURCE_DIR}/cmake/help/make_help.cmake ${CMAKE_SOURCE_DIR}/cmake/help/filter.lua
  COMMENT "Making the help file TRIVU.chm")
add_custom_target(trivu_help ALL DEPENDS ${TRIVU_HELP_FILE})

# The texts are Windows text files, and name the version.
set(VERSION ${TRIVU_PRODUCT_VERSION})
foreach(text INSTALL USING)
  configure_file(${CMAKE_SOURCE_DIR}/resources/package/${text}.txt ${CMAKE_BINARY_DIR}/package/${text}.txt
    @ONLY NEWLINE_STYLE CRLF)
endforeach()
file(GLOB examples CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/examples/*.json)
# The manual's own scenarios, which the help file's pages show and name.
file(GLOB manual_examples CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/examples/manual/*.json)

install(FILES $<TARGET_FILE:trivu> DESTINATION Extensions/Unicode)
install(FILES $<TARGET_FILE:trivu_runtime> DESTINATION Data/Runtime/Unicode)
install(FILES ${TRIVU_HELP_FILE} DESTINATION Help)
install(FILES ${CMAKE_BINARY_DIR}/package/INSTALL.txt DESTINATION TRIVU)
install(FILES ${examples} DESTINATION TRIVU/examples)
install(FILES ${manual_examples} DESTINATION TRIVU/examples/manual)
install(FILES $<TARGET_FILE:trivu-host> $<TARGET_FILE:trivu> $<TARGET_FILE:mmfs2>
              ${CMAKE_BINARY_DIR}/package/USING.txt
        DESTINATION TRIVU/trivu-host)

set(CPACK_GENERATOR ZIP)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_NAME trivu)
set(CPACK_PACKAGE_VERSION ${TRIVU_PRODUCT_VERSION})
set(CPACK_PACKAGE_FILE_NAME trivu-${TRIVU_PRODUCT_VERSION}-win32)
set(CPACK_PACKAGE_VENDOR "TRIVU team")
include(CPack)
