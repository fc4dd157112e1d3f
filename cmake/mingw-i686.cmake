# Cross-builds TRIVU as the product the real host loads: a 32-bit Windows
# library (and programs beside it) from Debian's mingw-w64 i686 compiler.
#
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
#
# The posix thread model gives the C++ runtime its std::call_once and
# std::mutex; everything is linked statically, so that nothing but the
# system's own DLLs has to lie beside trivu.mfx. The programs run under Wine.
#
# The header-only dependencies come from the machine's own Debian packages,
# through a folder that holds only them (the Linux system headers must never
# be seen by this compiler): <build>/win32-deps, made here at configure time.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TRIVU_MINGW i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TRIVU_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRIVU_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TRIVU_MINGW}-windres)
set(CMAKE_OBJDUMP ${TRIVU_MINGW}-objdump CACHE FILEPATH "objdump of the Windows tool chain")

# Doubles in SSE2 registers: the x87 unit's 80-bit intermediates would round
# the motion arithmetic otherwise than 64-bit floating point does, and the
# two builds would move sprites to different pixels.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Tests, and the test discovery of the build, run the programs under Wine
# through <build>/wine-run, which keeps the build's own Wine folder (see
# wine-run.sh):  build-win32/wine-run build-win32/trivu-host.exe --help
if(NOT CMAKE_BINARY_DIR MATCHES "/CMakeFiles/")
  file(WRITE ${CMAKE_BINARY_DIR}/wine-run
    "#!/bin/sh\nexec '${CMAKE_CURRENT_LIST_DIR}/wine-run.sh' '${CMAKE_BINARY_DIR}/wine' \"$@\"\n")
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
