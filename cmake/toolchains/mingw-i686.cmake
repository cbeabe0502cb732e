# Cross-build for 32-bit Windows (the product DLL) with Debian's mingw-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(NEBRIN_MINGW_TRIPLET i686-w64-mingw32)
# The win32 thread model: the posix one links winpthreads, which imports GetTickCount64 and so
# keeps the DLL from loading on XP. The library starts no threads, so it loses nothing.
set(CMAKE_C_COMPILER ${NEBRIN_MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${NEBRIN_MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${NEBRIN_MINGW_TRIPLET}-windres)
set(CMAKE_OBJDUMP ${NEBRIN_MINGW_TRIPLET}-objdump)

# The product targets the NT 5.1 generation: no API newer than XP may slip in.
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 UNICODE _UNICODE)

set(CMAKE_FIND_ROOT_PATH /usr/${NEBRIN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
