# Cross-build for 32-bit Windows with mingw-w64's posix thread model: the i686 Win32 test programs
# only (tests/win32/i686_suite/), which need std::thread and std::mutex. The product DLL is built
# with mingw-i686.cmake.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(NEBRIN_MINGW_TRIPLET i686-w64-mingw32)
set(NEBRIN_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
