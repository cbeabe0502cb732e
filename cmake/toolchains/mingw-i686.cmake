# Cross-build for 32-bit Windows (the product DLL) with Debian's mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(NEBRIN_MINGW_TRIPLET i686-w64-mingw32)
# The win32 thread model: the posix one links winpthreads, which imports GetTickCount64 and so
# keeps the DLL from loading on XP. The library starts no threads, so it loses nothing.
set(NEBRIN_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# ctest starts every test executable through 32-bit Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
