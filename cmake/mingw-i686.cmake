# Cross-builds TRIVU as the product the real host loads: a 32-bit Windows
# library (and programs beside it) from Debian's mingw-w64 i686 compiler.
#
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
#
# The programs run under Wine's 32-bit loader. On a machine that cannot run
# 32-bit programs, -DTRIVU_WINE=OFF builds everything and registers only the
# tests that read the built files (scripts/test-win32.sh decides).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TRIVU_MINGW i686-w64-mingw32)
set(TRIVU_WINE wine CACHE STRING "Wine loader that runs the build's programs (OFF: none)")
set(TRIVU_WINESERVER wineserver CACHE STRING "Wine server of that loader")

# Doubles in SSE2 registers: the x87 unit's 80-bit intermediates would round
# the motion arithmetic otherwise than 64-bit floating point does, and the
# two builds would move sprites to different pixels.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
