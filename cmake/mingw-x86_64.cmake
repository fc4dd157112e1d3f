# Cross-builds the same sources for 64-bit Windows with Debian's mingw-w64
# x86-64 compiler. This is not a product: the host loads 32-bit libraries
# only. It is the test vehicle for the Windows code on machines that cannot
# run 32-bit programs, where Wine's 64-bit loader still runs these.
#
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
#
# /usr/bin/wine picks the 32-bit loader whenever wine32 is installed, so the
# 64-bit loader and its server are called by their own paths.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TRIVU_MINGW x86_64-w64-mingw32)
set(TRIVU_WINE /usr/lib/wine/wine64 CACHE STRING "Wine loader that runs the build's programs (OFF: none)")
set(TRIVU_WINESERVER /usr/lib/wine/wineserver64 CACHE STRING "Wine server of that loader")

include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
