# What the two Windows tool chains share (mingw-i686.cmake, the product, and
# mingw-x86_64.cmake, the 64-bit test vehicle); each sets CMAKE_SYSTEM_PROCESSOR,
# TRIVU_MINGW, TRIVU_WINE and TRIVU_WINESERVER, then includes this file.
#
# The posix thread model gives the C++ runtime its std::call_once and
# std::mutex; everything is linked statically, so that nothing but the
# system's own DLLs has to lie beside trivu.mfx. The programs run under Wine.
#
# The header-only dependencies come from the machine's own Debian packages,
# through a folder that holds only them (the Linux system headers must never
# be seen by this compiler): <build>/win32-deps, made here at configure time.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TRIVU_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRIVU_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TRIVU_MINGW}-windres)
set(CMAKE_OBJDUMP ${TRIVU_MINGW}-objdump CACHE FILEPATH "objdump of the Windows tool chain")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Tests, and the test discovery of the build, run the programs under Wine
# through <build>/wine-run, which keeps the build's own Wine folder (see
# wine-run.sh):  build-win32/wine-run build-win32/trivu-host.exe --help
# Without a loader (TRIVU_WINE=OFF) there is no emulator, and the tests
# register only the checks that read the built files.
# The Wine folder is of the build's own kind, win32 or win64, whatever else
# the machine has installed: a 32-bit folder runs nothing but 32-bit Wine.
if(NOT CMAKE_BINARY_DIR MATCHES "/CMakeFiles/" AND TRIVU_WINE)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(wine_arch win32)
  else()
    set(wine_arch win64)
  endif()
  file(WRITE ${CMAKE_BINARY_DIR}/wine-run
    "#!/bin/sh\nexec '${CMAKE_CURRENT_LIST_DIR}/wine-run.sh' '${CMAKE_BINARY_DIR}/wine-${wine_arch}' ${wine_arch} '${TRIVU_WINE}' '${TRIVU_WINESERVER}' \"$@\"\n")
  file(CHMOD ${CMAKE_BINARY_DIR}/wine-run PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
endif()

# ---- The dependencies' own folders --------------------------------------------
# Links to the packages' include folders, and a copy of nlohmann/json's CMake
# package files beside them (its files find the headers from where they lie).
# Boost has no files of its own here: CMake's FindBoost finds its headers.
if(NOT CMAKE_BINARY_DIR MATCHES "/CMakeFiles/")  # not inside a try_compile
  set(deps ${CMAKE_BINARY_DIR}/win32-deps)
  foreach(folder nlohmann boost)
    if(EXISTS /usr/include/${folder} AND NOT EXISTS ${deps}/include/${folder})
      file(MAKE_DIRECTORY ${deps}/include)
      file(CREATE_LINK /usr/include/${folder} ${deps}/include/${folder} SYMBOLIC)
    endif()
  endforeach()
  if(EXISTS /usr/share/cmake/nlohmann_json)
    file(COPY /usr/share/cmake/nlohmann_json DESTINATION ${deps}/share/cmake)
  endif()
  set(CMAKE_FIND_ROOT_PATH ${deps})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
